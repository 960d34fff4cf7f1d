// Ctrl+C, C through the real program, in a window of the test's own that
// holds a selected word.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/program_driver.h"

namespace {

using namespace lvtest;

void pumpFor(DWORD ms) {
    pumpUntil(ms, [] { return false; });
}

class CopiedTextTest : public ::testing::Test {
  protected:
    // Starts the program with `ini`, then Ctrl down, C, C, Ctrl up into an
    // edit control of this process that holds 日本語, all selected. The
    // control is made before the program starts: made after it, the control
    // was in front but did not copy under Wine 8.
    void copyTwiceWith(const char* ini) {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        edit = ::CreateWindowExA(0, "EDIT", "日本語", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 300, 80, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
        writeFile(dir.file("lumenvik.ini"), ini);
        ASSERT_TRUE(program.start(dir.path()));
        ASSERT_TRUE(program.waitReady());
        ::SetForegroundWindow(edit);
        ::SetFocus(edit);
        ASSERT_TRUE(pumpUntil(
            3000, [&] { return ::GetForegroundWindow() == edit && ::GetFocus() == edit; }));
        // The keys come from the X server, as a keyboard's do. Keys sent
        // with SendInput are unknown to it: when Wine handles the focus
        // change (at a moment of its own, sometimes after the first key),
        // it takes the keyboard's state from the X server and so lets go
        // of a Ctrl pressed that way; C, C then reach the edit control as
        // plain letters ("cc" in it, the hooks saw Ctrl down throughout).
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        char command[] =
            "/usr/bin/xdotool keydown ctrl sleep 0.04 key --delay 30 c c sleep 0.04 keyup ctrl";
        ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &si, &pi));
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        // The edit control, on this thread, copies as the keys come.
        EXPECT_TRUE(pumpUntil(3000, [] { return ::IsClipboardFormatAvailable(CF_UNICODETEXT); }))
            << "the edit control did not copy; it holds " << windowText(edit) << "\n"
            << program.hookEvents();
    }
    void TearDown() override { ::DestroyWindow(edit); }

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
    HWND edit = nullptr;
};

TEST_F(CopiedTextTest, WithTheOptionOnTheWindowShowsWithTheCopiedTextAllSelected) {
    copyTwiceWith("[Options]\r\nsearchCopiedText=1\r\n");
    HWND box = program.control(1002);
    EXPECT_TRUE(pumpUntil(3000, [&] { return windowText(box) == "日本語"; }))
        << windowText(box)
        << "\nclipboard text: " << (::IsClipboardFormatAvailable(CF_UNICODETEXT) ? "yes" : "no")
        << "\nedit: " << windowText(edit) << "\n"
        << program.hookEvents();
    EXPECT_TRUE(::IsWindowVisible(program.window()));
    DWORD_PTR selection = 0;
    ::SendMessageTimeoutA(box, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
    EXPECT_EQ(selection, MAKELONG(0, 3)) << "all three characters";
}

TEST_F(CopiedTextTest, WithTheOptionOffItOnlyCopies) {
    copyTwiceWith("[Options]\r\nsearchCopiedText=0\r\n");
    pumpFor(800);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT)) << "the edit control copied";
    EXPECT_FALSE(::IsWindowVisible(program.window()));
}

}  // namespace
