#pragma once
// The text that the copy gesture (Ctrl+C, C) puts into the search box,
// made from the clipboard's text. Portable: the clipboard itself is read by
// the window layer.

#include <cstddef>
#include <string>

namespace lumenvik {

// `text` is UTF-16 (one unit per element). The result is in code page 932,
// characters it lacks as "?" (one for a character outside the BMP or in
// the private use area, which the converter would drop), on one
// line: CR LF counts as one line break, and each line break, tab or other
// control character becomes one blank. Blanks, half-width and full-width
// (U+3000), are trimmed at both ends. At most `limitBytes` bytes are kept,
// never half of a double-byte character. Empty when nothing else remains.
std::string copiedTextForBox(const std::wstring& text, std::size_t limitBytes);

}  // namespace lumenvik
