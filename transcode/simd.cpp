#include "transcode/simd.h"

#include <cstdint>
#include <cstring>

#include "transcode/pass_buffer.h"

#if defined(__i386__) || defined(__x86_64__)
#define TRANSCODE_X86 1
#include <cpuid.h>
#include <emmintrin.h>
#include <immintrin.h>
#include <tmmintrin.h>
// Kernels compiled for SSE2 and SSSE3 whatever the build's baseline (the
// i686 build assumes no SSE2); they run only where CPUID reports them.
#define TRANSCODE_SSE2 __attribute__((target("sse2")))
#define TRANSCODE_SSSE3 __attribute__((target("ssse3")))
#define TRANSCODE_AVX512 \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi2,popcnt")))
#endif

namespace transcode {
namespace detail {
namespace {

template <class U>
std::size_t ascii_plain(const unsigned char* p, std::size_t readable, std::size_t most, void* o) {
    (void)readable;
    std::size_t k = 0;
    // Eight bytes at a time while all eight are ASCII.
    while (k + 8 <= most) {
        std::uint64_t w;
        std::memcpy(&w, p + k, 8);
        if (w & 0x8080808080808080ull) break;
        for (unsigned j = 0; j < 8; ++j) {
            const U u = static_cast<U>(p[k + j]);
            std::memcpy(static_cast<char*>(o) + (k + j) * sizeof(U), &u, sizeof(U));
        }
        k += 8;
    }
    while (k < most && p[k] < 0x80) {
        const U u = static_cast<U>(p[k]);
        std::memcpy(static_cast<char*>(o) + k * sizeof(U), &u, sizeof(U));
        ++k;
    }
    return k;
}

// Without vectors nothing is encoded in groups: the scalar step does it all.
std::size_t utf8_groups_plain(const void*, std::size_t, char*&, const char*) { return 0; }

// One unit through the map; false (nothing written) where its entry stops.
inline bool put_mapped(const unsigned char* p, const std::uint16_t* m, char*& o) {
    const std::uint32_t u = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
    const std::uint32_t t = m[u];
    if (t == kMapStop) return false;
    store_le16(o, t);
    o += (t > 0xFF) + ((t != 0) | (u == 0));
    return true;
}

// One look-up a unit, the length added without a branch; four ASCII units
// (spaces, line ends, Latin words) at once.
std::size_t units_map_plain(const unsigned char* p, std::size_t units, const std::uint16_t* m,
                            char*& out) {
    char* o = out;
    std::size_t k = 0;
    for (; k + 4 <= units; k += 4, p += 8) {
        const std::uint64_t v = load_le64(p);
        if ((v & 0xFF80FF80FF80FF80ull) == 0) {
            for (unsigned j = 0; j < 4; ++j) o[j] = static_cast<char>(p[2 * j]);
            o += 4;
            continue;
        }
        for (unsigned j = 0; j < 4; ++j) {
            if (!put_mapped(p + 2 * j, m, o)) {
                out = o;
                return k + j;
            }
        }
    }
    for (; k < units && put_mapped(p, m, o); ++k, p += 2) {
    }
    out = o;
    return k;
}

const simd_kernels plain_kernels = {ascii_plain<std::uint8_t>,
                                    ascii_plain<std::uint16_t>,
                                    ascii_plain<std::uint32_t>,
                                    utf8_groups_plain,
                                    utf8_groups_plain,
                                    nullptr,
                                    units_map_plain,
                                    nullptr};

#if defined(TRANSCODE_X86)

// Writes the 16 bytes x as units of width sizeof(U) at o.
template <class U>
TRANSCODE_SSE2 inline void store_widened(void* o, __m128i x) {
    char* d = static_cast<char*>(o);
    if constexpr (sizeof(U) == 1) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), x);
    } else {
        const __m128i zero = _mm_setzero_si128();
        const __m128i lo = _mm_unpacklo_epi8(x, zero), hi = _mm_unpackhi_epi8(x, zero);
        if constexpr (sizeof(U) == 2) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), hi);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi16(lo, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_unpackhi_epi16(lo, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_unpacklo_epi16(hi, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), _mm_unpackhi_epi16(hi, zero));
        }
    }
}

// Sixteen bytes at a time: all 16 are written, the ASCII ones among them
// counted; the plain kernel takes the last few.
template <class U>
TRANSCODE_SSE2 std::size_t ascii_sse2(const unsigned char* p, std::size_t readable,
                                      std::size_t most, void* o) {
    std::size_t k = 0;
    while (k + 16 <= readable && k < most) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        store_widened<U>(static_cast<char*>(o) + k * sizeof(U), x);
        const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(x));
        const std::size_t ascii = high ? static_cast<std::size_t>(__builtin_ctz(high)) : 16;
        if (k + ascii >= most) return most;
        k += ascii;
        if (ascii < 16) return k;
    }
    return k + ascii_plain<U>(p + k, readable - k, most - k, static_cast<char*>(o) + k * sizeof(U));
}

// Where the sequences of units 1-3 of a group of four start and how long
// the group's bytes are, by the bits of its ASCII units (1 byte each; the
// others take 3).
struct group_layout {
    std::uint8_t start[3];
    std::uint8_t length;
};
struct group_layouts_table {
    group_layout g[16];
};
constexpr group_layouts_table make_group_layouts() {
    group_layouts_table t{};
    for (unsigned m = 0; m < 16; ++m) {
        unsigned at = 0;
        for (unsigned k = 0; k < 4; ++k) {
            at += (m >> k) & 1 ? 1 : 3;
            if (k < 3) t.g[m].start[k] = static_cast<std::uint8_t>(at);
        }
        t.g[m].length = static_cast<std::uint8_t>(at);
    }
    return t;
}
constexpr group_layouts_table group_layouts = make_group_layouts();

// Encodes four units held in 32-bit lanes, or returns false (nothing
// written) when one of them is not ASCII or a unit of three bytes outside
// the surrogates.
TRANSCODE_SSE2 inline bool encode_group(__m128i v, char*& o) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i x80 = _mm_set1_epi32(0x80), x800 = _mm_set1_epi32(0x800);
    const __m128i xD800 = _mm_set1_epi32(0xD800), xE000 = _mm_set1_epi32(0xE000);
    // Anything above 0xFFFF (or negative as a signed lane), U+0080-U+07FF and
    // the surrogates leave the fast path.
    const __m128i small = _mm_cmpeq_epi32(_mm_srli_epi32(v, 16), zero);
    const __m128i ascii = _mm_cmplt_epi32(v, x80);
    const __m128i two = _mm_andnot_si128(ascii, _mm_cmplt_epi32(v, x800));
    const __m128i surrogate =
        _mm_andnot_si128(_mm_cmplt_epi32(v, xD800), _mm_cmplt_epi32(v, xE000));
    const __m128i bad =
        _mm_or_si128(_mm_andnot_si128(small, _mm_set1_epi32(-1)), _mm_or_si128(two, surrogate));
    if (_mm_movemask_epi8(bad) != 0) return false;
    const int ascii_lanes = _mm_movemask_ps(_mm_castsi128_ps(ascii));
    const __m128i three =
        _mm_or_si128(_mm_or_si128(_mm_srli_epi32(v, 12),
                                  _mm_and_si128(_mm_slli_epi32(v, 2), _mm_set1_epi32(0x3F00))),
                     _mm_or_si128(_mm_and_si128(_mm_slli_epi32(v, 16), _mm_set1_epi32(0x3F0000)),
                                  _mm_set1_epi32(0x8080E0)));
    const __m128i word = _mm_or_si128(_mm_and_si128(ascii, v), _mm_andnot_si128(ascii, three));
    // Each unit's four bytes stored where its sequence starts; the next one
    // overwrites what is beyond.
    const group_layout g = group_layouts.g[ascii_lanes];
    std::uint32_t lanes[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), word);
    std::memcpy(o, &lanes[0], 4);
    std::memcpy(o + g.start[0], &lanes[1], 4);
    std::memcpy(o + g.start[1], &lanes[2], 4);
    std::memcpy(o + g.start[2], &lanes[3], 4);
    o += g.length;
    return true;
}

TRANSCODE_SSE2 std::size_t utf8_groups_sse2_4(const void* q, std::size_t n, char*& out,
                                              const char* lim) {
    const char* in = static_cast<const char*>(q);
    char* o = out;  // (a local: stores through char pointers could change out)
    std::size_t i = 0;
    while (i + 4 <= n && o < lim) {
        if (!encode_group(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4)), o)) break;
        i += 4;
    }
    out = o;
    return i;
}

// 16-bit units: eight per load, widened to two groups of four; a run of
// eight ASCII units is packed to bytes at once.
TRANSCODE_SSE2 std::size_t utf8_groups_sse2_2(const void* q, std::size_t n, char*& out,
                                              const char* lim) {
    const char* in = static_cast<const char*>(q);
    char* o = out;
    std::size_t i = 0;
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= n && o < lim) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 2));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_srli_epi16(v, 7), zero)) == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
            o += 8;
            i += 8;
            continue;
        }
        if (!encode_group(_mm_unpacklo_epi16(v, zero), o)) break;
        i += 4;
        if (o >= lim || !encode_group(_mm_unpackhi_epi16(v, zero), o)) break;
        i += 4;
    }
    out = o;
    return i;
}

const simd_kernels sse2_kernels = {ascii_sse2<std::uint8_t>,  ascii_sse2<std::uint16_t>,
                                   ascii_sse2<std::uint32_t>, utf8_groups_sse2_2,
                                   utf8_groups_sse2_4,        nullptr,
                                   units_map_plain,           nullptr};

// The byte shuffle that gathers the 16-bit lanes chosen by the bits of an
// 8-bit mask to the front, and how many there are.
struct lane_packs_table {
    std::uint8_t shuffle[256][16];
    std::uint8_t count[256];
};
constexpr lane_packs_table make_lane_packs() {
    lane_packs_table t{};
    for (unsigned m = 0; m < 256; ++m) {
        unsigned n = 0;
        for (unsigned k = 0; k < 8; ++k) {
            if ((m >> k) & 1) {
                t.shuffle[m][2 * n] = static_cast<std::uint8_t>(2 * k);
                t.shuffle[m][2 * n + 1] = static_cast<std::uint8_t>(2 * k + 1);
                ++n;
            }
        }
        t.count[m] = static_cast<std::uint8_t>(n);
        for (; n < 8; ++n) t.shuffle[m][2 * n] = t.shuffle[m][2 * n + 1] = 0x80;
    }
    return t;
}
constexpr lane_packs_table lane_packs = make_lane_packs();

// Stores the lanes of x chosen by `mask` at o, packed; returns past them.
TRANSCODE_SSSE3 inline char* store_packed(char* o, __m128i x, unsigned mask) {
    const __m128i order =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(lane_packs.shuffle[mask]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(x, order));
    return o + 2 * lane_packs.count[mask];
}

// The unit of each byte c (16-bit lanes) if it ends a character: itself if
// ASCII, else the three bytes c2 c1 c up to it (the lead's low four bits
// on top, six bits of each continuation below).
TRANSCODE_SSSE3 inline __m128i unit_ending_at(__m128i c, __m128i c1, __m128i c2) {
    const __m128i x3F = _mm_set1_epi16(0x3F);
    const __m128i three = _mm_or_si128(
        _mm_slli_epi16(c2, 12),
        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(c1, x3F), 6), _mm_and_si128(c, x3F)));
    const __m128i is_ascii = _mm_cmplt_epi16(c, _mm_set1_epi16(0x80));
    return _mm_or_si128(_mm_and_si128(is_ascii, c), _mm_andnot_si128(is_ascii, three));
}

// 32 bytes at a time, starting at a character: each byte is classed
// (ASCII, lead of three, continuation); every byte's unit is worked out as
// if it ended a character (its own value, or the three bytes up to it), and
// the units of the bytes that do end one are packed together. A block of
// ASCII is widened at once. The block is taken up to its last complete
// character, or up to the first byte that breaks the pattern, which the
// step then takes.
TRANSCODE_SSSE3 std::size_t utf8_runs_ssse3_2(const unsigned char* p, std::size_t readable,
                                              std::size_t most, void* out, std::size_t& units) {
    char* o = static_cast<char*>(out);
    const __m128i zero = _mm_setzero_si128();
    const __m128i xF0 = _mm_set1_epi8(char(0xF0)), xE0 = _mm_set1_epi8(char(0xE0));
    const __m128i xC0 = _mm_set1_epi8(char(0xC0)), x80 = _mm_set1_epi8(char(0x80));
    std::size_t k = 0;
    // Two vectors per round: the next round's start hangs on this one's
    // masks, and a round of 32 bytes halves how often it waits for them.
    while (k + 32 <= readable && k < most) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16));
        const auto mask = [](int a, int b) {
            return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 16;
        };
        const std::uint32_t high = mask(_mm_movemask_epi8(x), _mm_movemask_epi8(y));
        if (high == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(x, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 16), _mm_unpackhi_epi8(x, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 32), _mm_unpacklo_epi8(y, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 48), _mm_unpackhi_epi8(y, zero));
            o += 64;
            k += 32;
            continue;
        }
        const std::uint32_t lead =
            mask(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(x, xF0), xE0)),
                 _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(y, xF0), xE0)));
        const std::uint32_t cont =
            mask(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(x, xC0), x80)),
                 _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(y, xC0), x80)));
        const std::uint32_t ascii = ~high;
        // Continuations exactly where the leads want them (those of a lead
        // at the end lie beyond the 32 bytes), and no other kind of byte.
        const std::uint32_t bad = (cont ^ (lead << 1 | lead << 2)) | ~(ascii | lead | cont);
        std::uint32_t ends = ascii | lead << 2;
        if (bad) ends &= (std::uint32_t(1) << __builtin_ctz(bad)) - 1;
        if (ends == 0) break;
        // The bytes one and two before each.
        const __m128i x1 = _mm_slli_si128(x, 1), x2 = _mm_slli_si128(x, 2);
        const __m128i y1 = _mm_alignr_epi8(y, x, 15), y2 = _mm_alignr_epi8(y, x, 14);
        o = store_packed(o,
                         unit_ending_at(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(x1, zero),
                                        _mm_unpacklo_epi8(x2, zero)),
                         ends & 0xFF);
        o = store_packed(o,
                         unit_ending_at(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(x1, zero),
                                        _mm_unpackhi_epi8(x2, zero)),
                         (ends >> 8) & 0xFF);
        o = store_packed(o,
                         unit_ending_at(_mm_unpacklo_epi8(y, zero), _mm_unpacklo_epi8(y1, zero),
                                        _mm_unpacklo_epi8(y2, zero)),
                         (ends >> 16) & 0xFF);
        o = store_packed(o,
                         unit_ending_at(_mm_unpackhi_epi8(y, zero), _mm_unpackhi_epi8(y1, zero),
                                        _mm_unpackhi_epi8(y2, zero)),
                         ends >> 24);
        k += 32 - static_cast<std::size_t>(__builtin_clz(ends));
        if (bad) break;
    }
    units = static_cast<std::size_t>(o - static_cast<char*>(out)) / 2;
    return k;
}

const simd_kernels ssse3_kernels = {ascii_sse2<std::uint8_t>,  ascii_sse2<std::uint16_t>,
                                    ascii_sse2<std::uint32_t>, utf8_groups_sse2_2,
                                    utf8_groups_sse2_4,        utf8_runs_ssse3_2,
                                    units_map_plain,           nullptr};

// The 64 entries at e chosen by the low six bits of each lane of v.
TRANSCODE_AVX512 inline __m512i entries_of_64(const std::uint16_t* e, __m512i v) {
    return _mm512_permutex2var_epi16(_mm512_loadu_si512(e), v, _mm512_loadu_si512(e + 32));
}

// How map_words reads its units back: one at a time in 64-bit code, two at
// a time in 32-bit code, whose seven general registers cannot hold the
// units read one by one ahead of their look-ups (it kept some on the stack
// between them; read by pairs, the i686 build's rows through the map ran 2
// to 8 per cent faster).
#if defined(__x86_64__)
using unit_slot = std::uint16_t;
#else
using unit_slot = std::uint32_t;
#endif
constexpr unsigned kSlotUnits = sizeof(unit_slot) / 2;

// The map's entries of the 8 units at `at`, put together in pairs in
// general registers and inserted into a vector.
TRANSCODE_AVX512 inline __m128i entries_of_8(const volatile unit_slot* at, const std::uint16_t* m) {
    const auto two = [at, m](unsigned i) {
        std::uint32_t first, second;
        if constexpr (kSlotUnits == 2) {
            const std::uint32_t both = at[i / 2];
            first = both & 0xFFFF;
            second = both >> 16;
        } else {
            first = at[i];
            second = at[i + 1];
        }
        return static_cast<int>(m[first] | static_cast<std::uint32_t>(m[second]) << 16);
    };
    // Inserted one by one: built as a set, 32-bit code stores the pairs to
    // the stack and loads them back as one, which stalls the load (see
    // map_words).
    __m128i x = _mm_cvtsi32_si128(two(0));
    x = _mm_insert_epi32(x, two(2), 1);
    x = _mm_insert_epi32(x, two(4), 2);
    return _mm_insert_epi32(x, two(6), 3);
}

// A vector the compiler cannot make again, only keep or spill. Constants
// made once before a loop go through it: with the eight vector registers of
// 32-bit code, it would otherwise broadcast each one again from a general
// register in every round, two instructions each on the port the permutes
// and compressions need (the i686 build ran the map's kernels at 0.8 of the
// native one). Spilled, they are read from the stack.
template <class Vector>
TRANSCODE_AVX512 inline Vector opaque(Vector v) {
    __asm__("" : "+v"(v));
    return v;
}

// The constants of map_words.
struct map_constants {
    __m512i x30, x40, x80;
};

TRANSCODE_AVX512 inline map_constants make_map_constants() {
    return {opaque(_mm512_set1_epi16(0x30)), opaque(_mm512_set1_epi16(0x40)),
            opaque(_mm512_set1_epi16(0x80))};
}

// The map's entries of the 32 units at p, one to a 16-bit lane, without
// gathers, whose cost is fixed whatever their lanes (some 30 cycles for 16
// on some processors): an ASCII unit's entry is itself; those of
// U+3000-30FF (the kana and the punctuation, most of any Japanese text) are
// permuted out of the map's 256 entries there; the others (kanji above all)
// are looked up one by one, in groups of eight, and expanded into their
// lanes.
TRANSCODE_AVX512 inline __m512i map_words(const unsigned char* p, const std::uint16_t* m,
                                          const map_constants& c) {
    const __m512i v = _mm512_loadu_si512(p);
    const __mmask32 in_kana = _mm512_cmpeq_epi16_mask(_mm512_srli_epi16(v, 8), c.x30);
    const __mmask32 ascii = _mm512_cmplt_epu16_mask(v, c.x80);
    const __mmask32 rest = static_cast<__mmask32>(~(in_kana | ascii));
    const unsigned n = static_cast<unsigned>(__builtin_popcount(rest));
    const std::uint16_t* const kana = m + 0x3000;
    const __mmask32 bit6 = _mm512_test_epi16_mask(v, c.x40);
    const __mmask32 bit7 = _mm512_test_epi16_mask(v, c.x80);
    const __m512i first =
        _mm512_mask_blend_epi16(bit6, entries_of_64(kana, v), entries_of_64(kana + 64, v));
    const __m512i second =
        _mm512_mask_blend_epi16(bit6, entries_of_64(kana + 128, v), entries_of_64(kana + 192, v));
    __m512i t = _mm512_mask_blend_epi16(in_kana, v, _mm512_mask_blend_epi16(bit7, first, second));
    if (rest != 0) {
        alignas(64) unit_slot at[32 / kSlotUnits];
        // The lanes beyond the rest's are 0: their look-ups are harmless.
        _mm512_store_si512(at, _mm512_maskz_compress_epi16(rest, v));
        // The units are read back through a volatile pointer (left to
        // itself, the compiler takes each out of the vector, two
        // instructions each). Their entries are put together in pairs
        // and go into the vector from registers: stored one by one and read
        // back as a vector, they would stall the load, which cannot take its
        // bytes from several stores still in flight (a third of the time of
        // text with kana and kanji).
        const volatile unit_slot* const from = at;
        constexpr unsigned eight = 8 / kSlotUnits;
        __m512i got = _mm512_zextsi128_si512(entries_of_8(from, m));
        if (n > 8) got = _mm512_inserti32x4(got, entries_of_8(from + eight, m), 1);
        if (n > 16) got = _mm512_inserti32x4(got, entries_of_8(from + 2 * eight, m), 2);
        if (n > 24) got = _mm512_inserti32x4(got, entries_of_8(from + 3 * eight, m), 3);
        t = _mm512_mask_expand_epi16(t, rest, got);
    }
    return t;
}

// The halves of a mask of 64 bytes, as masks of 32. GCC takes a 64-bit
// mask of 32-bit code through memory to cut it; these keep it in the mask
// registers.
TRANSCODE_AVX512 inline __mmask32 low_half(__mmask64 m) {
#if defined(__x86_64__)
    return static_cast<__mmask32>(m);
#else
    __mmask32 h;
    __asm__("kmovd %1, %0" : "=k"(h) : "k"(m));
    return h;
#endif
}

TRANSCODE_AVX512 inline __mmask32 high_half(__mmask64 m) {
#if defined(__x86_64__)
    return static_cast<__mmask32>(m >> 32);
#else
    __mmask32 h;
    __asm__("kshiftrq $32, %1, %0" : "=k"(h) : "k"(m));
    return h;
#endif
}

// The 32 bytes at p, those not in `keep` as 0, widened to 16-bit lanes.
TRANSCODE_AVX512 inline __m512i widened(const unsigned char* p, __mmask32 keep = ~0u) {
    return _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(keep, p));
}

// The units of 32 bytes widened to words in w, whose bytes one and two
// before are c1 and c2, as utf8_runs_ssse3_2's unit_ending_at (itself where
// ASCII, else the three bytes up to it); those of the bytes that end a
// character are stored together at o. Returns past them.
TRANSCODE_AVX512 inline char* put_ending_units(char* o, __m512i w, __m512i c1, __m512i c2,
                                               __mmask32 ascii, __mmask32 ends, __m512i x3F) {
    const __m512i three = _mm512_ternarylogic_epi32(_mm512_slli_epi16(c2, 12),
                                                    _mm512_slli_epi16(_mm512_and_si512(c1, x3F), 6),
                                                    _mm512_and_si512(w, x3F), 0xFE);
    _mm512_storeu_si512(
        o, _mm512_maskz_compress_epi16(ends, _mm512_mask_blend_epi16(ascii, three, w)));
    return o + 2 * __builtin_popcount(_cvtmask32_u32(ends));
}

// The units of the 64 bytes at p that end a character (ends0 and ends1 for
// each half), stored together at o. The bytes before each are loaded again,
// one and two back, rather than permuted out of the widened halves (two
// permutes of words a half, with two constants of indexes held in the eight
// vector registers of 32-bit code); those before p are not read (masked
// off): a block starts at a character, so its first two bytes end none but
// ASCII, whose units are the bytes themselves.
TRANSCODE_AVX512 inline char* put_round(char* o, const unsigned char* p, __mmask32 ascii0,
                                        __mmask32 ascii1, __mmask32 ends0, __mmask32 ends1,
                                        __m512i x3F) {
    const auto back = [p](std::uintptr_t n) {
        return reinterpret_cast<const unsigned char*>(reinterpret_cast<std::uintptr_t>(p) - n);
    };
    o = put_ending_units(o, widened(p), widened(back(1), ~1u), widened(back(2), ~3u), ascii0, ends0,
                         x3F);
    return put_ending_units(o, widened(p + 32), widened(p + 31), widened(p + 30), ascii1, ends1,
                            x3F);
}

// 32 units a time: a block of ASCII is narrowed to bytes at once; any other
// has its 32 entries taken from the map (map_words), and the bytes each
// unit writes (by its entry's length) compressed together, so that neither
// ASCII among kanji nor the length of each costs a branch. The stores are whole
// vectors: the next block's overwrites what lies beyond.
TRANSCODE_AVX512 std::size_t units_map_avx512(const unsigned char* p, std::size_t units,
                                              const std::uint16_t* m, char*& out) {
    char* o = out;
    std::size_t k = 0;
    const __m512i not_ascii = opaque(_mm512_set1_epi16(static_cast<short>(0xFF80)));
    const __m512i stop = opaque(_mm512_set1_epi16(static_cast<short>(kMapStop)));
    const __m512i low_byte = opaque(_mm512_set1_epi16(0xFF));
    const __m512i high_byte = opaque(_mm512_set1_epi16(static_cast<short>(0xFF00)));
    const map_constants constants = make_map_constants();
    for (; k + 32 <= units; k += 32, p += 64) {
        const __m512i v = _mm512_loadu_si512(p);
        if (_mm512_test_epi16_mask(v, not_ascii) == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), _mm512_maskz_cvtepi16_epi8(~0u, v));
            o += 32;
            continue;
        }
        const __m512i t = map_words(p, m, constants);
        // A unit writes its low byte where it or its entry is not 0, its
        // high byte where that is not 0. (The masks of bytes are made from
        // vectors and counted by halves: 32-bit code has no 64-bit mask
        // moves.)
        const __mmask32 stops = _mm512_cmpeq_epi16_mask(t, stop);
        __mmask32 low = _mm512_test_epi16_mask(t, t) | _mm512_testn_epi16_mask(v, v);
        __mmask32 high = _mm512_test_epi16_mask(t, high_byte);
        std::size_t n = 32;
        if (stops) {
            n = static_cast<std::size_t>(__builtin_ctz(stops));
            low &= (1u << n) - 1;
            high &= (1u << n) - 1;
        }
        const __m512i high_part = _mm512_maskz_mov_epi16(high, high_byte);
        const __m512i kept =
            _mm512_mask_blend_epi16(low, high_part, _mm512_or_si512(high_part, low_byte));
        const __mmask64 keep = _mm512_test_epi8_mask(kept, kept);
        _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(keep, t));
        o += __builtin_popcount(low) + __builtin_popcount(high);
        if (n < 32) {
            out = o;
            _mm256_zeroupper();
            return k + n;
        }
    }
    out = o;
    // Clean upper halves before any SSE code runs (GCC 12 leaves them
    // dirty on this path, and the SSE kernels then run at a third of their
    // speed).
    _mm256_zeroupper();
    return k + units_map_plain(p, units - k, m, out);
}

// UTF-8 into 16-bit units as utf8_runs_ssse3_2, 64 bytes a round: the
// bytes are classed into 64-bit masks (kept in the mask registers, which
// 32-bit code has whole too), and each half of 32 is widened to words,
// whose units (as if each byte ended a character) are compressed to those
// of the bytes that do end one. The last rounds' few bytes go to the SSSE3
// kernel.
TRANSCODE_AVX512 std::size_t utf8_runs_avx512_2(const unsigned char* p, std::size_t readable,
                                                std::size_t most, void* out, std::size_t& units) {
    char* o = static_cast<char*>(out);
    const __m512i xF0 = opaque(_mm512_set1_epi8(static_cast<char>(0xF0)));
    const __m512i xE0 = opaque(_mm512_set1_epi8(static_cast<char>(0xE0)));
    const __m512i xC0 = opaque(_mm512_set1_epi8(static_cast<char>(0xC0)));
    const __m512i x80 = opaque(_mm512_set1_epi8(static_cast<char>(0x80)));
    const __m512i x3F = opaque(_mm512_set1_epi16(0x3F));
    std::size_t k = 0;
    // A round writes up to 128 bytes, the SSSE3 kernel's two rounds: at
    // most 64 beyond what `most` bytes would give.
    while (k + 64 <= readable && k + 32 <= most) {
        const __m512i x = _mm512_loadu_si512(p + k);
        const __mmask64 high = _mm512_movepi8_mask(x);
        if (_kortestz_mask64_u8(high, high)) {
            _mm512_storeu_si512(o, widened(p + k));
            _mm512_storeu_si512(o + 64, widened(p + k + 32));
            o += 128;
            k += 64;
            continue;
        }
        const __mmask64 lead = _mm512_cmpeq_epi8_mask(_mm512_and_si512(x, xF0), xE0);
        const __mmask64 cont = _mm512_cmpeq_epi8_mask(_mm512_and_si512(x, xC0), x80);
        const __mmask64 ascii = _knot_mask64(high);
        const __mmask64 lead2 = _kshiftli_mask64(lead, 2);
        // Continuations exactly where the leads want them (those of a lead
        // at the end lie beyond the 64 bytes), and no other kind of byte.
        const __mmask64 bad =
            _kor_mask64(_kxor_mask64(cont, _kor_mask64(_kshiftli_mask64(lead, 1), lead2)),
                        _kandn_mask64(_kor_mask64(lead, cont), high));
        const __mmask64 ends = _kor_mask64(ascii, lead2);
        if (!_kortestz_mask64_u8(bad, bad)) {
            // The round's characters before the first byte out of place,
            // and the step takes that byte.
            std::uint32_t ends0 = _cvtmask32_u32(low_half(ends));
            std::uint32_t ends1 = _cvtmask32_u32(high_half(ends));
            const std::uint32_t bad0 = _cvtmask32_u32(low_half(bad));
            if (bad0) {
                ends0 &= (std::uint32_t(1) << __builtin_ctz(bad0)) - 1;
                ends1 = 0;
            } else {
                ends1 &= (std::uint32_t(1) << __builtin_ctz(_cvtmask32_u32(high_half(bad)))) - 1;
            }
            if ((ends0 | ends1) == 0) break;
            o = put_round(o, p + k, low_half(ascii), high_half(ascii), ends0, ends1, x3F);
            k += ends1 ? 64 - static_cast<std::size_t>(__builtin_clz(ends1))
                       : 32 - static_cast<std::size_t>(__builtin_clz(ends0));
            units = static_cast<std::size_t>(o - static_cast<char*>(out)) / 2;
            _mm256_zeroupper();
            return k;
        }
        o = put_round(o, p + k, low_half(ascii), high_half(ascii), low_half(ends), high_half(ends),
                      x3F);
        // ASCII and three-byte characters only: the last one is cut where
        // one of the round's last two bytes leads one. Read from the bytes,
        // the next round's start waits for two loads, not for the masks.
        k += 64 - std::size_t((p[k + 63] & 0xF0) == 0xE0) -
             2 * std::size_t((p[k + 62] & 0xF0) == 0xE0);
    }
    _mm256_zeroupper();
    std::size_t rest = 0;
    if (k < most) k += utf8_runs_ssse3_2(p + k, readable - k, most - k, o, rest);
    units = static_cast<std::size_t>(o - static_cast<char*>(out)) / 2 + rest;
    return k;
}

// 32 units a round while each is ASCII or JIS X 0208, with the designation
// of each change of set between them: every unit's output (a designation
// and its one or two bytes) is made in a 64-bit lane of its own, and the
// bytes of eight lanes compressed together at a time. A block of ASCII in
// ASCII is narrowed at once.
TRANSCODE_AVX512 std::size_t jis_runs_avx512(const unsigned char* p, std::size_t most,
                                             const std::uint16_t* euc, bool& x0208, char*& out) {
    char* o = out;
    std::size_t k = 0;
    const map_constants constants = make_map_constants();
    const __m512i x80 = constants.x80, xFF = opaque(_mm512_set1_epi16(0xFF));
    const __m512i x8E = opaque(_mm512_set1_epi16(0x8E));
    const __m512i stop = opaque(_mm512_set1_epi16(static_cast<short>(kMapStop)));
    const __m512i x7F7F = opaque(_mm512_set1_epi16(0x7F7F));
    // ESC, and SO and SI halved.
    const __m512i esc = opaque(_mm512_set1_epi16(0x1B)), x07 = opaque(_mm512_set1_epi16(0x07));
    // ESC $ B and ESC ( B, first byte lowest.
    const __m512i to_x0208 = opaque(_mm512_set1_epi64(0x42241B));
    const __m512i to_ascii = opaque(_mm512_set1_epi64(0x42281B));
    // Each lane's length copied to its eight bytes, and each byte's place.
    const __m512i spread = opaque(_mm512_set4_epi32(0x08080808, 0x08080808, 0, 0));
    const __m512i place = opaque(_mm512_set1_epi64(0x0706050403020100));
    const __m512i one = opaque(_mm512_set1_epi64(1)), three = opaque(_mm512_set1_epi64(3));
    // Word 4i of the lanes takes unit i of the eight.
    const __m512i lane_words = opaque(_mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0));
    bool in_x0208 = x0208;
    for (; k + 32 <= most; k += 32, p += 64) {
        const __m512i v = _mm512_loadu_si512(p);
        const __mmask32 low = _mm512_cmplt_epu16_mask(v, x80);
        if (!in_x0208 && low == ~0u) {
            // No shift byte among them: they stay in ASCII.
            const __mmask32 shifts = _mm512_cmpeq_epi16_mask(v, esc) |
                                     _mm512_cmpeq_epi16_mask(_mm512_srli_epi16(v, 1), x07);
            if (shifts == 0) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(o),
                                    _mm512_maskz_cvtepi16_epi8(~0u, v));
                o += 32;
                continue;
            }
        }
        const __m512i t = map_words(p, euc, constants);
        const __mmask32 ascii = low & _mm512_cmpneq_epi16_mask(v, esc) &
                                _mm512_cmpneq_epi16_mask(_mm512_srli_epi16(v, 1), x07);
        const __mmask32 kanji = _mm512_cmpgt_epu16_mask(t, xFF) &
                                _mm512_cmpneq_epi16_mask(t, stop) &
                                _mm512_cmpneq_epi16_mask(_mm512_and_si512(t, xFF), x8E);
        const std::uint32_t either = ascii | kanji;
        const std::size_t n = either == ~0u ? 32 : static_cast<std::size_t>(__builtin_ctz(~either));
        if (n == 0) break;
        // A change of set where a unit's set is not the one before it.
        const std::uint32_t before = kanji << 1 | (in_x0208 ? 1u : 0u);
        const std::uint32_t change = kanji ^ before;
        const __m512i bytes = _mm512_mask_blend_epi16(kanji, v, _mm512_and_si512(t, x7F7F));
        for (unsigned q = 0; q < 4 && 8 * q < n; ++q) {
            const __mmask8 kq = static_cast<__mmask8>(kanji >> (8 * q));
            const __mmask8 cq = static_cast<__mmask8>(change >> (8 * q));
            // The eight units' bytes each in the low word of its lane.
            const __m512i c = _mm512_maskz_permutexvar_epi16(
                0x11111111,
                _mm512_add_epi16(lane_words, _mm512_set1_epi16(static_cast<short>(8 * q))), bytes);
            const __m512i designation = _mm512_mask_blend_epi64(kq, to_ascii, to_x0208);
            const __m512i lane =
                _mm512_mask_or_epi64(c, cq, _mm512_maskz_slli_epi64(0xFF, c, 24), designation);
            const __m512i length =
                _mm512_mask_add_epi64(_mm512_mask_add_epi64(one, kq, one, one), cq,
                                      _mm512_mask_add_epi64(one, kq, one, one), three);
            __mmask64 keep = _mm512_cmplt_epu8_mask(place, _mm512_shuffle_epi8(length, spread));
            if (8 * q + 8 > n) keep &= ~0ull >> (64 - 8 * (n - 8 * q));
            _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(keep, lane));
            o += __builtin_popcountll(keep);
        }
        in_x0208 = (kanji >> (n - 1)) & 1;
        if (n < 32) {
            k += n;
            break;
        }
    }
    _mm256_zeroupper();
    x0208 = in_x0208;
    out = o;
    return k;
}

const simd_kernels avx512_kernels = {ascii_sse2<std::uint8_t>,  ascii_sse2<std::uint16_t>,
                                     ascii_sse2<std::uint32_t>, utf8_groups_sse2_2,
                                     utf8_groups_sse2_4,        utf8_runs_avx512_2,
                                     units_map_avx512,          jis_runs_avx512};

// The operating system saves the state of the vector registers it enables
// in XCR0: here the SSE and AVX halves, the mask registers and both halves
// of the 512-bit ones.
bool os_saves_avx512_state() {
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    const unsigned wanted = 0x02 | 0x04 | 0x20 | 0x40 | 0x80;
    return (lo & wanted) == wanted;
}

#endif

simd_level detect_level() {
#if defined(TRANSCODE_X86)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(d & bit_SSE2)) return simd_level::none;
    if (!(c & bit_SSSE3)) return simd_level::sse2;
    // XGETBV may be used only where OSXSAVE says the system enabled it.
    const unsigned leaf1 = bit_OSXSAVE | bit_AVX | bit_POPCNT;
    if ((c & leaf1) == leaf1 && __get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, a, b, c, d);
        const unsigned ebx = bit_AVX512F | bit_AVX512BW | bit_AVX512VL;
        if ((b & ebx) == ebx && (c & bit_AVX512VBMI2) && os_saves_avx512_state()) {
            return simd_level::avx512;
        }
    }
    return simd_level::ssse3;
#endif
    return simd_level::none;
}

const simd_kernels& kernels_of(simd_level level) {
#if defined(TRANSCODE_X86)
    if (level == simd_level::avx512) return avx512_kernels;
    if (level == simd_level::ssse3) return ssse3_kernels;
    if (level == simd_level::sse2) return sse2_kernels;
#endif
    (void)level;
    return plain_kernels;
}

struct selection {
    simd_level available = detect_level();
    simd_level in_use = available;
    const simd_kernels* kernels = &kernels_of(available);
};

selection& current() {
    static selection s;
    return s;
}

}  // namespace

const simd_kernels& kernels() { return *current().kernels; }

}  // namespace detail

simd_level simd_available() { return detail::current().available; }

simd_level simd_in_use() { return detail::current().in_use; }

simd_level use_simd(simd_level level) {
    detail::selection& s = detail::current();
    if (static_cast<int>(level) > static_cast<int>(s.available)) level = s.available;
    s.in_use = level;
    s.kernels = &detail::kernels_of(level);
    return level;
}

}  // namespace transcode
