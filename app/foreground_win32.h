#pragma once
// The foreground change of app/foreground.h with the Win32 calls.

#include <windows.h>

namespace lumenvik {

// Shows `hwnd` and brings it to the front even when another process has the
// foreground. True when it is the foreground window afterwards.
bool forceForeground(HWND hwnd);

}  // namespace lumenvik
