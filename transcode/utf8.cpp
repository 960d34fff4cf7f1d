// UTF-8: to and from UTF-16, and in one pass to CP932 and to UTF-16LE
// bytes.
#include <algorithm>

#include "transcode/byte_classes.h"
#include "transcode/japanese_engines.h"
#include "transcode/one_pass.h"
#include "transcode/steps.h"
#include "transcode/utf_engines.h"

namespace transcode {

using namespace detail;

namespace {

// One UTF-8 sequence to a UTF-16 unit or pair. Overlong forms are taken; a
// byte that is no continuation ends a sequence early with U+003F and is read
// anew; a code point above U+10FFFF gives one U+003F.
template <class Sink>
struct utf8_decode_step {
    static constexpr std::size_t per_byte = Sink::max_per_unit;
    static constexpr std::size_t ascii_width = Sink::ascii_width;

    // Into 16-bit units, the kernel of runs of ASCII and three-byte
    // sequences of the SIMD level in use, if it has one.
    static utf8_run_kernel run_kernel() {
        return ascii_width == 2 ? kernels().utf8_runs_2 : nullptr;
    }

    static std::uint32_t three(std::uint32_t v) {
        return ((v & 0x0F) << 12) | ((v >> 2) & 0xFC0) | ((v >> 16) & 0x3F);
    }

    template <bool Checked, class U>
    std::size_t operator()(const unsigned char* p, std::size_t left, U*& o) const {
        const unsigned b = p[0];
        if (b < 0x80) {
            Sink::put(o, b);
            return 1;
        }
        if (!Checked) {
            // Complete three-byte sequences, two at a time where two follow
            // each other (runs of kana and kanji).
            // Both checked in one word where registers hold 64 bits, one
            // after the other where they hold 32.
            if constexpr (sizeof(std::size_t) == 8) {
                const std::uint64_t v8 = load_le64(p);
                if ((v8 & 0xC0C0F0C0C0F0ull) == 0x8080E08080E0ull) {
                    Sink::put(o, three(static_cast<std::uint32_t>(v8)));
                    Sink::put(o, three(static_cast<std::uint32_t>(v8 >> 24)));
                    return 6;
                }
            }
            const std::uint32_t v = load_le32(p);
            if ((v & 0xC0C0F0) == 0x8080E0) {
                Sink::put(o, three(v));
                const std::uint32_t w = load_le32(p + 3);
                if (sizeof(std::size_t) < 8 && (w & 0xC0C0F0) == 0x8080E0) {
                    Sink::put(o, three(w));
                    return 6;
                }
                return 3;
            }
        }
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            Sink::put(o, replacement_char);
            return 1;
        }
        std::uint32_t cp = b & utf8_lead_mask[len];
        for (unsigned j = 1; j < len; ++j) {
            if (Checked && j >= left) return 0;  // cut off: waits for more input
            const unsigned c = p[j];
            if (!is_utf8_continuation(c)) {
                Sink::put(o, replacement_char);
                return j;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp <= 0xFFFF) {
            Sink::put(o, cp);
        } else if (cp > 0x10FFFF) {
            Sink::put(o, replacement_char);
        } else {
            const std::uint32_t x = cp - 0x10000;
            Sink::put_pair(o, 0xD800 + (x >> 10), 0xDC00 + (x & 0x3FF));
        }
        return len;
    }
};

// One UTF-16 unit, or a surrogate pair, to UTF-8. A surrogate that is not
// part of a pair is encoded on its own; a final high surrogate waits.
struct utf8_encode_step {
    static constexpr std::size_t per_unit = 3;
    template <bool Checked>
    std::size_t operator()(const wchar_t* q, std::size_t left, char*& o) const {
        const std::uint32_t u = unit_value(q[0]);
        if (u > 0xFFFF) {
            put(o, replacement_char);  // no UTF-16 unit
            return 1;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (Checked && left < 2) return 0;  // a pair may be cut off
            const std::uint32_t low = unit_value(q[1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                const std::uint32_t cp = ((u - 0xD800) << 10) + (low - 0xDC00) + 0x10000;
                put2(o, 0xF0 | (cp >> 18), 0x80 | ((cp >> 12) & 0x3F));
                put2(o, 0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F));
                return 2;
            }
        }
        to_utf8::put(o, u);
        return 1;
    }
};

}  // namespace

void utf8_to_unicode_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, utf8_decode_step<to_units>());
}

void unicode_to_utf8_engine::translate() {
    std::wstring& in = untranslated_buffer;
    const wchar_t* q = in.data();
    const std::size_t n = in.size();
    std::size_t i = 0;
    output_window<std::string> win(translated_buffer);
    char* o = win.open(n, utf8_encode_step::per_unit);
    const utf8_group_kernel groups =
        sizeof(wchar_t) == 2 ? kernels().utf8_groups_2 : kernels().utf8_groups_4;
    const utf8_encode_step step;
    while (i < n) {
        if (o >= win.limit()) o = win.more(o, n - i, utf8_encode_step::per_unit);
        // Groups of ASCII and three-byte units (the bulk of Japanese text);
        // the step takes the group that stopped them, then they resume.
        i += groups(q + i, n - i, o, win.limit());
        const std::size_t end = std::min(n, i + 8);
        while (i < end) {
            if (o >= win.limit()) o = win.more(o, n - i, utf8_encode_step::per_unit);
            const std::size_t used = step.operator()<true>(q + i, n - i, o);
            if (used == 0) goto done;
            i += used;
        }
    }
done:
    win.close(o);
    in.erase(0, i);
}

std::string translate_all(twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>&,
                          const std::string& input) {
    return utf8_to_utf16le(input);
}

std::string translate_all(
    twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>&,
    const std::string& input) {
    return utf8_to_cp932(input);
}

namespace detail {

std::string utf8_to_utf16le(const std::string& text) {
    return one_pass<to_utf16le>(text, utf8_decode_step<to_utf16le>());
}

// Decoded a piece at a time into UTF-16LE units, which stay in the cache,
// and those encoded with the one-look-up map: the decoder's kernel of
// ASCII and three-byte runs does the kana and kanji, and the encoder's loop
// has no branch per character. No character gives more CP932 bytes than
// it has UTF-8 bytes.
constexpr std::size_t kPiece = 1 << 14;

// The units of one piece: a buffer of fixed size that the output window
// fills without the zero-filling a string's resize() does.
struct piece_units {
    using value_type = char;
    char bytes[kPiece * 2 + output_window<std::string>::kSlack];
    std::size_t used = 0;
    std::size_t size() const { return used; }
    void reserve(std::size_t) {}
    void resize(std::size_t n) { used = n; }
    char& operator[](std::size_t k) { return bytes[k]; }
};

std::string utf8_to_cp932(const std::string& text) {
    std::string out;
    piece_units units;
    const unsigned char* p = bytes_of(text);
    const std::size_t n = text.size();
    // The whole bound at once, the text's own size: the window's first
    // reserve, capped for texts of several megabytes, would leave a larger
    // output to grow by a copy.
    out.reserve(n + output_window<std::string>::kSlack);
    output_window<std::string> win(out);
    char* o = win.open(n, 1);
    std::size_t pos = 0;
    while (pos < n) {
        const std::size_t len = std::min(kPiece, n - pos);
        const bool last = pos + len == n;
        units.used = 0;
        // A character cut at the end of a piece waits for the next one.
        const std::size_t used =
            run_byte_steps(p + pos, len, units, utf8_decode_step<to_utf16le>());
        if (pos) o = win.more(o, n - pos, 1);
        o = units_to_cp932(reinterpret_cast<const unsigned char*>(units.bytes), units.used / 2, o);
        pos += used;
        if (last) {
            // Cut off at the end of the text: "?" for each byte, as the flush.
            for (; pos < n; ++pos) *o++ = static_cast<char>(replacement_char);
        }
    }
    win.close(o);
    return out;
}

}  // namespace detail
}  // namespace transcode
