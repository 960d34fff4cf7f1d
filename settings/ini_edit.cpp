#include "settings/ini_edit.h"

#include "settings/ini_scan.h"

namespace lumenvik {
namespace {

std::string bare(const std::string& s) {
    const ini::Span t = ini::trimmed(s, ini::Span{0, s.size()});
    return s.substr(t.begin, t.end - t.begin);
}

template <class Text>
Text widened(const std::string& s) {
    Text out;
    for (char c : s) out += static_cast<typename Text::value_type>(static_cast<unsigned char>(c));
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
