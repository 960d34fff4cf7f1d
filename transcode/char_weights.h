#pragma once

#include <cstdint>

namespace transcode {

// How typical a character is of Japanese text, as used by the encoding
// detector. Each indexing is a three-level sparse table: 256 pointers by the
// code's high byte, 8 by bits 5-7, 32 weights by bits 0-4; a missing level
// means weight 0. The data lives in char_weights.cpp, made by
// tools/gen_weights.py.
typedef const std::uint32_t* const* const weight_index[256];

// By Shift_JIS code: a single byte for half-width katakana, lead * 256 + trail
// otherwise.
extern const weight_index sjis_char_weights;
// By EUC-JP code: first * 256 + second (8E xx for half-width katakana).
extern const weight_index euc_char_weights;
// By Unicode code point.
extern const weight_index unicode_char_weights;

// The weight of U+3000, the heaviest character, and the penalty the detector
// charges for one invalid sequence.
constexpr std::uint32_t invalid_sequence_penalty = 395578;

// Weight of a code in one indexing; 0 for codes outside the table, and for
// every code above 0xFFFF.
inline std::uint32_t char_weight(const weight_index& index, std::uint32_t code) {
    if (code > 0xFFFF) return 0;
    const std::uint32_t* const* middle = index[code >> 8];
    if (middle == nullptr) return 0;
    const std::uint32_t* leaf = middle[(code >> 5) & 7];
    if (leaf == nullptr) return 0;
    return leaf[code & 31];
}

}  // namespace transcode
