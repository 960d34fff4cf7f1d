#include "settings/hot_key.h"

#include <gtest/gtest.h>

namespace lumenvik {
namespace {

constexpr unsigned kAlt = 0x1, kCtrl = 0x2, kShift = 0x4, kWin = 0x8;  // MOD_ALT ...

struct Case {
    const char* text;
    HotKeyProblem problem;
    unsigned modifiers;
    int key;
    const char* part;  // the part a problem is about
};

TEST(HotKey, ParseTable) {
    using P = HotKeyProblem;
    const Case cases[] = {
        {"", P::none, 0, 0, ""},
        {"   ", P::none, 0, 0, ""},
        {"Ctrl+Alt+Space", P::none, kCtrl | kAlt, 0x20, ""},
        {" ctrl + ALT + space ", P::none, kCtrl | kAlt, 0x20, ""},
        {"VK_CONTROL+VK_MENU+VK_SPACE", P::none, kCtrl | kAlt, 0x20, ""},
        {"Control+Shift+A", P::none, kCtrl | kShift, 'A', ""},
        {"Win+Shift+F12", P::none, kWin | kShift, 0x7B, ""},
        {"Alt+VK_F1", P::none, kAlt, 0x70, ""},
        {"Ctrl+Alt+1", P::none, kCtrl | kAlt, '1', ""},
        {"Ctrl+Alt+Prior", P::none, kCtrl | kAlt, 0x21, ""},
        {"Ctrl+Alt+NumPad0", P::none, kCtrl | kAlt, 0x60, ""},
        {"Ctrl+Alt+OEM_PLUS", P::none, kCtrl | kAlt, 0xBB, ""},
        {"Pause", P::none, 0, 0x13, ""},
        {"Ctrl+Ctrl+Z", P::none, kCtrl, 'Z', ""},
        {"Ctrl+Alt+Spcae", P::unknownName, 0, 0, "Spcae"},
        {"Ctrl+Alt+UNDEFINED_VK", P::unknownName, 0, 0, "UNDEFINED_VK"},
        {"Ctrl+Alt+", P::unknownName, 0, 0, ""},
        {"Ctrl++A", P::unknownName, 0, 0, ""},
        {"Ctrl-Alt-Space", P::unknownName, 0, 0, "Ctrl-Alt-Space"},
        {"Ctrl+Alt+10", P::unknownName, 0, 0, "10"},
        {"Ctrl+Alt", P::noKey, 0, 0, ""},
        {"Shift", P::noKey, 0, 0, ""},
        {"Ctrl+A+B", P::twoKeys, 0, 0, "B"},
        {"Space+Ctrl", P::twoKeys, 0, 0, "Ctrl"},
    };
    for (const Case& c : cases) {
        HotKey key;
        key.key = 99;  // whatever was there before goes
        std::string part = "before";
        EXPECT_EQ(parseHotKey(c.text, key, part), c.problem) << c.text;
        EXPECT_EQ(key.modifiers, c.modifiers) << c.text;
        EXPECT_EQ(key.key, c.key) << c.text;
        EXPECT_EQ(part, c.part) << c.text;
    }
}

TEST(HotKey, TheMessageNamesTheValueAndTellsTakenFromRefused) {
    const std::string value = "Ctrl+Alt+Spcae";
    const std::string unknown = hotKeyMessage(value, HotKeyProblem::unknownName, "Spcae", 0);
    const std::string taken =
        hotKeyMessage("Ctrl+Alt+Space", HotKeyProblem::none, "", kHotKeyTakenError);
    const std::string refused = hotKeyMessage("Ctrl+Alt+Space", HotKeyProblem::none, "", 87);
    EXPECT_NE(unknown.find("hotKey=" + value), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("Spcae」"), std::string::npos) << "names the part";
    EXPECT_NE(taken.find("hotKey=Ctrl+Alt+Space"), std::string::npos) << taken;
    EXPECT_NE(taken, refused);
    EXPECT_NE(refused.find("87"), std::string::npos) << "names the platform's error";
}

}  // namespace
}  // namespace lumenvik
