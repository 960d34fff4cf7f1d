#include "app/main_dlg.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/copied_text.h"
#include "app/foreground_win32.h"
#include "app/monitor_choice_win32.h"
#include "app/run_key_win32.h"
#include "app/search_sites_dlg.h"
#include "app/texts.h"
#include "app/tray_choice.h"
#include "app/tray_menu.h"
#include "app/welcome.h"
#include "hook/messages.h"
#include "platform/profile_store.h"
#include "platform/settings_file.h"
#include "settings/save_report.h"
#include "win/dpi.h"
#include "win/program_folder.h"
#include "win/text.h"

namespace lumenvik {

namespace {

// The first start: no settings file, or the file as the release ships it,
// with search modes and comments but no settings yet. A file that cannot be
// read is left alone.
bool isFirstStart(const std::string& path) {
    win::Win32SettingsFile file(path);
    if (!file.state().exists) return true;
    std::string bytes;
    return file.readAll(bytes) && !holdsSettingsSections(bytes);
}

// The settings file beside the program, with what a save cut short by a
// power cut left behind put right first.
std::string settingsPath() {
    const std::string path = win::besideProgram("lumenvik.ini");
    win::Win32FilePort files;
    recoverInterruptedSave(files, path);
    return path;
}

// The program's path as the Run value holds it: UTF-16 units, compared as
// they are.
std::u16string programPathUnits() {
    const std::wstring path = win::programPath();
    return std::u16string(path.begin(), path.end());
}

}  // namespace

// The members are constructed in declaration order: search box, tray icon
// (registers "TaskbarCreated"), hook, settings (defaults, then the file
// beside the program), the settings dialog object.
CMainDlg::CMainDlg()
    : searchBox_(&settings_),
      settings_(win::profileStore(), settingsPath()),
      configDlg_(&settings_) {}

CMainDlg::~CMainDlg() {
    // The window goes while the icons and the font it uses still exist.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CMainDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
    // A launch's answer, or its overdue timer.
    if (launches_.processMessage(msg, wParam, lParam)) {
        result = 0;
        return true;
    }
    switch (msg) {
        case WM_INITDIALOG:
            result = onInitDialog();
            return true;
        case WM_CLOSE:
            if (wParam == 1) {
                exitPath();
                result = 1;
            } else {
                // The caption's close button and Alt+F4 only hide.
                hidePath();
                result = 0;
            }
            return true;
        case WM_TOGGLE_WINDOW:
            if (!settingsDialogExists()) toggle();
            result = 1;
            return true;
        case WM_HOTKEY:
            if (wParam != HotKeyRegistration::kId) break;
            // The same toggle as the double press.
            if (!settingsDialogExists()) toggle();
            result = 0;
            return true;
        case WM_APPLY_HOOK_SETTINGS:
            // OK wrote only what it changed: the rest comes from the file.
            if (!refreshSettingsValues()) applyHookSettings();
            result = 1;
            return true;
        case WM_OPEN_SEARCH_SITES:
            openSearchSites(reinterpret_cast<HWND>(lParam));
            result = 0;
            return true;
        case WM_SEARCH_COPIED_TEXT:
            onCopyGesture(static_cast<DWORD>(wParam));
            result = 1;
            return true;
        case WM_TIMER:
            if (wParam != CopiedTextWait::kTimer) break;
            {
                std::wstring text;
                if (copiedTextWait_.poll(text)) showCopiedText(text);
            }
            result = 0;
            return true;
        case WM_DRAWITEM:
            if (!dictionaryList_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) break;
            result = TRUE;
            return true;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_SEARCH_BOX) {
                searchBox_.refreshDictionary();
                result = 0;
                return true;
            }
            if (HIWORD(wParam) == EN_KILLFOCUS && LOWORD(wParam) == IDC_SEARCH_BOX) {
                hidePath();
                result = 0;
                return true;
            }
            if ((LOWORD(wParam) >= kTrayFirstCommand && LOWORD(wParam) <= kTrayLastCommand) ||
                LOWORD(wParam) == ID_TRAY_CLEAR_HISTORY) {
                onTrayCommand(LOWORD(wParam));
                result = 0;
                return true;
            }
            break;
        case WM_TRAY_NOTIFY:
            onTrayNotify(lParam);
            result = 0;
            return true;
        case WM_ACTIVATE:
            onActivate(LOWORD(wParam), HIWORD(wParam));
            result = 0;
            return true;
        case kDpiChanged:
            scale_.dpiChanged(m_hWnd, ::GetDlgItem(m_hWnd, IDC_SEARCH_BOX), LOWORD(wParam),
                              reinterpret_cast<const RECT*>(lParam));
            // The suggested size scaled the list's share of the window too;
            // its rows are laid out again once default processing (which
            // goes on) has rescaled the dialog's controls and font.
            dictionaryList_.dpiChanged(LOWORD(wParam));
            ::PostMessageW(m_hWnd, WM_DICTIONARY_RELAYOUT, 0, 0);
            break;
        case WM_DICTIONARY_RELAYOUT:
            dictionaryList_.relayout();
            result = 0;
            return true;
        default:
            break;
    }
    trayIcon_.processMessage(msg, wParam, lParam);
    return false;
}

LRESULT CMainDlg::onInitDialog() {
    // Before all: arm the hook and hand it the configured key and interval.
    // The focus below activates the window, and its show path may tell of
    // a bad search mode in a message box that waits for the user: the show
    // key must work from the first moment, whatever box is up.
    if (hook_.set(m_hWnd, VK_CONTROL, 500.0f) == 0) showTextMessage(IDS_HOOK_FAILED);
    applyHookSettings();

    // 0. The first start writes the settings now (the file made, or the
    //    release's completed), so that the next start is not a first one.
    //    First of all: the focus below already activates the window, whose
    //    show path reads the search modes, and a write after that read
    //    would count as an edit of the file and read them (and report
    //    their problems) again. A file that cannot be written is told at
    //    the user's first save.
    const bool firstStart = isFirstStart(settings_.lastFileName);
    if (firstStart) settings_.save("");
    refreshSettingsValues();

    // 1. Centre in the primary monitor's work area (the window has no owner),
    //    wholly inside it. The window was made at that monitor's scaling,
    //    and the work area comes in the same pixels.
    win::centreWindowIn(m_hWnd, win::primaryWorkArea());

    // 2. The search box takes over control 1002 and gets the focus.
    HWND box = ::GetDlgItem(m_hWnd, IDC_SEARCH_BOX);
    searchBox_.SubclassWindow(box);
    ::SetFocus(box);

    // 3. The search box's font, scaled to the window's monitor. The dialog
    //    manager keeps its hands off it when the scaling changes: the
    //    program makes it anew then (WindowScale::dpiChanged). The
    //    window's icons, large and small, drawn for its scaling, with it.
    win::keepOwnFontOnDpiChange(box);
    scale_.apply(m_hWnd, box, win::windowDpi(m_hWnd));

    // 4. The mode label belongs to the search box; the modes, with those of
    //    the settings file, before the window first shows. A bad entry is
    //    reported once start-up has hidden the window.
    searchBox_.modeLabel = ::GetDlgItem(m_hWnd, IDC_MODE_LABEL);
    // The dictionary's list under the box, when there is a dictionary.
    dictionaryList_.open();
    dictionaryList_.create(m_hWnd, box);
    searchBox_.dictionary = &dictionaryList_;
    refreshSearchModes();
    // The history of earlier runs, when the user keeps it.
    searchBox_.historyKeeper = &historyKeeper_;
    // The searches' launches report here.
    launches_.reportTo(m_hWnd);
    searchBox_.launches = &launches_;
    historyKeeper_.load(settings_, searchBox_.history,
                        static_cast<std::size_t>(::SendMessageA(box, EM_GETLIMITTEXT, 0, 0)));

    // 5. The tray icon, on the first start with a word of welcome.
    if (firstStart) {
        const WelcomeText welcome = welcomeText(settings_.showWindowKey);
        trayIcon_.add(L"Lumenvik", m_hWnd, WM_TRAY_NOTIFY, win::wide(welcome.title).c_str(),
                      win::wide(welcome.text).c_str());
    } else {
        trayIcon_.add(L"Lumenvik", m_hWnd, WM_TRAY_NOTIFY);
    }

    // 6. Topmost and shown; start-up hides it right after creation. The
    //    window-position calls' results are ignored here and below: a window
    //    left where it was still works.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);

    // 7. The hot key works where the hook sees nothing: in the windows of
    //    programs that run as administrator.
    hotKey_.registerFor(m_hWnd, settings_.hotKey);
    return TRUE;
}

void CMainDlg::reportOptionProblems() {
    std::string message = hotKey_.takeProblem();
    if (!settings_.showOnProblem.empty()) {
        if (!message.empty()) message += "\r\n\r\n";
        message += showOnMessage(settings_.showOnProblem);
        settings_.showOnProblem.clear();
    }
    if (message.empty()) return;
    // The caption of the settings file's other errors.
    ::MessageBoxW(nullptr, win::wide(message).c_str(), win::wide(kSettingsErrorCaption).c_str(),
                  MB_OK);
}

void CMainDlg::onActivate(int state, int minimized) {
    if (state == WA_INACTIVE) {
        hidePath();
    } else if (state == WA_ACTIVE || state == WA_CLICKACTIVE) {
        if (minimized != 0) {
            forceForeground(m_hWnd);
        } else {
            showPath();
        }
    }
}

void CMainDlg::resetModeIfGoogleStart() {
    if (settings_.googleStart != 0) {
        searchBox_.mode = 0;
        searchBox_.updateModeLabel();
    }
}

void CMainDlg::hidePath() {
    ::SetWindowTextW(::GetDlgItem(m_hWnd, IDC_SEARCH_BOX), L"");
    searchBox_.history.resetCursor();
    inputMethod_.close(m_hWnd);
    ::ShowWindow(m_hWnd, SW_HIDE);
    resetModeIfGoogleStart();
}

void CMainDlg::refreshSearchModes() {
    const std::string path =
        settings_.lastFileName.empty() ? settings_.defaultFileName : settings_.lastFileName;
    win::Win32SettingsFile file(path);
    SearchModes modes;
    // Labels and problems in UTF-8, shown through the W functions.
    if (!userModes_.refresh(file, transcode::encoding_utf8, modes, modeProblems_)) return;
    searchBox_.setModes(std::move(modes));
}

void CMainDlg::reportSearchModeProblems() {
    // Taken out first: a show while the box is up finds nothing to report
    // (and the file's state was taken at the read, so it does not read again).
    const std::vector<std::string> problems = std::move(modeProblems_);
    modeProblems_.clear();
    if (problems.empty()) return;
    ::MessageBoxW(nullptr, win::wide(settingsErrorText(problems)).c_str(),
                  win::wide(kSettingsErrorCaption).c_str(), MB_OK);
}

bool CMainDlg::refreshSettingsValues() {
    // The open dialog edits the record: the file is read once it has closed.
    if (configDlg_.exists()) return false;
    win::Win32SettingsFile file(settings_.lastFileName);
    const SettingsFileState now = file.state();
    if (valuesRead_ && now == valuesState_) return false;
    const bool first = !valuesRead_;
    valuesRead_ = true;
    valuesState_ = now;
    // The first call only takes the state: the values were just read.
    if (first || !settings_.reloadValues()) return false;
    applyHookSettings();
    return true;
}

void CMainDlg::showPath() {
    refreshSettingsValues();
    refreshSearchModes();
    reportSearchModeProblems();
    resetModeIfGoogleStart();
    // A hidden window goes to the monitor of the user's choice before it
    // shows; one already shown (a click on it) stays where it is.
    if (!::IsWindowVisible(m_hWnd)) moveToChosenMonitor(m_hWnd, settings_.showOn);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    forceForeground(m_hWnd);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_SEARCH_BOX));
    searchBox_.applyModeInputMethod();
}

void CMainDlg::toggle() {
    if (::IsWindowVisible(m_hWnd)) {
        hidePath();
    } else {
        showPath();
    }
}

void CMainDlg::applyHookSettings() {
    hook_.setShowWindowKey(settings_.showWindowKey);
    hook_.setIntervalTime(static_cast<float>(settings_.keyInterval));
}

bool CMainDlg::settingsDialogExists() const { return configDlg_.exists() || sitesOpen_; }

void CMainDlg::openSearchSites(HWND owner) {
    if (sitesOpen_) return;
    if (owner != nullptr && !::IsWindow(owner)) owner = nullptr;
    sitesOpen_ = true;
    // The modes as the file holds them now; the next show reads what OK
    // wrote, as it reads any edit of the file.
    CSearchSitesDlg dialog(settings_, launches_);
    dialog.run(owner);
    sitesOpen_ = false;
}

void CMainDlg::onCopyGesture(DWORD sequence) {
    if (settings_.searchCopiedText == 0 || settingsDialogExists()) return;
    std::wstring text;
    if (copiedTextWait_.start(m_hWnd, sequence, text)) showCopiedText(text);
}

void CMainDlg::showCopiedText(const std::wstring& text) {
    if (settingsDialogExists()) return;
    HWND box = ::GetDlgItem(m_hWnd, IDC_SEARCH_BOX);
    // The box's own limit, which setting the text does not apply: UTF-16
    // units in a Unicode edit control.
    const auto limit = static_cast<std::size_t>(::SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
    const std::wstring line = copiedTextForBox(text, limit);
    if (line.empty()) return;  // no text, or blanks only
    showPath();
    ::SetWindowTextW(box, line.c_str());
    ::SendMessageW(box, EM_SETSEL, 0, -1);
}

void CMainDlg::onTrayNotify(LPARAM mouseMessage) {
    if (settingsDialogExists()) return;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        toggle();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        refreshSettingsValues();  // the marks show what the file says
        Win32RunKey runKey;
        openTrayMenu(m_hWnd, settings_, runsAtLogon(runKey, programPathUnits()));
    }
}

void CMainDlg::onTrayCommand(int id) {
    switch (id) {
        case ID_TRAY_EXIT:
            ::SendMessageW(m_hWnd, WM_CLOSE, 1, 0);
            break;
        case ID_TRAY_SETTINGS:
            if (!configDlg_.exists()) refreshSettingsValues();  // it opens with the file's
            configDlg_.open(m_hWnd);                            // nothing while it is open
            break;
        case ID_TRAY_SEARCH_SITES:
            openSearchSites(nullptr);
            break;
        case ID_TRAY_CLEAR_HISTORY:
            historyKeeper_.clear(settings_, searchBox_.history);
            break;
        case ID_TRAY_RUN_AT_LOGON:
            toggleRunAtLogon();
            break;
        default:
            // Each option writes its own key alone. A failure is told, and
            // the option stays in force (the next save tries again).
            if (const std::optional<IniValue> value = applyTrayOption(id, settings_)) {
                saveOrReport(settings_, nullptr, {*value});
            } else if (const std::optional<ShowOn> where = showOnOfItem(id)) {
                settings_.showOn = *where;
                saveOrReport(settings_, nullptr, {settings_.showOnValue()});
            }
            break;
    }
}

void CMainDlg::toggleRunAtLogon() {
    const std::u16string exe = programPathUnits();
    Win32RunKey runKey;
    uint32_t error = ERROR_FILE_NOT_FOUND;  // where the program's own path is unknown
    if (!exe.empty() && lumenvik::toggleRunAtLogon(runKey, exe, error)) return;
    const std::wstring text =
        L"Windows の起動時に実行する設定を変更できませんでした。\r\n\r\n"
        L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n" +
        platformReason(error);
    ::MessageBoxW(nullptr, text.c_str(), L"Lumenvik - 登録エラー", MB_OK);
}

void CMainDlg::exitPath() {
    // Nothing is saved: an open settings dialog's edits are dropped.
    if (configDlg_.exists()) configDlg_.DestroyWindow();
    trayIcon_.remove();
    hotKey_.unregister();
    ::DestroyWindow(m_hWnd);
    ::PostQuitMessage(0);
}

}  // namespace lumenvik
