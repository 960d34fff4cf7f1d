// The real program at the display scaling of the prefix it runs in.
// tests/win/run-at-dpi runs this twice: on the suite's prefix at 96 DPI,
// which records the sizes, then on a prefix at 144 DPI (150 %), which
// compares its sizes with them and saves screenshots beside the 96-DPI ones.
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

constexpr int kSearchBox = 1002;
constexpr UINT kToggleWindow = 0x040A;
constexpr WPARAM kSettingsCommand = 10002;

struct Sizes {
    int windowWidth, windowHeight, fontHeight, settingsWidth, settingsHeight;
};

int envInt(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : 0;
}

int screenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE sizeOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void shot(const char* stem, int dpi) {
    takeScreenshot(std::string(LUMENVIK_SHOTS) + "/" + stem + "-" + std::to_string(dpi) +
                   "dpi.png");
}

TEST(DisplayScaling, TheSearchWindowItsFontAndTheSettingsDialogScaleWithTheDisplay) {
    // Sizes as drawn, not as Windows would report them to an unaware caller.
    ::SetProcessDPIAware();
    const int dpi = envInt("LVTEST_DPI");
    const char* record = std::getenv("LVTEST_DPI_RECORD");
    ASSERT_TRUE(dpi > 0 && record != nullptr) << "run through tests/win/run-at-dpi";
    ASSERT_EQ(screenDpi(), dpi) << "the prefix's LogPixels";

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
    MenuProbe probe;
    ASSERT_TRUE(program.start(dir.path()));
    ASSERT_TRUE(program.waitReady());
    HWND window = program.window();
    ASSERT_TRUE(probe.attach(window));
    // Wine draws every process at the prefix's resolution, aware or not:
    // that the manifest's per-monitor awareness took is seen here.
    using AwarenessOfWindow = HANDLE(WINAPI*)(HWND);
    using AwarenessOfContext = int(WINAPI*)(HANDLE);
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto ofWindow = reinterpret_cast<AwarenessOfWindow>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto ofContext = reinterpret_cast<AwarenessOfContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(ofWindow != nullptr && ofContext != nullptr);
    EXPECT_EQ(ofContext(ofWindow(window)), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
    ::PostMessageA(window, kToggleWindow, 0, 0);
    ASSERT_TRUE(waitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 5000));

    Sizes now{};
    const SIZE search = sizeOf(window);
    now.windowWidth = search.cx;
    now.windowHeight = search.cy;
    now.fontHeight = probe.boxFontHeight();
    EXPECT_EQ(now.fontHeight, ::MulDiv(30, dpi, 96));
    if (dpi != 96) {
        ASSERT_NO_FATAL_FAILURE(shot("search-window", dpi));
    }

    // The tray menu's command, sent as the menu sends it.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(window, WM_COMMAND, kSettingsCommand, 0, SMTO_ABORTIFHUNG,
                                      3000, &ignored));
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            auto found = findWindows(program.pid(), "#32770", "Lumenvikの設定");
            dialog = found.empty() ? nullptr : found.front();
            return dialog != nullptr && ::IsWindowVisible(dialog);
        },
        5000));
    const SIZE settings = sizeOf(dialog);
    now.settingsWidth = settings.cx;
    now.settingsHeight = settings.cy;
    if (dpi != 96) {
        ASSERT_NO_FATAL_FAILURE(shot("settings-dialog", dpi));
    }
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitFor([&] { return !::IsWindow(dialog); }, 5000));

    // Moved to a monitor at 150 %: the place Windows suggests, and the font
    // made anew for that monitor.
    if (dpi == 96) {
        RECT before{}, after{};
        ::GetWindowRect(window, &before);
        const RECT suggested{before.left + 10, before.top + 20,
                             before.left + 10 + ::MulDiv(now.windowWidth, 3, 2),
                             before.top + 20 + ::MulDiv(now.windowHeight, 3, 2)};
        EXPECT_EQ(probe.boxFontHeight(144, suggested), 45);
        ::GetWindowRect(window, &after);
        EXPECT_TRUE(::EqualRect(&after, &suggested))
            << after.left << "," << after.top << " " << after.right << "," << after.bottom;
    }
    EXPECT_EQ(program.exitCleanly(), 0);

    std::printf("at %d DPI: search window %dx%d, box font %d, settings dialog %dx%d\n", dpi,
                now.windowWidth, now.windowHeight, now.fontHeight, now.settingsWidth,
                now.settingsHeight);
    const std::string path = windowsPath(record);
    if (dpi == 96) {
        char line[128];
        std::snprintf(line, sizeof line, "%d %d %d %d %d\n", now.windowWidth, now.windowHeight,
                      now.fontHeight, now.settingsWidth, now.settingsHeight);
        writeFile(path, line);
        return;
    }
    Sizes base{};
    ASSERT_EQ(
        std::sscanf(readFile(path).c_str(), "%d %d %d %d %d", &base.windowWidth, &base.windowHeight,
                    &base.fontHeight, &base.settingsWidth, &base.settingsHeight),
        5)
        << "no record of the 96-DPI run in " << record;
    // Windows sizes dialogs made from templates in dialog units, which
    // follow the dialog font's metrics at the new resolution; those grow
    // by about, not exactly, the scaling (Wine's fonts here: 6 to 8 pixels
    // average width from 96 to 144 DPI). So: grown at least 1.25 times (not
    // left at the 96-DPI size), and at most by the scaling (not scaled twice).
    const auto expectGrown = [&](int size, int baseSize, const char* what) {
        EXPECT_GE(size * 4, baseSize * 5) << what;
        EXPECT_LE(size, ::MulDiv(baseSize, dpi, 96) + 2) << what;
    };
    expectGrown(now.windowWidth, base.windowWidth, "search window width");
    expectGrown(now.windowHeight, base.windowHeight, "search window height");
    expectGrown(now.settingsWidth, base.settingsWidth, "settings dialog width");
    expectGrown(now.settingsHeight, base.settingsHeight, "settings dialog height");
}

}  // namespace
