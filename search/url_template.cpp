#include "search/url_template.h"

#include <utility>

#include "search/url_encode.h"
#include "transcode/factory.h"
#include "transcode/japanese_engines.h"
#include "transcode/utf_engines.h"
#include "transcode/web_form.h"

namespace lumenvik {

namespace {

// Puts `value`, percent-encoded, in place of the first occurrence of `token`.
void fill(std::string& url, const std::string& token, const std::string& value) {
    const std::size_t at = url.find(token);
    if (at != std::string::npos) url.replace(at, token.size(), urlEncode(value));
}

const char kWordToken[] = "[search_word]";

}  // namespace

std::string toSiteEncoding(const std::string& utf8, transcode::encoding_id target) {
    if (target == transcode::encoding_utf8) return utf8;
    return transcode::translate_web_form(
        transcode::translate_all<transcode::utf8_to_unicode_engine>(utf8), target);
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
        fill(url, token,
             source == transcode::encoding_unknown ? transcode::convert_to_encoding(value, target)
             : source == transcode::encoding_utf8
                 ? toSiteEncoding(value, target)
                 : transcode::translate_between(value, source, target));
    }
    return url;
}

std::string UrlTemplate::expand(const PlaceholderMap& placeholders,
                                const std::u16string& word) const {
    std::string url = text;
    for (const auto& [token, value] : placeholders) {
        if (token != kWordToken) fill(url, token, toSiteEncoding(value, target));
    }
    fill(url, kWordToken,
         transcode::translate_web_form(std::wstring(word.begin(), word.end()), target));
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
