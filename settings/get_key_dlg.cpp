#include "settings/get_key_dlg.h"

namespace lumenvik {

bool CGetKeyDlg::CGetKeyEditEx::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam,
                                                     LPARAM /*lParam*/, LRESULT& result) {
    if (msg != WM_KEYUP && msg != WM_SYSKEYUP) return false;
    // The dialog decides; the field itself never sees the release.
    ::SendMessageA(::GetParent(hwnd), WM_KEYUP, static_cast<WPARAM>(keyResult(wParam)), 0);
    result = 0;
    return true;
}

bool CGetKeyDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM /*lParam*/,
                                      LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG: {
            started_ = true;
            centreOverOwner();
            HWND field = ::GetDlgItem(m_hWnd, IDC_CAPTURED_KEY);
            edit_.SubclassWindow(field);
            ::SetFocus(field);
            result = TRUE;  // the platform sets the default focus too: the field again
            return true;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            // Any key, modifiers included: the first release is the answer.
            EndDialog(keyResult(wParam));
            result = 0;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(0);
                result = 0;
                return true;
            }
            return false;
        case WM_DESTROY:
            edit_.UnsubclassWindow();
            return false;
        default:
            return false;
    }
}

INT_PTR CGetKeyDlg::run(HWND owner) {
    started_ = false;
    const INT_PTR result = DoModal(owner);
    return started_ ? result : 0;
}

void CGetKeyDlg::centreOverOwner() {
    RECT area{};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        area = win::primaryWorkArea();
    }
    win::centreWindowIn(m_hWnd, area);
}

}  // namespace lumenvik
