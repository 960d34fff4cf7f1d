// Shift_JIS in the code page 932 form: to and from UTF-16, straight to
// EUC-JP, and in one pass to UTF-8.
#include "transcode/byte_classes.h"
#include "transcode/japanese_engines.h"
#include "transcode/one_pass.h"
#include "transcode/steps.h"
#include "transcode/utf_engines.h"

namespace transcode {

using namespace detail;

namespace {

// CP932 double-byte codes by lead and trail byte, as the sink's codes: one
// look-up gives the output of the code (that of U+003F for an unmapped
// code), or kNone where the two bytes are no double-byte code (no lead
// byte, or no trail byte after it). Rows for every byte from 0x80 (kNone
// for those that lead no code): a lead byte indexes its row at once, with
// no look-up of its row first.
template <class Sink>
struct cp932_pairs {
    using code_type = typename Sink::code_type;
    code_type code[128 * 256];  // [lead - 0x80][trail]
    void fill() {
        for (unsigned b = 0x80; b < 0x100; ++b) {
            const unsigned row = cp932_rows.row[b];
            for (unsigned t = 0; t < 256; ++t) {
                code_type c = Sink::kNone;
                if (row != kNoRow && is_cp932_trail(t)) {
                    const unsigned u = tables::cp932_to_unicode[row * 192 + t - 0x40];
                    c = Sink::code_of(u ? u : replacement_char);
                }
                code[(b - 0x80) * 256 + t] = c;
            }
        }
    }
    // The code of lead b (0x80 or above) and trail t.
    code_type of(unsigned b, unsigned t) const { return code[(b - 0x80) * 256 + t]; }
};

// The tables lie at an address fixed when the program is linked (filled at
// first use, once): the steps reach them without holding a pointer in a
// register, which 32-bit code has few of.
template <class Sink>
cp932_pairs<Sink> cp932_pair_storage;

template <class Sink>
const cp932_pairs<Sink>& cp932_pair_table() {
    static const bool filled = (cp932_pair_storage<Sink>.fill(), true);
    (void)filled;
    return cp932_pair_storage<Sink>;
}

// One CP932 character to a UTF-16 unit.
template <class Sink>
struct cp932_decode_step {
    static constexpr std::size_t per_byte = Sink::max_per_unit;
    static constexpr std::size_t ascii_width = Sink::ascii_width;
    static constexpr const cp932_pairs<typename Sink::codes_of>& pairs =
        cp932_pair_storage<typename Sink::codes_of>;
    cp932_decode_step() { cp932_pair_table<typename Sink::codes_of>(); }

    template <bool Checked, class U>
    std::size_t operator()(const unsigned char* p, std::size_t left, U*& o) const {
        const unsigned b = p[0];
        if (b < 0x80) {
            Sink::put(o, b);
            return 1;
        }
        if (!Checked || left >= 2) {
            const typename Sink::code_type c = pairs.of(b, p[1]);
            if (c != Sink::kNone) {
                Sink::put_code(o, c);
                if (!Checked) {
                    // Kanji and kana come in runs: the codes that follow
                    // too, as many as the fast loop's bytes ahead hold.
                    for (std::size_t k = 2; k < kAhead; k += 2) {
                        if (p[k] < 0x80) return k;
                        const typename Sink::code_type d = pairs.of(p[k], p[k + 1]);
                        if (d == Sink::kNone) return k;
                        Sink::put_code(o, d);
                    }
                    return kAhead;
                }
                return 2;
            }
        }
        if (is_cp932_lead(b)) {
            if (Checked && left < 2) return 0;  // the trail byte may follow
            Sink::put(o, replacement_char);     // a lead without a trail byte
        } else if (is_cp932_kana(b)) {
            Sink::put(o, tables::cp932_kana_to_unicode[b - 0xA1]);
        } else {
            Sink::put(o, b);  // 80, A0, FD-FF keep their values
        }
        return 1;
    }
};

// One UTF-16 unit to CP932.
struct cp932_encode_step {
    static constexpr std::size_t per_unit = to_cp932::max_per_unit;
    template <bool Checked>
    std::size_t operator()(const wchar_t* q, std::size_t, char*& o) const {
        to_cp932::put(o, unit_value(q[0]));
        return 1;
    }
};

// Every UTF-16 unit's CP932 output in one look-up, its bytes in output
// order (first byte lowest): a double-byte code, a single byte, "?" for a
// unit without a code, 0 for the private use area (nothing written) and for
// U+0000 (one byte). One load where the two-level table takes two dependent
// ones; the part Japanese text touches is the same as that table's. No
// entry is kMapStop (FF FF is no CP932 code). One entry more than there are
// units, for the vector look-ups (see unit_map_kernel).
struct cp932_unit_map {
    std::uint16_t out[0x10001] = {};
    cp932_unit_map() {
        for (std::uint32_t u = 0; u < 0x10000; ++u) {
            char bytes[2] = {};
            char* o = bytes;
            to_cp932::put(o, u);
            out[u] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                                static_cast<unsigned char>(bytes[1]) << 8);
        }
    }
};

// One CP932 character to EUC-JP.
struct cp932_to_euc_step {
    static constexpr std::size_t per_byte = 2;
    static constexpr std::size_t ascii_width = 1;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const unsigned b = p[0];
        const unsigned row = cp932_rows.row[b];
        if (row != kNoRow) {
            if (Checked && left < 2) return 0;
            const unsigned t = p[1];
            if (!is_cp932_trail(t)) {
                put(o, replacement_char);
                return 1;
            }
            if (row < tables::kSjisEucRows) {
                // 81-9F and E0-EF: JIS X 0208 by the standard relation.
                store_le16(o, tables::sjis_euc.code[row * 192 + t - 0x40]);
                o += 2;
                if (!Checked) {
                    // Kanji and kana come in runs: the next one too.
                    const unsigned row2 = cp932_rows.row[p[2]], t2 = p[3];
                    if (row2 < tables::kSjisEucRows && is_cp932_trail(t2)) {
                        store_le16(o, tables::sjis_euc.code[row2 * 192 + t2 - 0x40]);
                        o += 2;
                        return 4;
                    }
                }
                return 2;
            }
            if (b <= 0xF9) {
                put(o, replacement_char);  // user-defined area: no EUC-JP code
                return 2;
            }
            const unsigned e = tables::ibm_extension_to_euc(b, t);
            if (!e) {
                put(o, replacement_char);
                return 1;
            }
            put2(o, e >> 8, e & 0xFF);
            return 2;
        }
        if (is_cp932_kana(b)) {
            put2(o, 0x8E, b);
        } else {
            put(o, b);
        }
        return 1;
    }
};

}  // namespace

void sjis_cp932_to_unicode_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, cp932_decode_step<to_units>());
}

void unicode_to_sjis_cp932_engine::translate() {
    run_unit_steps(untranslated_buffer, translated_buffer, cp932_encode_step());
}

void sjis_to_euc_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, cp932_to_euc_step());
}

std::string translate_all(
    twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>&,
    const std::string& input) {
    return cp932_to_utf8(input);
}

namespace detail {

std::string cp932_to_utf8(const std::string& text) {
    return one_pass<to_utf8>(text, cp932_decode_step<to_utf8>());
}

std::string cp932_to_utf16le(const std::string& text) {
    return one_pass<to_utf16le>(text, cp932_decode_step<to_utf16le>());
}

char* units_to_cp932(const unsigned char* p, std::size_t units, char* o) {
    static const cp932_unit_map map;
    return units_through_map<to_cp932>(p, units, map.out, o);
}

std::string utf16le_to_cp932(const std::string& text) {
    return utf16le_through(text, &units_to_cp932, 2);
}

}  // namespace detail
}  // namespace transcode
