#include "app/edit_ex.h"

#include <imm.h>

#include <utility>

#include "app/key_release.h"
#include "platform/browser_platform.h"
#include "search/search_command.h"
#include "win/clipboard.h"
#include "win/text.h"
#include "win/ime_context.h"

namespace lumenvik {
namespace {

// The box's whole text.
std::wstring boxText(HWND box) {
    const int length = ::GetWindowTextLengthW(box);
    if (length <= 0) return std::wstring();
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(box, &buffer[0], length + 1);
    buffer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return buffer;
}

// The search command's view of the box: its edit control and the user's
// browser.
class BoxPorts : public win::LaunchingPorts {
  public:
    BoxPorts(HWND box, win::BrowserLaunches& launches) : LaunchingPorts(launches), box_(box) {}

    std::u16string readBoxText() override {
        const std::wstring text = boxText(box_);
        return std::u16string(text.begin(), text.end());
    }
    void setBoxText(const std::u16string& text) override {
        ::SetWindowTextW(box_, std::wstring(text.begin(), text.end()).c_str());
    }

  private:
    HWND box_;
};

bool keyHeld(int vk) { return ::GetKeyState(vk) < 0; }

// The composition's reading (its kana), else its string; empty without one.
std::wstring compositionText(HWND box) {
    win::ImeContext ime(box);
    if (!ime) return std::wstring();
    for (DWORD kind : {static_cast<DWORD>(GCS_COMPREADSTR), static_cast<DWORD>(GCS_COMPSTR)}) {
        const LONG bytes = ::ImmGetCompositionStringW(ime.get(), kind, nullptr, 0);
        if (bytes <= 0) continue;
        std::wstring text(static_cast<std::size_t>(bytes) / sizeof(wchar_t), L'\0');
        const LONG got =
            ::ImmGetCompositionStringW(ime.get(), kind, &text[0], static_cast<DWORD>(bytes));
        if (got > 0) {
            text.resize(static_cast<std::size_t>(got) / sizeof(wchar_t));
            return text;
        }
    }
    return std::wstring();
}

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
            // The reading being composed, looked up as it grows. Read after
            // the input method has handled the message; the composition
            // window is never touched.
            if ((lParam & (GCS_COMPSTR | GCS_COMPREADSTR)) != 0 && dictionary != nullptr) {
                result = DefWindowProc(msg, wParam, lParam);
                refreshDictionary();
                return true;
            }
            return false;
        case WM_IME_STARTCOMPOSITION:
            ::OutputDebugStringA("imeStart\n");
            composing = true;
            result = 1;
            return true;
        case WM_IME_ENDCOMPOSITION:
            ::OutputDebugStringA("imeEnd\n");
            composing = false;
            refreshDictionary();
            result = 1;
            return true;
        case WM_GETDLGCODE:
            // Tab moves through the dictionary's rows instead of the focus.
            if (dictionary != nullptr && dictionary->hasRows()) {
                result = DefWindowProc(msg, wParam, lParam) | DLGC_WANTTAB;
                return true;
            }
            return false;
        case WM_KEYDOWN:
            if (onDictionaryKey(wParam)) {
                result = 0;
                return true;
            }
            return false;
        case WM_CHAR:
            // The Tab that selected a row is no character for the box, nor
            // the Ctrl+C that copied one.
            if ((wParam == L'\t' && dictionary != nullptr && dictionary->hasRows()) ||
                (wParam == 3 && copyCharTaken_)) {
                copyCharTaken_ = false;
                result = 0;
                return true;
            }
            copyCharTaken_ = false;
            return false;
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

bool CEditEx::onDictionaryKey(WPARAM key) {
    if (dictionary == nullptr || !dictionary->hasRows() || composing) return false;
    if (key == VK_TAB && !keyHeld(VK_CONTROL) && !keyHeld(VK_MENU)) {
        dictionary->select(keyHeld(VK_SHIFT));
        return true;
    }
    if (key == 'C' && keyHeld(VK_CONTROL) && dictionary->hasSelection()) {
        if (!win::writeClipboardText(m_hWnd, dictionary->selectedText())) {
            ::OutputDebugStringA("dictionary row not copied: the clipboard is busy\n");
        }
        // The edit control copies its own selection on the character that
        // Ctrl+C makes (0x03): that one is swallowed too.
        copyCharTaken_ = true;
        return true;
    }
    return false;
}

void CEditEx::refreshDictionary() {
    if (dictionary == nullptr || m_hWnd == nullptr) return;
    std::wstring query = boxText(m_hWnd);
    if (composing) query += compositionText(m_hWnd);
    dictionary->update(query, modes.site(mode).dictionary);
}

bool CEditEx::onKeyRelease(WPARAM key) {
    // Ctrl+Enter with a row selected searches the row's headword.
    if (key == VK_RETURN && keyHeld(VK_CONTROL) && !composing && !enterCommitted &&
        dictionary != nullptr && dictionary->hasSelection()) {
        ::SetWindowTextW(m_hWnd, dictionary->selectedHeadword().c_str());
    }
    const KeyReleaseDecision decision = decideKeyRelease(
        static_cast<uint32_t>(key), *settings, composing, enterCommitted, keyHeld(VK_SHIFT), mode);
    switch (decision.action) {
        case KeyReleaseAction::ModePrior:
            mode = modes.prior(mode);
            updateModeLabel();
            applyModeInputMethod();
            refreshDictionary();
            break;
        case KeyReleaseAction::ModeNext:
            mode = modes.next(mode);
            updateModeLabel();
            applyModeInputMethod();
            refreshDictionary();
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
    refreshDictionary();
}

}  // namespace lumenvik
