#include "app/main_dlg.h"

#include <string>
#include <utility>
#include <vector>

#include "app/copied_text.h"
#include "app/display_scale.h"
#include "app/foreground_win32.h"
#include "app/texts.h"
#include "hook/messages.h"
#include "platform/monitor_lookup.h"
#include "platform/profile_store.h"
#include "platform/settings_file.h"
#include "settings/hot_key.h"
#include "settings/save_report.h"
#include "tray/menu_anchor.h"
#include "win/clipboard.h"
#include "win/dpi.h"
#include "win/ime_context.h"
#include "win/program_folder.h"

namespace lumenvik {

namespace {

constexpr int kTrayFirstCommand = ID_TRAY_EXIT;
constexpr int kTrayLastCommand = ID_TRAY_GOOGLE_START;

// The copy gesture waits this long for the copy to reach the clipboard (the
// program in front copies a little after the hook saw the key) and for the
// clipboard to be free, looking again at each tick of the timer.
constexpr DWORD kCopiedTextWaitMs = 500;
// The window's other timer is the tray icon's.
constexpr UINT_PTR kCopiedTextTimer = CTrayIcon::kRetryTimer + 1;
constexpr UINT kCopiedTextTickMs = 15;
// Of a huge clipboard text only the start can reach the box: read no more
// than this many UTF-16 units (far more than the box's limit and any
// sensible run of blanks before the text), so the copy stays small.
constexpr std::size_t kCopiedTextMaxUnits = 1 << 20;

// The settings file's hot key, the window's only one.
constexpr int kHotKeyId = 1;
// A held combination toggles once (Windows 7 and later; older ones refuse
// the flag, and the key is registered without it).
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT

void showError(UINT textId) { ::MessageBoxA(nullptr, loadText(textId).c_str(), "", MB_OK); }

// Sent when the window moves to a monitor of another scaling (or the
// scaling changes); older headers lack the name.
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

// Icon 128 at the size the system metric `metric` calls for at `dpi`.
HICON loadAppIcon(int metric, int dpi) {
    const int size =
        win::systemMetricForDpi(metric, dpi)
            .value_or(iconSizeForDpi(::GetSystemMetrics(metric), win::systemDpi(), dpi));
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(IDI_APP_ICON), IMAGE_ICON, size, size,
                                           LR_DEFAULTCOLOR));
}

}  // namespace

// The members are constructed in declaration order: search box, tray icon
// (registers "TaskbarCreated"), hook, settings (defaults, then the file
// beside the program), the settings dialog object.
CMainDlg::CMainDlg()
    : searchBox_(&settings_),
      settings_(win::profileStore(), win::besideProgram("lumenvik.ini")),
      configDlg_(&settings_) {}

CMainDlg::~CMainDlg() {
    // The window goes while the icons and the font it uses still exist.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    if (loop_ != nullptr) {
        loop_->RemoveMessageFilter(this);
        loop_->RemoveIdleHandler(this);
    }
}

bool CMainDlg::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
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
            if (wParam != kHotKeyId) break;
            // The same toggle as the double press.
            if (!settingsDialogExists()) toggle();
            result = 0;
            return true;
        case WM_APPLY_HOOK_SETTINGS:
            applyHookSettings();
            result = 1;
            return true;
        case WM_SEARCH_COPIED_TEXT:
            onCopyGesture(static_cast<DWORD>(wParam));
            result = 1;
            return true;
        case WM_TIMER:
            if (wParam != kCopiedTextTimer) break;
            pollCopiedText();
            result = 0;
            return true;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_KILLFOCUS && LOWORD(wParam) == IDC_SEARCH_BOX) {
                hidePath();
                result = 0;
                return true;
            }
            if (LOWORD(wParam) >= kTrayFirstCommand && LOWORD(wParam) <= kTrayLastCommand) {
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
            onDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            // Default processing goes on: it rescales the dialog's controls.
            break;
        default:
            break;
    }
    trayIcon_.processMessage(msg, wParam, lParam);
    return false;
}

BOOL CMainDlg::PreTranslateMessage(MSG* msg) {
    if (m_hWnd == nullptr) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CMainDlg::OnIdle() { return FALSE; }

LRESULT CMainDlg::onInitDialog() {
    // 1. Centre in the primary monitor's work area (the window has no owner),
    //    wholly inside it. The window was made at that monitor's scaling,
    //    and the work area comes in the same pixels.
    const RECT area = win::primaryWorkArea();
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    const ScreenPoint corner = centredIn(WorkArea{area.left, area.top, area.right, area.bottom},
                                         rect.right - rect.left, rect.bottom - rect.top);
    ::SetWindowPos(m_hWnd, nullptr, corner.x, corner.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // 2. Window icons, large and small, drawn for the window's scaling.
    const int dpi = win::windowDpi(m_hWnd);
    setIcons(dpi);

    // 3. Message filter and idle handler of this thread's loop.
    loop_ = win::appModule().GetMessageLoop();
    if (loop_ != nullptr) {
        loop_->AddMessageFilter(this);
        loop_->AddIdleHandler(this);
    }

    // 4, 5. The search box takes over control 1002 and gets the focus.
    HWND box = ::GetDlgItem(m_hWnd, IDC_SEARCH_BOX);
    searchBox_.SubclassWindow(box);
    ::SetFocus(box);

    // 6. The search box's font, scaled to the window's monitor. The dialog
    //    manager keeps its hands off it when the scaling changes: the
    //    program makes it anew then (onDpiChanged).
    win::keepOwnFontOnDpiChange(box);
    setBoxFont(dpi);

    // 7. The mode label belongs to the search box; the modes, with those of
    //    the settings file, before the window first shows. A bad entry is
    //    reported once start-up has hidden the window.
    searchBox_.modeLabel = ::GetDlgItem(m_hWnd, IDC_MODE_LABEL);
    refreshSearchModes();

    // 8. The tray icon.
    trayIcon_.add("Lumenvik", m_hWnd, WM_TRAY_NOTIFY);

    // 9. Topmost and shown; start-up hides it right after creation. The
    //    window-position calls' results are ignored here and below: a window
    //    left where it was still works.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);

    // 10, 11. Arm the hook, then hand it the configured key and interval.
    if (hook_.set(m_hWnd, VK_CONTROL, 500.0f) == 0) showError(IDS_HOOK_FAILED);
    applyHookSettings();
    // The hot key works where the hook sees nothing: in the windows of
    // programs that run as administrator.
    registerHotKey();
    return TRUE;
}

void CMainDlg::registerHotKey() {
    HotKey key;
    std::string part;
    const HotKeyProblem problem = parseHotKey(settings_.hotKey, key, part);
    if (problem != HotKeyProblem::none) {
        hotKeyProblem_ = hotKeyMessage(settings_.hotKey, problem, part, 0);
        return;
    }
    if (key.key == 0) return;  // none set
    const UINT vk = static_cast<UINT>(key.key);
    hotKeyRegistered_ = ::RegisterHotKey(m_hWnd, kHotKeyId, key.modifiers | kNoRepeat, vk) != FALSE;
    DWORD error = hotKeyRegistered_ ? 0 : ::GetLastError();
    if (!hotKeyRegistered_ && error != kHotKeyTakenError) {
        hotKeyRegistered_ = ::RegisterHotKey(m_hWnd, kHotKeyId, key.modifiers, vk) != FALSE;
        error = hotKeyRegistered_ ? 0 : ::GetLastError();
    }
    if (!hotKeyRegistered_) {
        hotKeyProblem_ = hotKeyMessage(settings_.hotKey, HotKeyProblem::none, "", error);
    }
}

void CMainDlg::reportHotKeyProblem() {
    const std::string message = std::move(hotKeyProblem_);
    hotKeyProblem_.clear();
    if (message.empty()) return;
    // The caption of the settings file's other errors.
    ::MessageBoxA(nullptr, message.c_str(), kSettingsErrorCaption, MB_OK);
}

void CMainDlg::setIcons(int dpi) {
    // Results ignored: a window without its icon works the same. The old
    // icons go once the window holds the new ones.
    win::OwnedIcon large(loadAppIcon(SM_CXICON, dpi));
    win::OwnedIcon little(loadAppIcon(SM_CXSMICON, dpi));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    bigIcon_ = std::move(large);
    smallIcon_ = std::move(little);
}

void CMainDlg::setBoxFont(int dpi) {
    // Ignored when it cannot be made: the box keeps the font it has.
    win::OwnedFont font(::CreateFontA(scaleForDpi(kSearchBoxFontHeight, dpi), 0, 0, 0, FW_NORMAL,
                                      FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN,
                                      "ＭＳ ゴシック"));
    if (!font) return;
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SEARCH_BOX), WM_SETFONT,
                   reinterpret_cast<WPARAM>(font.get()), TRUE);
    boxFont_ = std::move(font);
}

void CMainDlg::onDpiChanged(int dpi, const RECT* suggested) {
    // The window takes the size and place Windows suggests for the new
    // scaling, so it stays under the cursor of a user dragging it.
    if (suggested != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    setBoxFont(dpi);
    setIcons(dpi);
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
    ::SetWindowTextA(::GetDlgItem(m_hWnd, IDC_SEARCH_BOX), "");
    searchBox_.history.resetCursor();
    closeInputMethod();
    ::ShowWindow(m_hWnd, SW_HIDE);
    resetModeIfGoogleStart();
}

void CMainDlg::closeInputMethod() {
    win::ImeContext ime(m_hWnd);
    if (!ime) return;  // no input context: no input method to close
    if (!::ImmSetOpenStatus(ime.get(), FALSE)) reportImeFailure(IDS_IME_CLOSE_FAILED);
    if (!ime.release()) reportImeFailure(IDS_IME_RELEASE_FAILED);
}

void CMainDlg::reportImeFailure(UINT textId) {
    // The box takes the activation, and the deactivation runs the hide path
    // again while the box is up: a box there would open the next one, and
    // so on without end.
    if (imeMessageShowing_) return;
    imeMessageShowing_ = true;
    showError(textId);
    imeMessageShowing_ = false;
}

void CMainDlg::refreshSearchModes() {
    const std::string path =
        settings_.lastFileName.empty() ? settings_.defaultFileName : settings_.lastFileName;
    win::Win32SettingsFile file(path);
    SearchModes modes;
    if (!userModes_.refresh(file, encodingOfCodePage(::GetACP()), modes, modeProblems_)) return;
    searchBox_.setModes(std::move(modes));
}

void CMainDlg::reportSearchModeProblems() {
    // Taken out first: a show while the box is up finds nothing to report
    // (and the file's state was taken at the read, so it does not read again).
    const std::vector<std::string> problems = std::move(modeProblems_);
    modeProblems_.clear();
    if (problems.empty()) return;
    ::MessageBoxA(nullptr, settingsErrorText(problems).c_str(), kSettingsErrorCaption, MB_OK);
}

void CMainDlg::showPath() {
    refreshSearchModes();
    reportSearchModeProblems();
    resetModeIfGoogleStart();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    forceForeground(m_hWnd);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_SEARCH_BOX));
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

bool CMainDlg::settingsDialogExists() const { return configDlg_.exists(); }

void CMainDlg::onCopyGesture(DWORD sequence) {
    if (settings_.searchCopiedText == 0 || settingsDialogExists()) return;
    copiedTextWaiting_ = true;
    copiedTextSequence_ = sequence;
    copiedTextSince_ = ::GetTickCount();
    pollCopiedText();
    // Without the timer (it could not be set) the look above was the only one.
    if (copiedTextWaiting_) ::SetTimer(m_hWnd, kCopiedTextTimer, kCopiedTextTickMs, nullptr);
}

void CMainDlg::pollCopiedText() {
    if (!copiedTextWaiting_) return;
    const bool lastLook = ::GetTickCount() - copiedTextSince_ >= kCopiedTextWaitMs;
    std::wstring text;
    if (::GetClipboardSequenceNumber() == copiedTextSequence_) {
        // Nothing copied yet; after the wait, nothing was.
        if (lastLook) stopCopiedTextWait();
        return;
    }
    switch (win::readClipboardText(m_hWnd, text, kCopiedTextMaxUnits)) {
        case win::ClipboardRead::busy:
            if (lastLook) stopCopiedTextWait();
            return;
        case win::ClipboardRead::noText:
            stopCopiedTextWait();
            return;
        case win::ClipboardRead::text:
            stopCopiedTextWait();
            showCopiedText(text);
            return;
    }
}

void CMainDlg::stopCopiedTextWait() {
    copiedTextWaiting_ = false;
    ::KillTimer(m_hWnd, kCopiedTextTimer);
}

void CMainDlg::showCopiedText(const std::wstring& text) {
    if (settingsDialogExists()) return;
    HWND box = ::GetDlgItem(m_hWnd, IDC_SEARCH_BOX);
    // The box's own limit, which setting the text does not apply. Taken as
    // bytes: within it whether the control counts bytes (as the ANSI control
    // is documented to) or characters (as Wine's does).
    const auto limit = static_cast<std::size_t>(::SendMessageA(box, EM_GETLIMITTEXT, 0, 0));
    const std::string line = copiedTextForBox(text, limit);
    if (line.empty()) return;  // no text, or blanks only
    showPath();
    ::SetWindowTextA(box, line.c_str());
    ::SendMessageA(box, EM_SETSEL, 0, -1);
}

void CMainDlg::onTrayNotify(LPARAM mouseMessage) {
    if (settingsDialogExists()) return;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        toggle();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        openTrayMenu();
    }
}

void CMainDlg::openTrayMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // The menu only closes on a click elsewhere when its owner is in front;
    // this also shows the window, whose activation runs the show path.
    forceForeground(m_hWnd);

    // Built afresh each time, so the check marks match the settings now.
    // The building calls' results are ignored: a menu missing an item still
    // opens and works.
    win::OwnedMenu menu(::CreatePopupMenu());
    win::OwnedMenu range(::CreateMenu());
    if (!menu) return;
    ::AppendMenuA(range.get(), MF_STRING | (settings_.japanLocal == 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_WEB_ALL, "WEB全体から検索(&W)");
    ::AppendMenuA(range.get(), MF_STRING | (settings_.japanLocal != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_JAPANESE_PAGES, "日本語のページを検索(&J)");
    ::AppendMenuA(menu.get(), MF_STRING, ID_TRAY_SETTINGS, "設定(&S)");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    // Once attached, the submenu is destroyed with the menu.
    if (::AppendMenuA(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(range.get()),
                      "google検索範囲設定(&G)")) {
        range.release();
    }
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING | (settings_.googleStart != 0 ? MF_CHECKED : MF_UNCHECKED),
                  ID_TRAY_GOOGLE_START, "常にgoogle検索モードから開始(&A)");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING, ID_TRAY_EXIT, "終了(&X)");

    win::Win32MonitorLookup monitors;
    const int x = menuAnchorX(ScreenPoint{cursor.x, cursor.y}, monitors);
    // Ignored: the chosen command arrives as WM_COMMAND, and a menu that
    // could not open has nothing to report.
    ::TrackPopupMenu(menu.get(), 0, x, cursor.y, 0, m_hWnd, nullptr);
}

void CMainDlg::saveSettings() {
    // To the file of the start-up load; a failure is told, and the option
    // stays in force (the next save tries again).
    saveOrReport(settings_, nullptr);
}

void CMainDlg::onTrayCommand(int id) {
    switch (id) {
        case ID_TRAY_EXIT:
            ::SendMessageA(m_hWnd, WM_CLOSE, 1, 0);
            break;
        case ID_TRAY_SETTINGS:
            configDlg_.open(m_hWnd);  // nothing while it is open
            break;
        case ID_TRAY_WEB_ALL:
            settings_.japanLocal = 0;
            saveSettings();
            break;
        case ID_TRAY_JAPANESE_PAGES:
            settings_.japanLocal = 1;
            saveSettings();
            break;
        case ID_TRAY_GOOGLE_START:
            settings_.googleStart = settings_.googleStart == 0 ? 1 : 0;
            saveSettings();
            break;
        default:
            break;
    }
}

void CMainDlg::exitPath() {
    // Nothing is saved: an open settings dialog's edits are dropped.
    if (configDlg_.exists()) configDlg_.DestroyWindow();
    trayIcon_.remove();
    if (hotKeyRegistered_) ::UnregisterHotKey(m_hWnd, kHotKeyId);
    hotKeyRegistered_ = false;
    ::DestroyWindow(m_hWnd);
    ::PostQuitMessage(0);
}

}  // namespace lumenvik
