#include "settings/ini_edit.h"

#include "settings/ini_scan.h"

namespace lumenvik {
namespace {

std::string bare(const std::string& s) {
    const ini::Span t = ini::trimmed(s, ini::Span{0, s.size()});
    return s.substr(t.begin, t.end - t.begin);
}

template <class Text>
Text widened(const std::string& s);

template <>
std::string widened<std::string>(const std::string& s) {
    return s;
}

// UTF-8 (names are ASCII, values may be the user's Japanese labels) as
// UTF-16 units; a byte that starts no whole sequence is U+FFFD.
template <>
std::u16string widened<std::u16string>(const std::string& s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        char32_t c = length == 1   ? lead
                     : length == 2 ? lead & 0x1F
                     : length == 3 ? lead & 0x0F
                                   : lead & 0x07;
        bool whole = length != 0 && i + length <= s.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (!whole || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

// The byte-order mark's length at the start of `text`.
std::size_t markLength(const std::string& text) {
    return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}
std::size_t markLength(const std::u16string& text) {
    return !text.empty() && text[0] == 0xFEFF ? 1 : 0;
}

template <class Text>
Text edited(const Text& text, const std::string& section, const std::string& key,
            const std::string& value) {
    const std::string bareKey = bare(key);
    const std::string bareSection = bare(section);
    const Text line = widened<Text>(bareKey + "=" + bare(value));
    const Text lineEnd = widened<Text>("\r\n");

    enum { before, inside } state = before;
    std::size_t insertAt = Text::npos;  // after the section's last line
    ini::Lines<Text> lines(text, markLength(text));
    ini::Line l;
    while (lines.next(l)) {
        if (l.kind == ini::LineKind::section) {
            if (state == inside) break;
            if (ini::sameName(text, l.name, bareSection)) state = inside;
        } else if (l.kind == ini::LineKind::key && state == inside) {
            if (ini::sameName(text, l.name, bareKey)) {
                return text.substr(0, l.begin) + line + text.substr(l.end);
            }
            insertAt = l.next;
        }
        if (state == inside && insertAt == Text::npos) insertAt = l.next;
    }
    if (state != before) {
        // After the section's last line; a last line without its line end
        // gets one first.
        Text head = text.substr(0, insertAt);
        if (!head.empty() && head.back() != '\n' && head.back() != '\r') head += lineEnd;
        return head + line + lineEnd + text.substr(insertAt);
    }
    Text out = text;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += lineEnd;
    return out + widened<Text>("[" + bareSection + "]") + lineEnd + line + lineEnd;
}

}  // namespace

std::string withIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value) {
    return edited(text, section, key, value);
}

std::u16string withIniValue(const std::u16string& text, const std::string& section,
                            const std::string& key, const std::string& value) {
    return edited(text, section, key, value);
}

}  // namespace lumenvik
