#include "search/url_template.h"

#include <utility>

#include "search/url_encode.h"
#include "transcode/factory.h"
#include "transcode/japanese_engines.h"

namespace lumenvik {

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
