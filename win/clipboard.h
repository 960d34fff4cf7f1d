#pragma once
// The clipboard's text, read once or written: a thin layer over the
// clipboard calls.

#include <windows.h>

#include <cstddef>
#include <string>

namespace lumenvik::win {

enum class ClipboardRead {
    text,    // `text` holds the clipboard's text (possibly empty)
    noText,  // the clipboard holds no text
    busy,    // another program has the clipboard open: try again shortly
};

// The clipboard's CF_UNICODETEXT up to its terminating zero, as UTF-16, at
// most `maxUnits` units of it. `owner` is the window that opens the clipboard.
ClipboardRead readClipboardText(HWND owner, std::wstring& text, std::size_t maxUnits);

// Makes `text` the clipboard's only content, as CF_UNICODETEXT (the system
// offers it in the other text formats). False when the clipboard could not
// be opened or the memory not had.
bool writeClipboardText(HWND owner, const std::wstring& text);

}  // namespace lumenvik::win
