// Round trips: bytes decoded from CP932 (or EUC-JP) to UTF-16 and encoded
// back give the original bytes wherever the tables make that possible. The
// target predicts the bytes that come back, character by character, from
// the decoder's view of each code alone:
// - ASCII, half-width katakana and every code whose character has no lower
//   code come back unchanged;
// - a code whose character also has a lower code comes back as the lowest
//   code of that character (the encoding tables keep the lowest code);
// - what the decoder cannot map (unmapped codes, the CP932 user-defined area
//   F040-F9FC, the ten EUC-JP codes left out of the table, a lead byte
//   followed by a byte that cannot follow it or by nothing) comes back as
//   "?", and a byte the decoder passes on by value (CP932 80, A0, FD-FF,
//   EUC-JP 80-8D, A0, FF) comes back as its character's code, or "?" when
//   the encoding has none.
// The "lowest code" map is built once from the decoder alone (every code
// decoded on its own), so the encoder is checked against the decoder, not
// against its own tables.
//
// Input layout: byte 0 chooses CP932 (even) or EUC-JP (odd), the rest is the
// text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "tests/fuzz/fuzz_support.h"
#include "transcode/transcode.h"

using namespace transcode;

namespace {

template <class Decoder>
std::uint32_t decode_one(const std::string& code) {
    const std::wstring u = translate_all<Decoder>(code);
    FUZZ_CHECK(u.size() == 1);
    return static_cast<std::uint32_t>(u[0]);
}

std::string bytes_of(std::uint32_t code) {
    std::string s;
    if (code > 0xFFFF) s.push_back(static_cast<char>(code >> 16));
    if (code > 0xFF) s.push_back(static_cast<char>(code >> 8));
    s.push_back(static_cast<char>(code));
    return s;
}

bool sjis_lead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool sjis_trail(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool euc_byte(unsigned b) { return b >= 0xA1 && b <= 0xFE; }
bool euc_lead(unsigned b) { return b == 0x8E || (b >= 0x90 && b <= 0x9F) || euc_byte(b); }

struct code_maps {
    std::unordered_map<std::uint32_t, std::uint32_t> sjis_char;    // code -> character
    std::unordered_map<std::uint32_t, std::uint32_t> sjis_lowest;  // character -> lowest code
    std::unordered_map<std::uint32_t, std::uint32_t> euc_char;
    std::unordered_map<std::uint32_t, std::uint32_t> euc_lowest;
};

// Codes are visited in ascending order, so the first code seen for a
// character is its lowest.
const code_maps& maps() {
    static const code_maps m = [] {
        code_maps m;
        auto add = [](auto& chars, auto& lowest, std::uint32_t code, std::uint32_t u) {
            chars[code] = u;
            if (u != 0x3F) lowest.emplace(u, code);
        };
        for (unsigned b = 0xA1; b <= 0xDF; ++b)
            add(m.sjis_char, m.sjis_lowest, b,
                decode_one<sjis_cp932_to_unicode_engine>(bytes_of(b)));
        for (unsigned c = 0x81; c <= 0xFC; ++c) {
            if (!sjis_lead(c)) continue;
            for (unsigned t = 0x40; t <= 0xFC; ++t) {
                if (!sjis_trail(t)) continue;
                const std::uint32_t code = (c << 8) | t;
                add(m.sjis_char, m.sjis_lowest, code,
                    decode_one<sjis_cp932_to_unicode_engine>(bytes_of(code)));
            }
        }
        for (unsigned f = 0xA1; f <= 0xFE; ++f)
            add(m.euc_char, m.euc_lowest, 0x8E00 | f,
                decode_one<euc_to_unicode_engine>(bytes_of(0x8E00 | f)));
        for (unsigned d = 0x90; d <= 0xFE; ++d) {
            if (!euc_lead(d) || d == 0x8E) continue;
            for (unsigned f = 0xA1; f <= 0xFE; ++f)
                add(m.euc_char, m.euc_lowest, (d << 8) | f,
                    decode_one<euc_to_unicode_engine>(bytes_of((d << 8) | f)));
        }
        for (unsigned a = 0xA1; a <= 0xFE; ++a)
            for (unsigned b = 0xA1; b <= 0xFE; ++b) {
                const std::uint32_t code = 0x8F0000 | (a << 8) | b;
                add(m.euc_char, m.euc_lowest, code,
                    decode_one<euc_to_unicode_engine>(bytes_of(code)));
            }
        return m;
    }();
    return m;
}

// The bytes a character comes back as.
std::string back(const std::unordered_map<std::uint32_t, std::uint32_t>& lowest, std::uint32_t u) {
    if (u < 0x80) return std::string(1, static_cast<char>(u));
    if (u >= 0xE000 && u <= 0xF8FF) return "";  // private use: dropped
    auto it = lowest.find(u);
    return it == lowest.end() ? "?" : bytes_of(it->second);
}

std::string expected_sjis(const std::string& in) {
    const code_maps& m = maps();
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned b = p[i];
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else if (sjis_lead(b)) {
            if (i + 1 == n || !sjis_trail(p[i + 1])) {
                out += "?";
                ++i;
                continue;
            }
            out += back(m.sjis_lowest, m.sjis_char.at((b << 8) | p[i + 1]));
            i += 2;
        } else if (b >= 0xA1 && b <= 0xDF) {
            out += back(m.sjis_lowest, m.sjis_char.at(b));
            ++i;
        } else {
            out += back(m.sjis_lowest, b);  // 80, A0, FD-FF stand for themselves
            ++i;
        }
    }
    return out;
}

std::string expected_euc(const std::string& in) {
    const code_maps& m = maps();
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned b = p[i];
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else if (b == 0x8F) {
            // A byte outside A1-FE ends the character and is read anew; a
            // character cut off by the end of the text is one "?" per byte.
            if (i + 1 == n || !euc_byte(p[i + 1])) {
                out += "?";
                ++i;
            } else if (i + 2 == n) {
                out += "??";
                i += 2;
            } else if (!euc_byte(p[i + 2])) {
                out += "?";
                i += 2;
            } else {
                out += back(m.euc_lowest, m.euc_char.at(0x8F0000 | (p[i + 1] << 8) | p[i + 2]));
                i += 3;
            }
        } else if (euc_lead(b)) {
            if (i + 1 == n || !euc_byte(p[i + 1])) {
                out += "?";
                ++i;
                continue;
            }
            out += back(m.euc_lowest, m.euc_char.at((b << 8) | p[i + 1]));
            i += 2;
        } else {
            out += back(m.euc_lowest, b);  // 80-8D, A0, FF stand for themselves
            ++i;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        const std::wstring u = translate_all<sjis_cp932_to_unicode_engine>(text);
        const std::string again = translate_all<unicode_to_sjis_cp932_engine>(u);
        FUZZ_CHECK(again == expected_sjis(text));
    } else {
        const std::wstring u = translate_all<euc_to_unicode_engine>(text);
        const std::string again = translate_all<unicode_to_euc_engine>(u);
        FUZZ_CHECK(again == expected_euc(text));
    }
    return 0;
}
