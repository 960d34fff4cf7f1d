#include "app/tray_icon.h"

#include <cstring>

#include "resources/resource.h"

namespace lumenvik {

static_assert(sizeof(NOTIFYICONDATAW) >= CTrayIcon::kDataSize, "record layout");
// The sizes Windows accepts for the version-2 record of the W function: 936
// bytes in a 32-bit process, 952 in a 64-bit one.
static_assert(CTrayIcon::kDataSize == (sizeof(void*) == 8 ? 952 : 936), "version-2 record size");

namespace {

// Copies at most `limit` units of `src` without splitting a surrogate pair,
// and terminates the copy.
void copyTip(wchar_t* dest, const wchar_t* src, size_t limit) {
    size_t n = 0;
    while (src[n] != L'\0' && n < limit) ++n;
    if (n > 0 && n == limit && src[n - 1] >= 0xD800 && src[n - 1] <= 0xDBFF) --n;
    std::memcpy(dest, src, n * sizeof(wchar_t));
    dest[n] = L'\0';
}

HINSTANCE instance() { return ::GetModuleHandleW(nullptr); }

}  // namespace

CTrayIcon::CTrayIcon() : taskbarCreatedMessage(::RegisterWindowMessageW(L"TaskbarCreated")) {
    std::memset(&data, 0, sizeof data);
}

bool CTrayIcon::add(const wchar_t* tip, HWND ownerWindow, UINT callbackMessage,
                    const wchar_t* balloonTitle, const wchar_t* balloonText) {
    std::memset(&data, 0, sizeof data);
    owner = ownerWindow;
    data.cbSize = kDataSize;
    data.hWnd = ownerWindow;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // Drawn for the notification area's size (the small icon's at the
    // system's scaling), not shrunk from the large one. Kept for re-adds.
    icon_.reset(static_cast<HICON>(::LoadImageW(instance(), MAKEINTRESOURCEW(IDI_APP_ICON),
                                                IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon_.get();
    data.uCallbackMessage = callbackMessage;
    if (tip != nullptr) copyTip(data.szTip, tip, 64);
    if (balloonText != nullptr) {
        data.uFlags |= NIF_INFO;
        copyTip(data.szInfo, balloonText, 255);
        if (balloonTitle != nullptr) copyTip(data.szInfoTitle, balloonTitle, 63);
        data.uTimeout = kBalloonMs;
        data.dwInfoFlags = NIIF_INFO;
    }
    carryOut(presence_.start());
    return presence_.present();
}

void CTrayIcon::carryOut(TrayPresence::Action action) {
    if (action == TrayPresence::Action::Add) {
        // An add also fails for an icon that is still there (a broadcast
        // from a shell that kept it): then the icon is there all the same.
        const bool present = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE ||
                             ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
        presence_.addResult(present);
        // The balloon is shown once: later adds bring the icon alone.
        if (present) {
            data.uFlags &= ~static_cast<UINT>(NIF_INFO);
            data.szInfo[0] = L'\0';
            data.szInfoTitle[0] = L'\0';
        }
    }
    // The timer calls' results are ignored: a timer that cannot be set
    // leaves the next "TaskbarCreated" to bring the icon.
    if (presence_.retrying()) {
        ::SetTimer(owner, kRetryTimer, kRetryMs, nullptr);
    } else {
        ::KillTimer(owner, kRetryTimer);
    }
}

void CTrayIcon::remove() {
    NOTIFYICONDATAW gone;
    std::memset(&gone, 0, sizeof gone);
    gone.cbSize = kDataSize;
    gone.hWnd = owner;
    gone.uID = 0;
    // Ignored: an icon the shell no longer holds is gone already.
    ::Shell_NotifyIconW(NIM_DELETE, &gone);
    presence_.removed();
    ::KillTimer(owner, kRetryTimer);
}

void CTrayIcon::processMessage(UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    if (msg == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        // The shell (re)started and holds no icon of ours.
        carryOut(presence_.taskbarCreated());
    } else if (msg == WM_TIMER && wParam == kRetryTimer) {
        carryOut(presence_.retryTimer());
    } else if (msg == WM_DESTROY) {
        if (presence_.wanted()) remove();
    }
}

}  // namespace lumenvik
