// The browser launch's registry and text calls, against the real registry
// of the test prefix (a scratch key below HKEY_CLASSES_ROOT that each test
// removes again) and the code page 932 of the test locale.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/browser_platform.h"
#include "tests/win/registry_guard.h"
#include "win/text.h"

namespace {

using lumenvik::RegistryKey;
using lumenvik::win::BrowserLaunches;
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

    BrowserLaunches launches;
    Win32BrowserPlatform platform{launches};
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

// Read as UTF-16: a character that code page 932 lacks stays itself, and a
// REG_EXPAND_SZ (a ProgId's command may be one) comes with its variables
// expanded.
TEST_F(BrowserPlatformTest, ValuesAreReadWholeAsUtf16) {
    const std::wstring scratch(kScratch, kScratch + sizeof kScratch - 1);
    const std::wstring command = L"\"C:\\\U00020BB7\u7530\\fox.exe\" \"%1\"";  // 𠮷田
    ASSERT_TRUE(lvtest::setValueW(HKEY_CLASSES_ROOT, scratch, L"", command));
    ASSERT_TRUE(lvtest::setValueW(HKEY_CLASSES_ROOT, scratch, L"Expand",
                                  L"%SystemRoot%\\fox.exe %1", REG_EXPAND_SZ));
    RegistryKey key = 0;
    ASSERT_TRUE(platform.openClassesRootKey(kScratch, key));
    std::string value;
    // UTF-8, written out: this file's narrow literals are code page 932.
    const std::string want = "\"C:\\\xF0\xA0\xAE\xB7\xE7\x94\xB0\\fox.exe\" \"%1\"";
    EXPECT_TRUE(platform.readDefaultValue(key, 532, value));
    EXPECT_EQ(value, want);
    value.clear();
    EXPECT_TRUE(platform.readValue(key, "", value));
    EXPECT_EQ(value, want);
    wchar_t root[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH), 0u);
    EXPECT_TRUE(platform.readValue(key, "Expand", value));
    EXPECT_EQ(lumenvik::win::wide(value), std::wstring(root) + L"\\fox.exe %1");
    EXPECT_FALSE(platform.readValue(key, "DelegateExecute", value));
    platform.closeKey(key);
}

TEST_F(BrowserPlatformTest, UpperCaseLeavesJapaneseCharactersWhole) {
    // In code page 932 the trail bytes of ヂ and ッ are the letters a and b.
    EXPECT_EQ(platform.upperCase(u8"ヂッ iexplore.exe"), u8"ヂッ IEXPLORE.EXE");
    EXPECT_EQ(platform.upperCase(u8"c:\\表示\\iExplore"), u8"C:\\表示\\IEXPLORE");
    EXPECT_EQ(platform.upperCase(""), "");
}

}  // namespace
