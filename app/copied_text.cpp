#include "app/copied_text.h"

namespace lumenvik {

namespace {

bool isHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool isBlank(unsigned u) { return u == ' ' || u == 0x3000; }

}  // namespace

std::wstring copiedTextForBox(const std::wstring& text, std::size_t limitUnits) {
    std::wstring line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned u = static_cast<unsigned>(text[i]);
        if (u == '\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            line.push_back(L' ');
            ++i;
        } else if (u < 0x20) {
            line.push_back(L' ');
        } else {
            line.push_back(text[i]);
        }
    }
    std::size_t start = 0;
    while (start < line.size() && isBlank(static_cast<unsigned>(line[start]))) ++start;
    std::size_t end = start;  // after the last character that is no blank
    std::size_t i = start;
    while (i < line.size()) {
        const unsigned u = static_cast<unsigned>(line[i]);
        const std::size_t width = isHighSurrogate(u) && i + 1 < line.size() &&
                                          isLowSurrogate(static_cast<unsigned>(line[i + 1]))
                                      ? 2
                                      : 1;
        if (i + width - start > limitUnits) break;
        if (!isBlank(u)) end = i + width;
        i += width;
    }
    return line.substr(start, end - start);
}

}  // namespace lumenvik
