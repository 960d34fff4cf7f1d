// The first start's balloon fits the shell's record and names the show key.
#include <gtest/gtest.h>

#include <string>

#include "app/welcome.h"

namespace {

// UTF-16 units of a UTF-8 text: one per character, two past U+FFFF.
size_t utf16Units(const std::string& text) {
    size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

TEST(Welcome, TheBalloonNamesTheShowKeyAsUsersKnowItAndFitsTheShellsRecord) {
    for (int32_t key : {0x11, 0x70, 0x141}) {
        SCOPED_TRACE(key);
        const lumenvik::WelcomeText welcome = lumenvik::welcomeText(key);
        // szInfoTitle and szInfo hold 64 and 256 units with their ends.
        EXPECT_LE(utf16Units(welcome.title), 63u);
        EXPECT_LE(utf16Units(welcome.text), 255u);
    }
    EXPECT_EQ(lumenvik::welcomeText(0x11).text.rfind("Ctrl キー", 0), 0u);
    EXPECT_EQ(lumenvik::welcomeText(0x70).text.rfind("F1 キー", 0), 0u);
}

}  // namespace
