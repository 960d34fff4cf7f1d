// The tray menu's options write their own key alone: what the user wrote
// into the file meanwhile (a keyInterval) is not put back by a click.
#include "app/tray_choice.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/unit/memory_files.h"
#include "tests/unit/test_settings.h"

namespace lumenvik {
namespace {

// Saves through the real one-piece save, into files in memory.
class FileStore : public ProfileStore {
  public:
    bool fileExists(const std::string& path) override { return files.files.count(path) != 0; }
    int32_t readInt(const std::string&, const std::string&, const std::string&,
                    int32_t fallback) override {
        return fallback;
    }
    std::string readString(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool writeValues(const std::string& path, const std::vector<IniValue>& values,
                     uint32_t& error) override {
        return saveIniValues(files, path, values, error);
    }
    MemoryFiles files;
};

TEST(TrayChoice, AnOptionWritesItsOwnKeyAndLeavesTheFilesOthers) {
    struct Case {
        int id;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {ID_TRAY_WEB_ALL, "[otherInfo]\r\nkeyInterval=700\r\ngoogleStart=0\r\njapanLocal=1\r\n",
         "[otherInfo]\r\nkeyInterval=700\r\ngoogleStart=0\r\njapanLocal=0\r\n"},
        {ID_TRAY_JAPANESE_PAGES,
         "[otherInfo]\r\nkeyInterval=700\r\ngoogleStart=0\r\njapanLocal=0\r\n",
         "[otherInfo]\r\nkeyInterval=700\r\ngoogleStart=0\r\njapanLocal=1\r\n"},
        {ID_TRAY_GOOGLE_START, "[otherInfo]\r\nkeyInterval=700\r\njapanLocal=0\r\n",
         "[otherInfo]\r\nkeyInterval=700\r\njapanLocal=0\r\ngoogleStart=0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        FileStore store;
        store.files.files["lumenvik.ini"] = c.before;
        // The record read keyInterval=500 (and googleStart=1, japanLocal=1)
        // at start; the user has written into the file since.
        SearchSettings live = testSettings();
        live.store = &store;
        live.lastFileName = "lumenvik.ini";
        const std::optional<IniValue> value = applyTrayOption(c.id, live);
        ASSERT_TRUE(value.has_value());
        ASSERT_TRUE(live.saveValues({*value}));
        EXPECT_EQ(store.files.files["lumenvik.ini"], c.after);
    }
    SearchSettings live = testSettings();
    EXPECT_FALSE(applyTrayOption(ID_TRAY_EXIT, live).has_value());
}

}  // namespace
}  // namespace lumenvik
