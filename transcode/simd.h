// Vector instructions chosen when the program runs: the processor is asked
// (CPUID) once, and the library's inner loops call the kernels of the best
// level it offers. A processor without SSE2 (or a build for another
// architecture) gets the plain kernels, which give the same results. SSSE3
// adds the byte shuffle that decodes mixed runs of UTF-8 in blocks; AVX-512
// (F, BW, VL and VBMI2, with the operating system saving the registers)
// adds the encoders through a map of every UTF-16 unit's output and the
// runs of one JIS set, 32 units at a time, and a decoder of UTF-8 runs 64
// bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace transcode {

enum class simd_level { none = 0, sse2 = 1, ssse3 = 2, avx512 = 3 };

// The best level this processor offers.
simd_level simd_available();

// The level the kernels use now.
simd_level simd_in_use();

// Limits the kernels to `level` (never above what the processor offers) and
// returns the level in use from now on. For tests and benchmarks; not
// thread-safe: call it while no conversion runs.
simd_level use_simd(simd_level level);

namespace detail {

// Each ASCII kernel copies the bytes below 0x80 at the start of p, at most
// `most` of them, as units of its width (1, 2 or 4 bytes, native byte
// order) to o, and returns how many it copied. It reads no further than
// `readable` bytes (most <= readable) and may write up to 16 units beyond
// the ones it copies.
using ascii_kernel = std::size_t (*)(const unsigned char* p, std::size_t readable, std::size_t most,
                                     void* o);

// Encodes UTF-16 units (elements of 2 or 4 bytes) as UTF-8 while they are
// ASCII or units of three bytes outside the surrogates, in groups of four,
// stopping before the first group with any other unit or when `o` reaches
// `lim` (beyond which 16 bytes are free). Returns the units encoded;
// advances o.
using utf8_group_kernel = std::size_t (*)(const void* q, std::size_t n, char*& o, const char* lim);

// Decodes UTF-8 at p into 16-bit units (native byte order) at o while it is
// ASCII or well-formed three-byte sequences (taken as the step takes them:
// overlong forms and surrogates included), at least until `most` bytes are
// used or something else comes, and returns the bytes used (whole
// characters); `units` is set to the units written. It reads no further
// than `readable` bytes and may write up to 64 bytes beyond its last unit.
// Levels without it have none (nullptr).
using utf8_run_kernel = std::size_t (*)(const unsigned char* p, std::size_t readable,
                                        std::size_t most, void* o, std::size_t& units);

// Writes UTF-16LE units (two bytes each at p) as their entries in `map`,
// one 16-bit entry per unit, first byte lowest: both bytes where the high
// one is not 0, else the low byte where it or the unit is not 0, else
// nothing. Stops before the first unit whose entry is kMapStop (the caller
// writes that one its own way) or at the end; returns the units written and
// advances o. The map holds 0x10001 entries (the last one is read beside
// U+FFFF's and never used). Writes at most two bytes a unit, and may store
// up to 64 bytes beyond its last one.
constexpr std::uint16_t kMapStop = 0xFFFF;
using unit_map_kernel = std::size_t (*)(const unsigned char* p, std::size_t units,
                                        const std::uint16_t* map, char*& o);

// Writes UTF-16LE units (two bytes each at p) as 7-bit JIS while each is
// ASCII (a unit below 0x80 other than ESC, SO and SI, written as itself) or
// JIS X 0208 (a unit whose entry in `euc`, the map of every unit's EUC-JP
// output, is a two-byte code other than half-width katakana: its two bytes
// less 0x80), with ESC $ B or ESC ( B before each change of set; `x0208`
// says which set the output is in, before and after. Returns the units
// written, at most `most` (whole rounds of 32 only), and advances o; at
// most five bytes a unit, and may store up to 64 bytes beyond its last one.
// Levels without it have none (nullptr).
using jis_run_kernel = std::size_t (*)(const unsigned char* p, std::size_t most,
                                       const std::uint16_t* euc, bool& x0208, char*& o);

struct simd_kernels {
    ascii_kernel ascii_to_1;
    ascii_kernel ascii_to_2;
    ascii_kernel ascii_to_4;
    utf8_group_kernel utf8_groups_2;
    utf8_group_kernel utf8_groups_4;
    utf8_run_kernel utf8_runs_2;
    unit_map_kernel units_through_map;
    jis_run_kernel jis_runs;
};

// The kernels of the level in use.
const simd_kernels& kernels();

}  // namespace detail
}  // namespace transcode
