#include "dictionary/fold.h"

#include <cstdint>

namespace lumenvik {
namespace {

// Reads one code point at `i` and moves past it; U+FFFD for a bad sequence
// (one byte consumed, so the next byte is read anew).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2;
        cp = b & 0x1F;
        least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3;
        cp = b & 0x0F;
        least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4;
        cp = b & 0x07;
        least = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(length) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<std::size_t>(length);
    return cp;
}

void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Half-width katakana U+FF61-U+FF9F as their full-width forms, in order
// (JIS X 0201's katakana half).
constexpr char16_t kHalfWidthKana[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    u"マミムメモヤユヨラリルレロワン゛゜";

// The kana of the half-width set that take ﾞ, and those that take ﾟ (their
// voiced forms are the next code point, ヴ apart; the half-voiced the one after).
bool oneOf(const char16_t* set, char32_t k) {
    for (; *set != 0; ++set) {
        if (*set == k) return true;
    }
    return false;
}
bool takesVoicedMark(char32_t k) { return oneOf(u"ウカキクケコサシスセソタチツテトハヒフヘホ", k); }
bool takesSemiVoicedMark(char32_t k) { return oneOf(u"ハヒフヘホ", k); }

char32_t toHiragana(char32_t k) {
    if ((k >= 0x30A1 && k <= 0x30F6) || k == 0x30FD || k == 0x30FE) return k - 0x60;
    return k;
}

}  // namespace

std::string foldForLookup(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0xFF61 && cp <= 0xFF9F) {
            cp = kHalfWidthKana[cp - 0xFF61];
            // A sound mark after its kana joins it (ｶﾞ is ガ).
            if (i < utf8.size()) {
                std::size_t j = i;
                const char32_t mark = nextCodePoint(utf8, j);
                if (mark == 0xFF9E && takesVoicedMark(cp)) {
                    cp = cp == U'ウ' ? U'ヴ' : cp + 1;
                    i = j;
                } else if (mark == 0xFF9F && takesSemiVoicedMark(cp)) {
                    cp += 2;
                    i = j;
                }
            }
        } else if (cp >= 0xFF01 && cp <= 0xFF5E) {
            cp = cp - 0xFF01 + 0x21;
        } else if (cp == 0x3000) {
            cp = 0x20;
        }
        if (cp >= 'A' && cp <= 'Z') cp += 'a' - 'A';
        append(out, toHiragana(cp));
    }
    return out;
}

std::size_t codePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) nextCodePoint(utf8, i);
    return count;
}

std::vector<std::string> glossWords(std::string_view glosses) {
    std::vector<std::string> words;
    std::string word;
    int depth = 0;
    auto end = [&] {
        if (!word.empty()) words.push_back(foldForLookup(word));
        word.clear();
    };
    for (char c : glosses) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '(' || c == '{') {
            end();
            ++depth;
        } else if ((c == ')' || c == '}') && depth > 0) {
            --depth;
        } else if (depth == 0 && ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') ||
                                  (b >= 'A' && b <= 'Z') || b >= 0x80)) {
            word += c;
        } else {
            end();
        }
    }
    end();
    return words;
}

}  // namespace lumenvik
