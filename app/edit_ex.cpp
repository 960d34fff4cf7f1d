#include "app/edit_ex.h"

#include "app/texts.h"
#include "resources/resource.h"

namespace lumenvik {

CEditEx::CEditEx(SearchSettings* s) : settings(s) {}

bool CEditEx::ProcessWindowMessage(HWND /*hwnd*/, UINT /*msg*/, WPARAM /*wParam*/,
                                   LPARAM /*lParam*/, LRESULT& /*result*/) {
    // Every message goes on to the edit control's own procedure.
    return false;
}

void CEditEx::updateModeLabel() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd) || modeLabel == nullptr) return;
    if (mode < 0 || mode >= kModeCount) return;
    ::SetWindowTextA(modeLabel, loadText(IDS_MODE_LABEL_0 + mode).c_str());
}

}  // namespace lumenvik
