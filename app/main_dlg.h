#pragma once
// The search window: a small topmost modeless dialog, hidden until the show
// key is pressed twice (or the tray icon is double-clicked). It owns the
// program's state: the settings record, the search box, the tray icon and
// the keyboard hook.

#include <string>
#include <vector>

#include "app/edit_ex.h"
#include "app/tray_icon.h"
#include "hook/keyboard_hook.h"
#include "search/search_modes_file.h"
#include "resources/resource.h"
#include "settings/config_dlg.h"
#include "settings/search_settings.h"
#include "win/message_loop.h"
#include "win/owned_handle.h"
#include "win/window.h"

namespace lumenvik {

class CMainDlg : public win::CDialogImpl<CMainDlg>,
                 public win::CMessageFilter,
                 public win::CIdleHandler {
  public:
    enum { IDD = IDD_SEARCH_WINDOW };

    CMainDlg();
    ~CMainDlg() override;

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
    // Gives the window the dialog keyboard handling (Tab, Enter, Escape).
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    void hidePath();
    void showPath();
    void toggle();
    void applyHookSettings();
    // Shows the message box about the bad entries of the settings file's
    // search modes that the start-up found, if any; start-up calls it once
    // the window is hidden.
    void reportSearchModeProblems();
    // Shows the message box about the settings file's hot key when it could
    // not be registered; start-up calls it once the window is hidden.
    void reportHotKeyProblem();
    // True while the settings dialog's window exists: the toggle and the tray
    // icon are ignored then.
    bool settingsDialogExists() const;

    SearchSettings& settings() { return settings_; }

  private:
    LRESULT onInitDialog();
    void onActivate(int state, int minimized);
    // The search box's font and the window's icons for a window at `dpi`.
    void setBoxFont(int dpi);
    void setIcons(int dpi);
    void onDpiChanged(int dpi, const RECT* suggested);
    void onTrayNotify(LPARAM mouseMessage);
    void onTrayCommand(int id);
    void openTrayMenu();
    void saveSettings();
    void exitPath();
    void resetModeIfGoogleStart();
    void closeInputMethod();
    void reportImeFailure(UINT textId);
    // The copy gesture: waits (on a timer, the loop runs on) for the
    // clipboard to move past `sequence`, the state before the copy, then
    // shows the window with the copied text. A new gesture replaces one
    // still waiting.
    void onCopyGesture(DWORD sequence);
    void pollCopiedText();
    void stopCopiedTextWait();
    void showCopiedText(const std::wstring& text);
    // Reads the search modes of the settings file when it changed since the
    // last read (the first call always reads); bad entries wait for
    // reportSearchModeProblems.
    void refreshSearchModes();
    // Registers the settings file's hot key for this window; a value that
    // cannot be used leaves its message for reportHotKeyProblem.
    void registerHotKey();

    CEditEx searchBox_;
    CTrayIcon trayIcon_;
    CKeyboardHook hook_;
    SearchSettings settings_;
    CConfigDlg configDlg_;  // edits the record: declared after it
    UserSearchModes userModes_;
    std::vector<std::string> modeProblems_;
    bool hotKeyRegistered_ = false;
    std::string hotKeyProblem_;  // the message about the hot key, until shown
    win::CMessageLoop* loop_ = nullptr;
    // The window's icons and the search box's font, made anew when the
    // window's scaling changes; the window is destroyed before they are
    // (see the destructor).
    win::OwnedIcon bigIcon_;
    win::OwnedIcon smallIcon_;
    win::OwnedFont boxFont_;
    // An input-method message box is up: the hide path that its activation
    // runs again shows no second one.
    bool imeMessageShowing_ = false;
    // The copy gesture waiting for the clipboard: the sequence number before
    // the copy and the tick count at the gesture.
    bool copiedTextWaiting_ = false;
    DWORD copiedTextSequence_ = 0;
    DWORD copiedTextSince_ = 0;
};

}  // namespace lumenvik
