#pragma once
// Collects the debugger output (OutputDebugStringA) of one process, the way
// a debug-output viewer does: through the DBWIN_BUFFER shared block.

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lvtest {

class DebugOutput {
  public:
    DebugOutput();
    ~DebugOutput();
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // False when another viewer holds the shared block.
    bool listening() const { return memory_ != nullptr; }
    // The texts that process `pid` sent so far, in order.
    std::vector<std::string> texts(DWORD pid);

  private:
    void run();

    HANDLE bufferReady_ = nullptr, dataReady_ = nullptr, mapping_ = nullptr, stop_ = nullptr;
    const char* memory_ = nullptr;
    std::mutex lock_;
    std::vector<std::pair<DWORD, std::string>> received_;
    std::thread thread_;
};

}  // namespace lvtest
