#pragma once

namespace transcode {

// Identifiers of the encodings the library knows. A plain integer: the
// factory keys its chains by from * 256 + to.
using encoding_id = int;

constexpr encoding_id encoding_unknown = 0;    // no guess (empty data)
constexpr encoding_id encoding_uncertain = 1;  // second field of a detection: weak guess
constexpr encoding_id encoding_ansi = 2;       // 7-bit text
constexpr encoding_id encoding_sjis = 3;       // Shift_JIS, code page 932 form
constexpr encoding_id encoding_jis = 4;        // 7-bit JIS, half-width katakana allowed
constexpr encoding_id encoding_euc = 5;        // EUC-JP
constexpr encoding_id encoding_iso2022jp = 6;  // ISO-2022-JP, no half-width katakana
constexpr encoding_id encoding_utf8 = 7;
constexpr encoding_id encoding_utf16be = 8;
constexpr encoding_id encoding_utf16le = 9;
constexpr encoding_id encoding_utf32be = 10;  // detected only; nothing converts it
constexpr encoding_id encoding_utf32le = 11;  // detected only; nothing converts it

// The guess of detect_encoding. sure_encoding equals encoding when the guess
// is firm and is encoding_uncertain when it is weak.
struct detection_result {
    encoding_id encoding = encoding_unknown;
    encoding_id sure_encoding = encoding_uncertain;
};

inline bool operator==(const detection_result& a, const detection_result& b) {
    return a.encoding == b.encoding && a.sure_encoding == b.sure_encoding;
}
inline bool operator!=(const detection_result& a, const detection_result& b) { return !(a == b); }

}  // namespace transcode
