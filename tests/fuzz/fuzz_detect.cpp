// detect_encoding with any data and any limit:
// - no crash, and the result is always a defined pair: `encoding` one of the
//   identifiers 0 and 2-11, `sure_encoding` equal to it or 1;
// - nothing past the limit is read: the result is the same for the first
//   min(limit, size) bytes alone, and for those bytes followed by different
//   bytes;
// - nothing past the data is read: the data sits in a heap block of exactly
//   its size (see exact()), and data followed by further bytes, detected
//   with the data's length as the limit, gives the same result.
// score_encodings is run over the same bytes.
//
// Input layout: bytes 0-3 give the limit (small values mostly, the largest
// values too), the rest is the data.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "transcode/detect.h"

using namespace transcode;

namespace {

bool defined(const detection_result& r) {
    const bool known = r.encoding == encoding_unknown ||
                       (r.encoding >= encoding_ansi && r.encoding <= encoding_utf32le);
    return known && (r.sure_encoding == r.encoding || r.sure_encoding == encoding_uncertain);
}

// A string built from a pointer and a length holds more than 15 bytes in a
// heap block of exactly size + 1 bytes (the terminating zero), so
// AddressSanitizer reports a read past that zero. A read of the zero itself
// or of a short string (kept inside the string object) shows up as a
// different result once other bytes follow the data (below).
std::string exact(const std::uint8_t* p, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t raw = fuzz::read_u32(data);
    const std::uint8_t* p = data + 4;
    const std::size_t n = size - 4;
    std::size_t limit;
    switch (raw >> 30) {
        case 0:
            limit = raw & 0x3FF;
            break;  // around the data's length
        case 1:
            limit = raw & 0xFFFF;
            break;
        case 2:
            limit = std::numeric_limits<std::size_t>::max() - (raw & 0xFF);
            break;
        default:
            limit = detection_limit;
            break;
    }

    const detection_result r = detect_encoding(exact(p, n), limit);
    FUZZ_CHECK(defined(r));

    const std::size_t used = limit < n ? limit : n;
    const std::string head = exact(p, used);
    FUZZ_CHECK(detect_encoding(head, limit) == r);
    FUZZ_CHECK(detect_encoding(head, used) == r);

    // Different bytes behind the part that may be read change nothing.
    std::string longer = head;
    for (std::size_t i = 0; i < 64; ++i) longer.push_back(static_cast<char>(0x1B + i * 37));
    FUZZ_CHECK(detect_encoding(longer, used) == r);

    const encoding_scores s = score_encodings(head);
    FUZZ_CHECK(s.sjis_invalid >= 0 && s.euc_invalid >= 0 && s.utf8_invalid >= 0);
    return 0;
}
