#pragma once
// The hot key of the settings file ([Options] hotKey=), a combination such
// as "Ctrl+Alt+Space" that the program registers with the system. Unlike the
// keyboard hook's double press, a registered hot key also works while a
// window that runs as administrator has the focus.
//
// The text is parts joined by "+", blanks around a part ignored, letter case
// ignored. The last part is the key, named as the settings dialog names
// keys ("VK_SPACE", "A", "VK_F1"), with or without the "VK_"; a digit key by
// its digit. The parts before it are modifiers: Ctrl (Control, VK_CONTROL),
// Alt (VK_MENU), Shift (VK_SHIFT) and Win (VK_LWIN).

#include <cstdint>
#include <string>

namespace lumenvik {

struct HotKey {
    // The platform's modifier flags, as RegisterHotKey takes them.
    static constexpr unsigned kAlt = 0x1, kControl = 0x2, kShift = 0x4, kWin = 0x8;

    unsigned modifiers = 0;
    int key = 0;  // virtual-key code; 0: no hot key
};

enum class HotKeyProblem {
    none,
    unknownName,  // a part names no key or modifier
    noKey,        // modifiers only
    twoKeys,      // a key before the last part
};

// Reads `text` into `hotKey`. An empty or blank text is no hot key (key 0)
// and no problem. `part` is the part a problem is about.
HotKeyProblem parseHotKey(const std::string& text, HotKey& hotKey, std::string& part);

// The platform's error when another program holds the combination
// (ERROR_HOTKEY_ALREADY_REGISTERED).
constexpr unsigned long kHotKeyTakenError = 1409;

// The message about a hot key that cannot be used, naming the value as the
// file has it and the reason: a problem of the text, or, with `problem`
// none, the error of the platform's refusal to register it. UTF-8.
std::string hotKeyMessage(const std::string& value, HotKeyProblem problem, const std::string& part,
                          unsigned long registerError);

}  // namespace lumenvik
