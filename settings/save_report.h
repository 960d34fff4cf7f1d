#pragma once
// Saving the live record where the user sees a failure: one message box
// that names the file and the platform's reason. The record keeps its
// values either way, so a later save (OK again, a tray option) can succeed
// once the folder can be written.

#include <windows.h>

#include <string>
#include <vector>

#include "settings/search_settings.h"

namespace lumenvik {

// Writes exactly `values` (SearchSettings::saveValues). True when saved;
// otherwise the box (owned by `owner`, none when null) has been shown and
// closed.
bool saveOrReport(SearchSettings& settings, HWND owner, const std::vector<IniValue>& values);

// The platform's own words for `error`, with its number.
std::wstring platformReason(uint32_t error);

}  // namespace lumenvik
