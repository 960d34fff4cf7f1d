#include "tests/win/tray_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#ifndef MENU_PROBE_DLL
#error "MENU_PROBE_DLL names the probe library"
#endif

namespace lvtest {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

MenuProbe::MenuProbe() {
    mapping_ = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(ProbeMemory), kProbeMemoryName);
    if (mapping_ != nullptr) {
        memory_ = static_cast<ProbeMemory*>(
            ::MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(ProbeMemory)));
    }
    if (memory_ != nullptr) {
        std::memset(memory_, 0, sizeof(ProbeMemory));
        memory_->iconAtDestroy = -1;
    }
}

MenuProbe::~MenuProbe() {
    waitNotBusy(INFINITE);
    if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
    if (memory_ != nullptr) ::UnmapViewOfFile(memory_);
    if (mapping_ != nullptr) ::CloseHandle(mapping_);
    if (dll_ != nullptr) ::FreeLibrary(dll_);
}

bool MenuProbe::attach(HWND programWindow) {
    if (memory_ == nullptr || programWindow == nullptr) return false;
    window_ = programWindow;
    dll_ = ::LoadLibraryA(windowsPath(MENU_PROBE_DLL).c_str());
    if (dll_ == nullptr) return false;
    auto proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(::GetProcAddress(dll_, "probeCallWndProc")));
    if (proc == nullptr) {
        proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(::GetProcAddress(dll_, "probeCallWndProc@12")));
    }
    if (proc == nullptr) return false;
    const DWORD thread = ::GetWindowThreadProcessId(programWindow, nullptr);
    hook_ = ::SetWindowsHookExA(WH_CALLWNDPROC, proc, dll_, thread);
    return hook_ != nullptr;
}

std::vector<Menu> MenuProbe::read() {
    std::vector<Menu> menus;
    if (memory_ == nullptr || window_ == nullptr) return menus;
    memory_->menus[0] = '\0';
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeReadMessage), 0, 0,
                          SMTO_ABORTIFHUNG, 3000, &ignored);
    const std::string text(memory_->menus);
    for (const std::string& line : split(text, '\n')) {
        if (line == "menu") {
            menus.emplace_back();
            continue;
        }
        const std::vector<std::string> fields = split(line, '\t');
        if (fields.size() < 6 || menus.empty()) continue;
        MenuItem item{};
        item.position = std::atoi(fields[0].c_str());
        item.id = std::atoi(fields[1].c_str());
        item.kind = fields[2].empty() ? '?' : fields[2][0];
        item.checked = fields[3] == "1";
        long l = 0, t = 0, r = 0, b = 0;
        std::sscanf(fields[4].c_str(), "%ld,%ld,%ld,%ld", &l, &t, &r, &b);
        item.rect = RECT{l, t, r, b};
        item.text = fields[5];
        menus.back().push_back(item);
    }
    return menus;
}

void MenuProbe::watchDestroy(HWND window) {
    if (memory_ == nullptr) return;
    memory_->iconAtDestroy = -1;
    memory_->destroyWatch = window;
}

LONG MenuProbe::iconAtDestroy() const { return memory_ != nullptr ? memory_->iconAtDestroy : -2; }

bool MenuProbe::breakInputMethod(WPARAM how) {
    if (memory_ == nullptr || window_ == nullptr) return false;
    memory_->imeBroken = 0;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeImeMessage), how, 0,
                          SMTO_ABORTIFHUNG, 3000, &ignored);
    return memory_->imeBroken == 1;
}

LONG MenuProbe::inputMethodOpen() {
    if (memory_ == nullptr || window_ == nullptr) return -2;
    memory_->imeOpen = -2;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeImeMessage), kImeReadOpen, 0,
                          SMTO_ABORTIFHUNG, 3000, &ignored);
    return memory_->imeOpen;
}

bool MenuProbe::failTrayCalls(bool fail) {
    if (memory_ == nullptr || window_ == nullptr) return false;
    memory_->trayBroken = 0;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeTrayMessage), fail ? 1 : 0, 0,
                          SMTO_ABORTIFHUNG, 3000, &ignored);
    return memory_->trayBroken == 1;
}

bool MenuProbe::dropHook(HHOOK hook) {
    if (memory_ == nullptr || window_ == nullptr || hook == nullptr) return false;
    memory_->unhooked = 0;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeUnhookMessage),
                          reinterpret_cast<WPARAM>(hook), 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    return memory_->unhooked == 1;
}

namespace {

struct BusyRequest {
    HWND window;
    UINT message;
    DWORD ms;
};

DWORD WINAPI sendBusy(LPVOID param) {
    auto* request = static_cast<BusyRequest*>(param);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(request->window, request->message, request->ms, 0, SMTO_NORMAL,
                          request->ms + 10000, &ignored);
    delete request;
    return 0;
}

}  // namespace

bool MenuProbe::keepBusy(DWORD ms) {
    if (window_ == nullptr || busy_ != nullptr) return false;
    // A first sent message loads the probe into the program: that takes a
    // while of its own.
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored)) return false;
    // Sent, not posted (the probe sees sent messages only), from a thread
    // of its own that waits for the answer.
    auto* request = new BusyRequest{window_, ::RegisterWindowMessageA(kProbeBusyMessage), ms};
    busy_ = ::CreateThread(nullptr, 0, &sendBusy, request, 0, nullptr);
    if (busy_ == nullptr) delete request;
    return busy_ != nullptr;
}

bool MenuProbe::waitNotBusy(DWORD ms) {
    if (busy_ == nullptr) return true;
    if (::WaitForSingleObject(busy_, ms) != WAIT_OBJECT_0) return false;
    ::CloseHandle(busy_);
    busy_ = nullptr;
    return true;
}

LONG MenuProbe::boxFontHeight(int dpi, const RECT& suggested) {
    if (memory_ == nullptr || window_ == nullptr) return 0;
    memory_->boxFontHeight = 0;
    memory_->dpiSuggested = suggested;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window_, ::RegisterWindowMessageA(kProbeFontMessage),
                          static_cast<WPARAM>(dpi), 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    return memory_->boxFontHeight;
}

LONG MenuProbe::trayCalls() const { return memory_ != nullptr ? memory_->trayCalls : -1; }

LONG MenuProbe::imeCloseCalls() const { return memory_ != nullptr ? memory_->imeCloseCalls : -1; }

bool menuShowing(DWORD pid) {
    for (HWND w : findWindows(pid, "#32768", nullptr)) {
        if (::IsWindowVisible(w)) return true;
    }
    return false;
}

std::vector<Menu> openTrayMenu(Program& program, MenuProbe& probe, POINT at) {
    ::SetCursorPos(at.x, at.y);
    ::PostMessageA(program.window(), kTrayNotify, 0, WM_RBUTTONDOWN);
    std::vector<Menu> menus;
    waitFor(
        [&] {
            if (!menuShowing(program.pid())) return false;
            menus = probe.read();
            return !menus.empty() && !menus.front().empty();
        },
        5000);
    return menus;
}

const MenuItem* findItem(const std::vector<Menu>& menus, const std::string& text) {
    for (const Menu& menu : menus) {
        for (const MenuItem& item : menu) {
            if (item.text == text) return &item;
        }
    }
    return nullptr;
}

void clickSettled(int x, int y) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535 + (w - 1) / 2) / (w - 1);
    in.mi.dy = (y * 65535 + (h - 1) / 2) / (h - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
    waitFor(
        [&] {
            POINT at{};
            ::GetCursorPos(&at);
            return std::abs(at.x - x) <= 1 && std::abs(at.y - y) <= 1;
        },
        2000);
    ::Sleep(150);  // let the window under it see the pointer arrive
    // The press and release carry the position as well.
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(80);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof in);
}

void clickItem(const MenuItem& item) {
    clickSettled((item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2);
}

bool clickItemUntil(const MenuItem& item, const std::function<bool()>& effect) {
    // A click now and then is lost under Wine on its way to another
    // process: click until its effect shows, at most three times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        clickItem(item);
        if (waitFor(effect, 1500)) return true;
    }
    return false;
}

bool chooseTrayItem(Program& program, MenuProbe& probe, const std::string& text) {
    std::vector<Menu> menus = openTrayMenu(program, probe);
    if (menus.empty()) return false;
    const MenuItem* item = findItem(menus, text);
    if (item == nullptr) {
        // In a submenu: each opens beside its item, the last opened closing.
        std::vector<MenuItem> submenus;
        for (const MenuItem& entry : menus.front()) {
            if (entry.kind == '>') submenus.push_back(entry);
        }
        for (const MenuItem& submenu : submenus) {
            clickItemUntil(submenu, [&] {
                menus = probe.read();
                return findItem(menus, text) != nullptr;
            });
            item = findItem(menus, text);
            if (item != nullptr) break;
        }
        if (item == nullptr) return false;
    }
    const MenuItem chosen = *item;
    return clickItemUntil(chosen, [&] { return !menuShowing(program.pid()); });
}

int iniValue(const std::string& file, const char* section, const char* key, int fallback) {
    return static_cast<int>(::GetPrivateProfileIntA(section, key, fallback, file.c_str()));
}

}  // namespace lvtest
