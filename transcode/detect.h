#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "transcode/encoding.h"

namespace transcode {

// How many bytes of a text the library's own callers let the detector see.
constexpr std::size_t detection_limit = 8192;

// Guesses the encoding of 8-bit data from at most its first `limit` bytes:
// byte-order marks, zero-byte runs and JIS escapes decide at once; otherwise
// a window of up to 256 bytes from the first telling byte is scored as
// Shift_JIS, EUC-JP and UTF-8 against the character weight table, and the
// best score wins (ties broken by line ends and charset names).
detection_result detect_encoding(const std::string& data, std::size_t limit);

// The three scores of a run of bytes read from its first byte: the weight
// sum of the characters read minus the penalty for each invalid sequence.
// detect_encoding scores its window with it; tests and tools look at the
// scores themselves.
struct encoding_scores {
    std::int64_t sjis = 0, euc = 0, utf8 = 0;
    std::int64_t sjis_invalid = 0, euc_invalid = 0, utf8_invalid = 0;
};
encoding_scores score_encodings(const std::string& bytes);

}  // namespace transcode
