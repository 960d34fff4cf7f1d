#pragma once
// The tray icon's menu: built afresh at each right click, so its check
// marks match the settings of the moment, and opened at the cursor.

#include <windows.h>

#include <optional>

#include "resources/resource.h"
#include "settings/search_settings.h"

namespace lumenvik {

// The menu's commands reach the owner as WM_COMMAND with these ids.
constexpr int kTrayFirstCommand = ID_TRAY_EXIT;
constexpr int kTrayLastCommand = ID_TRAY_SEARCH_SITES;

// The showOn choice of an item of the submenu 表示位置; nothing for
// another id.
std::optional<ShowOn> showOnOfItem(int id);

// Opens the menu for `owner` at the cursor, kept on the cursor's monitor,
// and brings the owner to the front (the menu only closes on a click
// elsewhere when its owner is in front). `runsAtLogon` marks the item
// that starts the program with Windows.
void openTrayMenu(HWND owner, const SearchSettings& settings, bool runsAtLogon);

}  // namespace lumenvik
