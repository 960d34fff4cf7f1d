#include "win/message_loop.h"

#include <algorithm>

namespace lumenvik::win {

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { filters_.push_back(filter); }

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler) { idleHandlers_.push_back(handler); }

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler),
                        idleHandlers_.end());
}

int CMessageLoop::Run() {
    bool doIdle = true;
    int idleCount = 0;
    MSG msg{};
    for (;;) {
        while (doIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) doIdle = false;
        }
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) continue;  // an error: nothing to dispatch
        if (got == 0) break;      // WM_QUIT
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (IsIdleMessage(msg)) {
            doIdle = true;
            idleCount = 0;
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
    char cls[8] = {};
    if (root == nullptr || ::GetClassNameA(root, cls, sizeof cls) != 6 ||
        lstrcmpA(cls, "#32770") != 0) {
        return FALSE;
    }
    return ::IsDialogMessageA(root, msg);
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    BOOL more = FALSE;
    for (size_t i = 0; i < idleHandlers_.size(); ++i) {
        if (idleHandlers_[i]->OnIdle()) more = TRUE;
    }
    return more;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case 0x0118:  // the system timer message (caret blink)
            return false;
        default:
            return true;
    }
}

CAppModule::CAppModule() { ::InitializeCriticalSection(&lock_); }

CAppModule::~CAppModule() { ::DeleteCriticalSection(&lock_); }

void CAppModule::Init(HINSTANCE instance) { instance_ = instance; }

void CAppModule::Term() {
    ::EnterCriticalSection(&lock_);
    loops_.clear();
    ::LeaveCriticalSection(&lock_);
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    ::EnterCriticalSection(&lock_);
    const bool added = loops_.emplace(::GetCurrentThreadId(), loop).second;
    ::LeaveCriticalSection(&lock_);
    return added;
}

bool CAppModule::RemoveMessageLoop() {
    ::EnterCriticalSection(&lock_);
    const bool removed = loops_.erase(::GetCurrentThreadId()) != 0;
    ::LeaveCriticalSection(&lock_);
    return removed;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) {
    ::EnterCriticalSection(&lock_);
    auto it = loops_.find(threadId);
    CMessageLoop* loop = it == loops_.end() ? nullptr : it->second;
    ::LeaveCriticalSection(&lock_);
    return loop;
}

CAppModule& appModule() {
    static CAppModule module;
    return module;
}

}  // namespace lumenvik::win
