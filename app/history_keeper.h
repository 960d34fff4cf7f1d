#pragma once
// The search history kept across restarts when [Options] keepHistory is on:
// read from lumenvik-history.txt beside the settings file at start-up,
// written after each search, emptied by the tray menu. With the option off
// the file is never read or written.

#include <windows.h>

#include <string>

#include "search/search_history.h"
#include "settings/search_settings.h"

namespace lumenvik {

class HistoryKeeper {
  public:
    // Fills `history` from the file, the oldest word first, when the option
    // is on. Words longer than `boxLimit` characters are skipped. A file
    // that cannot be read leaves the history empty and is not written over
    // for the rest of the run; one that holds text and gives no word is
    // kept as lumenvik-history.txt.bad before the first write (not written
    // over at all when that cannot be done). The debugger output tells both.
    void load(const SearchSettings& settings, SearchHistory& history, std::size_t boxLimit);
    // Writes `history` to the file when the option is on. The first failure
    // of a run is told in a message box.
    void save(const SearchSettings& settings, const SearchHistory& history);
    // Empties `history` and the file: written empty when the option is on,
    // removed (a file from an earlier run with it on) when it is off.
    void clear(const SearchSettings& settings, SearchHistory& history);

  private:
    bool readFailed_ = false;
    bool keepAside_ = false;
    bool reported_ = false;
};

}  // namespace lumenvik
