#pragma once
// What the search box does when a key is released. The search box acts on
// releases only; presses reach the edit control unchanged. This is the whole
// decision; the search box carries it out with the window calls.

#include <cstdint>

#include "search/search_mode.h"
#include "settings/search_settings.h"

namespace lumenvik {

constexpr uint32_t kEnterKey = 13;   // VK_RETURN
constexpr uint32_t kEscapeKey = 27;  // VK_ESCAPE

enum class KeyReleaseAction {
    ModePrior,           // previous mode, update the label
    ModeNext,            // next mode, update the label
    HistoryNewer,        // stepNewer, then show the history entry
    HistoryOlder,        // stepOlder, then show the history entry
    SwallowCommitEnter,  // this Enter only committed a conversion: clear the flag, nothing else
    SearchThenHide,      // run the search with `searchMode`, then hide the window if visible
    Hide,                // Escape: hide the window if visible
    Ignore,              // any other key: nothing
};

struct KeyReleaseDecision {
    KeyReleaseAction action;
    // Whether the release goes on to the edit control's own procedure.
    bool passOn;
    // The mode to search with (SearchThenHide only): 0 while Shift is held,
    // else the current mode, which itself does not change.
    SearchMode searchMode;
};

// `key` is the released virtual-key code as delivered (compared as an
// integer with the settings, so codes of 0x80 and above work like any
// other). While no composition is open, the four configured keys are tried
// first, in the order mode_prior, mode_next, history_next, history_prior;
// the first that matches wins, also over Enter and Escape. While a
// composition is open they are left to the input method; Enter and Escape
// still act.
KeyReleaseDecision decideKeyRelease(uint32_t key, const SearchSettings& settings, bool composing,
                                    bool enterCommitted, bool shiftHeld, SearchMode currentMode);

}  // namespace lumenvik
