// The copy gesture through the real program: Ctrl+C, C in a window of the
// test's own that holds a selected word.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/program_driver.h"

namespace {

using namespace lvtest;

constexpr int kSearchBox = 1002;

// Runs this thread's messages: the edit control copies here on Ctrl+C, and
// the program's activation calls wait for this thread to answer.
void pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool pumpUntil(DWORD ms, bool (*done)(HWND), HWND hwnd) {
    return waitFor(
        [&] {
            pump();
            return done(hwnd);
        },
        ms);
}

void pumpFor(DWORD ms) {
    pumpUntil(
        ms, [](HWND) { return false; }, nullptr);
}

class CopiedTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        edit = ::CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 80,
                                 nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
        ::SetWindowTextA(edit, "日本語");
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
    }
    void TearDown() override { ::DestroyWindow(edit); }

    void startWith(const std::string& ini) {
        if (!ini.empty()) writeFile(dir.file("lumenvik.ini"), ini);
        ASSERT_TRUE(program.start(dir.path()));
        ASSERT_TRUE(program.waitReady());
    }
    // Ctrl down, C, C, Ctrl up, with the edit control in front.
    void copyTwice() {
        ::SetForegroundWindow(edit);
        ::SetFocus(edit);
        ASSERT_TRUE(pumpUntil(
            3000, [](HWND e) { return ::GetForegroundWindow() == e && ::GetFocus() == e; }, edit));
        keyDown(VK_CONTROL);
        pumpFor(40);
        for (int i = 0; i < 2; ++i) {
            keyDown('C');
            pumpFor(30);
            keyUp('C');
            pumpFor(60);
        }
        keyUp(VK_CONTROL);
    }

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
    HWND edit = nullptr;
};

TEST_F(CopiedTextTest, WithTheOptionOnCtrlCTwiceShowsTheWindowWithTheTextSelected) {
    startWith("[Options]\r\nsearchCopiedText=1\r\n");
    copyTwice();
    ASSERT_TRUE(pumpUntil(
        3000, [](HWND w) { return ::IsWindowVisible(w) != FALSE; }, program.window()));
    HWND box = program.control(kSearchBox);
    EXPECT_TRUE(waitFor(
        [&] {
            pump();
            return windowText(box) == "日本語";
        },
        2000))
        << windowText(box);
    DWORD_PTR selection = 0;
    ::SendMessageTimeoutA(box, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 3) << "all three characters are selected";
}

TEST_F(CopiedTextTest, WithTheOptionOffCtrlCTwiceOnlyCopies) {
    startWith("[Options]\r\nsearchCopiedText=0\r\n");
    copyTwice();
    pumpFor(800);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT)) << "the edit control copied";
    EXPECT_FALSE(::IsWindowVisible(program.window()));
}

}  // namespace
