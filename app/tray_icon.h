#pragma once
// The notification-area icon of the search window, and its re-creation when
// the shell restarts.

#include <windows.h>
#include <shellapi.h>

namespace lumenvik {

class CTrayIcon {
  public:
    // The record size of the version-2 layout (with the 128-byte tip).
    static constexpr DWORD kDataSize = 488;

    CTrayIcon();

    // Adds icon 128 for `owner` (id 0) with the tip and the callback
    // message; remembers the record for re-adding. True when added.
    bool add(const char* tip, HWND owner, UINT callbackMessage);
    void remove();
    // Offered every message the owner does not take; never consumes one.
    void processMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool added = false;
    HWND owner = nullptr;
    UINT taskbarCreatedMessage;
    NOTIFYICONDATAA data;
};

}  // namespace lumenvik
