#pragma once
// The words searched since start-up, newest first, and the cursor the two
// history keys move. Memory only, empty at every start, unless the user
// asks for it to be kept (search/history_file.h).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace lumenvik {

class SearchHistory {
  public:
    // Called once per search, before the URL is built. The cursor goes back
    // to "none", the word goes in front (equal words are held twice), and if
    // the count then exceeds `historySize` the one oldest entry goes. The
    // caller passes the setting as it stands at this search, so a change in
    // the settings dialog counts from the next search on. Only one entry
    // leaves per call: lowering the size never shrinks the history, and a
    // size of 0 or below keeps nothing.
    void record(const std::string& word, int32_t historySize);

    // Forgets every entry (the tray menu's erase).
    void clear();
    // No entry selected; the hide path of the search window calls it.
    void resetCursor();
    // The history keys: towards older entries (Up), towards newer (Down).
    void stepOlder();
    void stepNewer();

    // What the search box shows after a step: the entry at the cursor, or
    // the empty text when there are no entries. The caret then goes to the
    // end of this text. Entries are the words as typed, in UTF-8.
    const std::string& entryToShow() const;

    std::size_t count() const { return entries_.size(); }
    // Index of the entry last shown, 0 the newest; -1 for none.
    int cursor() const { return cursor_; }
    const std::string& entry(std::size_t index) const { return entries_.at(index); }

  private:
    int cursor_ = 0;
    std::deque<std::string> entries_;
};

}  // namespace lumenvik
