#pragma once
// The tray menu's options that change a setting: the one value a choice
// sets in the live record, and the one line of the settings file it writes.
// The other keys of the file stay as the file has them, so a value the user
// wrote into the file while the program runs is not put back by a click.

#include <optional>

#include "settings/search_settings.h"

namespace lumenvik {

// Applies the option of menu item `id` (search range, start in the Google
// mode) to `settings` and gives the value to save; nothing for any other id.
std::optional<IniValue> applyTrayOption(int id, SearchSettings& settings);

}  // namespace lumenvik
