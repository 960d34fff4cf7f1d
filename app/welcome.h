#pragma once
// The word of welcome on the first start: a balloon at the tray icon that
// says the program runs, how to open the search bar and where the icon is.
// The program has no window of its own to show, and a new icon may sit in
// the taskbar's overflow where nobody sees it.

#include <cstdint>
#include <string>

namespace lumenvik {

struct WelcomeText {
    std::string title;  // UTF-8, at most 63 UTF-16 units
    std::string text;   // UTF-8, at most 255 UTF-16 units
};

// The texts for the show key `showWindowKey` (a stored key setting).
WelcomeText welcomeText(int32_t showWindowKey);

// The key as a user knows it: "Ctrl", "Shift", "Alt", else its name
// without the "VK_".
std::string friendlyKeyName(int32_t showWindowKey);

}  // namespace lumenvik
