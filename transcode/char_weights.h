#pragma once

#include <cstdint>

#include "transcode/tables.h"

namespace transcode {

// How typical a character is of Japanese text, as used by the encoding
// detector. The table is by Shift_JIS (CP932) code: a single byte for
// half-width katakana, lead * 256 + trail otherwise. It is a three-level
// sparse table: 256 pointers by the code's high byte, 8 by bits 5-7, 32
// weights by bits 0-4; a missing level means weight 0. The data lives in
// char_weights.cpp, made by tools/gen_weights.py.
typedef const std::uint32_t* const* const weight_index[256];
extern const weight_index sjis_char_weights;

// The weight of U+3000, the heaviest character, and the penalty the detector
// charges for one invalid sequence.
constexpr std::uint32_t invalid_sequence_penalty = 395578;

// Weight of a Shift_JIS code; 0 for codes outside the table, and for every
// code above 0xFFFF.
inline std::uint32_t sjis_char_weight(std::uint32_t code) {
    if (code > 0xFFFF) return 0;
    const std::uint32_t* const* middle = sjis_char_weights[code >> 8];
    if (middle == nullptr) return 0;
    const std::uint32_t* leaf = middle[(code >> 5) & 7];
    if (leaf == nullptr) return 0;
    return leaf[code & 31];
}

// Weight of an EUC-JP code, first * 256 + second (8E xx for half-width
// katakana): that of the Shift_JIS code of the same JIS character.
inline std::uint32_t euc_char_weight(std::uint32_t code) {
    const unsigned first = code >> 8, second = code & 0xFF;
    if (second < 0xA1 || second > 0xFE) return 0;
    if (first == 0x8E) return sjis_char_weight(second);
    if (first < 0xA1 || first > 0xFE) return 0;
    const tables::byte_pair s = tables::euc_to_sjis(first, second);
    return sjis_char_weight(s.first * 256 + s.second);
}

// Weight of a Unicode code point: that of its CP932 code, where that code
// reads back as the same character (not where the encoder only writes a
// look-alike for it).
inline std::uint32_t unicode_char_weight(std::uint32_t cp) {
    if (cp > 0xFFFF) return 0;
    const unsigned code = tables::unicode_to_cp932(cp);
    unsigned back = 0;  // the character the code reads as
    if (code >= 0x100) {
        back = tables::cp932_pair(code >> 8, code & 0xFF);
    } else if (code >= 0xA1 && code <= 0xDF) {
        back = tables::cp932_kana_to_unicode[code - 0xA1];
    }
    return back == cp ? sjis_char_weight(code) : 0;
}

}  // namespace transcode
