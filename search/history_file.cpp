#include "search/history_file.h"

#include "search/search_modes_file.h"

namespace lumenvik {
namespace {

// The characters of valid UTF-8 text in UTF-16 units: four-byte sequences
// count two.
std::size_t utf16Units(const std::string& utf8) {
    std::size_t units = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool hasControl(const std::string& s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

std::string historyPathBeside(const std::string& settingsPath) {
    const std::size_t slash = settingsPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(kHistoryFileName)
                                      : settingsPath.substr(0, slash + 1) + kHistoryFileName;
}

std::vector<std::string> historyWords(const std::string& bytes, std::size_t maxChars, int32_t cap) {
    std::vector<std::string> words;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || hasControl(line) || !isValidUtf8(line) || utf16Units(line) > maxChars) {
            continue;
        }
        words.push_back(std::move(line));
    }
    const std::size_t keep = cap > 0 ? static_cast<std::size_t>(cap) : 0;
    if (words.size() > keep)
        words.erase(words.begin(), words.end() - static_cast<std::ptrdiff_t>(keep));
    return words;
}

std::string historyText(const std::vector<std::string>& oldestFirst) {
    std::string text;
    for (const std::string& word : oldestFirst) text += word + "\r\n";
    return text;
}

bool readHistoryFile(FilePort& files, const std::string& path, std::size_t maxChars, int32_t cap,
                     std::vector<std::string>& oldestFirst, uint32_t& error) {
    oldestFirst.clear();
    std::string bytes;
    switch (files.read(path, bytes, error)) {
        case FilePort::Read::ok:
            oldestFirst = historyWords(bytes, maxChars, cap);
            return true;
        case FilePort::Read::missing:
            return true;
        case FilePort::Read::failed:
            break;
    }
    return false;
}

bool writeHistoryFile(FilePort& files, const std::string& path,
                      const std::vector<std::string>& oldestFirst, uint32_t& error) {
    const std::string temporary = temporaryPathFor(path);
    if (!files.create(temporary, historyText(oldestFirst), error) ||
        !files.replace(temporary, path, error)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

}  // namespace lumenvik
