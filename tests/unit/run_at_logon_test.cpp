// Starting with Windows: the Run value's read, its comparison with this
// program's path and the menu item's toggle, over a registry in memory.
#include <gtest/gtest.h>

#include "app/run_at_logon.h"

namespace {

using namespace lumenvik;

class MemoryRunKey : public RunKeyPort {
  public:
    std::optional<std::u16string> value;
    uint32_t failWith = 0;
    int changes = 0;

    std::optional<std::u16string> read() override { return value; }
    bool write(const std::u16string& text, uint32_t& error) override {
        ++changes;
        if (failWith != 0) return (error = failWith, false);
        value = text;
        return true;
    }
    bool remove(uint32_t& error) override {
        ++changes;
        if (failWith != 0) return (error = failWith, false);
        value.reset();
        return true;
    }
};

const std::u16string kExe = u"C:\\Program Files\\Lumenvik\\lumenvik.exe";

TEST(RunAtLogon, TheValueNamesThisProgramOnlyByItsWholePath) {
    EXPECT_EQ(runValueFor(kExe), u"\"C:\\Program Files\\Lumenvik\\lumenvik.exe\"");
    EXPECT_TRUE(runValueNames(runValueFor(kExe), kExe));
    EXPECT_TRUE(runValueNames(u"\"c:\\program files\\LUMENVIK\\Lumenvik.EXE\" /quiet", kExe))
        << "letter case and arguments";
    EXPECT_TRUE(runValueNames(u"C:\\Tools\\lumenvik.exe", u"C:\\Tools\\lumenvik.exe"))
        << "unquoted";
    EXPECT_FALSE(runValueNames(u"\"D:\\old\\lumenvik.exe\"", kExe)) << "another copy";
    EXPECT_FALSE(runValueNames(u"C:\\Program", kExe)) << "an unquoted path cut at its blank";
    EXPECT_FALSE(runValueNames(u"\"C:\\Program Files\\Lumenvik\\lumenvik.exe.bak\"", kExe));
    EXPECT_FALSE(runValueNames(u"", kExe));
    // Unit by unit: a lone surrogate (a file name may hold one) is not the
    // U+FFFD that a conversion would make of it.
    EXPECT_FALSE(runValueNames(u"\"D:\\\xD842\\lumenvik.exe\"", u"D:\\\xFFFD\\lumenvik.exe"));
}

TEST(RunAtLogon, TheItemWritesThisPathRepointsAnotherAndDeletesItsOwn) {
    MemoryRunKey key;
    uint32_t error = 0;
    EXPECT_FALSE(runsAtLogon(key, kExe)) << "no value";
    EXPECT_EQ(key.changes, 0) << "reading writes nothing";

    ASSERT_TRUE(toggleRunAtLogon(key, kExe, error));
    EXPECT_EQ(key.value, runValueFor(kExe));
    EXPECT_TRUE(runsAtLogon(key, kExe));
    ASSERT_TRUE(toggleRunAtLogon(key, kExe, error));
    EXPECT_FALSE(key.value.has_value());

    key.value = u"\"D:\\old\\lumenvik.exe\"";
    EXPECT_FALSE(runsAtLogon(key, kExe));
    ASSERT_TRUE(toggleRunAtLogon(key, kExe, error));
    EXPECT_EQ(key.value, runValueFor(kExe)) << "pointed here, not deleted";

    key.failWith = 5;  // access denied
    EXPECT_FALSE(toggleRunAtLogon(key, kExe, error));
    EXPECT_EQ(error, 5u);
    EXPECT_TRUE(runsAtLogon(key, kExe)) << "the mark follows the registry";
}

}  // namespace
