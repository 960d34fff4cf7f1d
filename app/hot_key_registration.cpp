#include "app/hot_key_registration.h"

#include <utility>

#include "settings/hot_key.h"

namespace lumenvik {

namespace {

// A held combination toggles once (Windows 7 and later; older ones refuse
// the flag, and the key is registered without it).
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT

}  // namespace

void HotKeyRegistration::registerFor(HWND window, const std::string& text) {
    window_ = window;
    HotKey key;
    std::string part;
    const HotKeyProblem problem = parseHotKey(text, key, part);
    if (problem != HotKeyProblem::none) {
        problem_ = hotKeyMessage(text, problem, part, 0);
        return;
    }
    if (key.key == 0) return;  // none set
    const UINT vk = static_cast<UINT>(key.key);
    registered_ = ::RegisterHotKey(window, kId, key.modifiers | kNoRepeat, vk) != FALSE;
    DWORD error = registered_ ? 0 : ::GetLastError();
    if (!registered_ && error != kHotKeyTakenError) {
        registered_ = ::RegisterHotKey(window, kId, key.modifiers, vk) != FALSE;
        error = registered_ ? 0 : ::GetLastError();
    }
    if (!registered_) problem_ = hotKeyMessage(text, HotKeyProblem::none, "", error);
}

void HotKeyRegistration::unregister() {
    if (registered_) ::UnregisterHotKey(window_, kId);
    registered_ = false;
}

std::string HotKeyRegistration::takeProblem() {
    std::string message = std::move(problem_);
    problem_.clear();
    return message;
}

}  // namespace lumenvik
