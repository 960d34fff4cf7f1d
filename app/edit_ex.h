#pragma once
// The search box: the edit control 1002 of the search window, subclassed so
// that the program sees its key releases and input-method notifications. It
// holds the current search mode and updates the mode label.

#include "settings/search_settings.h"
#include "win/window.h"

namespace lumenvik {

class CEditEx : public win::CWindowImpl<CEditEx> {
  public:
    static constexpr int kModeCount = 5;

    explicit CEditEx(SearchSettings* settings);

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Shows the current mode's label in the label control, when both exist
    // and the mode is valid.
    void updateModeLabel();

    int mode = 0;                 // SearchMode, 0 to 4
    HWND modeLabel = nullptr;     // control 1003, handed over by the search window
    bool composing = false;       // an input-method composition is open
    bool enterCommitted = false;  // the last composition result came while Enter was down
    SearchSettings* settings;     // the search window's record, not owned
};

}  // namespace lumenvik
