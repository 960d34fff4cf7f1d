#include "tests/win/debug_output.h"

#include <chrono>
#include <vector>

#include "tests/win/program_driver.h"

namespace lvtest {

bool DebugOutput::attach(DWORD pid) {
    detach();
    stop_ = false;
    attached_ = 0;
    thread_ = std::thread([this, pid] { run(pid); });
    // Until the attach's own events have been continued, every thread of
    // the program stands still, the hook thread too: a key pressed then
    // reaches no live hook.
    waitFor([&] { return attached_ != 0; }, 5000);
    return attached_ == 1;
}

void DebugOutput::detach() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
}

std::string DebugOutput::text() {
    // A line is added once its event has been continued, and the program
    // runs on at once: a caller woken by the program's answer would
    // otherwise read the text before the line is in it. The bound only
    // keeps a stuck debugger from stopping the test.
    std::unique_lock<std::mutex> lock(mutex_);
    handled_.wait_for(lock, std::chrono::seconds(5), [&] { return !handling_; });
    return text_;
}

void DebugOutput::run(DWORD pid) {
    // The debugger is the thread that attached: every event is waited for
    // and continued here.
    if (!::DebugActiveProcess(pid)) {
        attached_ = -1;
        return;
    }
    ::DebugSetProcessKillOnExit(FALSE);
    bool exited = false;
    DWORD breakThread = 0;
    while (!stop_ && !exited) {
        DEBUG_EVENT event{};
        if (!::WaitForDebugEvent(&event, 50)) continue;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            handling_ = true;
        }
        DWORD status = DBG_CONTINUE;
        bool running = false;
        std::string piece;  // told once the program runs on
        switch (event.dwDebugEventCode) {
            case OUTPUT_DEBUG_STRING_EVENT: {
                const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
                HANDLE process = ::OpenProcess(PROCESS_VM_READ, FALSE, pid);
                std::vector<char> bytes(info.nDebugStringLength, '\0');
                SIZE_T got = 0;
                if (process != nullptr && !bytes.empty() && info.fUnicode == 0 &&
                    ::ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(),
                                        &got)) {
                    // The length counts the terminating NUL.
                    piece.assign(bytes.data(), got);
                    if (!piece.empty() && piece.back() == '\0') piece.pop_back();
                }
                if (process != nullptr) ::CloseHandle(process);
                break;
            }
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile != nullptr)
                    ::CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile != nullptr) ::CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                // The attach breakpoint is ours; everything else is the program's.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                else if (attached_ == 0)
                    breakThread = event.dwThreadId;
                break;
            case EXIT_THREAD_DEBUG_EVENT:
                running = event.dwThreadId == breakThread && attached_ == 0;
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                exited = true;
                break;
            default:
                break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        // A reader that acts on a line finds the program's threads running,
        // not stopped at the line.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            text_ += piece;
            handling_ = false;
        }
        handled_.notify_all();
        // The attach breakpoint comes after the process, its threads and
        // its DLLs have been reported, on a thread of its own; once that
        // thread's end is continued, the attach has nothing more to say
        // and the program runs again.
        if (running) attached_ = 1;
    }
    if (attached_ == 0) attached_ = -1;
    if (!exited) ::DebugActiveProcessStop(pid);
}

}  // namespace lvtest
