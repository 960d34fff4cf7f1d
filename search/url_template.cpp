#include "search/url_template.h"

#include <map>
#include <utility>

#include "search/url_encode.h"
#include "transcode/factory.h"
#include "transcode/japanese_engines.h"

namespace lumenvik {

namespace {

// The length of the UTF-8 sequence that starts at `i` and its code point; 0
// when the bytes there form none.
std::size_t utf8Sequence(const std::string& s, std::size_t i, unsigned long& codePoint) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3F);
    }
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < least[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Whether `target` holds the character whose UTF-8 is `character`. The
// converters write "?" for a character they cannot convert, or nothing (the
// private use area). ISO-2022-JP holds what EUC-JP holds in its two-byte
// set, ASCII and half-width katakana (written as full-width ones); its own
// bytes may hold "?" inside a double-byte code, EUC-JP's never do.
bool holds(const std::string& character, transcode::encoding_id target) {
    if (character == "?") return true;
    const bool iso = target == transcode::encoding_iso2022jp;
    const std::string out = transcode::translate_between(character, transcode::encoding_utf8,
                                                         iso ? transcode::encoding_euc : target);
    if (out.empty() || out.find('?') != std::string::npos) return false;
    return !(iso && static_cast<unsigned char>(out[0]) == 0x8F);  // JIS X 0212
}

}  // namespace

std::string toSiteEncoding(const std::string& utf8, transcode::encoding_id target) {
    if (target != transcode::encoding_sjis && target != transcode::encoding_euc &&
        target != transcode::encoding_iso2022jp) {
        return transcode::translate_between(utf8, transcode::encoding_utf8, target);
    }
    std::map<unsigned long, bool> known;  // a word repeats its characters
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned long codePoint = 0;
        const std::size_t length = utf8Sequence(utf8, i, codePoint);
        if (length <= 1) {
            text += utf8[i++];
            continue;
        }
        const std::string character = utf8.substr(i, length);
        i += length;
        auto found = known.find(codePoint);
        if (found == known.end()) {
            found = known.emplace(codePoint, holds(character, target)).first;
        }
        text += found->second ? character : "&#" + std::to_string(codePoint) + ";";
    }
    return transcode::translate_between(text, transcode::encoding_utf8, target);
}

UrlTemplate::UrlTemplate() { transcode::initialize(); }

UrlTemplate::UrlTemplate(std::string templateText, transcode::encoding_id targetEncoding)
    : text(std::move(templateText)), target(targetEncoding) {
    transcode::initialize();
}

std::string UrlTemplate::expand(const PlaceholderMap& placeholders,
                                transcode::encoding_id source) const {
    std::string url = text;
    for (const auto& [token, value] : placeholders) {
        const std::string converted = source == transcode::encoding_unknown
                                          ? transcode::convert_to_encoding(value, target)
                                      : source == transcode::encoding_utf8
                                          ? toSiteEncoding(value, target)
                                          : transcode::translate_between(value, source, target);
        const std::string replacement = urlEncode(converted);
        const std::size_t at = url.find(token);
        if (at != std::string::npos) url.replace(at, token.size(), replacement);
    }
    return url;
}

transcode::encoding_id encodingOfCodePage(unsigned codePage) {
    switch (codePage) {
        case 932:
            return transcode::encoding_sjis;
        case 65001:
            return transcode::encoding_utf8;
        case 20932:
        case 51932:
            return transcode::encoding_euc;
        default:
            return transcode::encoding_unknown;
    }
}

}  // namespace lumenvik
