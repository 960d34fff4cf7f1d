#pragma once
// The search box: the edit control 1002 of the search window, subclassed so
// that the program sees its key releases and input-method notifications. It
// holds the current search mode, steps through the search history and runs
// the search command when Enter is released.

#include "app/dictionary_list.h"
#include "app/history_keeper.h"
#include "platform/browser_platform.h"
#include "search/search_command.h"
#include "search/search_history.h"
#include "search/search_mode.h"
#include "settings/search_settings.h"
#include "win/window.h"

namespace lumenvik {

class CEditEx : public win::CWindowImpl<CEditEx> {
  public:
    explicit CEditEx(SearchSettings* settings);

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Shows the current mode's label in the label control, when both exist
    // and the mode is valid.
    void updateModeLabel();
    // Puts the history entry at the cursor into the box (nothing when there
    // are no entries) with the caret at its end, scrolled into view.
    void showHistoryEntry();
    // The search command: reads the box, records the word, opens the mode's
    // URL in the user's browser.
    SearchResult runSearch(SearchMode searchMode);
    // Opens or closes the box's input method as the current mode asks
    // (nothing for a mode without a wish). Never while a composition is
    // open: the mode keys do nothing then, so no conversion is cut.
    void applyModeInputMethod();
    // Takes a new list of modes; the current mode stays when it is still in
    // the list and becomes 0 otherwise. The label follows.
    void setModes(SearchModes newModes);
    // Looks the box's text up in the dictionary (with the reading being
    // composed, where the input method lets it be read), for the list
    // under the box in a mode that shows it.
    void refreshDictionary();

    SearchModes modes;            // the built-in sites, or the user's
    SearchMode mode = 0;          // an index into `modes`
    HWND modeLabel = nullptr;     // control 1003, handed over by the search window
    bool composing = false;       // an input-method composition is open
    bool enterCommitted = false;  // the last composition result came while Enter was down
    SearchHistory history;
    SearchSettings* settings;                  // the search window's record, not owned
    HistoryKeeper* historyKeeper = nullptr;    // writes the history after a search; not owned
    win::BrowserLaunches* launches = nullptr;  // the search window's; not owned
    DictionaryList* dictionary = nullptr;      // the list under the box; not owned

  private:
    // Carries out what decideKeyRelease says about a released key; true
    // when the release is taken (not passed on to the edit control).
    bool onKeyRelease(WPARAM key);
    // Tab, Shift+Tab and Ctrl+C while the dictionary shows rows; true when
    // the key press is taken.
    bool onDictionaryKey(WPARAM key);
    // Sends the search window the deactivation that runs its hide path.
    void hideSearchWindow();
    // Shows the window again with the word that was too long to launch.
    void giveBackTooLongWord();

    std::u16string searchedWord_;  // the box's text at the search under way

    bool copyCharTaken_ = false;  // the row's Ctrl+C was taken: its 0x03 character too
};

}  // namespace lumenvik
