#include "settings/ini_edit.h"

namespace lumenvik {
namespace {

bool blank(char c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A; }

struct Span {
    std::size_t begin, end;
};

Span trimmed(const std::string& s, Span span) {
    while (span.begin < span.end && blank(s[span.begin])) ++span.begin;
    while (span.end > span.begin && blank(s[span.end - 1])) --span.end;
    return span;
}

bool sameName(const std::string& s, Span span, const std::string& name) {
    const Span t = trimmed(s, span);
    if (t.end - t.begin != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char a = s[t.begin + i], b = name[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::string withIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value) {
    const Span keySpan = trimmed(key, Span{0, key.size()});
    const Span valueSpan = trimmed(value, Span{0, value.size()});
    const std::string bareKey = key.substr(keySpan.begin, keySpan.end - keySpan.begin);
    const std::string line =
        bareKey + "=" + value.substr(valueSpan.begin, valueSpan.end - valueSpan.begin);
    const Span sectionSpan = trimmed(section, Span{0, section.size()});
    const std::string bareSection =
        section.substr(sectionSpan.begin, sectionSpan.end - sectionSpan.begin);

    enum { before, inside, after } state = before;
    std::size_t insertAt = std::string::npos;  // after the section's last line
    std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text.size() && state != after) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        const Span t = trimmed(text, Span{pos, end});
        if (t.begin < t.end) {
            const std::size_t close = text.rfind(']', t.end - 1);
            if (text[t.begin] == '[' && close != std::string::npos && close > t.begin) {
                if (state == inside) {
                    state = after;
                    break;
                }
                if (sameName(text, Span{t.begin + 1, close}, bareSection)) state = inside;
            } else if (state == inside) {
                std::size_t eq = text.find('=', t.begin);
                if (eq == std::string::npos || eq > t.end) eq = t.end;
                if (sameName(text, Span{t.begin, eq}, bareKey)) {
                    return text.substr(0, pos) + line + text.substr(end);
                }
                insertAt = next;
            }
        }
        if (state == inside && insertAt == std::string::npos) insertAt = next;
        pos = next;
    }
    if (state != before) {
        // After the section's last line; a last line without its line end
        // gets one first.
        std::string head = text.substr(0, insertAt);
        if (!head.empty() && head.back() != '\n' && head.back() != '\r') head += "\r\n";
        return head + line + "\r\n" + text.substr(insertAt);
    }
    std::string out = text;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += "\r\n";
    return out + "[" + bareSection + "]\r\n" + line + "\r\n";
}

}  // namespace lumenvik
