#include "win/message_loop.h"

#include <algorithm>

namespace lumenvik::win {

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { filters_.push_back(filter); }

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

int CMessageLoop::Run() {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) continue;  // an error: nothing to dispatch
        if (got == 0) break;      // WM_QUIT
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A filter may remove itself while it runs: walk by index from the end.
    for (size_t i = filters_.size(); i > 0; --i) {
        if (i > filters_.size()) continue;
        if (filters_[i - 1]->PreTranslateMessage(msg)) return TRUE;
    }
    return IsModelessDialogMessage(msg);
}

BOOL CMessageLoop::IsModelessDialogMessage(MSG* msg) {
    if (msg->hwnd == nullptr) return FALSE;
    // Modal dialogs and message boxes run loops of their own: a dialog whose
    // messages arrive here is modeless.
    HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
    wchar_t cls[8] = {};
    if (root == nullptr || ::GetClassNameW(root, cls, 8) != 6 || lstrcmpW(cls, L"#32770") != 0) {
        return FALSE;
    }
    return ::IsDialogMessageW(root, msg);
}

}  // namespace lumenvik::win
