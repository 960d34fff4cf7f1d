#include "app/copied_text_wait.h"

#include "app/tray_icon.h"
#include "win/clipboard.h"

namespace lumenvik {

namespace {

static_assert(CopiedTextWait::kTimer != CTrayIcon::kRetryTimer, "the window's two timers");

// How long the wait lasts, and the timer's period.
constexpr DWORD kWaitMs = 500;
constexpr UINT kTickMs = 15;
// Of a huge clipboard text only the start can reach the box: read no more
// than this many UTF-16 units (far more than the box's limit and any
// sensible run of blanks before the text), so the copy stays small.
constexpr std::size_t kMaxUnits = 1 << 20;

}  // namespace

bool CopiedTextWait::start(HWND window, DWORD sequence, std::wstring& text) {
    window_ = window;
    waiting_ = true;
    sequence_ = sequence;
    since_ = ::GetTickCount();
    if (poll(text)) return true;
    // Without the timer (it could not be set) the look above was the only one.
    if (waiting_) ::SetTimer(window_, kTimer, kTickMs, nullptr);
    return false;
}

bool CopiedTextWait::poll(std::wstring& text) {
    if (!waiting_) return false;
    const bool lastLook = ::GetTickCount() - since_ >= kWaitMs;
    if (::GetClipboardSequenceNumber() == sequence_) {
        // Nothing copied yet; after the wait, nothing was.
        if (lastLook) stop();
        return false;
    }
    switch (win::readClipboardText(window_, text, kMaxUnits)) {
        case win::ClipboardRead::busy:
            if (lastLook) stop();
            return false;
        case win::ClipboardRead::noText:
            stop();
            return false;
        case win::ClipboardRead::text:
            stop();
            return true;
    }
    return false;
}

void CopiedTextWait::stop() {
    waiting_ = false;
    if (window_ != nullptr) ::KillTimer(window_, kTimer);
}

}  // namespace lumenvik
