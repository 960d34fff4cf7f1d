// EUC-JP: to and from UTF-16, straight to Shift_JIS, and in one pass to
// UTF-8.
#include "transcode/byte_classes.h"
#include "transcode/japanese_engines.h"
#include "transcode/one_pass.h"
#include "transcode/steps.h"
#include "transcode/utf_engines.h"

namespace transcode {

using namespace detail;

namespace {

// A byte that may follow a lead byte in a JIS X 0208 or JIS X 0212 code.
constexpr bool is_euc_cell(unsigned c) { return c >= 0xA1 && c <= 0xFE; }

// EUC-JP two-byte codes of JIS X 0208 (leads A1-FE) by first and second
// byte, as the sink's codes: one look-up gives the output of the code (that
// of U+003F for an unmapped code), or kNone where the two bytes are no such
// code. Rows for every byte from 0x80 (kNone for those that lead no such
// code): a lead byte indexes its row at once.
template <class Sink>
struct euc_pairs {
    using code_type = typename Sink::code_type;
    code_type code[128 * 256];  // [lead - 0x80][second]
    void fill() {
        for (unsigned b = 0x80; b < 0x100; ++b) {
            for (unsigned f = 0; f < 256; ++f) {
                code_type c = Sink::kNone;
                if (is_euc_cell(b) && is_euc_cell(f)) {
                    const unsigned u = tables::euc_pair(b, f);
                    c = Sink::code_of(u ? u : replacement_char);
                }
                code[(b - 0x80) * 256 + f] = c;
            }
        }
    }
    // The code of lead b (0x80 or above) and second byte f.
    code_type of(unsigned b, unsigned f) const { return code[(b - 0x80) * 256 + f]; }
};

// At an address fixed when the program is linked, filled at first use (as
// the CP932 tables).
template <class Sink>
euc_pairs<Sink> euc_pair_storage;

template <class Sink>
const euc_pairs<Sink>& euc_pair_table() {
    static const bool filled = (euc_pair_storage<Sink>.fill(), true);
    (void)filled;
    return euc_pair_storage<Sink>;
}

// One EUC-JP character to a UTF-16 unit. A byte that cannot follow ends the
// character there and is read anew.
template <class Sink>
struct euc_decode_step {
    static constexpr std::size_t per_byte = Sink::max_per_unit;
    static constexpr std::size_t ascii_width = Sink::ascii_width;
    static constexpr const euc_pairs<typename Sink::codes_of>& pairs =
        euc_pair_storage<typename Sink::codes_of>;
    euc_decode_step() { euc_pair_table<typename Sink::codes_of>(); }

    template <bool Checked, class U>
    std::size_t operator()(const unsigned char* p, std::size_t left, U*& o) const {
        const unsigned b = p[0];
        if (b < 0x80) {
            Sink::put(o, b);
            return 1;
        }
        if (!Checked || left >= 2) {
            // JIS X 0208, the bulk of any EUC-JP text.
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
        if (b == 0x8F) {
            if (Checked && left < 2) return 0;
            if (!is_euc_cell(p[1])) {
                Sink::put(o, replacement_char);
                return 1;
            }
            if (Checked && left < 3) return 0;
            if (!is_euc_cell(p[2])) {
                Sink::put(o, replacement_char);
                return 2;
            }
            const unsigned u = tables::jisx0212_pair(p[1], p[2]);
            Sink::put(o, u ? u : replacement_char);
            return 3;
        }
        if (is_euc_lead(b)) {
            if (Checked && left < 2) return 0;
            if (!is_euc_cell(p[1])) {
                Sink::put(o, replacement_char);
                return 1;
            }
            const unsigned u = tables::euc_pair(b, p[1]);
            Sink::put(o, u ? u : replacement_char);
            return 2;
        }
        Sink::put(o, b);
        return 1;
    }
};

// One UTF-16 unit to EUC-JP.
struct euc_encode_step {
    static constexpr std::size_t per_unit = to_euc::max_per_unit;
    template <bool Checked>
    std::size_t operator()(const wchar_t* q, std::size_t, char*& o) const {
        to_euc::put(o, unit_value(q[0]));
        return 1;
    }
};

// Every UTF-16 unit's EUC-JP output in one look-up, as cp932_unit_map (see
// euc_unit_outputs()).
struct euc_unit_map {
    static_assert(kEucThree == kMapStop, "the map's kernels leave JIS X 0212 to the sink");
    static constexpr std::uint16_t kThree = kEucThree;
    std::uint16_t out[0x10001] = {};  // one more, as cp932_unit_map
    euc_unit_map() {
        for (std::uint32_t u = 0; u < 0x10000; ++u) {
            char bytes[4] = {};
            char* o = bytes;
            to_euc::put(o, u);
            out[u] = o - bytes == 3
                         ? kThree
                         : static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                                      static_cast<unsigned char>(bytes[1]) << 8);
        }
    }
};

// One EUC-JP character to Shift_JIS. JIS X 0212 has no Shift_JIS form.
struct euc_to_cp932_step {
    static constexpr std::size_t per_byte = 1;
    static constexpr std::size_t ascii_width = 1;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const unsigned b = p[0];
        if (b == 0x8F) {
            if (Checked && left < 2) return 0;
            if (p[1] < 0x80) {
                put(o, replacement_char);
                return 1;
            }
            if (Checked && left < 3) return 0;
            put(o, replacement_char);
            return p[2] < 0x80 ? 2 : 3;
        }
        if (!is_euc_lead(b)) {
            put(o, b);
            return 1;
        }
        if (Checked && left < 2) return 0;
        const unsigned f = p[1];
        if (b == 0x8E && is_cp932_kana(f)) {
            put(o, f);
            return 2;
        }
        if (f < 0x80) {
            put(o, replacement_char);
            return 1;
        }
        if (b == 0x8E) {
            put(o, replacement_char);  // no half-width katakana
            return 2;
        }
        if (b >= 0xF9 && b <= 0xFC) {
            // Rows 89-92 hold the NEC-selected IBM extensions.
            const unsigned s = tables::euc_to_ibm_extension(b, f);
            if (!s) {
                put(o, replacement_char);
                return 1;
            }
            put2(o, s >> 8, s & 0xFF);
            return 2;
        }
        const tables::byte_pair s = tables::euc_to_sjis(b, f);
        put2(o, s.first, s.second);
        return 2;
    }
};

}  // namespace

void euc_to_unicode_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, euc_decode_step<to_units>());
}

void unicode_to_euc_engine::translate() {
    run_unit_steps(untranslated_buffer, translated_buffer, euc_encode_step());
}

void euc_to_sjis_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, euc_to_cp932_step());
}

std::string translate_all(twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>&,
                          const std::string& input) {
    return euc_to_utf8(input);
}

namespace detail {

std::string euc_to_utf8(const std::string& text) {
    return one_pass<to_utf8>(text, euc_decode_step<to_utf8>());
}

std::string euc_to_utf16le(const std::string& text) {
    return one_pass<to_utf16le>(text, euc_decode_step<to_utf16le>());
}

const std::uint16_t* euc_unit_outputs() {
    static const euc_unit_map map;
    return map.out;
}

char* units_to_euc(const unsigned char* p, std::size_t units, char* o) {
    return units_through_map<to_euc>(p, units, euc_unit_outputs(), o);
}

std::string utf16le_to_euc(const std::string& text) {
    return utf16le_through(text, &units_to_euc, 3);
}

}  // namespace detail
}  // namespace transcode
