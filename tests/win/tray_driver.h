#pragma once
// Drives the program's tray menu from a test: opens it as a right click on
// the icon does, reads it back through menu_probe.dll inside the program and
// chooses items with the mouse.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/menu_probe_shared.h"
#include "tests/win/program_driver.h"

namespace lvtest {

constexpr UINT kTrayNotify = 0x800A;

struct MenuItem {
    int position;
    int id;
    char kind;  // 's' string, '-' separator, '>' submenu
    bool checked;
    RECT rect;
    std::string text;  // code page 932
};
using Menu = std::vector<MenuItem>;

// The probe's hook on the program's GUI thread and the memory it answers in.
class MenuProbe {
  public:
    MenuProbe();
    ~MenuProbe();
    MenuProbe(const MenuProbe&) = delete;
    MenuProbe& operator=(const MenuProbe&) = delete;

    // Hooks the thread of `programWindow`; false when that fails.
    bool attach(HWND programWindow);
    // The popup menus open in the program now (submenus first when open).
    std::vector<Menu> read();
    // Records, at the window's WM_DESTROY, whether its tray icon still exists.
    void watchDestroy(HWND window);
    LONG iconAtDestroy() const;
    // Breaks the program's input method (kImeNoContext, kImeCloseFails of
    // menu_probe_shared.h); false when the probe could not.
    bool breakInputMethod(WPARAM how);
    // Whether the search box's input method is open: 1 open, 0 closed, -1
    // no input context, -2 the probe could not ask.
    LONG inputMethodOpen();
    // How often the program called the failing ImmSetOpenStatus.
    LONG imeCloseCalls() const;
    // Makes the program's tray calls fail (or work again); false when the
    // probe could not. trayCalls: the calls that failed.
    bool failTrayCalls(bool fail);
    LONG trayCalls() const;
    // The search box's font height (lfHeight), 0 when unknown. With `dpi`,
    // the window first gets WM_DPICHANGED for it suggesting `suggested`.
    LONG boxFontHeight(int dpi = 0, const RECT& suggested = RECT{});
    // Keeps the program's GUI thread from its queue for `ms` milliseconds,
    // starting now; returns at once.
    bool keepBusy(DWORD ms);
    // Waits up to `ms` for the end of that; true once it has ended.
    bool waitNotBusy(DWORD ms);
    // Removes one of the program's hooks from inside it, as Windows drops a
    // hook that answered too slowly; false when the removal was refused.
    bool dropHook(HHOOK hook);

  private:
    HMODULE dll_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE mapping_ = nullptr;
    ProbeMemory* memory_ = nullptr;
    HWND window_ = nullptr;
    HANDLE busy_ = nullptr;  // the thread that keeps the program busy
};

// Whether the program has a popup menu window showing.
bool menuShowing(DWORD pid);
// A right click on the tray icon with the cursor at `at`; waits for the menu
// and returns it as read. Empty when no menu appeared.
std::vector<Menu> openTrayMenu(Program& program, MenuProbe& probe, POINT at = {600, 300});
// The item with this text in any of the menus; nullptr when none has it.
const MenuItem* findItem(const std::vector<Menu>& menus, const std::string& text);
// A left click at a screen point that waits until the pointer is there
// before pressing: under Wine a press sent right after a move can still
// land where the pointer was before.
void clickSettled(int x, int y);
// Clicks the middle of an item.
void clickItem(const MenuItem& item);
// Clicks an item until `effect` holds (at most three clicks); false if it never did.
bool clickItemUntil(const MenuItem& item, const std::function<bool()>& effect);
// Opens the tray menu and chooses `text`, found in the menu itself or in one
// of its submenus; false when it could not be chosen.
bool chooseTrayItem(Program& program, MenuProbe& probe, const std::string& text);

// Settings file values as the platform reads them.
int iniValue(const std::string& file, const char* section, const char* key, int fallback = -999);

}  // namespace lvtest
