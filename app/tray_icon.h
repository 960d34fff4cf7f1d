#pragma once
// The notification-area icon of the search window. It is kept there for as
// long as it is wanted: a failed add is retried on a timer and a restarted
// shell gets it again (tray/tray_presence.h decides).

#include <windows.h>
#include <shellapi.h>

#include "tray/tray_presence.h"
#include "win/owned_handle.h"

namespace lumenvik {

class CTrayIcon {
  public:
    // The record size of the version-2 layout (with the 128-byte tip). It
    // differs between the 32- and 64-bit builds (the handles widen), and
    // Windows checks it against the sizes it knows.
    static constexpr DWORD kDataSize = NOTIFYICONDATAW_V2_SIZE;
    // The owner's timer that retries a failed add, and its period.
    static constexpr UINT_PTR kRetryTimer = 0x7A1;
    static constexpr UINT kRetryMs = 3000;
    // How long the balloon stays where the shell still asks the program
    // (before Windows Vista; later ones keep a balloon as long as the user's
    // accessibility setting says).
    static constexpr UINT kBalloonMs = 15000;

    CTrayIcon();

    // Adds icon 128 for `owner` (id 0) with the tip and the callback
    // message; remembers the record for re-adding. True when added; when
    // not, the add is retried until it succeeds. With a balloon title and
    // text, the first add that succeeds shows that balloon (a retried add
    // carries it; a re-add after a shell restart does not).
    bool add(const wchar_t* tip, HWND owner, UINT callbackMessage,
             const wchar_t* balloonTitle = nullptr, const wchar_t* balloonText = nullptr);
    // Removes the icon for good: no retry and no re-add after this.
    void remove();
    // Offered every message the owner does not take; never consumes one.
    void processMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND owner = nullptr;
    UINT taskbarCreatedMessage;
    NOTIFYICONDATAW data;

  private:
    void carryOut(TrayPresence::Action action);

    TrayPresence presence_;
    win::OwnedIcon icon_;  // data.hIcon
};

}  // namespace lumenvik
