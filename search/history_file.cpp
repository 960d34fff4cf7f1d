#include "search/history_file.h"

#include "search/search_modes_file.h"
#include "transcode/byte_classes.h"
#include "transcode/detect.h"
#include "transcode/factory.h"

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

bool startsWith(const std::string& s, const char* prefix, std::size_t length) {
    return s.compare(0, length, prefix, length) == 0;
}

// Every byte forms a code page 932 character: the detector's Shift_JIS
// reading finds no invalid sequence, no lead byte is left without its
// second byte at the end, and no single 80 or A0 (which the decoder passes
// through as C1 controls, and code page 932 editors never write) stands alone.
bool isCp932(const std::string& bytes) {
    if (transcode::score_encodings(bytes).sjis_invalid != 0) return false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0x80 || b == 0xA0) return false;
        i += transcode::is_cp932_lead(b) ? 2 : 1;
    }
    return i == bytes.size();
}

bool holdsText(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace

std::string historyPathBeside(const std::string& settingsPath) {
    const std::size_t slash = settingsPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(kHistoryFileName)
                                      : settingsPath.substr(0, slash + 1) + kHistoryFileName;
}

std::string asidePathFor(const std::string& path) { return path + ".bad"; }

std::string historyTextOf(const std::string& bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return bytes.substr(3);
    if (startsWith(bytes, "\xFF\xFE", 2)) {
        return transcode::translate_between(bytes.substr(2), transcode::encoding_utf16le,
                                            transcode::encoding_utf8);
    }
    if (startsWith(bytes, "\xFE\xFF", 2)) {
        return transcode::translate_between(bytes.substr(2), transcode::encoding_utf16be,
                                            transcode::encoding_utf8);
    }
    if (isValidUtf8(bytes) || !isCp932(bytes)) return bytes;
    return transcode::translate_between(bytes, transcode::encoding_sjis, transcode::encoding_utf8);
}

std::vector<std::string> historyWords(const std::string& bytes, std::size_t maxChars, int32_t cap) {
    const std::string text = historyTextOf(bytes);
    std::vector<std::string> words;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
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

HistoryRead readHistoryFile(FilePort& files, const std::string& path, std::size_t maxChars,
                            int32_t cap, std::vector<std::string>& oldestFirst, uint32_t& error) {
    oldestFirst.clear();
    std::string bytes;
    switch (files.read(path, bytes, error)) {
        case FilePort::Read::ok:
            break;
        case FilePort::Read::missing:
            return HistoryRead::ok;
        case FilePort::Read::failed:
            return HistoryRead::unreadable;
    }
    // Judged before the cap: a history size of 0 reads no word from a good file.
    if (historyWords(bytes, maxChars, INT32_MAX).empty()) {
        return holdsText(historyTextOf(bytes)) ? HistoryRead::noWord : HistoryRead::ok;
    }
    oldestFirst = historyWords(bytes, maxChars, cap);
    return HistoryRead::ok;
}

bool keepHistoryAside(FilePort& files, const std::string& path) {
    uint32_t error = 0;
    std::string bytes, kept;
    switch (files.read(path, bytes, error)) {
        case FilePort::Read::ok:
            break;
        case FilePort::Read::missing:
            return true;  // nothing left to lose
        case FilePort::Read::failed:
            return false;
    }
    const std::string aside = asidePathFor(path);
    switch (files.read(aside, kept, error)) {
        case FilePort::Read::ok:
            return kept == bytes;  // an earlier file's bytes are never written over
        case FilePort::Read::missing:
            if (files.create(aside, bytes, error)) return true;
            files.remove(aside);  // a part of them would block the next try
            return false;
        case FilePort::Read::failed:
            return false;
    }
    return false;
}

bool writeHistoryFile(FilePort& files, const std::string& path,
                      const std::vector<std::string>& oldestFirst, uint32_t& error) {
    const std::string temporary = temporaryPathFor(path);
    if (!files.create(temporary, historyText(oldestFirst), error) ||
        !replaceFile(files, temporary, path, error)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

}  // namespace lumenvik
