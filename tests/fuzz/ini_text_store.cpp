#include "tests/fuzz/ini_text_store.h"

#include <algorithm>

#include "settings/ini_edit.h"

namespace fuzz {

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

bool blank(char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A; }

std::string trimmed(const std::string& s, std::size_t begin, std::size_t end) {
    while (begin < end && blank(s[begin])) ++begin;
    while (end > begin && blank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool same_name(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

}  // namespace

std::vector<IniTextStore::Section> IniTextStore::parse(const std::string& text) {
    std::vector<Section> sections(1);  // the nameless one before any header
    std::size_t pos = text.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        const std::string line = trimmed(text, pos, end);
        pos = end;
        while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r')) ++pos;
        if (line.empty()) continue;
        if (line[0] == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string::npos && close > 0) {
                Section s;
                s.named = true;
                s.name = trimmed(line, 1, close);
                sections.push_back(s);
                continue;
            }
        }
        Key k;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            k.name = line;
        } else {
            k.name = trimmed(line, 0, eq);
            k.hasValue = true;
            k.value = trimmed(line, eq + 1, line.size());
        }
        sections.back().keys.push_back(k);
    }
    return sections;
}

std::string IniTextStore::write(const std::vector<Section>& sections) {
    std::string out;
    for (const Section& s : sections) {
        if (s.named) out += "[" + s.name + "]\r\n";
        for (const Key& k : s.keys) {
            out += k.name;
            if (k.hasValue) out += "=" + k.value;
            out += "\r\n";
        }
    }
    return out;
}

const IniTextStore::Key* IniTextStore::find(const std::vector<Section>& sections,
                                            const std::string& section, const std::string& key) {
    const std::string want_section = trimmed(section, 0, section.size());
    const std::string want_key = trimmed(key, 0, key.size());
    for (const Section& s : sections) {
        if (!same_name(s.name, want_section)) continue;
        for (const Key& k : s.keys) {
            if (same_name(k.name, want_key)) return &k;
        }
        return nullptr;  // only the first section of the name is searched
    }
    return nullptr;
}

std::string IniTextStore::readBuffer(const std::string& stored) {
    // The reading buffer holds 29 characters and the terminating zero. A
    // value that starts and ends with the same quote (' or ") loses the
    // opening quote, and the closing one when the rest fits the buffer.
    std::string rest = stored;
    bool quoted = false;
    if (stored.size() >= 2 && (stored[0] == '\'' || stored[0] == '"') &&
        stored.back() == stored[0]) {
        rest = stored.substr(1);
        quoted = true;
    }
    std::string v = rest.substr(0, 29);
    if (quoted && rest.size() <= 30 && !v.empty()) v.pop_back();
    return v;
}

uint32_t IniTextStore::readIntegerText(const std::string& v) {
    std::size_t i = 0;
    while (i < v.size() && static_cast<unsigned char>(v[i]) <= ' ') ++i;
    bool minus = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) minus = v[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < v.size() && v[i] == '0') {
        if (v[i + 1] == 'x')
            base = 16, i += 2;
        else if (v[i + 1] == 'o')
            base = 8, i += 2;
        else if (v[i + 1] == 'b')
            base = 2, i += 2;
    }
    uint32_t total = 0;
    for (; i < v.size(); ++i) {
        const int d = digit_value(v[i]);
        if (d >= static_cast<int>(base)) break;
        total = total * base + static_cast<uint32_t>(d);
    }
    return minus ? 0u - total : total;
}

bool IniTextStore::fileExists(const std::string& path) { return files.count(path) != 0; }

int32_t IniTextStore::readInt(const std::string& path, const std::string& section,
                              const std::string& key, int32_t fallback) {
    auto file = files.find(path);
    if (file == files.end()) return fallback;
    const std::vector<Section> sections = parse(file->second);
    const Key* k = find(sections, section, key);
    if (k == nullptr || !k->hasValue) return fallback;
    const std::string v = readBuffer(k->value);
    if (v.empty()) return fallback;
    return static_cast<int32_t>(readIntegerText(v));
}

std::string IniTextStore::readString(const std::string& path, const std::string& section,
                                     const std::string& key) {
    auto file = files.find(path);
    if (file == files.end()) return {};
    const std::vector<Section> sections = parse(file->second);
    const Key* k = find(sections, section, key);
    return k == nullptr || !k->hasValue ? std::string() : readBuffer(k->value);
}

bool IniTextStore::writeValues(const std::string& path,
                               const std::vector<lumenvik::IniValue>& values, uint32_t& error) {
    if (std::find(readOnly.begin(), readOnly.end(), path) != readOnly.end()) {
        error = 5;  // ERROR_ACCESS_DENIED
        return false;
    }
    for (const auto& v : values) writeString(path, v.section, v.key, v.value);
    return true;
}

bool IniTextStore::writeString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value) {
    if (std::find(readOnly.begin(), readOnly.end(), path) != readOnly.end()) return false;
    if (lineEdits) {
        files[path] = lumenvik::withIniValue(files[path], section, key, value);
        return true;
    }
    std::vector<Section> sections = parse(files[path]);
    const std::string want_section = trimmed(section, 0, section.size());
    const std::string want_key = trimmed(key, 0, key.size());
    const std::string new_value = trimmed(value, 0, value.size());
    Section* target = nullptr;
    for (Section& s : sections) {
        if (same_name(s.name, want_section)) {
            target = &s;
            break;
        }
    }
    if (target == nullptr) {
        Section s;
        s.named = true;
        s.name = want_section;
        sections.push_back(s);
        target = &sections.back();
    }
    Key* found = nullptr;
    for (Key& k : target->keys) {
        if (same_name(k.name, want_key)) {
            found = &k;
            break;
        }
    }
    if (found == nullptr) {
        target->keys.push_back(Key{want_key, true, new_value});
    } else {
        found->hasValue = true;
        found->value = new_value;
    }
    const bool marked = files[path].compare(0, 3, kUtf8Mark) == 0;
    files[path] = (marked ? kUtf8Mark : "") + write(sections);
    return true;
}

}  // namespace fuzz
