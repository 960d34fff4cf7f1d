#include "win/clipboard.h"

#include <algorithm>

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

bool writeClipboardText(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr) return false;
    if (void* p = ::GlobalLock(block)) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(p));
        ::GlobalUnlock(block);
    } else {
        ::GlobalFree(block);
        return false;
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(block);
        return false;
    }
    ::EmptyClipboard();
    // Once set, the block is the system's.
    const bool set = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!set) ::GlobalFree(block);
    ::CloseClipboard();
    return set;
}

}  // namespace lumenvik::win
