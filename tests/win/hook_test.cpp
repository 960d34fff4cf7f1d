// tapwatch.dll in this process: arming, the message it posts, re-keying and
// silence after destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "hook/event_ring.h"
#include "hook/keyboard_hook.h"
#include "tests/win/program_driver.h"

namespace {

using lvtest::doublePress;

LRESULT CALLBACK plainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

class HookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &plainProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "lvtest.hooktarget";
        ::RegisterClassA(&wc);
        window = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { ::DestroyWindow(window); }

    // Runs this thread's messages and counts the toggles that arrive.
    int toggles(DWORD ms = 600) {
        int count = 0;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < ms) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TOGGLE_WINDOW && msg.hwnd == window) ++count;
                ::DispatchMessageA(&msg);
            }
        }
        return count;
    }
    int pressAndCount(WORD vk) {
        std::thread typist([vk] { doublePress(vk); });
        const int n = toggles();
        typist.join();
        return n;
    }

    HWND window = nullptr;
};

TEST_F(HookTest, SetRefusesAWindowThatDoesNotExist) {
    CKeyboardHook hook;
    EXPECT_EQ(hook.set(nullptr, VK_CONTROL, 500.0f), 0);
    EXPECT_EQ(hook.set(reinterpret_cast<HWND>(0x7FFF0), VK_CONTROL, 500.0f), 0);
}

TEST_F(HookTest, ADoublePressPostsOneToggleAndTheKeyCanChange) {
    CKeyboardHook hook;
    ASSERT_NE(hook.set(window, VK_CONTROL, 500.0f), 0);
    EXPECT_EQ(pressAndCount(VK_CONTROL), 1);
    hook.setShowWindowKey(VK_SHIFT);
    EXPECT_EQ(pressAndCount(VK_CONTROL), 0);
    EXPECT_EQ(pressAndCount(VK_SHIFT), 1);
    hook.setIntervalTime(0.0f);
    EXPECT_EQ(pressAndCount(VK_SHIFT), 0);
}

TEST_F(HookTest, NothingArrivesAfterTheDestructor) {
    auto* hook = new CKeyboardHook;
    ASSERT_NE(hook->set(window, VK_CONTROL, 500.0f), 0);
    // Let the hook post a toggle but leave it in the queue.
    std::thread typist([] { doublePress(VK_CONTROL); });
    MSG msg;
    const bool queued = lvtest::waitFor(
        [&] {
            // Peeks without taking the toggle out.
            return ::PeekMessageA(&msg, window, WM_TOGGLE_WINDOW, WM_TOGGLE_WINDOW, PM_NOREMOVE) !=
                   FALSE;
        },
        3000);
    typist.join();
    ASSERT_TRUE(queued);
    delete hook;
    EXPECT_FALSE(::PeekMessageA(&msg, window, WM_TOGGLE_WINDOW, WM_TOGGLE_WINDOW, PM_NOREMOVE));
    EXPECT_EQ(pressAndCount(VK_CONTROL), 0);
}

// The ring of recent events is diagnostics, never a keystroke log: empty
// until asked for, then the watched key with its side and what the
// detector decided, any other key without its code.
TEST_F(HookTest, TheRingRecordsOnlyOnceAskedAndNoOtherKeysCode) {
    CKeyboardHook hook;
    ASSERT_NE(hook.set(window, VK_CONTROL, 500.0f), 0);
    HWND watch = ::FindWindowA("tapwatch.watchdog", nullptr);
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(pressAndCount('Q'), 0);
    const auto* ring =
        reinterpret_cast<const tapwatch::EventRing*>(::SendMessageA(watch, WM_TAPWATCH_RING, 0, 0));
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->count, 0u) << "recorded before it was asked to";

    EXPECT_EQ(pressAndCount('Q'), 0);
    EXPECT_EQ(pressAndCount(VK_CONTROL), 1);
    // Q down, up, down, up; then Ctrl the same: other key, other key ...
    // first press, released, double press, released.
    ASSERT_EQ(ring->count, 8u);
    using E = tapwatch::RingEntry;
    const struct {
        uint8_t what;
        bool watched;
        uint8_t decision;
    } want[] = {{E::keyDown, false, 1}, {E::keyUp, false, 1},  {E::keyDown, false, 1},
                {E::keyUp, false, 1},   {E::keyDown, true, 2}, {E::keyUp, true, 3},
                {E::keyDown, true, 5},  {E::keyUp, true, 3}};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const tapwatch::RingEntry& e = ring->entries[i];
        EXPECT_EQ(e.what, want[i].what);
        // Ctrl with its side where the system names it (left for SendInput).
        if (want[i].watched) {
            EXPECT_TRUE(e.key == VK_CONTROL || e.key == VK_LCONTROL) << int{e.key};
        } else {
            EXPECT_EQ(e.key, 0);
        }
        EXPECT_EQ(e.decision, want[i].decision);
    }
    // Nowhere in the ring's bytes is Q's code, nor its scan code.
    const auto* bytes = reinterpret_cast<const unsigned char*>(ring->entries);
    const UINT scan = ::MapVirtualKeyA('Q', MAPVK_VK_TO_VSC);
    for (size_t i = 0; i < 4 * sizeof(tapwatch::RingEntry); ++i) {
        if ((i % sizeof(tapwatch::RingEntry)) < sizeof(uint32_t)) continue;  // the time
        EXPECT_NE(bytes[i], 'Q');
        EXPECT_NE(bytes[i], scan);
    }
}

}  // namespace
