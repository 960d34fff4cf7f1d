#pragma once
// The offline dictionary's list under the search box: up to eight rows
// (headword, reading, glosses, cut with an ellipsis to the width) in a list
// box whose item texts are the rows' whole texts, for screen readers. The
// window grows downward from where it stands to hold them and shrinks back
// when there is nothing to show.
//
// The list box is disabled, so it never takes the focus: the box keeps the
// focus, its text, its caret and the input method's composition window.
// The rows are selected with Tab from the box (CEditEx).

#include <windows.h>

#include <string>
#include <vector>

#include "platform/dictionary_file.h"

// Posted by the search window to itself after a change of scaling.
constexpr UINT WM_DICTIONARY_RELAYOUT = WM_APP + 12;

namespace lumenvik {

class DictionaryList {
  public:
    // Maps lumenvik-dict.bin beside the program. Without the file nothing
    // happens ever after; a file that cannot be used gives one trace line.
    void open();
    // Makes the (hidden) list box as a child of `dialog`, under `box`.
    void create(HWND dialog, HWND box);

    // Shows the rows for `text` (when `enabled`, the current mode's wish),
    // or hides the list. The selection is dropped when the rows change.
    void update(const std::wstring& text, bool enabled);
    bool hasRows() const { return !rows_.empty(); }
    // Tab (forward) or Shift+Tab: the next row's selection, wrapping; the
    // first press selects the first (or last) row.
    void select(bool backward);
    bool hasSelection() const { return selected_ >= 0; }
    std::wstring selectedHeadword() const;
    // The selected row as the list shows it: headword, reading, glosses.
    std::wstring selectedText() const;
    // WM_DRAWITEM of the search window; true when it was for the list.
    bool draw(const DRAWITEMSTRUCT& item) const;
    // WM_DPICHANGED: the window's new size, suggested by the system, holds
    // the list's height scaled to `dpi` with it.
    void dpiChanged(int dpi);
    // After the dialog manager has rescaled the controls and the font: the
    // rows at the new font's height, under the box where it now stands.
    void relayout();

  private:
    struct Row {
        std::wstring headword;
        std::wstring text;
    };
    void layout();

    win::MappedDictionary file_;
    bool usable_ = false;
    HWND dialog_ = nullptr;
    HWND box_ = nullptr;
    HWND list_ = nullptr;
    std::vector<Row> rows_;
    int selected_ = -1;
    int extra_ = 0;  // the pixels the window has grown by
    int dpi_ = 96;   // the scaling `extra_` was measured at
};

}  // namespace lumenvik
