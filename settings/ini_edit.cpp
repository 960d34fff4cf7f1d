#include "settings/ini_edit.h"

namespace lumenvik {
namespace {

// One scanner for both widths: the names and values written are ASCII, so a
// unit of either text is compared with them by value.
template <class Char>
bool blank(Char c) {
    return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A;
}

struct Span {
    std::size_t begin, end;
};

template <class Text>
Span trimmed(const Text& s, Span span) {
    while (span.begin < span.end && blank(s[span.begin])) ++span.begin;
    while (span.end > span.begin && blank(s[span.end - 1])) --span.end;
    return span;
}

template <class Text>
bool sameName(const Text& s, Span span, const std::string& name) {
    const Span t = trimmed(s, span);
    if (t.end - t.begin != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto a = static_cast<unsigned long>(s[t.begin + i]);
        auto b = static_cast<unsigned long>(static_cast<unsigned char>(name[i]));
        if (a >= 'A' && a <= 'Z') a = a - 'A' + 'a';
        if (b >= 'A' && b <= 'Z') b = b - 'A' + 'a';
        if (a != b) return false;
    }
    return true;
}

std::string bare(const std::string& s) {
    const Span t = trimmed(s, Span{0, s.size()});
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

    enum { before, inside, after } state = before;
    std::size_t insertAt = Text::npos;  // after the section's last line
    std::size_t pos = markLength(text);
    while (pos < text.size() && state != after) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        std::size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        const Span t = trimmed(text, Span{pos, end});
        if (t.begin < t.end) {
            const std::size_t close = text.rfind(']', t.end - 1);
            if (text[t.begin] == '[' && close != Text::npos && close > t.begin) {
                if (state == inside) {
                    state = after;
                    break;
                }
                if (sameName(text, Span{t.begin + 1, close}, bareSection)) state = inside;
            } else if (state == inside) {
                std::size_t eq = text.find('=', t.begin);
                if (eq == Text::npos || eq > t.end) eq = t.end;
                if (sameName(text, Span{t.begin, eq}, bareKey)) {
                    return text.substr(0, pos) + line + text.substr(end);
                }
                insertAt = next;
            }
        }
        if (state == inside && insertAt == Text::npos) insertAt = next;
        pos = next;
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
