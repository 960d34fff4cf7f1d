#pragma once
// URL templates with placeholder tokens in square brackets ("[search_word]")
// and their expansion: each value is converted to the encoding the site
// expects, percent-encoded, and put in place of its token.

#include <map>
#include <string>

#include "transcode/encoding.h"

namespace lumenvik {

// Token (brackets included) to raw value, as typed: nothing is converted or
// encoded before expansion. Ordered by plain byte-wise comparison.
using PlaceholderMap = std::map<std::string, std::string>;

struct UrlTemplate {
    // Every template runs the conversion library's one-time initialisation
    // (later ones find it done), so no conversion can come before it.
    UrlTemplate();
    UrlTemplate(std::string text, transcode::encoding_id target);

    // The URL with its tokens, used verbatim: escapes and fixed parameters it
    // already holds are never touched.
    std::string text;
    // Encoding each value is converted into before it is percent-encoded.
    transcode::encoding_id target = transcode::encoding_utf8;

    // A copy of the text where, for each map entry in map order, the first
    // occurrence of the token is replaced by the value converted to `target`
    // and percent-encoded. Only the first occurrence is replaced; a token
    // with no entry stays as it is, brackets included. A replacement is only
    // letters, digits, "+" and "%" escapes, so it never forms a token and
    // the entries' order cannot change the result. Each value is taken to
    // be in `source`; with encoding_unknown its encoding is guessed. From
    // UTF-8 it goes as a browser sends it in a form: see toSiteEncoding.
    std::string expand(const PlaceholderMap& placeholders,
                       transcode::encoding_id source = transcode::encoding_unknown) const;

    // The same for the search box's word, UTF-16 units as the box holds
    // them: "[search_word]" gets `word` straight from its units by the
    // web-form encoder (transcode/web_form.h), the other tokens their UTF-8
    // values from `placeholders` (an entry for "[search_word]" there is not
    // used).
    std::string expand(const PlaceholderMap& placeholders, const std::u16string& word) const;
};

// `utf8` in `target` as a browser writes a form's text for a page in that
// encoding: the web-form encoders of transcode/web_form.h, which follow the
// Encoding Standard's (U+00A5 to a Shift_JIS site is 5C, a character the
// target lacks an HTML numeric character reference, "&#" + its code point in
// decimal + ";": U+203D "‽" is "&#8253;"). UTF-8 holds every character and
// comes back as it is; for the other targets a byte that forms no UTF-8 is
// read as "?".
std::string toSiteEncoding(const std::string& utf8, transcode::encoding_id target);

// The encoding of text in an ANSI code page: 932 Shift_JIS (its code page
// 932 form), 65001 UTF-8, 20932 and 51932 EUC-JP; encoding_unknown for any
// other code page.
transcode::encoding_id encodingOfCodePage(unsigned codePage);

}  // namespace lumenvik
