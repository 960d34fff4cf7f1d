#pragma once
// Display names of virtual-key codes, as the settings dialog shows the
// assigned keys. The settings file keeps numbers; only the dialog shows names.

#include <cstdint>
#include <string>

namespace lumenvik {

// The platform's constant name of `code` ("VK_CONTROL", "VK_PRIOR"), the
// letter itself for the letter keys 0x41-0x5A, and "UNDEFINED_VK" for every
// code without a name (the digit keys among them).
std::string virtualKeyName(uint8_t code);

// The name of a stored key setting: only its low 8 bits count, so 0x141
// shows as "A".
std::string settingKeyName(int32_t setting);

}  // namespace lumenvik
