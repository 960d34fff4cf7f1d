#include "app/run_at_logon.h"

namespace lumenvik {

namespace {

char foldLatin(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool samePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldLatin(a[i]) != foldLatin(b[i])) return false;
    }
    return true;
}

// The program part of a command line: the quoted text, or up to the first
// blank.
std::string firstWord(const std::string& line) {
    size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    if (line[begin] == '"') {
        const size_t end = line.find('"', begin + 1);
        return line.substr(begin + 1,
                           end == std::string::npos ? std::string::npos : end - begin - 1);
    }
    return line.substr(begin, line.find_first_of(" \t", begin) - begin);
}

}  // namespace

std::string runValueFor(const std::string& exePath) { return "\"" + exePath + "\""; }

bool runValueNames(const std::string& value, const std::string& exePath) {
    return !exePath.empty() && samePath(firstWord(value), exePath);
}

bool runsAtLogon(RunKeyPort& key, const std::string& exePath) {
    const std::optional<std::string> value = key.read();
    return value && runValueNames(*value, exePath);
}

bool toggleRunAtLogon(RunKeyPort& key, const std::string& exePath, uint32_t& error) {
    if (runsAtLogon(key, exePath)) return key.remove(error);
    return key.write(runValueFor(exePath), error);
}

}  // namespace lumenvik
