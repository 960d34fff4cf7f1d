#pragma once
// The copy gesture's wait for the clipboard: after Ctrl+C, C the program in
// front copies a little after the hook saw the key, and the clipboard may be
// busy. A timer of the window looks again at each tick, for a while; the
// loop runs on meanwhile.

#include <windows.h>

#include <string>

namespace lumenvik {

class CopiedTextWait {
  public:
    // The window's timer for the wait; its other one is the tray icon's.
    static constexpr UINT_PTR kTimer = 0x7A2;

    // Starts waiting for the clipboard to move past `sequence`, the state
    // before the copy; a wait still running is replaced. True with `text`
    // when the copied text is there at once.
    bool start(HWND window, DWORD sequence, std::wstring& text);
    // A tick of the timer: true with `text` when the copied text arrived.
    // The wait ends then, and also when nothing came in time.
    bool poll(std::wstring& text);
    // Ends the wait, if any.
    void stop();

  private:
    HWND window_ = nullptr;
    bool waiting_ = false;
    DWORD sequence_ = 0;  // the clipboard's number before the copy
    DWORD since_ = 0;     // the tick count at the gesture
};

}  // namespace lumenvik
