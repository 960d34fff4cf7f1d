// How long the program's GUI thread stays away from its message queue while
// a search runs (not a test; bench/gui-wait runs it under Wine, see README).
// A thread of this process sends the search window WM_NULL back to back and
// keeps the longest wait for an answer, from the release of Enter until the
// stand-in browser has been started and the window is hidden. The same is
// measured with the program idle, for the cost of the round trip itself.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "tests/win/search_fixture.h"

namespace {

using namespace lvtest;

class Pinger {
  public:
    explicit Pinger(HWND window) : window_(window) {
        thread_ = ::CreateThread(nullptr, 0, &Pinger::run, this, 0, nullptr);
    }
    // The longest wait in milliseconds.
    double stop() {
        stop_ = true;
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
        return longest_;
    }

  private:
    static DWORD WINAPI run(LPVOID self) {
        static_cast<Pinger*>(self)->loop();
        return 0;
    }
    void loop() {
        LARGE_INTEGER frequency, before, after;
        ::QueryPerformanceFrequency(&frequency);
        while (!stop_) {
            DWORD_PTR ignored = 0;
            ::QueryPerformanceCounter(&before);
            ::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
            ::QueryPerformanceCounter(&after);
            const double ms =
                1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) / frequency.QuadPart;
            longest_ = std::max(longest_, ms);
        }
    }

    HWND window_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    double longest_ = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class GuiWait : public SearchFixture {};

TEST_F(GuiWait, LongestAbsenceFromTheQueueDuringASearch) {
    registerBrowser();
    startWith();
    constexpr int kRounds = 15;
    std::vector<double> idle, searching;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_NO_FATAL_FAILURE(show());
        setBox("lumenvik");
        Pinger quiet(program.window());
        ::Sleep(300);
        idle.push_back(quiet.stop());

        Pinger pinger(program.window());
        release(VK_RETURN);
        ASSERT_TRUE(waitVisible(false));
        ASSERT_TRUE(waitLaunches(static_cast<std::size_t>(i + 1)));
        searching.push_back(pinger.stop());
    }
    ASSERT_TRUE(waitBrowsersDone());
    std::printf(
        "longest wait for the GUI thread, ms (%d searches): idle median %.1f max %.1f; "
        "searching median %.1f max %.1f\n",
        kRounds, median(idle), *std::max_element(idle.begin(), idle.end()), median(searching),
        *std::max_element(searching.begin(), searching.end()));
}

}  // namespace
