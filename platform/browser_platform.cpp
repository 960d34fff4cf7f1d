#include "platform/browser_platform.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "win/text.h"

namespace lumenvik::win {
namespace {

HKEY toHkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

// One launch, handed to the thread that carries it out: a shell launch, or
// a process started from `commandLine` when that is given.
struct Launch {
    const std::string* operation;
    const std::string* file;
    const std::string* parameters;
    const std::string* commandLine;
    bool started = false;
};

bool startProcess(const std::string& commandLine) {
    // CreateProcess may write into the command line.
    std::wstring text = wide(commandLine);
    std::vector<wchar_t> line(text.begin(), text.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

// The launch on a thread of its own, as the shell asks of a caller that
// is not its own: COM in a single-threaded apartment, and a call that
// finishes its work (a DDE conversation with the browser among it) before
// it returns, since the thread ends right after.
DWORD WINAPI launchThread(LPVOID param) {
    auto* launch = static_cast<Launch*>(param);
    if (launch->commandLine != nullptr) {
        launch->started = startProcess(*launch->commandLine);
        return 0;
    }
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring operation = wide(*launch->operation);
    const std::wstring file = wide(*launch->file);
    const std::wstring parameters = wide(*launch->parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own, as ShellExecuteA shows none: the
    // program tells the failure in its own words.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = operation.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // hInstApp is an instance handle only in name: above 32 means started.
    launch->started =
        ::ShellExecuteExW(&info) != FALSE && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    if (SUCCEEDED(com)) ::CoUninitialize();
    return 0;
}

bool launchAndWait(Launch& launch) {
    // A cold browser or a DDE association keeps the shell for seconds. The
    // caller still waits for the outcome (its message and what the user
    // sees next depend on it), but messages other threads send it are
    // answered meanwhile; posted ones and input wait, so nothing of the
    // program runs in between.
    HANDLE thread = ::CreateThread(nullptr, 0, &launchThread, &launch, 0, nullptr);
    if (thread == nullptr) {
        launchThread(&launch);  // no thread to be had: here, as before
        return launch.started;
    }
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) break;
        // Answers the sent messages; takes nothing out of the queue.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    // Only a failed wait gets here with the thread still running.
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return launch.started;
}

}  // namespace

bool Win32BrowserPlatform::openClassesRootKey(const std::string& path, RegistryKey& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyW(HKEY_CLASSES_ROOT, wide(path).c_str(), &opened) != ERROR_SUCCESS)
        return false;
    open_.emplace_back(opened);
    key = reinterpret_cast<RegistryKey>(opened);
    return true;
}

bool Win32BrowserPlatform::readDefaultValue(RegistryKey key, std::size_t bufferBytes,
                                            std::string& value) {
    // One byte more than the size handed over, so that the text always ends
    // in a NUL even if the registry stored it without one.
    std::vector<char> buffer(bufferBytes + 1, '\0');
    LONG size = static_cast<LONG>(bufferBytes);
    if (::RegQueryValueA(toHkey(key), "", buffer.data(), &size) != ERROR_SUCCESS) return false;
    // Read in the ANSI code page, where the sizes above count; handed on as
    // UTF-8 like every text of the program.
    value = utf8(wideFromAnsi(buffer.data()));
    return true;
}

void Win32BrowserPlatform::closeKey(RegistryKey key) {
    const auto it = std::find_if(open_.begin(), open_.end(), [&](const OwnedRegKey& owned) {
        return owned.get() == toHkey(key);
    });
    if (it != open_.end()) open_.erase(it);  // its owner closes it
}

std::string Win32BrowserPlatform::upperCase(const std::string& text) {
    std::wstring copy = wide(text);
    if (copy.empty()) return text;
    ::CharUpperBuffW(&copy[0], static_cast<DWORD>(copy.size()));
    return utf8(copy);
}

bool Win32BrowserPlatform::shellExecute(const std::string& operation, const std::string& file,
                                        const std::string& parameters) {
    Launch launch{&operation, &file, &parameters, nullptr};
    return launchAndWait(launch);
}

bool Win32BrowserPlatform::createProcess(const std::string& commandLine) {
    Launch launch{nullptr, nullptr, nullptr, &commandLine};
    return launchAndWait(launch);
}

void Win32BrowserPlatform::messageBox(const std::string& text, const std::string& caption) {
    ::MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(), MB_OK);
}

}  // namespace lumenvik::win
