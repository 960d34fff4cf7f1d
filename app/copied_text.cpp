#include "app/copied_text.h"

#include "transcode/byte_classes.h"
#include "transcode/transcode.h"

namespace lumenvik {

namespace {

bool isHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::string copiedTextForBox(const std::wstring& text, std::size_t limitBytes) {
    // One line first, in UTF-16, where a unit is a character or half of a
    // surrogate pair.
    std::wstring line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned u = static_cast<unsigned>(text[i]);
        const unsigned next = i + 1 < text.size() ? static_cast<unsigned>(text[i + 1]) : 0;
        if (u == '\r' && next == '\n') {
            line.push_back(L' ');
            ++i;
        } else if (u < 0x20) {
            line.push_back(L' ');
        } else if (u >= 0xE000 && u <= 0xF8FF) {
            // The converter drops the private use area (user-defined
            // characters have no agreed code): the box shows that something
            // was there.
            line.push_back(L'?');
        } else if (isHighSurrogate(u) && isLowSurrogate(next)) {
            // Code page 932 has nothing outside the BMP: one "?" for the
            // character, not one for each half.
            line.push_back(L'?');
            ++i;
        } else {
            line.push_back(text[i]);
        }
    }
    const std::string bytes =
        transcode::translate_all<transcode::unicode_to_sjis_cp932_engine>(line);

    // The converter writes whole characters: a lead byte always has its trail.
    const std::size_t n = bytes.size();
    auto width = [&](std::size_t i) {
        return transcode::is_cp932_lead(static_cast<unsigned char>(bytes[i])) && i + 1 < n ? 2u
                                                                                           : 1u;
    };
    auto isBlank = [&](std::size_t i, std::size_t w) {
        return w == 1 ? bytes[i] == ' '
                      : static_cast<unsigned char>(bytes[i]) == 0x81 && bytes[i + 1] == 0x40;
    };
    std::size_t i = 0;
    while (i < n && isBlank(i, width(i))) i += width(i);
    const std::size_t start = i;
    std::size_t end = start;  // after the last character that is no blank
    while (i < n) {
        const std::size_t w = width(i);
        if (i + w - start > limitBytes) break;
        if (!isBlank(i, w)) end = i + w;
        i += w;
    }
    return bytes.substr(start, end - start);
}

}  // namespace lumenvik
