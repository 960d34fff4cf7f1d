#include "win/window.h"

#include "win/centre.h"

namespace lumenvik::win {

namespace {

// The dialog object being created on this thread: the first message of its
// window (which comes before WM_INITDIALOG) binds the two.
thread_local CDialogBase* t_creating = nullptr;

// Subclassed controls find their object through this window property.
const wchar_t kSubclassProp[] = L"lumenvik.subclass";

}  // namespace

CDialogBase::~CDialogBase() {
    // An object must not outlive its window's binding.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
}

HWND CDialogBase::CreateFromTemplate(int templateId, HWND parent, LPARAM initParam) {
    if (m_hWnd != nullptr) return nullptr;
    initParam_ = initParam;
    t_creating = this;
    HWND hwnd = ::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(templateId), parent, GetDialogProc(),
                                     initParam);
    t_creating = nullptr;
    if (hwnd == nullptr) m_hWnd = nullptr;
    return hwnd;
}

INT_PTR CDialogBase::DoModalFromTemplate(int templateId, HWND parent, LPARAM initParam) {
    if (m_hWnd != nullptr) return -1;
    initParam_ = initParam;
    t_creating = this;
    INT_PTR result = ::DialogBoxParamW(nullptr, MAKEINTRESOURCEW(templateId), parent,
                                       GetDialogProc(), initParam);
    t_creating = nullptr;
    return result;
}

BOOL CDialogBase::DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogBase*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        if (t_creating == nullptr) return FALSE;
        self = t_creating;
        t_creating = nullptr;
        self->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    LRESULT result = 0;
    const bool handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(hwnd);  // may delete the object
    }
    if (!handled) return FALSE;
    switch (msg) {
        // These return their value directly instead of through DWLP_MSGRESULT.
        case WM_INITDIALOG:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return static_cast<INT_PTR>(result);
        default:
            if (msg != WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

CWindowImplBase::~CWindowImplBase() { UnsubclassWindow(); }

BOOL CWindowImplBase::SubclassWindow(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr || !::IsWindow(hwnd)) return FALSE;
    if (!::SetPropW(hwnd, kSubclassProp, reinterpret_cast<HANDLE>(this))) return FALSE;
    m_hWnd = hwnd;
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc())));
    if (previous_ == nullptr) {
        ::RemovePropW(hwnd, kSubclassProp);
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

HWND CWindowImplBase::UnsubclassWindow() {
    if (m_hWnd == nullptr) return nullptr;
    HWND hwnd = m_hWnd;
    if (::IsWindow(hwnd)) {
        // Only put the old procedure back if nobody subclassed on top of us.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == GetWindowProc()) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        }
        ::RemovePropW(hwnd, kSubclassProp);
    }
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CWindowImplBase::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (previous_ == nullptr) return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
    return ::CallWindowProcW(previous_, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowImplBase::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowImplBase*>(::GetPropW(hwnd, kSubclassProp));
    if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    // The handler may unsubclass the control: keep what the rest needs.
    const WNDPROC previous = self->previous_;
    LRESULT result = 0;
    const bool handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    if (!handled) result = ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->UnsubclassWindow();
        self->OnFinalMessage(hwnd);  // may delete the object
    }
    return result;
}

RECT primaryWorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void centreWindowIn(HWND hwnd, const RECT& area) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    const int x = centredStart(area.left, area.right, rect.right - rect.left);
    const int y = centredStart(area.top, area.bottom, rect.bottom - rect.top);
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lumenvik::win
