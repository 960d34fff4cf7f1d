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

std::string UrlTemplate::expand(const PlaceholderMap& placeholders) const {
    std::string url = text;
    for (const auto& [token, value] : placeholders) {
        const std::string replacement = urlEncode(transcode::convert_to_encoding(value, target));
        const std::size_t at = url.find(token);
        if (at != std::string::npos) url.replace(at, token.size(), replacement);
    }
    return url;
}

}  // namespace lumenvik
