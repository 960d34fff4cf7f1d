// The window framework: message loop order, dialogs (modeless and modal)
// and subclassed controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "win/message_loop.h"
#include "win/window.h"

namespace {

using namespace lumenvik::win;

std::vector<std::string> g_log;

LRESULT CALLBACK loggingWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEMOVE) g_log.push_back("mousemove");
    if (msg >= WM_USER && msg < WM_USER + 100)
        g_log.push_back("user" + std::to_string(msg - WM_USER));
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND makeLoggingWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &loggingWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "lvtest.logging";
    ::RegisterClassA(&wc);
    return ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

class NamedFilter : public CMessageFilter {
  public:
    NamedFilter(const char* name, UINT consumes) : name_(name), consumes_(consumes) {}
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message < WM_USER || msg->message >= WM_USER + 100) return FALSE;
        g_log.push_back(name_ + ":" + std::to_string(msg->message - WM_USER));
        return msg->message == consumes_;
    }

  private:
    std::string name_;
    UINT consumes_;
};

TEST(MessageLoop, FiltersRunLastAddedFirstAndAConsumedMessageGoesNoFurther) {
    g_log.clear();
    HWND w = makeLoggingWindow();
    CMessageLoop loop;
    NamedFilter first("first", WM_USER + 2), second("second", WM_USER + 1), gone("gone", 0);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&gone);
    loop.AddMessageFilter(&second);
    loop.RemoveMessageFilter(&gone);
    ::PostMessageA(w, WM_USER + 1, 0, 0);
    ::PostMessageA(w, WM_USER + 2, 0, 0);
    ::PostMessageA(w, WM_USER + 3, 0, 0);
    ::PostQuitMessage(7);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"second:1", "second:2", "first:2", "second:3",
                                               "first:3", "user3"}));
    ::DestroyWindow(w);
}

constexpr UINT kAnswer = WM_USER + 20, kUnhandled = WM_USER + 21, kEnd = WM_USER + 22;

class TestDialog : public CDialogImpl<TestDialog> {
  public:
    enum { IDD = IDD_SEARCH_WINDOW };
    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM,
                              LRESULT& result) override {
        switch (msg) {
            case WM_INITDIALOG:
                initSeen = initParam();
                windowAtInit = m_hWnd == hwnd;
                if (endAtInit) ::PostMessageA(hwnd, kEnd, 77, 0);
                result = TRUE;
                return true;
            case kAnswer:
                result = 42;
                return true;
            case kEnd:
                EndDialog(static_cast<INT_PTR>(wParam));
                return true;
            default:
                return false;
        }
    }
    void OnFinalMessage(HWND) override { finalSeen = true; }

    LPARAM initSeen = 0;
    bool windowAtInit = false, endAtInit = false, finalSeen = false;
};

TEST(Dialog, ModelessDialogDispatchesThroughItsTableAndReportsItsEnd) {
    TestDialog dlg;
    HWND w = dlg.Create(nullptr, 1234);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(dlg.m_hWnd, w);
    EXPECT_TRUE(::IsWindowUnicode(w));
    EXPECT_TRUE(dlg.windowAtInit);
    EXPECT_EQ(dlg.initSeen, 1234);
    EXPECT_EQ(::SendMessageA(w, kAnswer, 0, 0), 42);
    EXPECT_EQ(::SendMessageA(w, kUnhandled, 0, 0), 0);
    EXPECT_EQ(dlg.Create(nullptr), nullptr) << "one window per object";
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_TRUE(dlg.finalSeen);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(w));
}

TEST(Dialog, ModalDialogReturnsTheValueGivenToEndDialog) {
    TestDialog dlg;
    dlg.endAtInit = true;
    EXPECT_EQ(dlg.DoModal(nullptr, 5), 77);
    EXPECT_EQ(dlg.initSeen, 5);
    EXPECT_TRUE(dlg.finalSeen);
}

class EatX : public CWindowImpl<EatX> {
  public:
    bool ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override {
        if (msg == WM_CHAR && wParam == 'x') {
            result = 0;
            return true;  // never reaches the edit control
        }
        if (msg == WM_SETTEXT) {
            texts.push_back(reinterpret_cast<const wchar_t*>(lParam));
            result = DefWindowProc(msg, wParam, lParam);  // passed on, result kept
            return true;
        }
        return false;
    }
    void OnFinalMessage(HWND) override { finalSeen = true; }
    std::vector<std::wstring> texts;
    bool finalSeen = false;
};

std::wstring textOf(HWND w) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(w, buffer, 256);
    return buffer;
}

TEST(Subclass, TheControlSeesOnlyWhatTheTableLeavesAndGetsItsProcedureBack) {
    TestDialog dlg;
    ASSERT_NE(dlg.Create(nullptr), nullptr);
    HWND edit = ::GetDlgItem(dlg.m_hWnd, IDC_SEARCH_BOX);
    const LONG_PTR original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    EatX eat;
    ASSERT_TRUE(eat.SubclassWindow(edit));
    EXPECT_FALSE(eat.SubclassWindow(edit)) << "one control per object";
    for (wchar_t c : std::wstring(L"axb")) ::SendMessageW(edit, WM_CHAR, c, 0);
    EXPECT_EQ(textOf(edit), L"ab");
    // The control stays Unicode: characters code page 932 lacks arrive whole.
    const std::wstring hello = L"hello 한😀";
    EXPECT_TRUE(::SetWindowTextW(edit, hello.c_str()));
    EXPECT_EQ(textOf(edit), hello);
    EXPECT_EQ(eat.texts, std::vector<std::wstring>{hello});

    EXPECT_EQ(eat.UnsubclassWindow(), edit);
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
    ::SendMessageW(edit, WM_CHAR, L'x', 0);
    EXPECT_NE(textOf(edit).find(L'x'), std::wstring::npos) << "the edit control types x again";

    // A control destroyed while subclassed ends the object's binding.
    EatX again;
    ASSERT_TRUE(again.SubclassWindow(edit));
    dlg.DestroyWindow();
    EXPECT_TRUE(again.finalSeen);
    EXPECT_EQ(again.m_hWnd, nullptr);
}

}  // namespace
