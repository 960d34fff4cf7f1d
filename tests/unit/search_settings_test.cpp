#include "settings/search_settings.h"

#include <gtest/gtest.h>

#include "settings/settings_edit.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace lumenvik {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// An INI store in memory. Like the platform it matches section and key names
// without regard to case; it records every call so tests see what reached it.
class MemoryStore : public ProfileStore {
  public:
    struct Write {
        std::string path, section, key, value;
        bool operator==(const Write& o) const {
            return path == o.path && section == o.section && key == o.key && value == o.value;
        }
    };

    void put(const std::string& path, const std::string& section, const std::string& key,
             int32_t value) {
        files[path][lower(section)][lower(key)] = value;
    }

    bool fileExists(const std::string& path) override {
        existsQueries.push_back(path);
        return files.count(path) != 0;
    }
    int32_t readInt(const std::string& path, const std::string& section, const std::string& key,
                    int32_t fallback) override {
        reads.push_back(section + "/" + key);
        auto file = files.find(path);
        if (file == files.end()) return fallback;
        auto sec = file->second.find(lower(section));
        if (sec == file->second.end()) return fallback;
        auto value = sec->second.find(lower(key));
        return value == sec->second.end() ? fallback : value->second;
    }
    std::string readString(const std::string& path, const std::string& section,
                           const std::string& key) override {
        reads.push_back(section + "/" + key);
        auto file = texts.find(path);
        if (file == texts.end()) return {};
        auto sec = file->second.find(lower(section));
        if (sec == file->second.end()) return {};
        auto value = sec->second.find(lower(key));
        return value == sec->second.end() ? std::string() : value->second;
    }
    bool writeValues(const std::string& path, const std::vector<IniValue>& values,
                     uint32_t& error) override {
        ++saves;
        if (failWith != 0) {
            error = failWith;
            return false;
        }
        for (const IniValue& v : values) {
            writes.push_back({path, v.section, v.key, v.value});
            const bool number =
                !v.value.empty() && v.value.find_first_not_of("-0123456789") == std::string::npos;
            if (number) {
                files[path][lower(v.section)][lower(v.key)] = std::stoi(v.value);
            } else {
                texts[path][lower(v.section)][lower(v.key)] = v.value;
            }
        }
        return true;
    }

    uint32_t failWith = 0;  // non-zero: saves fail with this error, writing nothing
    int saves = 0;

    std::map<std::string, std::map<std::string, std::map<std::string, int32_t>>> files;
    // Values read as text, beside the integers of the same files.
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> texts;
    std::vector<std::string> existsQueries;
    std::vector<std::string> reads;
    std::vector<Write> writes;
};

std::vector<int32_t> values(const SearchSettings& s) {
    return {s.mode_prior,  s.mode_next,   s.history_prior, s.history_next, s.showWindowKey,
            s.keyInterval, s.historySize, s.googleStart,   s.japanLocal};
}

const std::vector<int32_t> kDefaults = {0x21, 0x22, 0x26, 0x28, 0x11, 500, 100, 1, 1};

TEST(SearchSettings, WithoutAFileTheDefaultsHoldAndNothingIsWritten) {
    MemoryStore store;
    SearchSettings s(store, "");
    EXPECT_EQ(values(s), kDefaults);
    EXPECT_EQ(s.defaultFileName, "./lumenvik.ini");
    EXPECT_EQ(s.lastFileName, "./lumenvik.ini");
    EXPECT_EQ(store.existsQueries, std::vector<std::string>{"./lumenvik.ini"});
    EXPECT_TRUE(store.reads.empty());
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(store.files.empty());
}

TEST(SearchSettings, LoadOfAMissingFileSetsLastFileNameAndKeepsValues) {
    MemoryStore store;
    SearchSettings s(store, "");
    s.keyInterval = 250;
    EXPECT_FALSE(s.load("other.ini"));
    EXPECT_EQ(s.lastFileName, "other.ini");
    EXPECT_EQ(s.keyInterval, 250);
    EXPECT_TRUE(store.writes.empty());
}

TEST(SearchSettings, PartialFilesChangeOnlyTheKeysTheyHold) {
    struct Case {
        const char* name;
        std::vector<std::tuple<const char*, const char*, int32_t>> keys;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {"empty file", {}, kDefaults},
        {"only historySize",
         {{"otherInfo", "historySize", 20}},
         {0x21, 0x22, 0x26, 0x28, 0x11, 500, 20, 1, 1}},
        {"names in other letter case",
         {{"KEYDATA", "MODE_PRIOR", 36}},
         {0x24, 0x22, 0x26, 0x28, 0x11, 500, 100, 1, 1}},
        {"key in the wrong section is ignored", {{"otherInfo", "mode_prior", 7}}, kDefaults},
        {"every key, negatives and zero",
         {{"KeyData", "mode_prior", 1},
          {"KeyData", "mode_next", 2},
          {"KeyData", "history_prior", 3},
          {"KeyData", "history_next", 4},
          {"KeyData", "showWindowKey", 16},
          {"otherInfo", "keyInterval", -5},
          {"otherInfo", "historySize", 0},
          {"otherInfo", "googleStart", 0},
          {"otherInfo", "japanLocal", -1}},
         {1, 2, 3, 4, 16, -5, 0, 0, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        store.files["./lumenvik.ini"];  // the file exists
        for (const auto& [section, key, value] : c.keys) {
            store.put("./lumenvik.ini", section, key, value);
        }
        SearchSettings s(store, "");
        EXPECT_EQ(values(s), c.expected);
        EXPECT_TRUE(store.writes.empty());
    }
}

TEST(SearchSettings, ReadsVisitTheKeysInFileOrderWithBareNames) {
    MemoryStore store;
    store.files["x.ini"];
    SearchSettings s(store, "x.ini");
    EXPECT_EQ(store.reads,
              (std::vector<std::string>{
                  "KeyData/mode_prior", "KeyData/mode_next", "KeyData/history_prior",
                  "KeyData/history_next", "KeyData/showWindowKey", "otherInfo/keyInterval",
                  "otherInfo/historySize", "otherInfo/googleStart", "otherInfo/japanLocal",
                  "Options/showOn", "Options/searchCopiedText", "Options/hotKey",
                  "Options/keepHistory"}));
}

TEST(SearchSettings, TheOptionsAreReadButNeverWritten) {
    MemoryStore store;
    EXPECT_EQ(SearchSettings(store, "").searchCopiedText, 0) << "off without a file";
    EXPECT_EQ(SearchSettings(store, "").hotKey, "") << "none without a file";
    store.put("./lumenvik.ini", "options", "SEARCHCOPIEDTEXT", 2);
    store.texts["./lumenvik.ini"]["options"]["hotkey"] = "Ctrl+Alt+Space";
    SearchSettings s(store, "");
    EXPECT_EQ(s.searchCopiedText, 2);
    EXPECT_EQ(s.hotKey, "Ctrl+Alt+Space");
    EXPECT_EQ(values(s), kDefaults);
    ASSERT_TRUE(s.save(""));
    EXPECT_EQ(store.writes.size(), 9u);
    for (const auto& w : store.writes) EXPECT_NE(w.section, "Options");
}

// The first start finds no file, or the release's: no section of the nine.
TEST(SearchSettings, AFileHoldsSettingsOnceItHasEitherSectionOfTheNine) {
    EXPECT_FALSE(holdsSettingsSections(""));
    EXPECT_FALSE(holdsSettingsSections(
        "\xEF\xBB\xBF; [KeyData] in a comment\r\n[SearchModes]\r\nurl5=x\r\n[Options]\r\n"));
    EXPECT_TRUE(holdsSettingsSections("\xEF\xBB\xBF[ keydata ]\r\n"));
    EXPECT_TRUE(holdsSettingsSections("garbage\n[OTHERINFO]\nkeyInterval=\n"));
    EXPECT_TRUE(holdsSettingsSections(std::string("\xFF\xFE[\0", 4))) << "UTF-16: left alone";
}

TEST(SearchSettings, ShowOnIsReadAsAWordAndABadOneIsKeptForTheReport) {
    MemoryStore store;
    store.files["./lumenvik.ini"];
    const struct {
        const char* text;
        ShowOn expected;
        const char* problem;
    } cases[] = {{"", ShowOn::primary, ""},
                 {" Mouse ", ShowOn::mouse, ""},
                 {"ACTIVE", ShowOn::active, ""},
                 {"second", ShowOn::primary, "second"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        store.texts["./lumenvik.ini"]["options"]["showon"] = c.text;
        SearchSettings s(store, "");
        EXPECT_EQ(s.showOn, c.expected);
        EXPECT_EQ(s.showOnProblem, c.problem);
    }
    // A menu choice goes into the file alone, as a word.
    SearchSettings s(store, "");
    s.showOn = ShowOn::active;
    ASSERT_TRUE(s.saveValues({s.showOnValue()}));
    EXPECT_EQ(store.writes,
              (std::vector<MemoryStore::Write>{{"./lumenvik.ini", "Options", "showOn", "active"}}));
}

// The user edits the file while the program runs: the record takes the
// nine values and showOn again, the options that act once stay as read.
TEST(SearchSettings, AReloadTakesTheFilesValuesAndLeavesTheStartUpOptions) {
    MemoryStore store;
    store.put("./lumenvik.ini", "options", "keepHistory", 1);
    SearchSettings s(store, "");
    store.put("./lumenvik.ini", "otherInfo", "keyInterval", 250);
    store.put("./lumenvik.ini", "options", "keepHistory", 0);
    store.texts["./lumenvik.ini"]["options"]["showon"] = "mouse";
    ASSERT_TRUE(s.reloadValues());
    EXPECT_EQ(s.keyInterval, 250);
    EXPECT_EQ(s.showOn, ShowOn::mouse);
    EXPECT_EQ(s.keepHistory, 1) << "the history was read with it on";
    store.files.clear();
    EXPECT_FALSE(s.reloadValues()) << "the file gone: the values stay";
    EXPECT_EQ(s.keyInterval, 250);
}

TEST(SearchSettings, SaveWritesAllNineKeysInOrderAsDecimalText) {
    MemoryStore store;
    SearchSettings s(store, "");
    s.mode_prior = 0xBA;
    s.showWindowKey = 16;
    s.keyInterval = -1;
    s.historySize = -2147483647 - 1;
    s.googleStart = 0;
    EXPECT_TRUE(s.save(""));
    EXPECT_EQ(store.saves, 1) << "the nine values go to the file in one piece";
    const std::string f = "./lumenvik.ini";
    const std::vector<MemoryStore::Write> expected = {
        {f, "KeyData", "mode_prior", "186"},
        {f, "KeyData", "mode_next", "34"},
        {f, "KeyData", "history_prior", "38"},
        {f, "KeyData", "history_next", "40"},
        {f, "KeyData", "showWindowKey", "16"},
        {f, "otherInfo", "keyInterval", "-1"},
        {f, "otherInfo", "historySize", "-2147483648"},
        {f, "otherInfo", "googleStart", "0"},
        {f, "otherInfo", "japanLocal", "1"},
    };
    ASSERT_EQ(store.writes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(store.writes[i].path, expected[i].path);
        EXPECT_EQ(store.writes[i].section, expected[i].section);
        EXPECT_EQ(store.writes[i].key, expected[i].key);
        EXPECT_EQ(store.writes[i].value, expected[i].value);
    }
}

TEST(SearchSettings, SaveGoesToTheLastLoadedPathUnlessOneIsGiven) {
    MemoryStore store;
    SearchSettings s(store, "first.ini");
    ASSERT_TRUE(s.save(""));
    ASSERT_TRUE(s.save("second.ini"));
    EXPECT_EQ(s.lastFileName, "first.ini");  // save never changes it
    ASSERT_EQ(store.writes.size(), 18u);
    EXPECT_EQ(store.writes.front().path, "first.ini");
    EXPECT_EQ(store.writes.back().path, "second.ini");
}

TEST(SearchSettings, SavedValuesReadBackIntoAFreshRecord) {
    MemoryStore store;
    SearchSettings first(store, "");
    first.history_next = 0x22;
    first.keyInterval = 123;
    first.japanLocal = 0;
    first.save("");
    SearchSettings second(store, "");
    EXPECT_EQ(values(second), values(first));
}

TEST(SearchSettings, SetDefaultsRestoresTheNineValuesAndKeepsTheTexts) {
    MemoryStore store;
    store.put("a.ini", "otherInfo", "historySize", 5);
    SearchSettings s(store, "a.ini");
    ASSERT_EQ(s.historySize, 5);
    s.defaultFileName = "b.ini";
    s.setDefaults();
    EXPECT_EQ(values(s), kDefaults);
    EXPECT_EQ(s.defaultFileName, "b.ini");
    EXPECT_EQ(s.lastFileName, "a.ini");
}

TEST(SearchSettings, ACopyCarriesEveryValueAndTheStore) {
    MemoryStore store;
    SearchSettings s(store, "c.ini");
    s.mode_next = 9;
    SearchSettings copy = s;
    EXPECT_EQ(values(copy), values(s));
    EXPECT_EQ(copy.lastFileName, "c.ini");
    copy.save("");
    EXPECT_EQ(store.writes.size(), 9u);
}

TEST(SearchSettings, AFailedSaveTellsTheReasonAndKeepsTheValues) {
    MemoryStore store;
    store.failWith = 5;
    SearchSettings s(store, "");
    s.historySize = 3;
    uint32_t error = 0;
    EXPECT_FALSE(s.save("", &error));
    EXPECT_EQ(error, 5u);
    EXPECT_TRUE(store.files.empty());
    EXPECT_EQ(s.historySize, 3);
    store.failWith = 0;
    EXPECT_TRUE(s.save(""));
    EXPECT_EQ(store.files["./lumenvik.ini"]["otherinfo"]["historysize"], 3);
}

// The settings dialog opened, OK'd, opened again and cancelled: OK wrote
// only what changed in it, and the record holds what OK saved.
TEST(SettingsEdit, OkWritesWhatChangedAndCancelAfterItKeepsTheOkdValues) {
    MemoryStore store;
    SearchSettings live(store, "");
    SettingsEdit dialog(live);
    dialog.begin();
    live.keyInterval = 300;
    live.showWindowKey = 0x10;
    live.showWindowKey = 0x11;  // changed and changed back
    EXPECT_TRUE(live.saveValues({}));
    EXPECT_EQ(store.saves, 0) << "nothing to write touches no file";
    ASSERT_TRUE(live.saveValues(dialog.changedValues()));  // OK
    EXPECT_EQ(
        store.writes,
        (std::vector<MemoryStore::Write>{{"./lumenvik.ini", "otherInfo", "keyInterval", "300"}}));

    dialog.begin();
    live.keyInterval = 42;
    live.showWindowKey = 0x10;
    dialog.cancel();
    EXPECT_EQ(live.keyInterval, 300);
    EXPECT_EQ(live.showWindowKey, 0x11);
    EXPECT_EQ(store.saves, 1) << "Cancel writes nothing";
}

TEST(SearchSettings, ARecordWithoutStoreNeitherReadsNorClaimsToSave) {
    SearchSettings scratch;
    EXPECT_EQ(values(scratch), kDefaults);
    EXPECT_FALSE(scratch.load(""));
    EXPECT_EQ(scratch.lastFileName, "./lumenvik.ini");
    EXPECT_FALSE(scratch.save(""));
}

}  // namespace
}  // namespace lumenvik
