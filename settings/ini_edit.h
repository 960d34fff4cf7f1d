#pragma once
// One key's value written into the text of an INI file, changing nothing
// else: every other byte of the file stays as it was. The platform's own
// writing reads the whole file through the ANSI code page and writes it all
// back, which garbles text that an editor saved in UTF-8 (the labels of the
// user's search modes).

#include <string>

namespace lumenvik {

// `text` with `key` of `section` set to `value`, found as the platform's
// INI reading finds it: lines split at CR or LF, names trimmed and compared
// without regard to ASCII letter case, a UTF-8 byte-order mark skipped, the
// first section of a name and in it the first key of a name. The key's line
// becomes "name=value"; a missing key is added after the last line of its
// section, a missing section at the end of the text.
std::string withIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value);
// The same over a UTF-16 text (a file Notepad saved as "Unicode"), unit by
// unit; its mark is U+FEFF. `value` is UTF-8 there.
std::u16string withIniValue(const std::u16string& text, const std::string& section,
                            const std::string& key, const std::string& value);

}  // namespace lumenvik
