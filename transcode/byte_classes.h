// Byte classes of the encodings the library reads, in one place: CP932
// (Shift_JIS) lead and trail bytes with the table row of each lead, EUC-JP
// lead bytes, and the UTF-8 sequence length and payload mask of each lead
// byte. Free of the rest of the library, so code outside it may use them.
#pragma once

#include <cstdint>

namespace transcode {

// CP932 lead bytes 81-9F and E0-FC; trail bytes 40-FC except 7F.
constexpr bool is_cp932_lead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool is_cp932_trail(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
// Half-width katakana, single bytes A1-DF.
constexpr bool is_cp932_kana(unsigned b) { return b >= 0xA1 && b <= 0xDF; }

// EUC-JP lead bytes of two-byte characters: 8E (half-width katakana), 90-9F
// (no characters, but read as lead bytes) and A1-FE. 8F starts a three-byte
// JIS X 0212 character.
constexpr bool is_euc_lead(unsigned b) {
    return b == 0x8E || (b >= 0x90 && b <= 0x9F) || (b >= 0xA1 && b <= 0xFE);
}

// UTF-8 sequence length by lead byte (0: no lead byte: 80-BF, FE, FF),
// including the old five- and six-byte forms.
constexpr unsigned utf8_length_of(unsigned b) {
    return b < 0x80   ? 1
           : b < 0xC0 ? 0
           : b < 0xE0 ? 2
           : b < 0xF0 ? 3
           : b < 0xF8 ? 4
           : b < 0xFC ? 5
           : b < 0xFE ? 6
                      : 0;
}
constexpr bool is_utf8_continuation(unsigned b) { return (b & 0xC0) == 0x80; }

namespace detail {
struct utf8_length_table {
    std::uint8_t length[256];
};
constexpr utf8_length_table make_utf8_lengths() {
    utf8_length_table t{};
    for (unsigned b = 0; b < 256; ++b) t.length[b] = static_cast<std::uint8_t>(utf8_length_of(b));
    return t;
}
inline constexpr utf8_length_table utf8_lengths = make_utf8_lengths();

// The CP932 table row of each lead byte (kNoRow for other bytes), in the
// order of tables::cp932_to_unicode: 81-9F are rows 0-30, E0-FC rows 31-59.
constexpr std::uint8_t kNoRow = 0xFF;
struct cp932_rows_table {
    std::uint8_t row[256];
};
constexpr cp932_rows_table make_cp932_rows() {
    cp932_rows_table t{};
    for (unsigned b = 0; b < 256; ++b) {
        t.row[b] = b >= 0x81 && b <= 0x9F   ? static_cast<std::uint8_t>(b - 0x81)
                   : b >= 0xE0 && b <= 0xFC ? static_cast<std::uint8_t>(b - 0xE0 + 31)
                                            : kNoRow;
    }
    return t;
}
inline constexpr cp932_rows_table cp932_rows = make_cp932_rows();
}  // namespace detail

// The same as tables, for the converters' inner loops and the UTF-8 scorer.
inline constexpr const std::uint8_t (&utf8_sequence_length)[256] = detail::utf8_lengths.length;
inline constexpr std::uint8_t utf8_lead_mask[7] = {0x00, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

}  // namespace transcode
