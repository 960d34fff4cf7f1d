// The settings fuzz target reads and writes INI text through IniTextStore, a
// portable model of the platform's profile functions. Here the model meets
// the real functions: for each text, every key the settings use and a few
// others read the same through both, and after the same writes through both
// the two files read the same.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fuzz/ini_text_store.h"
#include "tests/win/program_driver.h"

namespace {

struct Key {
    const char* section;
    const char* key;
};
const Key kKeys[] = {
    {"KeyData", "mode_prior"},
    {"KeyData", "mode_next"},
    {"KeyData", "history_prior"},
    {"KeyData", "history_next"},
    {"KeyData", "showWindowKey"},
    {"otherInfo", "keyInterval"},
    {"otherInfo", "historySize"},
    {"otherInfo", "googleStart"},
    {"otherInfo", "japanLocal"},
    {"Other", "x"},
    {"", "a"},
};

const int32_t kFallback = -12345;

// Settings-file texts a user or a broken editor could leave behind.
const char* const kTexts[] = {
    "",
    "[KeyData]\r\nmode_prior=33\r\n[otherInfo]\r\nkeyInterval=500\r\n",
    "[KEYDATA]\n  MODE_PRIOR  =  36  \n[otherinfo]\nhistorySize=20\n",
    "[KeyData]\nmode_prior=\nmode_next= \nhistory_prior\n=5\nhistory_next=x\n",
    "[KeyData]\nmode_prior=0x26\nmode_next=0X26\nhistory_prior=0o17\nhistory_next=0b101\n"
    "showWindowKey=0x\n",
    "[otherInfo]\nkeyInterval=-5\nhistorySize=+7\ngoogleStart=--1\njapanLocal=- 3\n",
    "[otherInfo]\nkeyInterval=4294967296\nhistorySize=4294967295\ngoogleStart=2147483648\n"
    "japanLocal=99999999999999999999\n",
    "[otherInfo]\nkeyInterval=-2147483649\nhistorySize=12abc\ngoogleStart=1.5\njapanLocal=1e3\n",
    "[otherInfo]\nkeyInterval=\"250\"\nhistorySize=''\ngoogleStart='7\njapanLocal=\"8'\n",
    "[otherInfo]\nkeyInterval=00000000000000000000000000012\n"
    "historySize=000000000000000000000000000012\n"
    "googleStart=\"0000000000000000000000000012\"\n"
    "japanLocal=\"00000000000000000000000000012\"\n",
    "[otherInfo]\nkeyInterval=\t\x01 42\nhistorySize=\x1a"
    "9\ngoogleStart=\x7f"
    "3\n",
    "[otherInfo]\nkeyInterval=1\nkeyInterval=2\n[otherInfo]\nhistorySize=3\nkeyInterval=4\n",
    "[ KeyData ]\nmode_prior=1\n[KeyData\nmode_next=2\n[KeyData]]\nhistory_prior=3\n",
    "mode_prior=5\n[]\nmode_next=6\n[KeyData]\n;mode_prior=7\n# mode_next=8\nmode _prior=9\n",
    "[KeyData]\rmode_prior=11\r\r\nmode_next=12\n\n\nhistory_prior=13",
    "\xEF\xBB\xBF[KeyData]\r\nmode_prior=14\r\n",
    "[KeyData]\r\nmode_prior=\x82\x50\r\nmode_next=\x81\x40"
    "15\r\n[\x93\xfa\x96\x7b]\r\nx=1\r\n",
    "[Other]\r\nx=1\r\n[KeyData]=3\r\nmode_prior=16\r\n[otherInfo\r\nkeyInterval=17\r\n",
    "[KeyData]\n[KeyData]\nmode_prior=18\n[\totherInfo ]\n\t keyInterval \t= \t19\n",
    "[otherInfo]\nkeyInterval==20\nhistorySize=21=22\ngoogleStart=0x7fffffff\njapanLocal="
    "0xffffffff\n",
    "[otherInfo]\nkeyInterval=0x1g\nhistorySize=0b2\ngoogleStart=0o9\njapanLocal=-0x10\n",
    "[KeyData]\nmode_prior=   \nmode_next=\"\"\nhistory_prior=\"\nhistory_next='1'2'\n",
};

class IniModel : public ::testing::Test {
  protected:
    std::string path() const { return dir.file("model.ini"); }
    // Through the W function, as the program reads (names are ASCII).
    int32_t platformRead(const Key& k) {
        const std::string section = k.section, key = k.key;
        return static_cast<int32_t>(
            ::GetPrivateProfileIntW(std::wstring(section.begin(), section.end()).c_str(),
                                    std::wstring(key.begin(), key.end()).c_str(), kFallback,
                                    (dir.widePath() + L"\\model.ini").c_str()));
    }
    lvtest::TempDir dir;
};

TEST_F(IniModel, ReadsTheKeysAsThePlatformDoes) {
    for (const char* text : kTexts) {
        lvtest::writeFile(path(), text);
        fuzz::IniTextStore model;
        model.files["f"] = text;
        for (const Key& k : kKeys) {
            EXPECT_EQ(model.readInt("f", k.section, k.key, kFallback), platformRead(k))
                << "[" << k.section << "] " << k.key << " in:\n"
                << text;
        }
    }
}

TEST_F(IniModel, WritesLeaveTheSameKeysAsThePlatformsWrites) {
    struct Write {
        const char* section;
        const char* key;
        const char* value;
    };
    const Write writes[] = {
        {"KeyData", "mode_prior", "33"},
        {"otherInfo", "keyInterval", "-5"},
        {"otherInfo", "historySize", "100"},
        {"KeyData", "showWindowKey", "2147483647"},
        {"New", "key", "1"},
    };
    for (const char* text : kTexts) {
        lvtest::writeFile(path(), text);
        fuzz::IniTextStore model;
        model.files["f"] = text;
        for (const Write& w : writes) {
            ASSERT_TRUE(::WritePrivateProfileStringA(w.section, w.key, w.value, path().c_str()));
            ASSERT_TRUE(model.writeString("f", w.section, w.key, w.value));
        }
        for (const Key& k : kKeys) {
            EXPECT_EQ(model.readInt("f", k.section, k.key, kFallback), platformRead(k))
                << "[" << k.section << "] " << k.key << " after writes into:\n"
                << text;
        }
        EXPECT_EQ(model.readInt("f", "New", "key", kFallback), platformRead(Key{"New", "key"}));
    }
}

}  // namespace
