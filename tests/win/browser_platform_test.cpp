// The browser launch's registry and text calls, against the real registry
// of the test prefix (a scratch key below HKEY_CLASSES_ROOT that each test
// removes again) and the code page 932 of the test locale.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/browser_platform.h"
#include "tests/win/registry_guard.h"

namespace {

using lumenvik::RegistryKey;
using lumenvik::win::Win32BrowserPlatform;

const char kScratch[] = "lvtest.browserplatform";

class BrowserPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override { lvtest::deleteKeyTree(kScratch); }
    void TearDown() override { EXPECT_TRUE(lvtest::deleteKeyTree(kScratch)); }

    // Reads the default value of the scratch key through `bufferBytes`;
    // false when it cannot be opened or read.
    bool read(std::size_t bufferBytes, std::string& value) {
        RegistryKey key = 0;
        if (!platform.openClassesRootKey(kScratch, key)) return false;
        const bool ok = platform.readDefaultValue(key, bufferBytes, value);
        platform.closeKey(key);
        return ok;
    }

    Win32BrowserPlatform platform;
};

TEST_F(BrowserPlatformTest, AMissingKeyDoesNotOpen) {
    RegistryKey key = 0;
    EXPECT_FALSE(platform.openClassesRootKey(kScratch, key));
    EXPECT_FALSE(platform.openClassesRootKey(std::string(kScratch) + "\\shell", key));
}

TEST_F(BrowserPlatformTest, AValueIsReadWhenItAndItsNulFitTheBuffer) {
    struct Case {
        std::size_t length, buffer;
        bool fits;
    };
    const Case cases[] = {{147, 148, true}, {148, 148, false}, {200, 148, false},
                          {531, 532, true}, {532, 532, false}, {0, 148, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " bytes into " << c.buffer);
        const std::string text(c.length, 'x');
        ASSERT_TRUE(lvtest::setDefaultValue(kScratch, text));
        std::string value = "unchanged";
        EXPECT_EQ(read(c.buffer, value), c.fits);
        if (c.fits) {
            EXPECT_EQ(value, text);
        }
    }
}

TEST_F(BrowserPlatformTest, AKeyWithoutADefaultValueReadsAsTheEmptyText) {
    // As HKEY_CLASSES_ROOT\http\shell stands in a fresh prefix: the empty
    // verb, which means "open".
    ASSERT_TRUE(lvtest::setDefaultValue(std::string(kScratch) + "\\open\\command", "x"));
    std::string value = "unchanged";
    EXPECT_TRUE(read(148, value));
    EXPECT_EQ(value, "");
}

// Stored in code page 932 (the prefix's), handed on as UTF-8.
TEST_F(BrowserPlatformTest, JapaneseTextIsReadAsUtf8) {
    ASSERT_TRUE(lvtest::setDefaultValue(kScratch, "\"C:\\表示\\ソフト.exe\" \"%1\""));
    std::string value;
    EXPECT_TRUE(read(532, value));
    EXPECT_EQ(value, u8"\"C:\\表示\\ソフト.exe\" \"%1\"");
}

TEST_F(BrowserPlatformTest, UpperCaseLeavesJapaneseCharactersWhole) {
    // In code page 932 the trail bytes of ヂ and ッ are the letters a and b.
    EXPECT_EQ(platform.upperCase(u8"ヂッ iexplore.exe"), u8"ヂッ IEXPLORE.EXE");
    EXPECT_EQ(platform.upperCase(u8"c:\\表示\\iExplore"), u8"C:\\表示\\IEXPLORE");
    EXPECT_EQ(platform.upperCase(""), "");
}

}  // namespace
