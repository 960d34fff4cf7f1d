#include "platform/browser_platform.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "search/search_command.h"
#include "win/text.h"

namespace lumenvik::win {
namespace {

HKEY toHkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

// The starts of one thread, made in turn; owned by that thread.
struct Job {
    HWND window;
    std::vector<std::pair<UINT_PTR, BrowserStart>> starts;
};

// Starts `commandLine`; the process's handle, when it started, goes to
// `process` (the caller closes it).
bool startProcess(const std::string& commandLine, HANDLE& process) {
    // CreateProcess may write into the command line.
    std::wstring text = wide(commandLine);
    std::vector<wchar_t> line(text.begin(), text.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    process = info.hProcess;
    return true;
}

// As the shell asks of a caller that is not its own: COM in a
// single-threaded apartment, and a call that finishes its work (a DDE
// conversation with the browser among it) before it returns, since the
// thread ends right after.
// The process the shell started, if it started one (not so for a DDE
// conversation), goes to `process`.
bool shellOpen(const std::string& file, const std::string& parameters, HANDLE& process) {
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring wideFile = wide(file);
    const std::wstring wideParameters = wide(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the program tells the failure in
    // its own words.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // hInstApp is an instance handle only in name: above 32 means started.
    const bool started =
        ::ShellExecuteExW(&info) != FALSE && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    if (started) {
        process = info.hProcess;
    } else if (info.hProcess != nullptr) {
        ::CloseHandle(info.hProcess);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return started;
}

// A browser that runs already opens an address given to a new process of
// it once that process has handed it over, and the process then ends; a
// browser that did not run shows it itself and then waits for input. The
// next site is started after either, so that the browser opens the sites
// in order; a process that does neither holds the next one back for
// kHandOverMs at most.
constexpr DWORD kHandOverMs = 3000;

void awaitHandOver(HANDLE process) {
    // Returns on the process's end too; fails for one without windows.
    if (::WaitForInputIdle(process, kHandOverMs) == WAIT_FAILED)
        ::WaitForSingleObject(process, kHandOverMs);
}

// A cold browser or a DDE association keeps the shell for seconds, a
// broken handler for ever: the thread may wait, the window never does.
DWORD WINAPI launchThread(LPVOID param) {
    const std::unique_ptr<Job> job(static_cast<Job*>(param));
    for (std::size_t i = 0; i < job->starts.size(); ++i) {
        const auto& [id, start] = job->starts[i];
        HANDLE process = nullptr;
        const bool started = start.way == BrowserStart::Way::process
                                 ? startProcess(start.commandLine, process)
                                 : shellOpen(start.file, start.parameters, process);
        // Fails only when the window is gone: the program is ending.
        ::PostMessageW(job->window, WM_BROWSER_LAUNCHED, id, started ? 1 : 0);
        if (process != nullptr) {
            if (i + 1 < job->starts.size()) awaitHandOver(process);
            ::CloseHandle(process);
        }
    }
    return 0;
}

void show(const LaunchMessage& message) {
    ::MessageBoxW(nullptr, wide(message.text).c_str(), wide(message.caption).c_str(), MB_OK);
}

// The text of a REG_SZ or REG_EXPAND_SZ value's bytes (as many as the
// registry gave), without the NULs it may end in.
std::wstring textOfValue(const std::vector<BYTE>& data, DWORD bytes) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), bytes / sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
}

std::wstring expanded(const std::wstring& text) {
    const DWORD units = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (units == 0) return text;
    std::wstring out(units, L'\0');
    const DWORD got = ::ExpandEnvironmentStringsW(text.c_str(), &out[0], units);
    if (got == 0 || got > units) return text;
    out.resize(got - 1);
    return out;
}

// Reads a text value whole: its size is asked first, and asked again when
// it grew between the two reads.
bool queryText(HKEY key, const wchar_t* name, std::wstring& text) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        std::vector<BYTE> data(bytes + sizeof(wchar_t), 0);
        DWORD got = bytes;
        const LONG read = ::RegQueryValueExW(key, name, nullptr, &type, data.data(), &got);
        if (read == ERROR_MORE_DATA) continue;
        if (read != ERROR_SUCCESS) return false;
        text = textOfValue(data, got);
        if (type == REG_EXPAND_SZ) text = expanded(text);
        return true;
    }
    return false;
}

}  // namespace

void BrowserLaunches::begin(const BrowserStart& start) {
    const UINT_PTR id = next_++;
    pending_[id] = Pending{start};
    ::SetTimer(window_, id, kOverdueSeconds * 1000, nullptr);
    held_.push_back(id);
    if (!holding_) release();
}

void BrowserLaunches::release() {
    holding_ = false;
    if (held_.empty()) return;
    auto job = std::make_unique<Job>();
    job->window = window_;
    for (UINT_PTR id : held_) job->starts.emplace_back(id, pending_[id].start);
    const std::vector<UINT_PTR> ids = std::move(held_);
    held_.clear();
    HANDLE thread = ::CreateThread(nullptr, 0, &launchThread, job.get(), 0, nullptr);
    if (thread == nullptr) {
        // No thread to be had: nothing started, told as failed starts.
        for (UINT_PTR id : ids) ::PostMessageW(window_, WM_BROWSER_LAUNCHED, id, 0);
        return;
    }
    job.release();  // the thread's now
    ::CloseHandle(thread);
}

bool BrowserLaunches::processMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_BROWSER_LAUNCHED && msg != WM_TIMER) return false;
    const auto it = pending_.find(static_cast<UINT_PTR>(wParam));
    if (it == pending_.end()) return msg == WM_BROWSER_LAUNCHED;
    // Both below may show a message box, whose loop can bring the other
    // message of the same launch: the entry is settled first.
    ::KillTimer(window_, it->first);
    if (msg == WM_TIMER) {
        if (it->second.toldOverdue) return true;
        it->second.toldOverdue = true;
        show(launchOverdueMessage(it->second.start, kOverdueSeconds));
        return true;
    }
    const BrowserStart start = std::move(it->second.start);
    pending_.erase(it);
    if (lParam != 0) {
        for (const std::string& piece : launchTrace(start.url)) ::OutputDebugStringA(piece.c_str());
    } else {
        show(launchFailedMessage(start));
    }
    return true;
}

bool Win32BrowserPlatform::openClassesRootKey(const std::string& path, RegistryKey& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(path).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    open_.emplace_back(opened);
    key = reinterpret_cast<RegistryKey>(opened);
    return true;
}

bool Win32BrowserPlatform::readDefaultValue(RegistryKey key, std::size_t bufferUnits,
                                            std::string& value) {
    // One unit more than the size handed over, so that the text always ends
    // in a NUL even if the registry stored it without one.
    std::vector<wchar_t> buffer(bufferUnits + 1, L'\0');
    LONG size = static_cast<LONG>(bufferUnits * sizeof(wchar_t));
    // RegQueryValueW: a key without a default value reads as the empty text.
    if (::RegQueryValueW(toHkey(key), nullptr, buffer.data(), &size) != ERROR_SUCCESS) return false;
    value = utf8(buffer.data());
    return true;
}

bool Win32BrowserPlatform::readValue(RegistryKey key, const std::string& name, std::string& value) {
    std::wstring text;
    if (!queryText(toHkey(key), name.empty() ? nullptr : wide(name).c_str(), text)) return false;
    value = utf8(text);
    return true;
}

void Win32BrowserPlatform::closeKey(RegistryKey key) {
    const auto it = std::find_if(open_.begin(), open_.end(), [&](const OwnedRegKey& owned) {
        return owned.get() == toHkey(key);
    });
    if (it != open_.end()) open_.erase(it);  // its owner closes it
}

bool Win32BrowserPlatform::readUserChoice(const std::string& scheme, std::string& progId) {
    const std::wstring path =
        L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\" + wide(scheme) +
        L"\\UserChoice";
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    const OwnedRegKey key(opened);
    std::wstring text;
    if (!queryText(key.get(), L"ProgId", text)) return false;
    progId = utf8(text);
    return true;
}

std::string Win32BrowserPlatform::upperCase(const std::string& text) {
    std::wstring copy = wide(text);
    if (copy.empty()) return text;
    ::CharUpperBuffW(&copy[0], static_cast<DWORD>(copy.size()));
    return utf8(copy);
}

void Win32BrowserPlatform::start(const BrowserStart& start) { launches_.begin(start); }

void Win32BrowserPlatform::messageBox(const std::string& text, const std::string& caption) {
    show({text, caption});
}

LaunchIssue openUrl(BrowserLaunches& launches, const std::string& url, const std::string& browser,
                    std::size_t wordLength, const std::string& siteName) {
    Win32BrowserPlatform platform(launches);
    return browser.empty() ? launchInDefaultBrowser(url, wordLength, platform, siteName)
                           : launchWithCommand(browser, url, wordLength, platform, siteName);
}

}  // namespace lumenvik::win
