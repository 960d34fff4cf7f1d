#include "settings/config_dlg.h"

#include <cstdio>
#include <string>

#include "hook/messages.h"
#include "settings/get_key_dlg.h"
#include "settings/key_names.h"
#include "settings/number_field.h"
#include "settings/save_report.h"
#include "win/text.h"

namespace lumenvik {

namespace {

std::string fieldText(HWND dialog, int id) {
    HWND field = ::GetDlgItem(dialog, id);
    const int length = ::GetWindowTextLengthW(field);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(field, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return win::utf8(text);
}

void setDecimal(HWND dialog, int id, int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    ::SetDlgItemTextW(dialog, id, win::wide(buffer).c_str());
}

void setKeyName(HWND dialog, int id, int32_t value) {
    ::SetDlgItemTextW(dialog, id, win::wide(settingKeyName(value)).c_str());
}

UINT checkState(int32_t flag) { return flag != 0 ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

CConfigDlg::CConfigDlg(SearchSettings* liveSettings)
    : settings(liveSettings), edit_(*liveSettings) {}

void CConfigDlg::open(HWND notify) {
    if (exists()) return;  // not even brought to the front
    // Before the window: its initialisation already writes the fields'
    // numbers back into the record.
    edit_.begin();
    if (Create(nullptr) == nullptr) return;
    notifyWindow = notify;
    ::ShowWindow(m_hWnd, SW_SHOW);
}

bool CConfigDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        initialise();
        result = FALSE;  // the focus is set
        return true;
    }
    if (msg != WM_COMMAND) return false;
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    result = 0;
    switch (id) {
        case IDOK:
            onOK();
            return true;
        case IDCANCEL:  // the caption's close button arrives here too
            onCancel();
            return true;
        case IDC_KEY_INTERVAL:
        case IDC_HISTORY_SIZE:
            if (notification != EN_CHANGE) return false;
            OnValueChange(id);
            return true;
        case IDC_GOOGLE_START:
            OnValueChange(id);
            return true;
        case IDC_RESTORE_DEFAULTS:
            if (notification != BN_CLICKED) return false;
            OnRestoreDefaults();
            return true;
        case IDC_CHANGE_SHOW_WINDOW_KEY:
        case IDC_CHANGE_MODE_PRIOR:
        case IDC_CHANGE_MODE_NEXT:
        case IDC_CHANGE_HISTORY_PRIOR:
        case IDC_CHANGE_HISTORY_NEXT:
            if (notification != BN_CLICKED) return false;
            onChangeKey(notification, reinterpret_cast<HWND>(lParam));
            return true;
        case IDC_SEARCH_SITES:
            // The search window runs that dialog, over this one.
            if (notification == BN_CLICKED && notifyWindow != nullptr) {
                ::PostMessageW(notifyWindow, WM_OPEN_SEARCH_SITES, 0,
                               reinterpret_cast<LPARAM>(m_hWnd));
            }
            return true;
        case IDC_WEB_ALL:
        case IDC_JAPANESE_PAGES:
            if (notification != BN_CLICKED) return false;
            onSearchRange();
            return true;
        default:
            return false;
    }
}

void CConfigDlg::initialise() {
    win::centreWindowIn(m_hWnd, win::primaryWorkArea());
    fill(*settings);
    // The keyboard starts at the first field, not on a button.
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_SHOW_WINDOW_KEY));
}

void CConfigDlg::fill(const SearchSettings& from) {
    // Setting the number fields raises their change notifications, which
    // read both numbers back into the live record: `from` may be that
    // record, so take every value before the first field is touched.
    const SearchSettings values = from;
    setKeyName(m_hWnd, IDC_SHOW_WINDOW_KEY, values.showWindowKey);
    setDecimal(m_hWnd, IDC_KEY_INTERVAL, values.keyInterval);
    setKeyName(m_hWnd, IDC_MODE_PRIOR, values.mode_prior);
    setKeyName(m_hWnd, IDC_MODE_NEXT, values.mode_next);
    ::CheckDlgButton(m_hWnd, IDC_GOOGLE_START, checkState(values.googleStart));
    ::CheckDlgButton(m_hWnd, IDC_WEB_ALL, values.japanLocal == 0 ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_JAPANESE_PAGES, checkState(values.japanLocal));
    setKeyName(m_hWnd, IDC_HISTORY_PRIOR, values.history_prior);
    setKeyName(m_hWnd, IDC_HISTORY_NEXT, values.history_next);
    setDecimal(m_hWnd, IDC_HISTORY_SIZE, values.historySize);
}

void CConfigDlg::OnValueChange(int controlId) {
    if (!exists()) return;
    switch (controlId) {
        case IDC_KEY_INTERVAL:
            settings->keyInterval = numberFieldValue(fieldText(m_hWnd, controlId));
            break;
        case IDC_HISTORY_SIZE:
            settings->historySize = numberFieldValue(fieldText(m_hWnd, controlId));
            break;
        case IDC_GOOGLE_START:
            settings->googleStart =
                ::IsDlgButtonChecked(m_hWnd, IDC_GOOGLE_START) == BST_CHECKED ? 1 : 0;
            break;
        default:
            break;
    }
}

void CConfigDlg::onSearchRange() {
    const bool japanese = ::IsDlgButtonChecked(m_hWnd, IDC_JAPANESE_PAGES) == BST_CHECKED;
    ::CheckDlgButton(m_hWnd, IDC_WEB_ALL, japanese ? BST_UNCHECKED : BST_CHECKED);
    if (::IsDlgButtonChecked(m_hWnd, IDC_WEB_ALL) == BST_CHECKED) settings->japanLocal = 0;
    if (japanese) settings->japanLocal = 1;
}

void CConfigDlg::onChangeKey(int notification, HWND button) {
    CGetKeyDlg capture;
    const INT_PTR answer = capture.run(::GetActiveWindow());
    const int key = static_cast<int>(answer & 0xFF);
    if (key == 0) return;

    char trace[128];
    std::snprintf(trace, sizeof trace, "nRet = %d  notify= %d, hWndCtrl = %p\n", key, notification,
                  static_cast<void*>(button));
    ::OutputDebugStringA(trace);

    struct Target {
        int button;
        int field;
        int32_t SearchSettings::*value;
    };
    static const Target targets[] = {
        {IDC_CHANGE_SHOW_WINDOW_KEY, IDC_SHOW_WINDOW_KEY, &SearchSettings::showWindowKey},
        {IDC_CHANGE_MODE_PRIOR, IDC_MODE_PRIOR, &SearchSettings::mode_prior},
        {IDC_CHANGE_MODE_NEXT, IDC_MODE_NEXT, &SearchSettings::mode_next},
        {IDC_CHANGE_HISTORY_PRIOR, IDC_HISTORY_PRIOR, &SearchSettings::history_prior},
        {IDC_CHANGE_HISTORY_NEXT, IDC_HISTORY_NEXT, &SearchSettings::history_next},
    };
    for (const Target& target : targets) {
        if (::GetDlgItem(m_hWnd, target.button) != button) continue;
        setKeyName(m_hWnd, target.field, key);
        settings->*target.value = key;
        break;
    }
}

void CConfigDlg::OnRestoreDefaults() {
    SearchSettings defaults;
    defaults.setDefaults();
    fill(defaults);
    copySettingValues(defaults, *settings);
}

void CConfigDlg::onOK() {
    // A failed save has been told; the dialog stays, with the record as
    // edited, so the user can free the folder and press OK again (or Cancel).
    if (!saveOrReport(*settings, m_hWnd, edit_.changedValues())) return;
    if (notifyWindow != nullptr && ::IsWindow(notifyWindow)) {
        ::PostMessageA(notifyWindow, WM_APPLY_HOOK_SETTINGS, 0, 0);
    }
    DestroyWindow();
}

void CConfigDlg::onCancel() {
    edit_.cancel();
    DestroyWindow();
}

}  // namespace lumenvik
