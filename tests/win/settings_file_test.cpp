// The settings record over the platform's own INI functions, in a fresh
// working directory per test (the file is "./lumenvik.ini").
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/profile_store.h"
#include "settings/search_settings.h"
#include "tests/win/program_driver.h"

namespace {

using lumenvik::SearchSettings;
using lvtest::TempDir;

std::vector<int32_t> values(const SearchSettings& s) {
    return {s.mode_prior,  s.mode_next,   s.history_prior, s.history_next, s.showWindowKey,
            s.keyInterval, s.historySize, s.googleStart,   s.japanLocal};
}

const std::vector<int32_t> kDefaults = {0x21, 0x22, 0x26, 0x28, 0x11, 500, 100, 1, 1};

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        char previous[MAX_PATH];
        ::GetCurrentDirectoryA(sizeof previous, previous);
        previous_ = previous;
        ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
    }
    void TearDown() override { ::SetCurrentDirectoryA(previous_.c_str()); }

    std::string iniPath() const { return dir.file("lumenvik.ini"); }
    void writeIni(const std::string& text) { lvtest::writeFile(iniPath(), text); }
    int readInt(const char* section, const char* key) {
        return static_cast<int>(::GetPrivateProfileIntA(section, key, -12345, iniPath().c_str()));
    }
    std::string readString(const char* section, const char* key) {
        char buffer[256] = {};
        ::GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer,
                                   iniPath().c_str());
        return buffer;
    }

    TempDir dir;
    std::string previous_;
};

TEST_F(SettingsFile, NoFileMeansDefaultsAndNoFileIsCreated) {
    SearchSettings s(lumenvik::win::profileStore(), "");
    EXPECT_EQ(values(s), kDefaults);
    EXPECT_EQ(s.lastFileName, "./lumenvik.ini");
    EXPECT_FALSE(lvtest::fileExists(iniPath()));
}

TEST_F(SettingsFile, FilesAreReadAsThePlatformReadsThem) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {"only otherInfo with historySize",
         "[otherInfo]\r\nhistorySize=20\r\n",
         {0x21, 0x22, 0x26, 0x28, 0x11, 500, 20, 1, 1}},
        {"hand-edited names in capitals with blanks",
         "[KEYDATA]\r\n MODE_PRIOR = 36 \r\n",
         {0x24, 0x22, 0x26, 0x28, 0x11, 500, 100, 1, 1}},
        {"negative, hexadecimal and trailing junk",
         "[otherInfo]\nkeyInterval=-5\nhistorySize=0x10\n[KeyData]\nshowWindowKey=16abc\n",
         {0x21, 0x22, 0x26, 0x28, 16, -5, 16, 1, 1}},
        {"unknown sections and comments around the keys",
         "; my settings\r\n[Other]\r\nmode_next=1\r\n[KeyData]\r\n; Page Down\r\n"
         "mode_next=35\r\n",
         {0x21, 35, 0x26, 0x28, 0x11, 500, 100, 1, 1}},
        {"an empty file", "", kDefaults},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.text);
        SearchSettings s(lumenvik::win::profileStore(), "");
        EXPECT_EQ(values(s), c.expected);
    }
}

TEST_F(SettingsFile, TheFirstSaveWritesBothSectionsWithAllNineKeys) {
    SearchSettings s(lumenvik::win::profileStore(), "");
    s.keyInterval = -250;
    EXPECT_TRUE(s.save(""));
    ASSERT_TRUE(lvtest::fileExists(iniPath()));
    const char* keyData[] = {"mode_prior", "mode_next", "history_prior", "history_next",
                             "showWindowKey"};
    const int keyValues[] = {33, 34, 38, 40, 17};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(readInt("KeyData", keyData[i]), keyValues[i]);
    EXPECT_EQ(readString("otherInfo", "keyInterval"), "-250");
    EXPECT_EQ(readInt("otherInfo", "historySize"), 100);
    EXPECT_EQ(readInt("otherInfo", "googleStart"), 1);
    EXPECT_EQ(readInt("otherInfo", "japanLocal"), 1);
    // KeyData comes first, and the names are written bare.
    const std::string text = lvtest::readFile(iniPath());
    EXPECT_LT(text.find("[KeyData]"), text.find("[otherInfo]"));
    EXPECT_NE(text.find("mode_prior=33"), std::string::npos) << text;
    EXPECT_EQ(text.find("mode_prior "), std::string::npos) << text;

    SearchSettings again(lumenvik::win::profileStore(), "");
    EXPECT_EQ(values(again), values(s));
}

TEST_F(SettingsFile, SavingKeepsOtherSectionsAndComments) {
    // A search mode's label as Notepad saves it today: UTF-8 without a mark,
    // which the platform's writing would garble through code page 932.
    const std::string label = "label2=\xE3\x80\x90 weblio \xE8\x8B\xB1\xE5\x92\x8C \xE3\x80\x91";
    writeIni(
        "; written by hand\r\n"
        "[Window]\r\nx=10\r\n"
        "[KEYDATA]\r\n; the show key\r\n showWindowKey = 16 \r\nextra=yes\r\n"
        "[SearchModes]\r\n" +
        label + "\r\n");
    SearchSettings s(lumenvik::win::profileStore(), "");
    ASSERT_EQ(s.showWindowKey, 16);
    s.mode_next = 0xBA;
    s.googleStart = 0;
    EXPECT_TRUE(s.save(""));

    EXPECT_EQ(readString("Window", "x"), "10");
    EXPECT_EQ(readString("KeyData", "extra"), "yes");
    EXPECT_EQ(readInt("KeyData", "showWindowKey"), 16);
    EXPECT_EQ(readInt("KeyData", "mode_next"), 0xBA);
    EXPECT_EQ(readInt("otherInfo", "googleStart"), 0);
    const std::string text = lvtest::readFile(iniPath());
    EXPECT_NE(text.find("; written by hand"), std::string::npos) << text;
    EXPECT_NE(text.find("; the show key"), std::string::npos) << text;
    EXPECT_NE(text.find("[SearchModes]\r\n" + label + "\r\n"), std::string::npos) << text;
    SearchSettings again(lumenvik::win::profileStore(), "");
    EXPECT_EQ(values(again), values(s));
}

TEST_F(SettingsFile, AFailedWriteIsReportedAndTheValuesStay) {
    SearchSettings s(lumenvik::win::profileStore(), "");
    s.historySize = 9;
    // A folder that does not exist cannot take the file (a read-only file
    // would not do here: the tests may run as root, who writes it anyway).
    EXPECT_FALSE(s.save(".\\missing\\lumenvik.ini"));
    EXPECT_EQ(s.historySize, 9);
    EXPECT_FALSE(lvtest::fileExists(dir.file("missing")));
    EXPECT_EQ(s.lastFileName, "./lumenvik.ini");
}

}  // namespace
