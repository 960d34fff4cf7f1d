#include "tests/win/program_driver.h"

#include <shellapi.h>

#include <cstdio>
#include <utility>

#include "hook/event_ring.h"
#include "hook/messages.h"

#ifndef LUMENVIK_EXE
#error "LUMENVIK_EXE names the program under test"
#endif

namespace lvtest {

namespace {

const char kSearchWindowClass[] = "#32770";

// In UTF-16: a test's folder may hold names outside the code page.
void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

std::string readAll(HANDLE f) {
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(f);
    return bytes;
}

void writeAll(HANDLE f, const std::string& bytes) {
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

struct FindContext {
    DWORD pid;
    const char* className;
    const char* caption;
    std::vector<HWND>* out;
};

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM param) {
    auto* ctx = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ctx->pid) return TRUE;
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (ctx->className != nullptr && lstrcmpA(cls, ctx->className) != 0) return TRUE;
    if (ctx->caption != nullptr && windowText(hwnd) != ctx->caption) return TRUE;
    ctx->out->push_back(hwnd);
    return TRUE;
}

void sendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}

LRESULT CALLBACK holderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

TempDir::TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(sizeof base, base);
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%slvtest-%lu-%llx-%d", base, ::GetCurrentProcessId(),
                      static_cast<unsigned long long>(counter.QuadPart), attempt);
        if (::CreateDirectoryA(name, nullptr)) {
            path_ = name;
            // The name is ASCII: the same folder below the wide temp path.
            wchar_t wideBase[MAX_PATH];
            ::GetTempPathW(MAX_PATH, wideBase);
            const std::string own = path_.substr(std::string(base).size());
            widePath_ = std::wstring(wideBase) + std::wstring(own.begin(), own.end());
            return;
        }
    }
}

TempDir::~TempDir() {
    if (!widePath_.empty()) removeTree(widePath_);
}

void writeFile(const std::string& path, const std::string& bytes) {
    writeAll(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
             bytes);
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    writeAll(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr),
             bytes);
}

std::string readFile(const std::string& path) {
    return readAll(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string readFile(const std::wstring& path) {
    return readAll(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool fileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string windowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

Program::~Program() { stop(); }

bool Program::startFailed(const std::string& step) {
    startError_ = step + ", error " + std::to_string(::GetLastError());
    return false;
}

bool Program::start(const std::string& programDir, const std::string& arguments, int showCommand,
                    const std::string& workDir) {
    const std::string built = windowsPath(LUMENVIK_EXE);
    const std::string exe = programDir + "\\lumenvik.exe";
    const std::string dll = programDir + "\\tapwatch.dll";
    startError_.clear();
    // A copy left by an earlier start in this folder is used again.
    if (!::CopyFileA(built.c_str(), exe.c_str(), FALSE) && !fileExists(exe))
        return startFailed("copying the program to " + exe);
    const std::string builtDll = built.substr(0, built.rfind('\\')) + "\\tapwatch.dll";
    if (!::CopyFileA(builtDll.c_str(), dll.c_str(), FALSE) && !fileExists(dll))
        return startFailed("copying the hook library to " + dll);
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(showCommand);
    }
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    const std::string& dir = workDir.empty() ? programDir : workDir;
    if (!::CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                          &si, &info_)) {
        return startFailed("starting " + exe + " in " + dir);
    }
    return true;
}

bool Program::start(const std::wstring& programDir) {
    const std::string builtA = windowsPath(LUMENVIK_EXE);  // ASCII: the build tree's
    const std::wstring built(builtA.begin(), builtA.end());
    const std::wstring exe = programDir + L"\\lumenvik.exe";
    const std::wstring builtDll = built.substr(0, built.rfind(L'\\')) + L"\\tapwatch.dll";
    // The folder's name may not be ASCII: the step says what failed, not where.
    startError_.clear();
    if (!::CopyFileW(built.c_str(), exe.c_str(), FALSE) && !fileExists(exe))
        return startFailed("copying the program (wide path)");
    if (!::CopyFileW(builtDll.c_str(), (programDir + L"\\tapwatch.dll").c_str(), FALSE) &&
        !fileExists(programDir + L"\\tapwatch.dll")) {
        return startFailed("copying the hook library (wide path)");
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          programDir.c_str(), &si, &info_)) {
        return startFailed("starting the program (wide path)");
    }
    return true;
}

bool Program::waitReady(DWORD ms) {
    if (info_.hProcess == nullptr) return false;
    // Idle means the message loop waits for input: the start-up has created
    // the window, run its initialisation and hidden it.
    if (::WaitForInputIdle(info_.hProcess, ms) != 0) return false;
    const bool exists = waitFor(
        [&] {
            HWND w = window();
            return w != nullptr && !::IsWindowVisible(w);
        },
        ms);
    // The window can exist before its initialisation has armed the hooks:
    // ready means the hook thread's window answers too, which hands over
    // the ring of its events.
    return exists &&
           waitFor(
               [&] {
                   for (HWND watch : findWindows(info_.dwProcessId, "tapwatch.watchdog", nullptr)) {
                       DWORD_PTR address = 0;
                       if (::SendMessageTimeoutA(watch, WM_TAPWATCH_RING, 0, 0, SMTO_ABORTIFHUNG,
                                                 1000, &address) &&
                           address != 0) {
                           ring_ = address;
                       }
                   }
                   return ring_ != 0;
               },
               ms);
}

bool Program::readRing(void* ring) const {
    SIZE_T got = 0;
    return ring_ != 0 && info_.hProcess != nullptr &&
           ::ReadProcessMemory(info_.hProcess, reinterpret_cast<LPCVOID>(ring_), ring,
                               sizeof(tapwatch::EventRing), &got) &&
           got == sizeof(tapwatch::EventRing);
}

HHOOK Program::keyboardHook() const {
    tapwatch::EventRing ring;
    if (!readRing(&ring)) return nullptr;
    return reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(ring.keyboardHook));
}

std::string Program::hookEvents() const {
    // First whether there is a program to show at all.
    std::string state;
    if (info_.hProcess == nullptr) {
        state = "the program: not started (" + startError_ + ")\n";
    } else if (running()) {
        state = std::string("the program: running, its search window ") +
                (window() != nullptr ? "found\n" : "not found (or not answering)\n");
    } else {
        DWORD code = 0;
        ::GetExitCodeProcess(info_.hProcess, &code);
        char line[64];
        std::snprintf(line, sizeof line, "the program: ended, exit code 0x%08lx\n",
                      static_cast<unsigned long>(code));
        state = line;
    }
    tapwatch::EventRing ring;
    if (!readRing(&ring)) return state + "the keyboard hook's events: not readable\n";
    const DWORD now = ::GetTickCount();
    char line[160];
    std::snprintf(line, sizeof line,
                  "the keyboard hook's last %lu events (times in ms before now):\n",
                  static_cast<unsigned long>(ring.count));
    std::string out = state + line;
    using tapwatch::RingEntry;
    const uint32_t kept = ring.count < ring.kEntries ? ring.count : ring.kEntries;
    static const char* const decisions[] = {
        "", "another key", "first press", "released", "repeat", "double press: toggle posted"};
    for (uint32_t i = ring.count - kept; i != ring.count; ++i) {
        const RingEntry& e = ring.entries[i % ring.kEntries];
        const long ago = static_cast<long>(now - e.time);
        if (e.what == RingEntry::keyDown || e.what == RingEntry::keyUp) {
            char key[24] = "another key";
            if (e.key != 0) std::snprintf(key, sizeof key, "watched key %02X", e.key);
            std::snprintf(line, sizeof line, "  %6ld  %s %s: %s\n", ago, key,
                          e.what == RingEntry::keyDown ? "down" : "up",
                          e.decision < 6 ? decisions[e.decision] : "?");
        } else if (e.what == RingEntry::mouse) {
            std::snprintf(line, sizeof line, "  %6ld  mouse message %04X\n", ago, e.message);
        } else if (e.what == RingEntry::reinstalled) {
            std::snprintf(line, sizeof line, "  %6ld  hooks installed again\n", ago);
        } else {
            std::snprintf(line, sizeof line, "  %6ld  ?\n", ago);
        }
        out += line;
    }
    return out;
}

HWND Program::window() const {
    auto found = findWindows(info_.dwProcessId, kSearchWindowClass, "Lumenvik");
    return found.empty() ? nullptr : found.front();
}

bool Program::running() const {
    return info_.hProcess != nullptr && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long Program::waitExit(DWORD ms) {
    if (info_.hProcess == nullptr) return -1;
    if (::WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

long Program::exitCleanly(DWORD ms) {
    HWND w = window();
    if (w != nullptr) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(w, WM_CLOSE, 1, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }
    return waitExit(ms);
}

void Program::stop() {
    if (info_.hProcess == nullptr) return;
    if (running() && exitCleanly(5000) < 0 && running()) {
        ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 5000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION{};
    ring_ = 0;
}

std::vector<HWND> findWindows(DWORD pid, const char* className, const char* caption) {
    std::vector<HWND> out;
    FindContext ctx{pid, className, caption, &out};
    ::EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&ctx));
    return out;
}

std::string windowText(HWND hwnd) {
    char buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                               SMTO_ABORTIFHUNG, 3000, &length)) {
        return {};
    }
    return std::string(buffer, length);
}

std::wstring windowTextW(HWND hwnd) {
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                               SMTO_ABORTIFHUNG, 3000, &length)) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::string utf8Of(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[0], bytes, nullptr, nullptr);
    }
    return out;
}

std::string inputState(const Program& program) {
    const auto whose = [&](HWND w) -> std::string {
        if (w == nullptr) return "none";
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        return pid == program.pid() ? "the program's" : "process " + std::to_string(pid) + "'s";
    };
    POINT at{};
    ::GetCursorPos(&at);
    std::string state = std::string("the search window ") +
                        (::IsWindowVisible(program.window()) ? "shown" : "hidden") +
                        "; foreground window: " + whose(::GetForegroundWindow()) +
                        "; under the pointer at (" + std::to_string(at.x) + ", " +
                        std::to_string(at.y) + "): " + whose(::WindowFromPoint(at));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(program.window(), nullptr);
    if (thread == 0 || !::GetGUIThreadInfo(thread, &info)) {
        state += "; its thread: unknown";
    } else {
        state += "; its thread: active window " + whose(info.hwndActive) + ", capture " +
                 whose(info.hwndCapture) + ((info.flags & GUI_INMENUMODE) ? ", in a menu" : "") +
                 ((info.flags & GUI_POPUPMENUMODE) ? ", popup menu" : "");
    }
    std::string held;
    for (const auto& key : {std::make_pair(VK_CONTROL, "Ctrl"), std::make_pair(VK_SHIFT, "Shift"),
                            std::make_pair(VK_MENU, "Alt")}) {
        if (::GetAsyncKeyState(key.first) < 0) held += std::string(" ") + key.second;
    }
    return state + "; keys down:" + (held.empty() ? " none" : held) + "\n" + program.hookEvents();
}

void keyDown(WORD vk) { sendKey(vk, false); }
void keyUp(WORD vk) { sendKey(vk, true); }

void tap(WORD vk, DWORD holdMs) {
    keyDown(vk);
    ::Sleep(holdMs);
    keyUp(vk);
}

void doublePress(WORD vk, DWORD gapMs) {
    // All four events in one call, stamped with a hand's timing: each
    // SendInput waits until the hooks have answered, so a hook thread the
    // loaded machine schedules late would otherwise stretch the presses
    // past the interval, and the program would rightly see no double press.
    const WORD scan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    const DWORD start = ::GetTickCount();
    const DWORD times[4] = {0, 30, 30 + gapMs, 60 + gapMs};
    INPUT in[4] = {};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = vk;
        in[i].ki.wScan = scan;
        in[i].ki.dwFlags = (i % 2 == 1) ? KEYEVENTF_KEYUP : 0;
        in[i].ki.time = start + times[i];
    }
    ::SendInput(4, in, sizeof(INPUT));
    // Returns when a hand would have finished.
    const DWORD spent = ::GetTickCount() - start;
    if (spent < times[3]) ::Sleep(times[3] - spent);
}

void clickAt(int x, int y) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (x * 65535 + (w - 1) / 2) / (w - 1);
        i.mi.dy = (y * 65535 + (h - 1) / 2) / (h - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    // Move first and let the window see the pointer arrive, as a hand would.
    ::SendInput(1, &in[0], sizeof(INPUT));
    waitFor(
        [&] {
            POINT at{};
            ::GetCursorPos(&at);
            return at.x == x && at.y == y;
        },
        2000);
    ::SendInput(1, &in[1], sizeof(INPUT));
    ::Sleep(100);
    ::SendInput(1, &in[2], sizeof(INPUT));
}

TaskbarHolder::TaskbarHolder() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &holderProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "lvtest.taskbarholder";
    ::RegisterClassA(&wc);
    owner_ = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                             nullptr);
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 7;
    data.uFlags = NIF_ICON;
    data.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    ::Shell_NotifyIconA(NIM_ADD, &data);
    // The taskbar shows once it holds an icon.
    waitFor(
        [] {
            HWND bar = ::FindWindowA("Shell_TrayWnd", nullptr);
            return bar != nullptr && ::IsWindowVisible(bar);
        },
        3000);
    ::Sleep(200);
}

TaskbarHolder::~TaskbarHolder() {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 7;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    ::DestroyWindow(owner_);
}

namespace {

// One notification-area call about the program's icon (id 0 of `owner`).
bool notifyIcon(DWORD message, HWND owner) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

}  // namespace

// Modifying nothing succeeds only for an icon that exists.
bool trayIconExists(HWND owner) { return notifyIcon(NIM_MODIFY, owner); }

bool removeTrayIcon(HWND owner) { return notifyIcon(NIM_DELETE, owner); }

bool runHostCommand(const std::string& commandLine, DWORD ms) {
    // Wine starts programs of the host system as well. Their exit code does
    // not come back, and Wine 8 cannot always wait for them (the wait fails
    // at once): callers check the command's effect, not its end.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi)) {
        std::fprintf(stderr, "cannot start '%s': error %lu\n", commandLine.c_str(),
                     ::GetLastError());
        return false;
    }
    const DWORD waited = ::WaitForSingleObject(pi.hProcess, ms);
    if (waited == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return waited != WAIT_TIMEOUT;
}

}  // namespace lvtest
