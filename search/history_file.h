#pragma once
// The search history kept across restarts, when the user asks for it
// ([Options] keepHistory=1): the file lumenvik-history.txt beside the
// settings file, UTF-8 without a byte-order mark, one word per line, the
// oldest first. The words go in and come out as UTF-8; the caller converts
// them from and to the search box's text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_save.h"

namespace lumenvik {

constexpr char kHistoryFileName[] = "lumenvik-history.txt";

// The history file of the settings file at `settingsPath`: the same folder.
std::string historyPathBeside(const std::string& settingsPath);

// The words of the file's `bytes`, oldest first. Lines end in LF or CR LF;
// a line that is empty, not valid UTF-8, holds a control character or is
// longer than `maxChars` characters (UTF-16 units, as the box counts them)
// is skipped. Of the rest, at most the newest `cap` stay (none for a cap
// of 0 or below).
std::vector<std::string> historyWords(const std::string& bytes, std::size_t maxChars, int32_t cap);

// The file's text for `oldestFirst`: each word and CR LF.
std::string historyText(const std::vector<std::string>& oldestFirst);

// Reads the file at `path` into `oldestFirst` (historyWords). A missing
// file is an empty history; false, with the platform's error code in
// `error`, when the file exists and cannot be read (`oldestFirst` is then
// empty).
bool readHistoryFile(FilePort& files, const std::string& path, std::size_t maxChars, int32_t cap,
                     std::vector<std::string>& oldestFirst, uint32_t& error);

// Writes the file at `path` in one piece: to a temporary file in the same
// folder, then put in its place in one step. False, with the platform's
// error code in `error`, when that failed: the old file is then as it was
// and the temporary file is gone.
bool writeHistoryFile(FilePort& files, const std::string& path,
                      const std::vector<std::string>& oldestFirst, uint32_t& error);

}  // namespace lumenvik
