#include "tests/win/debug_output.h"

#include <cstring>

namespace lvtest {

DebugOutput::DebugOutput() {
    bufferReady_ = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    if (bufferReady_ != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) return;
    dataReady_ = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    mapping_ = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                    "DBWIN_BUFFER");
    stop_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (dataReady_ == nullptr || mapping_ == nullptr || stop_ == nullptr) return;
    memory_ = static_cast<const char*>(::MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096));
    if (memory_ != nullptr) thread_ = std::thread([this] { run(); });
}

DebugOutput::~DebugOutput() {
    if (stop_ != nullptr) ::SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
    if (memory_ != nullptr) ::UnmapViewOfFile(memory_);
    for (HANDLE h : {bufferReady_, dataReady_, mapping_, stop_}) {
        if (h != nullptr) ::CloseHandle(h);
    }
}

void DebugOutput::run() {
    const HANDLE waits[2] = {dataReady_, stop_};
    for (;;) {
        ::SetEvent(bufferReady_);
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
        DWORD pid = 0;
        std::memcpy(&pid, memory_, sizeof pid);
        const char* text = memory_ + sizeof pid;
        std::lock_guard<std::mutex> hold(lock_);
        received_.emplace_back(pid, std::string(text, strnlen(text, 4096 - sizeof pid)));
    }
}

std::vector<std::string> DebugOutput::texts(DWORD pid) {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> out;
    for (const auto& [from, text] : received_) {
        if (from == pid) out.push_back(text);
    }
    return out;
}

}  // namespace lvtest
