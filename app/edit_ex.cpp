#include "app/edit_ex.h"

#include <imm.h>

#include <utility>

#include "app/key_release.h"
#include "platform/browser_platform.h"
#include "search/search_command.h"
#include "win/text.h"
#include "win/ime_context.h"

namespace lumenvik {
namespace {

// The search command's view of the box: its edit control and the user's
// browser.
class BoxPorts : public SearchCommandPorts {
  public:
    BoxPorts(HWND box, win::BrowserLaunches& launches) : box_(box), launches_(launches) {}

    std::u16string readBoxText() override {
        const int length = ::GetWindowTextLengthW(box_);
        if (length <= 0) return std::u16string();
        std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
        const int got = ::GetWindowTextW(box_, &buffer[0], length + 1);
        buffer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return std::u16string(buffer.begin(), buffer.end());
    }
    void setBoxText(const std::u16string& text) override {
        ::SetWindowTextW(box_, std::wstring(text.begin(), text.end()).c_str());
    }
    LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                              std::size_t wordLength) override {
        win::Win32BrowserPlatform platform(launches_);
        return browser.empty() ? launchInDefaultBrowser(url, wordLength, platform)
                               : launchWithCommand(browser, url, wordLength, platform);
    }

  private:
    HWND box_;
    win::BrowserLaunches& launches_;
};

bool keyHeld(int vk) { return ::GetKeyState(vk) < 0; }

}  // namespace

CEditEx::CEditEx(SearchSettings* s) : settings(s) {}

bool CEditEx::ProcessWindowMessage(HWND /*hwnd*/, UINT msg, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result) {
    switch (msg) {
        case WM_IME_COMPOSITION:
            // A result that arrives while Enter is down is the Enter that
            // commits the conversion: its release must not search.
            if ((lParam & GCS_RESULTSTR) != 0 && keyHeld(VK_RETURN)) {
                ::OutputDebugStringA("imeNotify Return\n");
                enterCommitted = true;
            }
            return false;
        case WM_IME_STARTCOMPOSITION:
            composing = true;
            result = 1;
            return true;
        case WM_IME_ENDCOMPOSITION:
            ::OutputDebugStringA("imeEnd\n");
            composing = false;
            result = 1;
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (onKeyRelease(wParam)) {
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool CEditEx::onKeyRelease(WPARAM key) {
    const KeyReleaseDecision decision = decideKeyRelease(
        static_cast<uint32_t>(key), *settings, composing, enterCommitted, keyHeld(VK_SHIFT), mode);
    switch (decision.action) {
        case KeyReleaseAction::ModePrior:
            mode = modes.prior(mode);
            updateModeLabel();
            applyModeInputMethod();
            break;
        case KeyReleaseAction::ModeNext:
            mode = modes.next(mode);
            updateModeLabel();
            applyModeInputMethod();
            break;
        case KeyReleaseAction::HistoryNewer:
            history.stepNewer();
            showHistoryEntry();
            break;
        case KeyReleaseAction::HistoryOlder:
            history.stepOlder();
            showHistoryEntry();
            break;
        case KeyReleaseAction::SwallowCommitEnter:
            enterCommitted = false;
            break;
        case KeyReleaseAction::SearchThenHide:
            // The window hides whatever the outcome; a word too long to be
            // launched comes back to be shortened.
            if (runSearch(decision.searchMode) == SearchResult::tooLong) {
                giveBackTooLongWord();
            } else {
                hideSearchWindow();
            }
            break;
        case KeyReleaseAction::Hide:
            hideSearchWindow();
            break;
        case KeyReleaseAction::Ignore:
            break;
    }
    return !decision.passOn;
}

void CEditEx::hideSearchWindow() {
    if (m_hWnd != nullptr && ::IsWindowVisible(m_hWnd)) {
        ::SendMessageW(::GetParent(m_hWnd), WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

void CEditEx::updateModeLabel() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd) || modeLabel == nullptr) return;
    const char* label = modes.label(mode);
    if (label == nullptr) return;
    ::SetWindowTextW(modeLabel, win::wide(label).c_str());
}

void CEditEx::showHistoryEntry() {
    if (history.count() == 0) {
        ::SetWindowTextW(m_hWnd, L"");
        return;
    }
    const std::wstring entry = win::wide(history.entryToShow());
    ::SetWindowTextW(m_hWnd, entry.c_str());
    const WPARAM end = static_cast<WPARAM>(entry.size());
    ::SendMessageW(m_hWnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
}

SearchResult CEditEx::runSearch(SearchMode searchMode) {
    BoxPorts ports(m_hWnd, *launches);
    searchedWord_ = ports.readBoxText();
    const SearchResult result =
        lumenvik::runSearch(modes.site(searchMode), history, *settings, ports);
    // The word is in the history whether or not a browser started.
    if (result != SearchResult::emptyBox && historyKeeper != nullptr) {
        historyKeeper->save(*settings, history);
    }
    if (result != SearchResult::tooLong) searchedWord_.clear();
    return result;
}

void CEditEx::giveBackTooLongWord() {
    // The message box's activation has hidden the window (and emptied the
    // box): it shows again, in the mode it was in, with the word whole and
    // the caret at its end.
    const SearchMode searched = mode;
    const std::wstring word(searchedWord_.begin(), searchedWord_.end());
    searchedWord_.clear();
    ::SendMessageW(::GetParent(m_hWnd), WM_ACTIVATE, WA_ACTIVE, 0);
    if (!::IsWindowVisible(m_hWnd)) return;
    if (modes.contains(searched)) mode = searched;
    updateModeLabel();
    applyModeInputMethod();
    ::SetWindowTextW(m_hWnd, word.c_str());
    const WPARAM end = static_cast<WPARAM>(word.size());
    ::SendMessageW(m_hWnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEditEx::applyModeInputMethod() {
    const ImeWish wish = modes.site(mode).ime;
    if (composing || wish == ImeWish::keep || m_hWnd == nullptr) return;
    win::ImeContext ime(m_hWnd);
    // Without a context there is no input method to switch; a failed switch
    // leaves the state as it was, which the user sees and can change.
    if (ime) ::ImmSetOpenStatus(ime.get(), wish == ImeWish::on ? TRUE : FALSE);
}

void CEditEx::setModes(SearchModes newModes) {
    modes = std::move(newModes);
    if (!modes.contains(mode)) mode = 0;
    updateModeLabel();
}

}  // namespace lumenvik
