#pragma once
// The text that the copy gesture (Ctrl+C, C) puts into the search box,
// made from the clipboard's text. Portable: the clipboard itself is read by
// the window layer.

#include <cstddef>
#include <string>

namespace lumenvik {

// `text` is UTF-16 (one unit per element), and so is the result: the
// clipboard's characters as they are, on one line. CR LF counts as one line
// break, and each line break, tab or other control character becomes one
// blank. Blanks, half-width and full-width (U+3000), are trimmed at both
// ends. At most `limitUnits` units are kept (the Unicode edit control's
// limit), never half of a surrogate pair. Empty when nothing else remains.
std::wstring copiedTextForBox(const std::wstring& text, std::size_t limitUnits);

}  // namespace lumenvik
