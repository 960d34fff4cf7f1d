#pragma once
// The settings dialog "Lumenvikの設定": edits the live settings record in
// place. OK writes the values changed in it into the file and asks the
// search window to read the file's values and hand the show key and
// interval to the keyboard hook again; Cancel puts back the values the
// dialog opened with (settings/settings_edit.h). Modeless: the message loop
// gives it the dialog keys (Tab, Enter, Escape, Alt+letter).

#include "resources/resource.h"
#include "settings/search_settings.h"
#include "settings/settings_edit.h"
#include "win/window.h"

namespace lumenvik {

class CConfigDlg : public win::CDialogImpl<CConfigDlg> {
  public:
    enum { IDD = IDD_CONFIG_DIALOG };

    explicit CConfigDlg(SearchSettings* liveSettings);

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Creates and shows the window (modeless, no owner) unless it exists,
    // taking the values that Cancel returns to; `notify` is told after OK.
    void open(HWND notify);
    bool exists() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    virtual void OnValueChange(int controlId);
    virtual void OnRestoreDefaults();

    SearchSettings* settings;
    HWND notifyWindow = nullptr;

  private:
    SettingsEdit edit_;

    void initialise();
    void fill(const SearchSettings& from);
    void onSearchRange();
    void onChangeKey(int notification, HWND button);
    void onOK();
    void onCancel();
};

}  // namespace lumenvik
