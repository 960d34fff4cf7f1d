#pragma once
// The lines of an INI file's text as the platform's INI reading sees them:
// lines end at CR, LF or CR LF; blanks (tab to CR, space and the old end-of-
// file mark 0x1A) around names and values do not count; a line whose first
// character is "[" and that holds a later "]" starts a section; any other
// line that is not blank is a key, with or without "=". One scanner for
// 8-bit and UTF-16 text: the names compared are ASCII, so a unit of either
// text is compared with them by value.

#include <cstddef>
#include <string>

namespace lumenvik::ini {

template <class Char>
constexpr bool isBlank(Char c) {
    return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A;
}

struct Span {
    std::size_t begin = 0, end = 0;
};

template <class Text>
Span trimmed(const Text& s, Span span) {
    while (span.begin < span.end && isBlank(s[span.begin])) ++span.begin;
    while (span.end > span.begin && isBlank(s[span.end - 1])) --span.end;
    return span;
}

// The text of `span`, trimmed, equals the ASCII `name` regardless of
// letter case.
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

enum class LineKind { blank, section, key };

struct Line {
    std::size_t begin = 0;  // the line's first unit
    std::size_t end = 0;    // its line end (or the text's end)
    std::size_t next = 0;   // the next line's first unit
    LineKind kind = LineKind::blank;
    Span name;   // the section's name within the brackets, or the key's, trimmed
    Span value;  // a key's value after "=", trimmed; empty without "="
    bool hasEquals = false;
};

// Reads `text` line by line from `start` (after a byte-order mark).
template <class Text>
class Lines {
  public:
    explicit Lines(const Text& text, std::size_t start = 0) : text_(text), pos_(start) {}

    // The next line; false at the end of the text.
    bool next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line = Line{};
        line.begin = pos_;
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
        line.end = end;
        std::size_t next = end;
        if (next < text_.size() && text_[next] == '\r') ++next;
        if (next < text_.size() && text_[next] == '\n') ++next;
        line.next = next;
        pos_ = next;
        const Span t = trimmed(text_, Span{line.begin, end});
        if (t.begin == t.end) return true;
        // Searches stay within the line: over the whole text they made a
        // save of a large file take time that grew with the square of its size.
        std::size_t close = t.end;
        while (close > t.begin + 1 && text_[close - 1] != ']') --close;
        if (text_[t.begin] == '[' && close > t.begin + 1) {
            line.kind = LineKind::section;
            line.name = trimmed(text_, Span{t.begin + 1, close - 1});
            return true;
        }
        line.kind = LineKind::key;
        std::size_t eq = t.begin;
        while (eq < t.end && text_[eq] != '=') ++eq;
        line.hasEquals = eq < t.end;
        line.name = trimmed(text_, Span{t.begin, eq});
        line.value = line.hasEquals ? trimmed(text_, Span{eq + 1, t.end}) : Span{t.end, t.end};
        return true;
    }

  private:
    const Text& text_;
    std::size_t pos_;
};

}  // namespace lumenvik::ini
