// The real program at the resolution of the prefix it runs in. Run twice by
// tests/win/run-at-dpi: at 96 DPI it records the sizes, at 144 DPI (150 %)
// it compares with them and saves screenshots beside the 96-DPI ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/win/program_driver.h"
#include "tests/win/screenshot.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

SIZE sizeOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(DisplayScaling, TheSearchWindowItsFontAndTheDialogsScaleWithTheDisplay) {
    ::SetProcessDPIAware();  // sizes as drawn
    const char* record = std::getenv("LVTEST_DPI_RECORD");
    const int dpi = std::atoi(std::getenv("LVTEST_DPI") ? std::getenv("LVTEST_DPI") : "0");
    ASSERT_TRUE(dpi > 0 && record != nullptr) << "run through tests/win/run-at-dpi";
    HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the prefix's LogPixels";
    ::ReleaseDC(nullptr, screen);
    const auto shot = [&](const char* stem) {
        if (dpi != 96) takeScreenshot(std::string(LUMENVIK_SHOTS "/") + stem + "-144dpi.png");
    };

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
    MenuProbe probe;
    ASSERT_TRUE(program.start(dir.path()) && program.waitReady());
    HWND window = program.window();
    ASSERT_TRUE(probe.attach(window));
    ::PostMessageA(window, 0x040A, 0, 0);  // the show key's toggle
    ASSERT_TRUE(waitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 5000));
    const SIZE search = sizeOf(window);
    EXPECT_EQ(probe.boxFontHeight(), ::MulDiv(30, dpi, 96));
    ASSERT_NO_FATAL_FAILURE(shot("search-window"));

    DWORD_PTR ignored = 0;  // the tray menu's u8"設定(&S)"
    ::SendMessageTimeoutA(window, WM_COMMAND, 10002, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            auto found = findWindows(program.pid(), "#32770", "Lumenvikの設定");
            return !found.empty() && ::IsWindowVisible(dialog = found.front());
        },
        5000));
    const SIZE settings = sizeOf(dialog);
    ASSERT_NO_FATAL_FAILURE(shot("settings-dialog"));
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(dialog); }, 5000));

    // The search-site dialog and its editor, pictured at both resolutions.
    const auto shotBoth = [&](const char* stem) {
        takeScreenshot(std::string(LUMENVIK_SHOTS "/") + stem +
                       (dpi != 96 ? "-144dpi.png" : ".png"));
    };
    const auto waitDialog = [&](const wchar_t* caption) {
        HWND found = nullptr;
        waitFor(
            [&] {
                for (HWND w : findWindows(program.pid(), "#32770", nullptr)) {
                    if (::IsWindowVisible(w) && windowTextW(w) == caption) found = w;
                }
                return found != nullptr;
            },
            5000);
        return found;
    };
    ::PostMessageA(window, WM_COMMAND, 10010, 0);  // the tray menu's 検索サイト(&K)...
    HWND sitesDialog = waitDialog(L"検索サイトの設定");
    ASSERT_NE(sitesDialog, nullptr);
    const SIZE sites = sizeOf(sitesDialog);
    ASSERT_NO_FATAL_FAILURE(shotBoth("search-sites-dialog"));
    ::PostMessageW(::GetDlgItem(sitesDialog, 1042), BM_CLICK, 0, 0);  // 編集(&E), mode 0
    HWND editor = waitDialog(L"検索モードの編集");
    ASSERT_NE(editor, nullptr);
    const SIZE editing = sizeOf(editor);
    ASSERT_NO_FATAL_FAILURE(shotBoth("mode-editor"));
    ::PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(editor); }, 5000));
    ::PostMessageA(sitesDialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(sitesDialog); }, 5000));
    std::printf(
        "at %d DPI: search window %ldx%ld, settings dialog %ldx%ld, search-site dialog %ldx%ld, "
        "mode editor %ldx%ld\n",
        dpi, search.cx, search.cy, settings.cx, settings.cy, sites.cx, sites.cy, editing.cx,
        editing.cy);

    if (dpi == 96) {
        // Moved to a monitor at 150 %: the place Windows suggests, the font anew.
        RECT now{}, suggested{};
        ::GetWindowRect(window, &now);
        suggested = RECT{now.left + 10, now.top + 20, now.left + 10 + search.cx * 3 / 2,
                         now.top + 20 + search.cy * 3 / 2};
        EXPECT_EQ(probe.boxFontHeight(144, suggested), 45);
        ::GetWindowRect(window, &now);
        EXPECT_TRUE(::EqualRect(&now, &suggested));
        char line[128];
        std::snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld", search.cx, search.cy,
                      settings.cx, settings.cy, sites.cx, sites.cy, editing.cx, editing.cy);
        writeFile(windowsPath(record), line);
        return;
    }
    long base[8] = {};
    ASSERT_EQ(
        std::sscanf(readFile(windowsPath(record)).c_str(), "%ld %ld %ld %ld %ld %ld %ld %ld",
                    &base[0], &base[1], &base[2], &base[3], &base[4], &base[5], &base[6], &base[7]),
        8);
    // Windows sizes template dialogs in dialog units, which follow the
    // dialog font's metrics at the new resolution: they grow by about the
    // scaling, not exactly (Wine's fonts here: 6 to 8 pixels average width).
    // So: at least 1.25 times (scaled at all), at most 1.5 (not twice).
    const long now[8] = {search.cx, search.cy, settings.cx, settings.cy,
                         sites.cx,  sites.cy,  editing.cx,  editing.cy};
    for (int i = 0; i < 8; ++i) {
        EXPECT_GE(now[i] * 4, base[i] * 5) << i;
        EXPECT_LE(now[i], base[i] * 3 / 2 + 2) << i;
    }
}

}  // namespace
