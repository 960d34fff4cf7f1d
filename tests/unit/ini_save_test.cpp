#include "settings/ini_save.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/unit/memory_files.h"

namespace lumenvik {
namespace {

const char kPath[] = "C:\\Lumenvik\\lumenvik.ini";
const std::vector<IniValue> kValues = {{"KeyData", "mode_prior", "33"},
                                       {"otherInfo", "keyInterval", "300"}};

std::string utf16le(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

TEST(IniSave, TheNewFileKeepsEveryOtherByteAndNoTemporaryFileStays) {
    const std::string label = "label2=\xE3\x80\x90 weblio \xE8\x8B\xB1\xE5\x92\x8C \xE3\x80\x91";
    const struct {
        const char* name;
        bool exists;
        std::string before, after;
    } cases[] = {
        {"UTF-8 with its mark, comments, search modes, LF ends, an unknown section", true,
         "\xEF\xBB\xBF; mine\n[SearchModes]\n" + label +
             "\n[KeyData]\nmode_prior=34\n[Window]\nx=1",
         "\xEF\xBB\xBF; mine\n[SearchModes]\n" + label +
             "\n[KeyData]\nmode_prior=33\n[Window]\nx=1\r\n[otherInfo]\r\nkeyInterval=300\r\n"},
        {"UTF-16 (Notepad's \"Unicode\")", true,
         utf16le(u"\uFEFF[otherInfo]\r\nkeyInterval=500\r\n; \u691C\u7D22\r\n"),
         utf16le(u"\uFEFF[otherInfo]\r\nkeyInterval=300\r\n; \u691C\u7D22\r\n"
                 u"[KeyData]\r\nmode_prior=33\r\n")},
        {"no file yet", false, "",
         "[KeyData]\r\nmode_prior=33\r\n[otherInfo]\r\nkeyInterval=300\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles port;
        if (c.exists) port.files[kPath] = c.before;
        uint32_t error = 0;
        EXPECT_TRUE(saveIniValues(port, kPath, kValues, error));
        EXPECT_EQ(port.files, (std::map<std::string, std::string>{{kPath, c.after}}));
    }
}

TEST(IniSave, AFailedStepLeavesTheOldFileWholeAndTellsWhy) {
    const struct {
        MemoryFiles::Fail fail;
        uint32_t error;
    } cases[] = {{MemoryFiles::Fail::read, 32},
                 {MemoryFiles::Fail::create, 112},
                 {MemoryFiles::Fail::replace, 5}};
    const std::string old = "[SearchModes]\r\nurl5=https://example.jp/?q=[search_word]\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        MemoryFiles port;
        port.files[kPath] = old;
        port.fail = c.fail;
        uint32_t error = 0;
        EXPECT_FALSE(saveIniValues(port, kPath, kValues, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(port.files, (std::map<std::string, std::string>{{kPath, old}}));
    }
}

TEST(IniSave, AReplaceRefusedWhileAnotherProgramReadsTheFileIsTriedAgainAFewTimes) {
    MemoryFiles disk;
    disk.files[kPath] = "[KeyData]\r\nmode_prior=34\r\n";
    disk.busyReplaces = 3;
    uint32_t error = 0;
    ASSERT_TRUE(saveIniValues(disk, kPath, {kValues[0]}, error));
    EXPECT_EQ(disk.files[kPath], "[KeyData]\r\nmode_prior=33\r\n");
    EXPECT_EQ(disk.pauses, 3);
    // Held for longer: told, the old file whole, no temporary file.
    disk.busyReplaces = 1000;
    disk.pauses = 0;
    EXPECT_FALSE(saveIniValues(disk, kPath, {kValues[1]}, error));
    EXPECT_EQ(error, 32u);
    EXPECT_EQ(disk.pauses, kReplaceAttempts - 1);
    EXPECT_EQ(disk.files.size(), 1u);
    EXPECT_EQ(disk.files[kPath], "[KeyData]\r\nmode_prior=33\r\n");
}

// A power cut in a save on FAT: the new text alone, in the temporary file.
TEST(IniSave, AtStartATemporaryFileTakesAMissingFilesPlaceAndGoesBesideAnExistingOne) {
    const std::string temporary = std::string(kPath) + ".new";
    using Files = std::map<std::string, std::string>;
    MemoryFiles files;
    files.files = {{temporary, "[KeyData]\r\nmode_prior=34\r\n"}};
    recoverInterruptedSave(files, kPath);
    EXPECT_EQ(files.files, (Files{{kPath, "[KeyData]\r\nmode_prior=34\r\n"}}));

    files.files = {{kPath, "old"}, {temporary, "[KeyData]\r\nmode_pr"}};
    recoverInterruptedSave(files, kPath);
    EXPECT_EQ(files.files, (Files{{kPath, "old"}})) << "the save had not finished";

    files.files = {{kPath, "old"}};
    recoverInterruptedSave(files, kPath);
    EXPECT_EQ(files.files, (Files{{kPath, "old"}}));
}

TEST(IniSave, APowerCutAtAnyStepLeavesTheOldFileWhole) {
    const std::string old = "[KeyData]\r\nmode_prior=34\r\n; the user's own note\r\n";
    for (const MemoryFiles::Cut cut :
         {MemoryFiles::Cut::write, MemoryFiles::Cut::flush, MemoryFiles::Cut::replace}) {
        SCOPED_TRACE(static_cast<int>(cut));
        MemoryFiles port;
        port.files[kPath] = old;
        port.cut = cut;
        uint32_t error = 0;
        EXPECT_THROW(saveIniValues(port, kPath, kValues, error), MemoryFiles::PowerCut);
        EXPECT_EQ(port.files[kPath], old);
    }
}

}  // namespace
}  // namespace lumenvik
