#include "settings/key_names.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace lumenvik {
namespace {

// The names as the settings dialog has always shown them, written as runs of
// consecutive codes.
struct NameRun {
    int first;
    std::vector<std::string> names;
};

std::vector<std::string> numbered(const std::string& prefix, int from, int to) {
    std::vector<std::string> names;
    for (int n = from; n <= to; ++n) names.push_back(prefix + std::to_string(n));
    return names;
}

std::map<int, std::string> expectedNames() {
    const std::vector<NameRun> runs = {
        {0x01, {"VK_LBUTTON", "VK_RBUTTON", "VK_CANCEL", "VK_MBUTTON"}},
        {0x08, {"VK_BACK", "VK_TAB"}},
        {0x0C, {"VK_CLEAR", "VK_RETURN"}},
        {0x10, {"VK_SHIFT", "VK_CONTROL", "VK_MENU", "VK_PAUSE", "VK_CAPITAL", "VK_KANA"}},
        {0x17, {"VK_JUNJA", "VK_FINAL", "VK_KANJI"}},
        {0x1B, {"VK_ESCAPE", "VK_CONVERT", "VK_NONCONVERT", "VK_ACCEPT", "VK_MODECHANGE"}},
        {0x20,
         {"VK_SPACE", "VK_PRIOR", "VK_NEXT", "VK_END", "VK_HOME", "VK_LEFT", "VK_UP", "VK_RIGHT",
          "VK_DOWN", "VK_SELECT", "VK_PRINT", "VK_EXECUTE", "VK_SNAPSHOT", "VK_INSERT", "VK_DELETE",
          "VK_HELP"}},
        {0x5B, {"VK_LWIN", "VK_RWIN", "VK_APPS"}},
        {0x5F, {"VK_SLEEP"}},
        {0x60, numbered("VK_NUMPAD", 0, 9)},
        {0x6A, {"VK_MULTIPLY", "VK_ADD", "VK_SEPARATOR", "VK_SUBTRACT", "VK_DECIMAL", "VK_DIVIDE"}},
        {0x70, numbered("VK_F", 1, 24)},
        {0x90,
         {"VK_NUMLOCK", "VK_SCROLL", "VK_OEM_FJ_JISHO", "VK_OEM_FJ_MASSHOU", "VK_OEM_FJ_TOUROKU",
          "VK_OEM_FJ_LOYA", "VK_OEM_FJ_ROYA"}},
        {0xA0, {"VK_LSHIFT", "VK_RSHIFT", "VK_LCONTROL", "VK_RCONTROL", "VK_LMENU", "VK_RMENU"}},
        {0xBA,
         {"VK_OEM_1", "VK_OEM_PLUS", "VK_OEM_COMMA", "VK_OEM_MINUS", "VK_OEM_PERIOD", "VK_OEM_2",
          "VK_OEM_3"}},
        {0xDB, {"VK_OEM_4", "VK_OEM_5", "VK_OEM_6", "VK_OEM_7", "VK_OEM_8"}},
        {0xE1,
         {"VK_OEM_AX", "VK_OEM_102", "VK_ICO_HELP", "VK_ICO_00", "VK_PROCESSKEY", "VK_ICO_CLEAR"}},
        {0xE9,
         {"VK_OEM_RESET", "VK_OEM_JUMP", "VK_OEM_PA1", "VK_OEM_PA2", "VK_OEM_PA3", "VK_OEM_WSCTRL",
          "VK_OEM_CUSEL", "VK_OEM_ATTN", "VK_OEM_FINISH", "VK_OEM_COPY", "VK_OEM_AUTO",
          "VK_OEM_ENLW", "VK_OEM_BACKTAB"}},
        {0xF6,
         {"VK_ATTN", "VK_CRSEL", "VK_EXSEL", "VK_EREOF", "VK_PLAY", "VK_ZOOM", "VK_NONAME",
          "VK_PA1", "VK_OEM_CLEAR"}},
    };
    std::map<int, std::string> names;
    for (const NameRun& run : runs) {
        for (std::size_t i = 0; i < run.names.size(); ++i) {
            names[run.first + static_cast<int>(i)] = run.names[i];
        }
    }
    return names;
}

// The codes with neither a name nor a letter, as [first, last] ranges.
const std::vector<std::pair<int, int>> kUndefinedRanges = {
    {0x00, 0x00}, {0x05, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x16, 0x16},
    {0x1A, 0x1A}, {0x30, 0x40}, {0x5E, 0x5E}, {0x88, 0x8F}, {0x97, 0x9F},
    {0xA6, 0xB9}, {0xC1, 0xDA}, {0xE0, 0xE0}, {0xE7, 0xE8}, {0xFF, 0xFF},
};

TEST(VirtualKeyName, EveryCodeHasItsTabledNameLetterOrUndefined) {
    const std::map<int, std::string> named = expectedNames();
    ASSERT_EQ(named.size(), 135u);

    std::map<int, std::string> expected = named;
    for (int code = 0x41; code <= 0x5A; ++code) {
        ASSERT_EQ(expected.count(code), 0u);
        expected[code] = std::string(1, static_cast<char>(code));
    }
    int undefined = 0;
    for (const auto& range : kUndefinedRanges) {
        for (int code = range.first; code <= range.second; ++code, ++undefined) {
            ASSERT_EQ(expected.count(code), 0u) << code;
            expected[code] = "UNDEFINED_VK";
        }
    }
    ASSERT_EQ(undefined, 95);
    ASSERT_EQ(expected.size(), 256u);

    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(virtualKeyName(static_cast<uint8_t>(code)), expected[code])
            << "code 0x" << std::hex << code;
    }
}

TEST(VirtualKeyName, DefaultKeysShowTheirNames) {
    EXPECT_EQ(virtualKeyName(0x21), "VK_PRIOR");
    EXPECT_EQ(virtualKeyName(0x22), "VK_NEXT");
    EXPECT_EQ(virtualKeyName(0x26), "VK_UP");
    EXPECT_EQ(virtualKeyName(0x28), "VK_DOWN");
    EXPECT_EQ(virtualKeyName(0x11), "VK_CONTROL");
}

TEST(VirtualKeyName, DigitKeysAreUndefinedNotDigits) {
    for (int code = 0x30; code <= 0x39; ++code) {
        EXPECT_EQ(virtualKeyName(static_cast<uint8_t>(code)), "UNDEFINED_VK") << code;
    }
}

TEST(SettingKeyName, OnlyTheLowEightBitsOfAStoredValueCount) {
    EXPECT_EQ(settingKeyName(0x141), "A");
    EXPECT_EQ(settingKeyName(0x10), "VK_SHIFT");
    EXPECT_EQ(settingKeyName(0xA0), "VK_LSHIFT");
    EXPECT_EQ(settingKeyName(0x100), "UNDEFINED_VK");
    EXPECT_EQ(settingKeyName(-1), "UNDEFINED_VK");  // low byte 0xFF
    EXPECT_EQ(settingKeyName(-0xDE), "VK_NEXT");    // 0xFFFFFF22
}

}  // namespace
}  // namespace lumenvik
