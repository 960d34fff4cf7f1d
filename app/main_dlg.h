#pragma once
// The search window: a small topmost modeless dialog, hidden until the show
// key is pressed twice (or the tray icon is double-clicked). It owns the
// program's state: the settings record, the search box, the tray icon and
// the keyboard hook.

#include <string>
#include <vector>

#include "app/copied_text_wait.h"
#include "app/dictionary_list.h"
#include "app/edit_ex.h"
#include "app/hot_key_registration.h"
#include "app/input_method.h"
#include "app/tray_icon.h"
#include "app/window_scale.h"
#include "hook/keyboard_hook.h"
#include "platform/browser_platform.h"
#include "search/search_modes_file.h"
#include "resources/resource.h"
#include "settings/config_dlg.h"
#include "settings/search_settings.h"
#include "win/window.h"

namespace lumenvik {

// Its separable jobs have files of their own: the sizes at the monitor's
// scaling (window_scale.h), the input method (input_method.h), the copy
// gesture's wait (copied_text_wait.h), the tray menu (tray_menu.h) and the
// hot key (hot_key_registration.h); the foreground is foreground_win32.h's.
class CMainDlg : public win::CDialogImpl<CMainDlg> {
  public:
    enum { IDD = IDD_SEARCH_WINDOW };

    CMainDlg();
    ~CMainDlg() override;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    void hidePath();
    void showPath();
    void toggle();
    void applyHookSettings();
    // Shows the message box about the bad entries of the settings file's
    // search modes that the start-up found, if any; start-up calls it once
    // the window is hidden.
    void reportSearchModeProblems();
    // Shows one message box about the settings file's [Options] that cannot
    // be used (a hot key that could not be registered, a showOn value that
    // names no monitor); start-up calls it once the window is hidden.
    void reportOptionProblems();
    // True while the settings dialog's window exists, or the search-site
    // dialog runs: the toggle and the tray icon are ignored then.
    bool settingsDialogExists() const;

    SearchSettings& settings() { return settings_; }

  private:
    LRESULT onInitDialog();
    void onActivate(int state, int minimized);
    void onTrayNotify(LPARAM mouseMessage);
    void onTrayCommand(int id);
    // The item Windows の起動時に実行: the Run value made to start this
    // program, or deleted; a refusal is told in a message box.
    void toggleRunAtLogon();
    void exitPath();
    // The search-site dialog over `owner` (none from the tray, the
    // settings dialog from its button), once at a time.
    void openSearchSites(HWND owner);
    void resetModeIfGoogleStart();
    // The copy gesture: waits for the clipboard to move past `sequence`,
    // the state before the copy, then shows the window with the copied
    // text. A new gesture replaces one still waiting.
    void onCopyGesture(DWORD sequence);
    void showCopiedText(const std::wstring& text);
    // Reads the search modes of the settings file when it changed since the
    // last read (the first call always reads); bad entries wait for
    // reportSearchModeProblems.
    void refreshSearchModes();
    // Reads the nine values and showOn again when the settings file changed
    // since the last look (the first call only takes its state), and hands
    // the hook its values; true when it read.
    bool refreshSettingsValues();

    CEditEx searchBox_;
    CTrayIcon trayIcon_;
    CKeyboardHook hook_;
    SearchSettings settings_;
    CConfigDlg configDlg_;  // edits the record: declared after it
    UserSearchModes userModes_;
    bool sitesOpen_ = false;  // the search-site dialog runs
    bool valuesRead_ = false;
    SettingsFileState valuesState_;
    std::vector<std::string> modeProblems_;
    HotKeyRegistration hotKey_;
    CopiedTextWait copiedTextWait_;
    InputMethodCloser inputMethod_;
    HistoryKeeper historyKeeper_;
    win::BrowserLaunches launches_;  // the searches' browser starts in flight
    DictionaryList dictionaryList_;  // the search box points at it: outlives the window
    // The window's icons and the search box's font; the window is destroyed
    // before they are (see the destructor).
    WindowScale scale_;
};

}  // namespace lumenvik
