#include "win/clipboard.h"

namespace lumenvik::win {

ClipboardRead readClipboardText(HWND owner, std::wstring& text, std::size_t maxUnits) {
    text.clear();
    if (!::OpenClipboard(owner)) return ClipboardRead::busy;
    ClipboardRead result = ClipboardRead::noText;
    // The system converts other text formats to this one on request.
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(::GlobalLock(data))) {
            // The memory block may be larger than the text; a text without
            // its terminating zero ends with the block.
            std::size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
            if (capacity > maxUnits) capacity = maxUnits;
            std::size_t length = 0;
            while (length < capacity && units[length] != L'\0') ++length;
            text.assign(units, length);
            ::GlobalUnlock(data);
            result = ClipboardRead::text;
        }
    }
    ::CloseClipboard();
    return result;
}

}  // namespace lumenvik::win
