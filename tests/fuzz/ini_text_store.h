// A ProfileStore over INI texts held in memory, read and written the way
// the platform's private profile functions treat a file (as Wine 8 does,
// where it matters to the settings):
// - a line is split at CR or LF; blanks (tab, LF, VT, FF, CR, space) and
//   0x1A are trimmed from both ends of it; empty lines carry nothing;
// - a leading UTF-8 byte-order mark is skipped (and kept when writing);
// - a line starting with "[" that holds a later "]" opens a section named
//   by what lies between the "[" and the last "]", trimmed;
// - any other line is a key: the name is what comes before the first "=",
//   trimmed, the value what follows, trimmed; a line without "=" is a key
//   without value; lines before the first section belong to a nameless one,
//   which the empty section name finds;
// - a section or key is looked up without regard to ASCII letter case, by
//   its trimmed name; only the first section of a name is searched, and in
//   it the first key of a name counts;
// - integer reading (GetPrivateProfileIntA): a missing key, a key without
//   value and an empty value (also "" or '') give the fallback; otherwise
//   the first 29 characters of the value, without a pair of enclosing
//   quotes (' or ") when the whole value fits, are read like RtlUnicodeStringToInteger with
//   base 0: characters up to the blank skipped, one sign, then "0x", "0o" or
//   "0b" switch the base, digits accumulate modulo 2^32 until the first
//   non-digit, and the minus sign negates the total; no digit reads 0;
// - a write replaces the value of the first matching key of the first
//   matching section, or adds the key at the end of that section, or adds
//   the section with the key at the end; the whole text is then written
//   anew ("[name]" and "name=value" lines, CR LF).
// The file's code page is not modelled: names are matched byte by byte.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/search_settings.h"

namespace fuzz {

class IniTextStore : public lumenvik::ProfileStore {
  public:
    bool fileExists(const std::string& path) override;
    int32_t readInt(const std::string& path, const std::string& section, const std::string& key,
                    int32_t fallback) override;
    std::string readString(const std::string& path, const std::string& section,
                           const std::string& key) override;
    // The values one after another, or none when the path is read-only.
    bool writeValues(const std::string& path, const std::vector<lumenvik::IniValue>& values,
                     uint32_t& error) override;
    // One key, as the platform's WritePrivateProfileStringA writes it.
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value);

    // What the platform's string reading gives for a value as found in the
    // file (after trimming), and the integer reading of that text.
    static std::string readBuffer(const std::string& stored);
    static uint32_t readIntegerText(const std::string& text);

    // Path to file text; a path that is absent is a missing file.
    std::map<std::string, std::string> files;
    // Paths whose writes fail (a read-only file); the text stays as it is.
    std::vector<std::string> readOnly;
    // Writes change only the key's line (withIniValue), as the program's
    // own store does, instead of writing the whole text anew.
    bool lineEdits = false;

    struct Key {
        std::string name;
        bool hasValue = false;
        std::string value;
    };
    struct Section {
        bool named = false;
        std::string name;
        std::vector<Key> keys;
    };
    static std::vector<Section> parse(const std::string& text);
    static std::string write(const std::vector<Section>& sections);
    // The first key `key` of the first section `section`, or null.
    static const Key* find(const std::vector<Section>& sections, const std::string& section,
                           const std::string& key);
};

}  // namespace fuzz
