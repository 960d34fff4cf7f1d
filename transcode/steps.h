// The loops every leaf engine runs. An engine supplies one character step:
// it reads the character at p (left units remain, at least one), writes its
// output at o and returns the units it used, or 0 when the character is cut
// off by the end of the input and must wait. The same step serves a fast
// loop, where at least kAhead units remain (Checked is false and the step's
// bound checks fold away), and a careful loop over the last few units. The
// loops own the output window and take what was used off the input.
//
// Decoders write UTF-16 units through a sink: into std::wstring elements,
// or straight on as UTF-8, UTF-16LE or CP932 bytes, which gives the
// two-stage chains of the one-shot path in one pass.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "transcode/engine.h"
#include "transcode/pass_buffer.h"
#include "transcode/simd.h"
#include "transcode/tables.h"

namespace transcode {
namespace detail {

// The copy of a run of ASCII bytes as units of `width` bytes.
inline ascii_kernel ascii_kernel_for(std::size_t width) {
    const simd_kernels& k = kernels();
    return width == 1 ? k.ascii_to_1 : width == 2 ? k.ascii_to_2 : k.ascii_to_4;
}

// The kernel of runs of a step that has one (Step::run_kernel()), else
// nullptr.
template <class Step, class = void>
struct run_kernel_of {
    static utf8_run_kernel get() { return nullptr; }
};
template <class Step>
struct run_kernel_of<Step, std::void_t<decltype(Step::run_kernel())>> {
    static utf8_run_kernel get() { return Step::run_kernel(); }
};

// How many of the 8 bytes at p are ASCII before the first that is not (8
// where all are): in one word where registers hold 64 bits, by halves where
// they hold 32 (which have no 64-bit bit scan).
inline std::size_t ascii_of_8(const unsigned char* p) {
    if constexpr (sizeof(std::size_t) == 8) {
        const std::uint64_t high = load_le64(p) & 0x8080808080808080ull;
        return high ? static_cast<std::size_t>(__builtin_ctzll(high)) / 8 : 8;
    } else {
        const std::uint32_t first = load_le32(p) & 0x80808080u;
        if (first) return static_cast<std::size_t>(__builtin_ctz(first)) / 8;
        const std::uint32_t second = load_le32(p + 4) & 0x80808080u;
        return second ? 4 + static_cast<std::size_t>(__builtin_ctz(second)) / 8 : 8;
    }
}

// Runs `step` over the n bytes at p, appending to `out`; returns the bytes
// used (the rest waits). Step::per_byte bounds the output units of any
// character per input byte it uses. Step::ascii_width, where it is not 0,
// says that a byte below 0x80 is always one character written as itself in
// a unit of that many bytes (native order), so runs of them go to the ASCII
// kernel. A step whose run_kernel() gives a kernel (UTF-8 into 16-bit
// units) has its runs of ASCII and three-byte sequences taken by that
// kernel instead.
template <class Step, class Out>
std::size_t run_byte_steps(const unsigned char* p, std::size_t n, Out& out, Step&& step) {
    using U = typename Out::value_type;
    using S = std::remove_reference_t<Step>;
    constexpr std::size_t per = S::per_byte;
    output_window<Out> win(out);
    U* o = win.open(n, per);
    constexpr std::size_t ascii_units = S::ascii_width / sizeof(U);
    const ascii_kernel ascii = ascii_kernel_for(S::ascii_width);
    const utf8_run_kernel runs = run_kernel_of<S>::get();
    // Pointers rather than indexes: fewer registers live in the loop, which
    // the 32-bit build has few of.
    const unsigned char* s = p;
    const unsigned char* const end = p + n;
    while (static_cast<std::size_t>(end - s) >= kAhead) {
        const U* lim = win.limit();
        const std::size_t room = o < lim ? static_cast<std::size_t>(lim - o) / per : 0;
        if (room == 0) {
            o = win.more(o, static_cast<std::size_t>(end - s), per);
            continue;
        }
        // Up to `stop` every character fits below the window limit, and
        // kAhead - 1 bytes can be read beyond it.
        const std::size_t left = static_cast<std::size_t>(end - s);
        const unsigned char* const stop = s + std::min(left - (kAhead - 1), room);
        while (s < stop) {
            if (runs) {
                std::size_t units = 0;
                s += runs(s, static_cast<std::size_t>(end - s), static_cast<std::size_t>(stop - s),
                          o, units);
                o += units * 2 / sizeof(U);
                if (s >= stop) break;
            } else if (S::ascii_width != 0 && *s < 0x80) {
                if constexpr (S::ascii_width == 1 && sizeof(U) == 1) {
                    // Most runs of ASCII are short (a line's end, a space):
                    // one that ends within the next 8 bytes is copied here
                    // rather than in a call.
                    const std::size_t k = ascii_of_8(s);
                    if (k < 8) {
                        std::memcpy(o, s, 8);
                        o += k;
                        s += k;
                        continue;
                    }
                }
                const std::size_t most = static_cast<std::size_t>(stop - s);
                const std::size_t k = ascii(s, most + kAhead - 1, most, o);
                o += k * ascii_units;
                s += k;
                continue;
            }
            s += step.template operator()<false>(s, kAhead, o);
        }
    }
    while (s < end) {
        if (o >= win.limit()) o = win.more(o, static_cast<std::size_t>(end - s), per);
        const std::size_t used =
            step.template operator()<true>(s, static_cast<std::size_t>(end - s), o);
        if (used == 0) break;
        s += used;
    }
    const std::size_t i = static_cast<std::size_t>(s - p);
    win.close(o);
    return i;
}

// An engine's translate(): the steps over its input, then what was used
// taken off.
template <class Step, class Out>
void translate_bytes(std::string& in, Out& out, Step&& step) {
    in.erase(0, run_byte_steps(bytes_of(in), in.size(), out, step));
}

// A decoder and a sink as one pass over a whole text: the one-shot result of
// the decoder followed by the sink's engine. What waits at the end is
// flushed as the decoder's flush does it: U+003F per byte.
template <class Sink, class Step>
typename Sink::out_type one_pass(const std::string& text, Step&& step) {
    typename Sink::out_type out;
    const std::size_t used = run_byte_steps(bytes_of(text), text.size(), out, step);
    if (used < text.size()) {
        output_window<typename Sink::out_type> win(out);
        auto* o = win.open(text.size() - used, Sink::max_per_unit);
        for (std::size_t k = used; k < text.size(); ++k) Sink::put(o, replacement_char);
        win.close(o);
    }
    return out;
}

// The same over UTF-16 units, for the encoders. Step::per_unit bounds the
// output bytes per input unit.
template <class Step>
void run_unit_steps(std::wstring& in, std::string& out, Step&& step) {
    using S = std::remove_reference_t<Step>;
    constexpr std::size_t per = S::per_unit;
    const wchar_t* q = in.data();
    const std::size_t n = in.size();
    std::size_t i = 0;
    output_window<std::string> win(out);
    char* o = win.open(n, per);
    while (i + kAhead <= n) {
        const char* lim = win.limit();
        const std::size_t room = o < lim ? static_cast<std::size_t>(lim - o) / per : 0;
        if (room == 0) {
            o = win.more(o, n - i, per);
            continue;
        }
        const std::size_t stop = std::min(n - kAhead + 1, i + room);
        while (i < stop) i += step.template operator()<false>(q + i, n - i, o);
    }
    while (i < n) {
        if (o >= win.limit()) o = win.more(o, n - i, per);
        const std::size_t used = step.template operator()<true>(q + i, n - i, o);
        if (used == 0) break;
        i += used;
    }
    win.close(o);
    in.erase(0, i);
}

// Sinks of UTF-16 units. put() takes any unit a decoder makes; put_pair() a
// surrogate pair (from UTF-8 only). max_per_unit bounds the output units.
// The sinks that decoders of double-byte codes write to also have a code
// of each unit's output for their look-up tables (code_of, put_code; kNone
// is no code).

// Into std::wstring, one element per unit.
struct to_units {
    using out_type = std::wstring;
    using codes_of = to_units;  // whose codes the look-up tables hold
    static constexpr std::size_t max_per_unit = 1;
    static constexpr std::size_t ascii_width = sizeof(wchar_t);
    using code_type = std::uint16_t;
    static constexpr code_type kNone = 0xFFFF;  // no unit a table holds
    static code_type code_of(std::uint32_t u) { return static_cast<code_type>(u); }
    static void put_code(wchar_t*& o, code_type c) { *o++ = static_cast<wchar_t>(c); }
    static void put(wchar_t*& o, std::uint32_t u) { *o++ = static_cast<wchar_t>(u); }
    static void put_pair(wchar_t*& o, std::uint32_t hi, std::uint32_t lo) { put2(o, hi, lo); }
};

// On as UTF-8, as unicode_to_utf8_engine writes a unit that is not part of
// a pair (the decoders of CP932 and EUC-JP make no surrogates).
struct to_utf8 {
    using out_type = std::string;
    using codes_of = to_utf8;
    static constexpr std::size_t max_per_unit = 3;
    static constexpr std::size_t ascii_width = 1;
    // The bytes of a unit's sequence, first lowest, and its length in the
    // top byte: written with one store.
    using code_type = std::uint32_t;
    static constexpr code_type kNone = 0xFFFFFFFF;
    static code_type code_of(std::uint32_t u) {
        char bytes[4] = {};
        char* o = bytes;
        put(o, u);
        return (load_le32(reinterpret_cast<const unsigned char*>(bytes)) & 0xFFFFFF) |
               static_cast<code_type>(o - bytes) << 24;
    }
    static void put_code(char*& o, code_type c) {
        store_le32(o, c);
        o += c >> 24;
    }
    static void put(char*& o, std::uint32_t u) {
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
        } else if (u < 0x800) {
            store_le16(o, (0xC0 | (u >> 6)) | ((0x80 | (u & 0x3F)) << 8));
            o += 2;
        } else {
            store_le32(o, (0xE0 | (u >> 12)) | ((0x80 | ((u >> 6) & 0x3F)) << 8) |
                              ((0x80 | (u & 0x3F)) << 16));
            o += 3;
        }
    }
};

// On as UTF-16LE bytes, as unicode_to_WORD_engine writes them.
struct to_utf16le {
    using out_type = std::string;
    static constexpr std::size_t max_per_unit = 2;
    static constexpr std::size_t ascii_width = kLittleEndian ? 2 : 0;
    // The codes of the units themselves: the look-up tables of to_units.
    using codes_of = to_units;
    using code_type = to_units::code_type;
    static constexpr code_type kNone = to_units::kNone;
    static void put_code(char*& o, code_type c) {
        store_le16(o, c);
        o += 2;
    }
    static void put(char*& o, std::uint32_t u) {
        store_le16(o, u);
        o += 2;
    }
    static void put_pair(char*& o, std::uint32_t hi, std::uint32_t lo) {
        store_le32(o, hi | (lo << 16));
        o += 4;
    }
};

// On as CP932 bytes, as unicode_to_sjis_cp932_engine writes them: a code
// of the table, nothing for the private use area, "?" for anything else.
struct to_cp932 {
    using out_type = std::string;
    static constexpr std::size_t max_per_unit = 2;
    static constexpr std::size_t ascii_width = 1;
    static void put(char*& o, std::uint32_t u) {
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
            return;
        }
        const unsigned c = u <= 0xFFFF ? tables::unicode_to_cp932(u) : 0;
        if (c >= 0x100) {
            store_le16(o, (c >> 8) | ((c & 0xFF) << 8));
            o += 2;
        } else if (c) {
            *o++ = static_cast<char>(c);  // half-width katakana
        } else if (u < 0xE000 || u > 0xF8FF) {
            *o++ = static_cast<char>(replacement_char);
        }
    }
    static void put_pair(char*& o, std::uint32_t hi, std::uint32_t lo) {
        put(o, hi);
        put(o, lo);
    }
};

// On as EUC-JP bytes, as unicode_to_euc_engine writes them: a two-byte
// code (first byte 0x8E or above), a JIS X 0212 code after 0x8F, nothing
// for the private use area, else "?".
struct to_euc {
    using out_type = std::string;
    static constexpr std::size_t max_per_unit = 3;
    static constexpr std::size_t ascii_width = 1;
    static void put(char*& o, std::uint32_t u) {
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
            return;
        }
        const unsigned v = u <= 0xFFFF ? tables::unicode_to_euc(u) : 0;
        if (v >= 0x8000) {
            store_le16(o, (v >> 8) | ((v & 0xFF) << 8));
            o += 2;
        } else if (v) {
            store_le32(o, 0x8F | ((v >> 8) | 0x80) << 8 | (v & 0xFF) << 16);
            o += 3;
        } else if (u < 0xE000 || u > 0xF8FF) {
            *o++ = static_cast<char>(replacement_char);
        }
    }
    static void put_pair(char*& o, std::uint32_t hi, std::uint32_t lo) {
        put(o, hi);
        put(o, lo);
    }
};

// UTF-16LE units through a map of every unit's output by the kernel of the
// SIMD level in use (see unit_map_kernel); a unit whose entry stops the
// kernel goes through the sink. Returns past the output.
template <class Sink>
char* units_through_map(const unsigned char* p, std::size_t units, const std::uint16_t* map,
                        char* o) {
    const unit_map_kernel kernel = kernels().units_through_map;
    for (std::size_t k = kernel(p, units, map, o); k < units;
         k += kernel(p + 2 * k, units - k, map, o)) {
        Sink::put(o, p[2 * k] | static_cast<std::uint32_t>(p[2 * k + 1]) << 8);
        ++k;
    }
    return o;
}

// One UTF-16LE unit (two bytes) to the sink, unit by unit as the decoder of
// UTF-16LE and the sink's encoder one after the other give it: a surrogate
// is a unit of its own. A last odd byte waits.
template <class Sink>
struct utf16le_encode_step {
    static constexpr std::size_t per_byte = (Sink::max_per_unit + 1) / 2;
    static constexpr std::size_t ascii_width = 0;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        if (Checked && left < 2) return 0;
        if (!Checked) {
            // Four ASCII units at once (spaces, line ends, Latin words).
            const std::uint64_t v = load_le64(p);
            if ((v & 0xFF80FF80FF80FF80ull) == 0) {
                const std::uint64_t a = (v | v >> 8) & 0x0000FFFF0000FFFFull;
                store_le32(o, static_cast<std::uint32_t>(a | a >> 16));
                o += 4;
                return 8;
            }
        }
        Sink::put(o, p[0] | static_cast<std::uint32_t>(p[1]) << 8);
        return 2;
    }
};

}  // namespace detail
}  // namespace transcode
