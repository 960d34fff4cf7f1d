#include "app/run_at_logon.h"

namespace lumenvik {

namespace {

char16_t foldLatin(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool samePath(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldLatin(a[i]) != foldLatin(b[i])) return false;
    }
    return true;
}

// The program part of a command line: the quoted text, or up to the first
// blank.
std::u16string firstWord(const std::u16string& line) {
    size_t begin = line.find_first_not_of(u" \t");
    if (begin == std::u16string::npos) return {};
    if (line[begin] == u'"') {
        const size_t end = line.find(u'"', begin + 1);
        return line.substr(begin + 1,
                           end == std::u16string::npos ? std::u16string::npos : end - begin - 1);
    }
    return line.substr(begin, line.find_first_of(u" \t", begin) - begin);
}

}  // namespace

std::u16string runValueFor(const std::u16string& exePath) { return u"\"" + exePath + u"\""; }

bool runValueNames(const std::u16string& value, const std::u16string& exePath) {
    return !exePath.empty() && samePath(firstWord(value), exePath);
}

bool runsAtLogon(RunKeyPort& key, const std::u16string& exePath) {
    const std::optional<std::u16string> value = key.read();
    return value && runValueNames(*value, exePath);
}

bool toggleRunAtLogon(RunKeyPort& key, const std::u16string& exePath, uint32_t& error) {
    if (runsAtLogon(key, exePath)) return key.remove(error);
    return key.write(runValueFor(exePath), error);
}

}  // namespace lumenvik
