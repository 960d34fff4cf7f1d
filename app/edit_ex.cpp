#include "app/edit_ex.h"

#include <imm.h>

#include <utility>
#include <vector>

#include "app/key_release.h"
#include "platform/browser_platform.h"
#include "search/search_command.h"
#include "win/ime_context.h"

namespace lumenvik {
namespace {

// The search command's view of the box: its edit control, the debugger
// output and the registry's default browser.
class BoxPorts : public SearchCommandPorts {
  public:
    explicit BoxPorts(HWND box) : box_(box) {}

    std::size_t boxTextLength() override {
        const int length = ::GetWindowTextLengthA(box_);
        return length > 0 ? static_cast<std::size_t>(length) : 0;
    }
    std::string readBoxText(std::size_t bufferBytes) override {
        std::vector<char> buffer(bufferBytes + 1, '\0');
        const int got = ::GetWindowTextA(box_, buffer.data(), static_cast<int>(bufferBytes));
        return std::string(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    void setBoxText(const std::string& text) override { ::SetWindowTextA(box_, text.c_str()); }
    void trace(const std::string& text) override { ::OutputDebugStringA(text.c_str()); }
    bool openInBrowser(const std::string& url, const std::string& browser) override {
        win::Win32BrowserPlatform platform;
        return browser.empty() ? launchInDefaultBrowser(url, platform)
                               : launchWithCommand(browser, url, platform);
    }
    unsigned ansiCodePage() override { return ::GetACP(); }

  private:
    HWND box_;
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
            // The outcome does not matter here: the window hides either way.
            runSearch(decision.searchMode);
            hideSearchWindow();
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
        ::SendMessageA(::GetParent(m_hWnd), WM_ACTIVATE, WA_INACTIVE, 0);
    }
}

void CEditEx::updateModeLabel() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd) || modeLabel == nullptr) return;
    const char* label = modes.label(mode);
    if (label == nullptr) return;
    ::SetWindowTextA(modeLabel, label);
}

void CEditEx::showHistoryEntry() {
    if (history.count() == 0) {
        ::SetWindowTextA(m_hWnd, "");
        return;
    }
    const std::string& entry = history.entryToShow();
    ::SetWindowTextA(m_hWnd, entry.c_str());
    const WPARAM end = static_cast<WPARAM>(entry.size());
    ::SendMessageA(m_hWnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
}

bool CEditEx::runSearch(SearchMode searchMode) {
    BoxPorts ports(m_hWnd);
    const bool hasWord = ::GetWindowTextLengthA(m_hWnd) > 0;
    const bool launched = lumenvik::runSearch(modes.site(searchMode), history, *settings, ports);
    // The word is in the history whether or not a browser started.
    if (hasWord && historyKeeper != nullptr) historyKeeper->save(*settings, history);
    return launched;
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
