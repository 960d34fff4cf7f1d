#pragma once
// The clipboard's text, read once: a thin layer over the clipboard calls.

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

}  // namespace lumenvik::win
