#include "settings/ini_save.h"

#include "settings/ini_edit.h"

namespace lumenvik {

namespace {

std::u16string unitsOf(const std::string& bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

std::string bytesOf(const std::u16string& units, bool bigEndian) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace

std::string withIniValues(const std::string& bytes, const std::vector<IniValue>& values) {
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    const bool big = bytes.compare(0, 2, "\xFE\xFF") == 0;
    if (!little && !big) {
        std::string text = bytes;
        for (const IniValue& v : values) text = withIniValue(text, v.section, v.key, v.value);
        return text;
    }
    std::u16string text = unitsOf(bytes, big);
    for (const IniValue& v : values) text = withIniValue(text, v.section, v.key, v.value);
    // A stray last byte (an odd length) stays the last byte.
    return bytesOf(text, big) + (bytes.size() % 2 != 0 ? bytes.substr(bytes.size() - 1) : "");
}

std::string temporaryPathFor(const std::string& path) { return path + ".new"; }

bool replaceFile(FilePort& files, const std::string& from, const std::string& to, uint32_t& error) {
    for (int attempt = 1;; ++attempt) {
        if (files.replace(from, to, error)) return true;
        if (attempt == kReplaceAttempts || !files.momentary(error)) return false;
        files.pause();
    }
}

void recoverInterruptedSave(FilePort& files, const std::string& path) {
    const std::string temporary = temporaryPathFor(path);
    std::string bytes;
    uint32_t error = 0;
    if (files.read(temporary, bytes, error) == FilePort::Read::missing) return;
    if (files.read(path, bytes, error) == FilePort::Read::missing) {
        files.replace(temporary, path, error);
    } else {
        files.remove(temporary);
    }
}

bool saveIniValues(FilePort& files, const std::string& path, const std::vector<IniValue>& values,
                   uint32_t& error) {
    std::string old;
    // A file that exists and cannot be read is never written over: the new
    // text would lose everything else it holds.
    const FilePort::Read read = files.read(path, old, error);
    if (read == FilePort::Read::failed) return false;
    if (read == FilePort::Read::missing) old.clear();
    const std::string temporary = temporaryPathFor(path);
    if (!files.create(temporary, withIniValues(old, values), error) ||
        !replaceFile(files, temporary, path, error)) {
        files.remove(temporary);
        return false;
    }
    return true;
}

}  // namespace lumenvik
