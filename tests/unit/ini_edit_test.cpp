#include "settings/ini_edit.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

// Everything but the key's own line keeps its bytes, UTF-8 text that the
// code page would garble included.
TEST(IniEdit, ChangesOnlyTheKeysLine) {
    const std::string utf8 = "label2=\xE3\x80\x90 weblio \xE8\x8B\xB1\xE5\x92\x8C \xE3\x80\x91";
    const struct {
        const char* name;
        std::string text, expected;
    } cases[] = {
        {"replaced where the platform finds it",
         "\xEF\xBB\xBF; note\n[KEYDATA ]\n\n  Mode_Prior = 7 \r\nmode_prior=8\n[SearchModes]\n" +
             utf8 + "\n",
         "\xEF\xBB\xBF; note\n[KEYDATA ]\n\nmode_prior=33\r\nmode_prior=8\n[SearchModes]\n" + utf8 +
             "\n"},
        {"added after the section's last line, before blank lines",
         "[KeyData]\r\nx=1\r\n\r\n[SearchModes]\r\n" + utf8,
         "[KeyData]\r\nx=1\r\nmode_prior=33\r\n\r\n[SearchModes]\r\n" + utf8},
        {"only the first section of the name", "[KeyData]\n[KeyData]\nmode_prior=1\n",
         "[KeyData]\nmode_prior=33\r\n[KeyData]\nmode_prior=1\n"},
        {"a new section at the end", "[SearchModes]\n" + utf8,
         "[SearchModes]\n" + utf8 + "\r\n[KeyData]\r\nmode_prior=33\r\n"},
        {"a new file", "", "[KeyData]\r\nmode_prior=33\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withIniValue(c.text, " KeyData ", "mode_prior", " 33 "), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace lumenvik
