// The URL road for any word: urlEncode(convert_to_encoding(word, target))
// for every target holds only ASCII letters, digits, "+" and "%xx" with two
// lower-case hex digits; letters and digits stand for themselves, "+" for a
// space and every other byte is escaped; decoding gives back exactly the
// converted bytes. The search mode's template expanded with the word holds
// the encoded word in place of "[search_word]". Read as a settings file,
// the same bytes give only usable search modes.
//
// Input layout: byte 0 chooses the target (and the mode), the rest is the word.
#include <cstddef>
#include <cstdint>
#include <string>

#include "search/search_modes_file.h"
#include "search/search_templates.h"
#include "search/url_encode.h"
#include "tests/fuzz/fuzz_support.h"
#include "transcode/factory.h"

using namespace transcode;

namespace {

bool letter_or_digit(unsigned c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int hex_digit(unsigned c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    return -1;  // upper-case digits are not written
}

// Decodes the escapes, checking every byte of the encoded text on the way.
std::string decoded(const std::string& encoded) {
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const unsigned c = static_cast<unsigned char>(encoded[i]);
        if (c == '+') {
            out.push_back(' ');
        } else if (letter_or_digit(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            FUZZ_CHECK(c == '%' && i + 2 < encoded.size());
            const int hi = hex_digit(static_cast<unsigned char>(encoded[i + 1]));
            const int lo = hex_digit(static_cast<unsigned char>(encoded[i + 2]));
            FUZZ_CHECK(hi >= 0 && lo >= 0);
            const unsigned byte = static_cast<unsigned>(hi * 16 + lo);
            // Only bytes that are neither a letter, a digit nor a space are escaped.
            FUZZ_CHECK(!letter_or_digit(byte) && byte != ' ');
            out.push_back(static_cast<char>(byte));
            i += 2;
        }
    }
    return out;
}

const encoding_id kTargets[8] = {encoding_utf8,    encoding_euc,      encoding_sjis,
                                 encoding_jis,     encoding_ansi,     encoding_utf16le,
                                 encoding_utf16be, encoding_iso2022jp};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string word(reinterpret_cast<const char*>(data) + 1, size - 1);
    const encoding_id target = kTargets[data[0] & 7];
    const std::string converted = convert_to_encoding(word, target);
    const std::string encoded = lumenvik::urlEncode(converted);
    FUZZ_CHECK(decoded(encoded) == converted);

    // The search road proper: the mode's template with the word.
    const lumenvik::SearchSite& site = lumenvik::builtInSearchSites()[(data[0] >> 3) % 5];
    const lumenvik::UrlTemplate t = lumenvik::searchTemplate(site, data[0] & 0x80);
    lumenvik::PlaceholderMap values = site.fixedValues;
    values["[search_word]"] = word;
    const std::string url = t.expand(values);
    const std::string word_part = lumenvik::urlEncode(convert_to_encoding(word, t.target));
    FUZZ_CHECK(url.find("[search_word]") == std::string::npos);
    const std::string tail = "=" + word_part;
    const bool at_end =
        url.size() >= tail.size() && url.compare(url.size() - tail.size(), tail.size(), tail) == 0;
    FUZZ_CHECK(at_end || url.find(tail + "&") != std::string::npos);

    // The same bytes as a settings file: whatever its [SearchModes] holds,
    // every mode is a usable http(s) template with a label, and the list
    // holds the five built-in places and at most eleven more.
    const lumenvik::SearchModesReading read =
        lumenvik::readSearchModes(word, data[0] & 0x40 ? encoding_sjis : encoding_utf8);
    FUZZ_CHECK(read.modes.count() >= 5 && read.modes.count() <= 16);
    for (lumenvik::SearchMode m = 0; read.modes.contains(m); ++m) {
        const lumenvik::SearchSite& s = read.modes.site(m);
        std::string scheme = s.url.substr(0, 8);
        for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        FUZZ_CHECK(scheme.compare(0, 7, "http://") == 0 || scheme == "https://");
        FUZZ_CHECK(s.url.find("[search_word]") != std::string::npos);
        FUZZ_CHECK(!s.label.empty());
    }
    return 0;
}
