#pragma once
// The search history kept across restarts, when the user asks for it
// ([Options] keepHistory=1): the file lumenvik-history.txt beside the
// settings file, UTF-8 without a byte-order mark, one word per line, the
// oldest first. The words go in and come out as UTF-8; the caller converts
// them from and to the search box's text.
//
// Notepad may have saved the file again in another form: with a UTF-8
// mark, as "Unicode" (UTF-16 with its mark, either byte order) or as
// "ANSI" (code page 932). Each reads back; the next write is UTF-8 again.
// A file that holds text and gives no word is never written over: its
// bytes are kept as lumenvik-history.txt.bad first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_save.h"

namespace lumenvik {

constexpr char kHistoryFileName[] = "lumenvik-history.txt";

// The history file of the settings file at `settingsPath`: the same folder.
std::string historyPathBeside(const std::string& settingsPath);

// Where the bytes of an unreadable history file at `path` are kept.
std::string asidePathFor(const std::string& path);

// The file's `bytes` as UTF-8 text: a UTF-8 mark dropped, UTF-16 after its
// mark converted, bytes without a mark that are not valid UTF-8 but are
// valid code page 932 converted from it; anything else as it is (its lines
// that are not UTF-8 are then skipped by historyWords).
std::string historyTextOf(const std::string& bytes);

// The words of the file's `bytes` (read through historyTextOf), oldest
// first. Lines end in LF or CR LF; a line that is empty, not valid UTF-8,
// holds a control character or is longer than `maxChars` characters
// (UTF-16 units, as the box counts them) is skipped. Of the rest, at most
// the newest `cap` stay (none for a cap of 0 or below).
std::vector<std::string> historyWords(const std::string& bytes, std::size_t maxChars, int32_t cap);

// The file's text for `oldestFirst`: each word and CR LF.
std::string historyText(const std::vector<std::string>& oldestFirst);

enum class HistoryRead {
    ok,          // read (no file, or an empty one, is an empty history)
    noWord,      // it holds text and no line of it is a word: keep it aside
    unreadable,  // it exists and cannot be read
};

// Reads the file at `path` into `oldestFirst` (historyWords); the
// platform's error code goes to `error` when it is unreadable.
// `oldestFirst` is empty unless the answer is ok.
HistoryRead readHistoryFile(FilePort& files, const std::string& path, std::size_t maxChars,
                            int32_t cap, std::vector<std::string>& oldestFirst, uint32_t& error);

// Copies the bytes of the file at `path` to asidePathFor(path), before a
// new history takes its place. True when they are there (copied now, or
// the file there holds them already, or `path` has gone); false when the
// name holds other bytes or the copy failed: the file must then stay.
bool keepHistoryAside(FilePort& files, const std::string& path);

// Writes the file at `path` in one piece: to a temporary file in the same
// folder, then put in its place in one step. False, with the platform's
// error code in `error`, when that failed: the old file is then as it was
// and the temporary file is gone.
bool writeHistoryFile(FilePort& files, const std::string& path,
                      const std::vector<std::string>& oldestFirst, uint32_t& error);

}  // namespace lumenvik
