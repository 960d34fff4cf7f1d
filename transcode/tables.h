// The generated mapping tables (tables_generated.cpp, written by
// tools/gen_transcode_tables.py) and the arithmetic relations between
// Shift_JIS, JIS X 0208 and EUC-JP codes.
#pragma once

#include <cstdint>

#include "transcode/byte_classes.h"

namespace transcode {
namespace tables {

// Value 0 means "no mapping" in every table.
extern const std::uint16_t cp932_kana_to_unicode[63];     // A1-DF
extern const std::uint16_t cp932_to_unicode[60 * 192];    // [lead][trail - 0x40]
extern const std::uint16_t euc_to_unicode[95 * 94];       // [8E, A1-FE][cell - 0xA1]
extern const std::uint16_t jisx0212_to_unicode[94 * 94];  // [xx - 0xA1][yy - 0xA1]
extern const std::uint16_t ibm_to_euc[3 * 192];           // FA40-FC4B
extern const std::uint16_t euc_ibm_to_sjis[4 * 94];       // F9A1-FCFE
extern const std::uint8_t unicode_to_cp932_page[256];
extern const std::uint16_t unicode_to_cp932_blocks[];
extern const std::uint8_t unicode_to_euc_page[256];
extern const std::uint16_t unicode_to_euc_blocks[];

// CP932 double-byte code to Unicode; c a lead byte, t a trail byte.
inline std::uint16_t cp932_pair(unsigned c, unsigned t) {
    return cp932_to_unicode[detail::cp932_rows.row[c] * 192u + t - 0x40];
}

// EUC-JP two-byte code to Unicode, any pair of bytes.
inline std::uint16_t euc_pair(unsigned d, unsigned f) {
    if (f < 0xA1 || f > 0xFE) return 0;
    if (d == 0x8E) return euc_to_unicode[f - 0xA1];
    if (d < 0xA1 || d > 0xFE) return 0;
    return euc_to_unicode[(d - 0xA0) * 94 + f - 0xA1];
}

// JIS X 0212 code (the two bytes after 0x8F) to Unicode, any pair of bytes.
inline std::uint16_t jisx0212_pair(unsigned a, unsigned b) {
    if (a < 0xA1 || a > 0xFE || b < 0xA1 || b > 0xFE) return 0;
    return jisx0212_to_unicode[(a - 0xA1) * 94 + b - 0xA1];
}

// Unicode to CP932: a single byte (below 0x100) or a double-byte code.
inline std::uint16_t unicode_to_cp932(std::uint32_t u) {
    return unicode_to_cp932_blocks[unicode_to_cp932_page[u >> 8] * 256u + (u & 0xFF)];
}

// Unicode to EUC-JP: a two-byte code (first byte 0x8E or above), or a
// JIS X 0212 code stored as (first byte & 0x7F, second byte).
inline std::uint16_t unicode_to_euc(std::uint32_t u) {
    return unicode_to_euc_blocks[unicode_to_euc_page[u >> 8] * 256u + (u & 0xFF)];
}

// Shift_JIS IBM extension FA40-FC4B to EUC-JP; c in FA-FC, t a trail byte.
inline std::uint16_t ibm_extension_to_euc(unsigned c, unsigned t) {
    return ibm_to_euc[(c - 0xFA) * 192 + t - 0x40];
}

// EUC-JP rows 89-92 back to the IBM extensions; 0 outside F9A1-FCFE.
inline std::uint16_t euc_to_ibm_extension(unsigned d, unsigned f) {
    if (d < 0xF9 || d > 0xFC || f < 0xA1 || f > 0xFE) return 0;
    return euc_ibm_to_sjis[(d - 0xF9) * 94 + f - 0xA1];
}

// The standard relations, in byte arithmetic modulo 256 (they give
// meaningless but harmless bytes outside the ranges they are meant for).
struct byte_pair {
    unsigned first, second;
};

constexpr byte_pair sjis_to_jis(unsigned c, unsigned t) {
    // Written without branches on the trail byte: kanji trails fall on both
    // sides of 0x9E about equally often, which defeats branch prediction.
    const unsigned e = t - (t >= 0x80);
    const unsigned f = (2 * c - 0x60 - (c < 0xA0 ? 0x80 : 0)) & 0xFF;
    const unsigned high = e >= 0x9E;
    return {(f - 1 + high) & 0xFF, (e - 0x1F - high * 0x5E) & 0xFF};
}

// The same relation in EUC-JP coordinates (both JIS bytes with 0x80 set,
// which is what the byte formula of the EUC-JP relation gives for every
// lead and trail byte it is used for).
constexpr byte_pair sjis_to_euc(unsigned c, unsigned t) {
    const byte_pair j = sjis_to_jis(c, t);
    return {j.first | 0x80, j.second | 0x80};
}

// The same relation as a table for the leads 81-9F and E0-EF (CP932 rows
// 0-46), [row][trail - 0x40], the two EUC-JP bytes as first | second << 8:
// one load instead of the arithmetic in the conversion loop. Built by the
// compiler from sjis_to_euc.
constexpr unsigned kSjisEucRows = 47;
struct sjis_euc_pairs {
    std::uint16_t code[kSjisEucRows * 192];
};
constexpr sjis_euc_pairs make_sjis_euc_pairs() {
    sjis_euc_pairs t{};
    for (unsigned row = 0; row < kSjisEucRows; ++row) {
        const unsigned lead = row < 31 ? 0x81 + row : 0xE0 + row - 31;
        for (unsigned trail = 0x40; trail < 0x100; ++trail) {
            const byte_pair e = sjis_to_euc(lead, trail);
            t.code[row * 192 + trail - 0x40] = static_cast<std::uint16_t>(e.first | e.second << 8);
        }
    }
    return t;
}
inline constexpr sjis_euc_pairs sjis_euc = make_sjis_euc_pairs();

inline byte_pair jis_to_sjis(unsigned j1, unsigned j2) {
    const unsigned shift = ((j1 - 0x21) & 0xFF) >> 1;
    const unsigned first = (shift + (shift < 31 ? 0x81 : 0xC1)) & 0xFF;
    unsigned second;
    if ((j1 & 1) == 0) {
        second = j2 + 0x7E;
    } else {
        second = j2 < 0x60 ? j2 + 0x1F : j2 + 0x20;
    }
    return {first, second & 0xFF};
}

inline byte_pair euc_to_sjis(unsigned d, unsigned f) {
    unsigned first, second;
    if (d & 1) {
        first = d / 2 + (d < 0xDE ? 0x31 : 0x71);
        second = f - 0x61 + (f > 0xDF ? 1 : 0);
    } else {
        first = d / 2 + (d < 0xE0 ? 0x30 : 0x70);
        second = f + 0xFE;
    }
    return {first & 0xFF, second & 0xFF};
}

}  // namespace tables
}  // namespace transcode
