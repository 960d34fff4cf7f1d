#include "transcode/utf_engines.h"

#include <algorithm>
#include <array>

#include "transcode/pass_buffer.h"

// UTF-16 to UTF-8 four units at a time where there is SSE2 and wchar_t
// is 32 bits wide (a register holds four elements); elsewhere the scalar
// loop does all of it.
#if defined(__SSE2__) && defined(__WCHAR_MAX__) && __WCHAR_MAX__ > 0xFFFF
#define TRANSCODE_UTF8_GROUPS 1
#include <emmintrin.h>
#endif

namespace transcode {

using detail::ascii_run;
using detail::bytes_of;
using detail::kAhead;
using detail::load_le32;
using detail::load_le64;
using detail::output_window;
using detail::put;
using detail::put2;
using detail::store_le16;
using detail::store_le32;
using detail::unit_value;

// clang-format off
const std::uint8_t utf8_sequence_length[256] = {
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1, 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
    0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,
    0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0, 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,
    2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2, 2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,
    3,3,3,3,3,3,3,3,3,3,3,3,3,3,3,3, 4,4,4,4,4,4,4,4,5,5,5,5,6,6,0,0,
};
// clang-format on
const std::uint8_t utf8_lead_mask[7] = {0x00, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01};

namespace {

constexpr std::uint32_t kReplacement = 0x3F;

inline bool is_continuation(unsigned b) { return (b & 0xC0) == 0x80; }

// UTF-16 bytes to units, two bytes per unit; Hi/Lo give the byte order.
template <int Hi, int Lo>
void decode_word_pairs(std::string& in, std::wstring& out) {
    const unsigned char* p = bytes_of(in);
    const std::size_t units = in.size() / 2;
    const std::size_t old = out.size();
    out.resize(old + units);
    wchar_t* o = &out[0] + old;
    for (std::size_t k = 0; k < units; ++k, p += 2) {
        o[k] = static_cast<wchar_t>((static_cast<unsigned>(p[Hi]) << 8) | p[Lo]);
    }
    in.erase(0, units * 2);
}

// Units to UTF-16 bytes; an element that is no UTF-16 unit becomes U+003F.
template <int Hi, int Lo>
void encode_word_pairs(std::wstring& in, std::string& out) {
    const std::size_t old = out.size();
    out.resize(old + in.size() * 2);
    char* o = &out[0] + old;
    for (wchar_t w : in) {
        std::uint32_t u = unit_value(w);
        if (u > 0xFFFF) u = kReplacement;
        o[Hi] = static_cast<char>(u >> 8);
        o[Lo] = static_cast<char>(u & 0xFF);
        o += 2;
    }
    in.clear();
}

}  // namespace

void utf8_to_unicode_engine::translate() {
    std::string& in = untranslated_buffer;
    const unsigned char* p = bytes_of(in);
    const std::size_t n = in.size();
    std::size_t i = 0;
    output_window<std::wstring> w(translated_buffer);
    wchar_t* o = w.open(n, 1);
    wchar_t* lim = w.limit();
    // Fast loop for ASCII and complete three-byte sequences; anything else
    // goes to the general loop below one character at a time.
    for (;;) {
        while (i + kAhead <= n) {
            if (o >= lim) {
                o = w.more(o, n - i, 1);
                lim = w.limit();
            }
            const std::uint64_t v8 = load_le64(p + i);
            const std::uint32_t v = static_cast<std::uint32_t>(v8);
            if ((v & 0x80) == 0) {
                i = ascii_run(o, lim, p, i, n);
            } else if ((v8 & 0xC0C0F0C0C0F0ull) == 0x8080E08080E0ull) {
                // Two three-byte sequences (runs of kana and kanji).
                const std::uint32_t w = static_cast<std::uint32_t>(v8 >> 24);
                put2(o, ((v & 0x0F) << 12) | ((v >> 2) & 0xFC0) | ((v >> 16) & 0x3F),
                     ((w & 0x0F) << 12) | ((w >> 2) & 0xFC0) | ((w >> 16) & 0x3F));
                i += 6;
            } else if ((v & 0xC0C0F0) == 0x8080E0) {
                put(o, ((v & 0x0F) << 12) | ((v >> 2) & 0xFC0) | ((v >> 16) & 0x3F));
                i += 3;
            } else {
                break;
            }
        }
        if (i + kAhead > n) break;
        // One character of any other kind, then back to the fast loop.
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const unsigned b = p[i];
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            put(o, kReplacement);
            ++i;
            continue;
        }
        std::uint32_t cp = b & utf8_lead_mask[len];
        unsigned j = 1;
        for (; j < len; ++j) {
            const unsigned c = p[i + j];
            if (!is_continuation(c)) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (j < len) {
            put(o, kReplacement);  // ended early; the byte that ended it is read anew
            i += j;
        } else {
            i += len;
            if (cp <= 0xFFFF) {
                put(o, cp);
            } else if (cp > 0x10FFFF) {
                put(o, kReplacement);
            } else {
                const std::uint32_t x = cp - 0x10000;
                put2(o, 0xD800 + (x >> 10), 0xDC00 + (x & 0x3FF));
            }
        }
    }
    while (i < n) {
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            // Runs of ASCII are common even in Japanese text (markup, digits).
            do {
                *o++ = static_cast<wchar_t>(p[i++]);
            } while (i < n && p[i] < 0x80 && o < lim);
            continue;
        }
        // The common case, a complete three-byte sequence (kana and kanji).
        if ((b & 0xF0) == 0xE0 && i + 2 < n && is_continuation(p[i + 1]) &&
            is_continuation(p[i + 2])) {
            put(o, ((b & 0x0F) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
            i += 3;
            continue;
        }
        const unsigned len = utf8_sequence_length[b];
        if (len == 0) {
            put(o, kReplacement);
            ++i;
            continue;
        }
        std::uint32_t cp = b & utf8_lead_mask[len];
        unsigned j = 1;
        bool broken = false;
        for (; j < len && i + j < n; ++j) {
            const unsigned c = p[i + j];
            if (!is_continuation(c)) {
                broken = true;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (broken) {
            // The sequence ends early; the byte that ended it is read anew.
            put(o, kReplacement);
            i += j;
            continue;
        }
        if (j < len) break;  // cut off: waits for more input
        i += len;
        if (cp <= 0xFFFF) {
            put(o, cp);
        } else if (cp > 0x10FFFF) {
            put(o, kReplacement);
        } else {
            const std::uint32_t v = cp - 0x10000;
            put2(o, 0xD800 + (v >> 10), 0xDC00 + (v & 0x3FF));
        }
    }
    w.close(o);
    in.erase(0, i);
}

#if defined(TRANSCODE_UTF8_GROUPS)
namespace {

// Where the sequences of units 1-3 of a group of four start and how long
// the group's bytes are, by the bits of its ASCII units (1 byte each; the
// others take 3).
struct group_layout {
    std::uint8_t start[3];
    std::uint8_t length;
};
constexpr std::array<group_layout, 16> make_group_layouts() {
    std::array<group_layout, 16> t{};
    for (unsigned m = 0; m < 16; ++m) {
        unsigned at = 0;
        for (unsigned k = 0; k < 4; ++k) {
            at += (m >> k) & 1 ? 1 : 3;
            if (k < 3) t[m].start[k] = static_cast<std::uint8_t>(at);
        }
        t[m].length = static_cast<std::uint8_t>(at);
    }
    return t;
}
constexpr std::array<group_layout, 16> group_layouts = make_group_layouts();

// Encodes groups of four 32-bit units while all four are ASCII or units of
// three bytes outside the surrogates (the bulk of Japanese text), the
// bytes of both lengths computed side by side. Stops before a group with
// any other unit (the scalar loop takes it) or when the output reaches lim
// (which has room for a group beyond it). Returns the new input position.
std::size_t encode_utf8_groups(const wchar_t* q, std::size_t i, std::size_t n, char*& out,
                               const char* lim) {
    char* o = out;  // (a local: stores through char pointers could change out)
    const __m128i zero = _mm_setzero_si128();
    const __m128i x80 = _mm_set1_epi32(0x80), x800 = _mm_set1_epi32(0x800);
    const __m128i xD800 = _mm_set1_epi32(0xD800), xE000 = _mm_set1_epi32(0xE000);
    const __m128i m3F00 = _mm_set1_epi32(0x3F00), m3F0000 = _mm_set1_epi32(0x3F0000);
    const __m128i marks = _mm_set1_epi32(0x8080E0);
    while (i + 4 <= n && o < lim) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + i));
        // Anything above 0xFFFF (or negative as a signed lane), U+0080-U+07FF
        // and the surrogates leave the fast path.
        const __m128i big = _mm_cmpeq_epi32(_mm_srli_epi32(v, 16), zero);
        const __m128i ascii = _mm_cmplt_epi32(v, x80);
        const __m128i two = _mm_andnot_si128(ascii, _mm_cmplt_epi32(v, x800));
        const __m128i surrogate =
            _mm_andnot_si128(_mm_cmplt_epi32(v, xD800), _mm_cmplt_epi32(v, xE000));
        const __m128i bad =
            _mm_or_si128(_mm_andnot_si128(big, _mm_set1_epi32(-1)), _mm_or_si128(two, surrogate));
        if (_mm_movemask_epi8(bad) != 0) break;
        const int ascii_lanes = _mm_movemask_ps(_mm_castsi128_ps(ascii));
        const __m128i three = _mm_or_si128(
            _mm_or_si128(_mm_srli_epi32(v, 12), _mm_and_si128(_mm_slli_epi32(v, 2), m3F00)),
            _mm_or_si128(_mm_and_si128(_mm_slli_epi32(v, 16), m3F0000), marks));
        const __m128i word = _mm_or_si128(_mm_and_si128(ascii, v), _mm_andnot_si128(ascii, three));
        // Each unit's four bytes stored where its sequence starts; the next
        // one overwrites what is beyond.
        const group_layout g = group_layouts[ascii_lanes];
        std::uint32_t lanes[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), word);
        std::memcpy(o, &lanes[0], 4);
        std::memcpy(o + g.start[0], &lanes[1], 4);
        std::memcpy(o + g.start[1], &lanes[2], 4);
        std::memcpy(o + g.start[2], &lanes[3], 4);
        o += g.length;
        i += 4;
    }
    out = o;
    return i;
}

}  // namespace
#endif

void unicode_to_utf8_engine::translate() {
    std::wstring& in = untranslated_buffer;
    const std::size_t n = in.size();
    std::size_t i = 0;
    output_window<std::string> w(translated_buffer);
    char* o = w.open(n, 3);
    char* lim = w.limit();
    const wchar_t* q = in.data();
    while (i < n) {
        std::size_t end = n;
#if defined(TRANSCODE_UTF8_GROUPS)
        if (o >= lim) {
            o = w.more(o, n - i, 3);
            lim = w.limit();
        }
        i = encode_utf8_groups(q, i, n, o, lim);
        // The scalar loop below takes the group that stopped it, then the
        // groups resume.
        end = std::min(n, i + 4);
#endif
        // Fast loop over ASCII and the units of three bytes outside the
        // surrogates (kana and kanji): the bytes of both are computed and
        // the length chosen without a jump, as text switches between ASCII
        // and the rest unpredictably.
        for (; i < end; ++i) {
            if (o >= lim) {
                o = w.more(o, n - i, 3);
                lim = w.limit();
            }
            const std::uint32_t u = unit_value(q[i]);
            if (u - 0x80 < 0x800 - 0x80 || u - 0xD800 < 0x800 || u > 0xFFFF) {
                if (u - 0x80 >= 0x800 - 0x80) break;
                store_le16(o, (0xC0 | (u >> 6)) | ((0x80 | (u & 0x3F)) << 8));
                o += 2;
                continue;
            }
            const std::uint32_t three = (0xE0 | (u >> 12)) | ((0x80 | ((u >> 6) & 0x3F)) << 8) |
                                        ((0x80 | (u & 0x3F)) << 16);
            const std::uint32_t wide = 0u - (u >= 0x80);  // (a mask: no jump)
            store_le32(o, (u & ~wide) | (three & wide));
            o += 1 + (wide & 2);
        }
        if (i == end) continue;
        // A surrogate or an element that is no UTF-16 unit.
        const std::uint32_t u = unit_value(in[i]);
        if (u > 0xFFFF) {
            put(o, kReplacement);
            ++i;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 == n) break;  // a pair may be cut off: wait
            const std::uint32_t low = unit_value(in[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                const std::uint32_t cp = ((u - 0xD800) << 10) + (low - 0xDC00) + 0x10000;
                put2(o, 0xF0 | (cp >> 18), 0x80 | ((cp >> 12) & 0x3F));
                put2(o, 0x80 | ((cp >> 6) & 0x3F), 0x80 | (cp & 0x3F));
                i += 2;
                continue;
            }
        }
        put(o, 0xE0 | (u >> 12));
        put2(o, 0x80 | ((u >> 6) & 0x3F), 0x80 | (u & 0x3F));
        ++i;
    }
    w.close(o);
    in.erase(0, i);
}

void WORD_to_unicode_engine::translate() {
    decode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void WORD_to_unicode_engine::flush() {
    translate();
    if (!untranslated_buffer.empty()) translated_buffer.push_back(L'?');
    untranslated_buffer.clear();
}

void cross_WORD_to_unicode_engine::translate() {
    decode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void cross_WORD_to_unicode_engine::flush() {
    translate();
    if (!untranslated_buffer.empty()) translated_buffer.push_back(L'?');
    untranslated_buffer.clear();
}

void unicode_to_WORD_engine::translate() {
    encode_word_pairs<1, 0>(untranslated_buffer, translated_buffer);
}
void unicode_to_WORD_engine::flush() { translate(); }

void unicode_to_cross_WORD_engine::translate() {
    encode_word_pairs<0, 1>(untranslated_buffer, translated_buffer);
}
void unicode_to_cross_WORD_engine::flush() { translate(); }

void ansi_to_unicode_engine::translate() {
    const unsigned char* p = bytes_of(untranslated_buffer);
    const std::size_t n = untranslated_buffer.size();
    const std::size_t old = translated_buffer.size();
    translated_buffer.resize(old + n);
    wchar_t* o = &translated_buffer[0] + old;
    for (std::size_t i = 0; i < n; ++i) {
        o[i] = static_cast<wchar_t>(p[i] < 0x80 ? p[i] : kReplacement);
    }
    untranslated_buffer.clear();
}

void unicode_to_ansi_engine::translate() {
    const std::size_t n = untranslated_buffer.size();
    output_window<std::string> w(translated_buffer);
    char* o = w.open(n, 1);
    char* lim = w.limit();
    for (std::size_t i = 0; i < n; ++i) {
        if (o >= lim) {
            o = w.more(o, n - i, 1);
            lim = w.limit();
        }
        const std::uint32_t u = unit_value(untranslated_buffer[i]);
        if (u >= 0xE000 && u <= 0xF8FF) continue;
        put(o, u < 0x80 ? u : kReplacement);
    }
    w.close(o);
    untranslated_buffer.clear();
}

}  // namespace transcode
