#pragma once
// Collects what a running program writes to the debugger output
// (OutputDebugStringA): attaches to it as its debugger on a thread of its
// own and detaches, leaving the program running, when it goes.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace lvtest {

class DebugOutput {
  public:
    DebugOutput() = default;
    ~DebugOutput() { detach(); }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // Attaches to process `pid` and returns once the program runs again
    // (its attach breakpoint continued); false when that fails.
    bool attach(DWORD pid);
    void detach();
    // Everything written so far, in order: a line the program wrote before
    // it answered a message (sent by the caller) is in it.
    std::string text();

  private:
    void run(DWORD pid);

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> attached_{0};  // 0 pending, 1 attached, -1 failed
    std::mutex mutex_;
    std::condition_variable handled_;
    bool handling_ = false;  // an event of the program's is being handled
    std::string text_;
};

}  // namespace lvtest
