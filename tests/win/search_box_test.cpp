// The search box of the real program, driven with real key input: mode
// keys, Escape and Enter, the history keys and the input-method rules.
#include <windows.h>

#include <imm.h>

#include "tests/win/search_fixture.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

class SearchBoxTest : public SearchFixture {
  protected:
    void SetUp() override { registerBrowser(); }

    void sendToBox(UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(program.control(kSearchBox), msg, wParam, lParam,
                                          SMTO_ABORTIFHUNG, 3000, result ? result : &ignored));
    }
    void expectBoxShowing(const std::string& word) {
        EXPECT_EQ(box(), word);
        const int end = static_cast<int>(word.size());
        EXPECT_EQ(selection(), std::make_pair(end, end)) << "caret at the end, no selection";
    }
};

TEST_F(SearchBoxTest, PageDownAndPageUpReleasesCycleTheLabelBothWays) {
    startWith();
    show();
    ASSERT_EQ(label(), kModeLabels[0]);
    for (int step = 1; step <= 5; ++step) {
        release(VK_NEXT);
        EXPECT_EQ(label(), kModeLabels[step % 5]) << "after " << step << " x Page Down";
    }
    for (int step = 1; step <= 5; ++step) {
        release(VK_PRIOR);
        EXPECT_EQ(label(), kModeLabels[(10 - step) % 5]) << "after " << step << " x Page Up";
    }
    // A held key acts once, at its release.
    keyDown(VK_NEXT);
    for (int i = 0; i < 6; ++i) {
        ::Sleep(40);
        keyDown(VK_NEXT);
    }
    ::Sleep(200);
    EXPECT_EQ(label(), kModeLabels[0]) << "nothing before the release";
    keyUp(VK_NEXT);
    EXPECT_TRUE(waitFor([&] { return label() == kModeLabels[1]; }, 2000));
    ::Sleep(300);
    EXPECT_EQ(label(), kModeLabels[1]);

    // With Alt held the release comes as a system key release: the same.
    keyDown(VK_MENU);
    release(VK_NEXT);
    keyUp(VK_MENU);
    EXPECT_TRUE(waitFor([&] { return label() == kModeLabels[2]; }, 2000));
}

TEST_F(SearchBoxTest, ConfiguredModeKeysAboveTheAsciiRangeWork) {
    // 0xBC is the comma key, 0xBE the period key.
    startWith("[KeyData]\r\nmode_prior=188\r\nmode_next=190\r\n");
    show();
    release(VK_OEM_PERIOD);
    EXPECT_EQ(label(), kModeLabels[1]);
    release(VK_OEM_COMMA);
    release(VK_OEM_COMMA);
    EXPECT_EQ(label(), kModeLabels[4]);
    release(VK_NEXT);
    EXPECT_EQ(label(), kModeLabels[4]) << "Page Down is no mode key now";
}

TEST_F(SearchBoxTest, EscapeHidesAndTheTypedTextIsGoneAtTheNextShow) {
    startWith();
    show();
    tap('A');
    tap('B');
    ASSERT_TRUE(waitFor([&] { return box() == "ab"; }, 2000));
    release(VK_ESCAPE);
    EXPECT_TRUE(waitVisible(false));
    show();
    EXPECT_EQ(box(), "");
    EXPECT_TRUE(launches().empty());
}

TEST_F(SearchBoxTest, EnterOnAnEmptyBoxHidesWithoutASearch) {
    startWith();
    show();
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitBrowsersDone());
    EXPECT_TRUE(launches().empty());
    // Nothing went into the history either.
    show();
    setBox("x");
    release(VK_UP);
    EXPECT_EQ(box(), "") << "no entries: the history key empties the box";
}

TEST_F(SearchBoxTest, UpAndDownWalkTheWordsSearchedNewestFirstWithTheCaretAtTheEnd) {
    startWith();
    search("alpha");
    search("be");
    search("alpha");
    ASSERT_TRUE(waitLaunches(3));

    show();
    release(VK_UP);
    expectBoxShowing("alpha");
    release(VK_UP);
    expectBoxShowing("be");
    release(VK_UP);
    expectBoxShowing("alpha");
    release(VK_UP);
    expectBoxShowing("alpha");  // the oldest stays
    release(VK_DOWN);
    expectBoxShowing("be");  // so it was the third entry
    release(VK_DOWN);
    expectBoxShowing("alpha");
    release(VK_DOWN);
    expectBoxShowing("alpha");  // the newest stays

    // Each hide forgets the cursor: from "none", Up shows the newest again
    // (a kept cursor would step on to the older entry).
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    show();
    release(VK_UP);
    expectBoxShowing("alpha");
    release(VK_UP);
    expectBoxShowing("be");
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    show();
    release(VK_DOWN);
    expectBoxShowing("alpha");
    release(VK_UP);
    expectBoxShowing("be");
}

TEST_F(SearchBoxTest, WhileACompositionIsOpenModeAndHistoryKeysChangeNothing) {
    startWith();
    search("word");
    ASSERT_TRUE(waitLaunches(1));
    show();

    DWORD_PTR result = 0;
    sendToBox(WM_IME_STARTCOMPOSITION, 0, 0, &result);
    EXPECT_EQ(result, 1u);
    for (WORD key : {VK_NEXT, VK_PRIOR, VK_UP, VK_DOWN}) release(key);
    EXPECT_EQ(label(), kModeLabels[0]);
    EXPECT_EQ(box(), "");

    sendToBox(WM_IME_ENDCOMPOSITION, 0, 0, &result);
    EXPECT_EQ(result, 1u);
    release(VK_NEXT);
    EXPECT_EQ(label(), kModeLabels[1]);
    release(VK_UP);
    EXPECT_EQ(box(), "word");

    // Escape still acts during a composition.
    sendToBox(WM_IME_STARTCOMPOSITION, 0, 0);
    release(VK_ESCAPE);
    EXPECT_TRUE(waitVisible(false));
}

TEST_F(SearchBoxTest, TheEnterThatCommitsAConversionNeitherSearchesNorHides) {
    startWith();
    watchTraces();
    show();
    setBox("abc");

    // The result of the conversion arrives while Enter is down.
    keyDown(VK_RETURN);
    ::Sleep(200);
    sendToBox(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    keyUp(VK_RETURN);
    // Keys are handled in order: once a typed letter shows, the release of
    // Enter has been handled.
    tap('X');
    ASSERT_TRUE(waitFor([&] { return box().find('x') != std::string::npos; }, 3000))
        << "the box still takes keys";
    tap(VK_BACK);
    ASSERT_TRUE(waitFor([&] { return box() == "abc"; }, 3000));
    EXPECT_TRUE(::IsWindowVisible(program.window()));
    EXPECT_TRUE(launches().empty());
    EXPECT_EQ(traces.text(), "imeNotify Return\n");

    // A result while Enter is up does not count as a commit: the next
    // Enter searches and hides.
    sendToBox(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    sendToBox(WM_IME_ENDCOMPOSITION, 0, 0);
    EXPECT_EQ(traces.text(), "imeNotify Return\nimeEnd\n");
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_NE(launches()[0].find("&q=abc&"), std::string::npos) << launches()[0];
}

TEST_F(SearchBoxTest, GoogleStartOnReturnsToTheWebSearchOnEveryHideAndShow) {
    startWith();  // googleStart defaults to 1
    show();
    release(VK_NEXT);
    release(VK_NEXT);
    ASSERT_EQ(label(), kModeLabels[2]);
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    EXPECT_EQ(label(), kModeLabels[0]) << "reset on the hide";
    show();
    EXPECT_EQ(label(), kModeLabels[0]);
}

TEST_F(SearchBoxTest, GoogleStartOffKeepsTheModeAndShiftEnterSearchesTheWebWithoutChangingIt) {
    startWith("[otherInfo]\r\ngoogleStart=0\r\n");
    show();
    for (int i = 0; i < 3; ++i) release(VK_NEXT);
    ASSERT_EQ(label(), kModeLabels[3]);
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    show();
    EXPECT_EQ(label(), kModeLabels[3]) << "the mode survives hide and show";

    setBox("日本");
    releaseWithShift(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0],
              "http://www.google.co.jp/search?hl=ja&q=%e6%97%a5%e6%9c%ac"
              "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja");
    EXPECT_EQ(label(), kModeLabels[3]);
    show();
    EXPECT_EQ(label(), kModeLabels[3]);
}

// Wine runs no input method, but keeps the open status of the context,
// which is what the program sets.
TEST_F(SearchBoxTest, AModeOpensOrClosesTheInputMethodAsItAsksAndOtherModesLeaveIt) {
    startWith("[otherInfo]\r\ngoogleStart=0\r\n[SearchModes]\r\nime2=on\r\nime3=off\r\n");
    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));
    show();
    const LONG atStart = probe.inputMethodOpen();
    ASSERT_GE(atStart, 0) << "the box has an input context";
    release(VK_NEXT);  // mode 1: no wish
    EXPECT_EQ(probe.inputMethodOpen(), atStart);
    release(VK_NEXT);  // mode 2: on
    EXPECT_EQ(probe.inputMethodOpen(), 1);
    release(VK_NEXT);  // mode 3: off
    EXPECT_EQ(probe.inputMethodOpen(), 0);
    release(VK_PRIOR);  // mode 2 again
    EXPECT_EQ(probe.inputMethodOpen(), 1);
    // The hide closes it; showing in mode 2 opens it again.
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    EXPECT_EQ(probe.inputMethodOpen(), 0);
    show();
    EXPECT_EQ(label(), kModeLabels[2]);
    EXPECT_EQ(probe.inputMethodOpen(), 1);
}

TEST_F(SearchBoxTest, WithoutAnInputContextHidingShowsNoMessage) {
    startWith();
    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));
    ASSERT_TRUE(probe.breakInputMethod(kImeNoContext));
    for (int hide = 0; hide < 2; ++hide) {
        show();
        release(VK_ESCAPE);
        // A message would come before the window hides, and keep it up.
        ASSERT_TRUE(waitVisible(false));
        EXPECT_TRUE(messageBoxes().empty());
    }
}

TEST_F(SearchBoxTest, AnInputMethodThatCannotCloseGivesOneMessagePerHide) {
    startWith();
    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));
    ASSERT_TRUE(probe.breakInputMethod(kImeCloseFails));
    show();
    release(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return !messageBoxes().empty(); }, 5000));
    HWND first = messageBox();
    EXPECT_EQ(windowText(::GetDlgItem(first, 0xFFFF)), "IME閉じるのに失敗");
    // The box took the activation and the hide path ran again beneath it:
    // that run hides the window and must not open a box of its own.
    EXPECT_TRUE(waitVisible(false));
    EXPECT_TRUE(waitFor([&] { return probe.imeCloseCalls() >= 2; }, 3000))
        << "the second run tried to close the input method";
    EXPECT_EQ(messageBoxes().size(), 1u);

    ::PostMessageA(first, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return messageBoxes().empty(); }, 3000));
    // Closing it opens no next one.
    EXPECT_FALSE(waitFor([&] { return !messageBoxes().empty(); }, 1000));
    EXPECT_FALSE(::IsWindowVisible(program.window()));
}

}  // namespace
