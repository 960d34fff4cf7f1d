// 7-bit JIS and ISO-2022-JP: written from Shift_JIS and EUC-JP, read into
// them, and JIS rewritten as ISO-2022-JP (half-width katakana made
// full-width). The kana composition maps and initialize() live here.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "transcode/byte_classes.h"
#include "transcode/jis_shift.h"
#include "transcode/one_pass.h"
#include "transcode/steps.h"
#include "transcode/utf_engines.h"

namespace transcode {

using namespace detail;

namespace {

// Half-width katakana 0x21-0x5F (JIS X 0201) to full-width JIS X 0208.
const std::uint16_t kana_plain[0x3F] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

// Composition maps, filled by initialize(): kana byte - 0x21 to the JIS code
// of its voiced (with 0x5E) and semi-voiced (with 0x5F) form, 0 for none.
std::uint16_t kana_voiced[0x3F];
std::uint16_t kana_semivoiced[0x3F];
bool maps_filled = false;
bool initialized = false;

void fill_kana_maps() {
    if (maps_filled) return;
    kana_voiced[0x33 - 0x21] = 0x2574;  // U to VU
    for (unsigned b = 0x36; b <= 0x44; ++b) kana_voiced[b - 0x21] = kana_plain[b - 0x21] + 1;
    for (unsigned b = 0x4A; b <= 0x4E; ++b) {
        kana_voiced[b - 0x21] = kana_plain[b - 0x21] + 1;
        kana_semivoiced[b - 0x21] = kana_plain[b - 0x21] + 2;
    }
    maps_filled = true;
}

// Closes a JIS stream written by an encoder, then the default flush.
template <class Engine>
void close_jis(Engine& e, jis_state& state) {
    output_window<std::string> win(e.translated_buffer);
    char* o = win.open(0, 0);
    need_state(o, state, jis_ascii);
    win.close(o);
    e.tc_translate_engine<std::string, std::string>::flush();
}

// One Shift_JIS character into JIS.
struct cp932_to_jis_step {
    static constexpr std::size_t per_byte = 4;  // a designation and a byte
    static constexpr std::size_t ascii_width = 0;
    jis_state& state;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const unsigned b = p[0];
        if (is_cp932_lead(b)) {
            if (Checked && left < 2) return 0;
            const unsigned t = p[1];
            if (!is_cp932_trail(t)) {
                need_state(o, state, jis_ascii);
                put(o, replacement_char);
                return 1;
            }
            if (b >= 0xF0 && b <= 0xF9) {
                need_state(o, state, jis_ascii);
                put(o, replacement_char);  // user-defined area: no JIS code
                return 2;
            }
            if (b >= 0xFA) {
                const unsigned e = tables::ibm_extension_to_euc(b, t);
                if (!e) {
                    need_state(o, state, jis_ascii);
                    put(o, replacement_char);
                    return 1;
                }
                need_state(o, state, jis_x0208);
                put2(o, (e >> 8) & 0x7F, e & 0x7F);
                return 2;
            }
            need_state(o, state, jis_x0208);
            const tables::byte_pair j = tables::sjis_to_jis(b, t);
            put2(o, j.first, j.second);
            return 2;
        }
        if (is_cp932_kana(b)) {
            need_state(o, state, jis_kana_escape);
            put(o, b - 0x80);
        } else {
            need_state(o, state, jis_ascii);
            put(o, b);
        }
        return 1;
    }
};

// One EUC-JP character into JIS. A byte below 0x80 ends a character early
// and is read anew.
struct euc_to_jis_step {
    static constexpr std::size_t per_byte = 4;
    static constexpr std::size_t ascii_width = 0;
    jis_state& state;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const unsigned b = p[0];
        if (b == 0x8E) {
            if (Checked && left < 2) return 0;
            const unsigned f = p[1];
            if (is_cp932_kana(f)) {
                need_state(o, state, jis_kana_escape);
                put(o, f - 0x80);
                return 2;
            }
            need_state(o, state, jis_ascii);
            put(o, replacement_char);
            return f < 0x80 ? 1 : 2;
        }
        if (b == 0x8F) {
            if (Checked && left < 2) return 0;
            if (p[1] < 0x80) {
                need_state(o, state, jis_ascii);
                put(o, replacement_char);
                return 1;
            }
            if (Checked && left < 3) return 0;
            if (p[2] < 0x80) {
                need_state(o, state, jis_ascii);
                put(o, replacement_char);
                return 2;
            }
            need_state(o, state, jis_x0212);
            put2(o, p[1] & 0x7F, p[2] & 0x7F);
            return 3;
        }
        if (is_euc_lead(b)) {
            if (Checked && left < 2) return 0;
            const unsigned f = p[1];
            if (f >= 0x80) {
                need_state(o, state, jis_x0208);
                put2(o, b & 0x7F, f & 0x7F);
                return 2;
            }
            need_state(o, state, jis_ascii);
            put(o, replacement_char);
            return 1;
        }
        need_state(o, state, jis_ascii);
        put(o, b);
        return 1;
    }
};

// One JIS character (or escape, or shift byte) into Shift_JIS or EUC-JP.
enum class jis_target { sjis, euc };

// The JIS decoders' words: as wide as a general register (a 64-bit word's
// arithmetic is emulated in 32-bit code).
using shift_word = std::conditional_t<sizeof(std::size_t) == 8, std::uint64_t, std::uint32_t>;
constexpr unsigned kWordBytes = sizeof(shift_word);
static_assert(kWordBytes <= kAhead, "a word is read ahead unchecked");

inline shift_word load_word(const unsigned char* p) {
    if constexpr (kWordBytes == 8) {
        return load_le64(p);
    } else {
        return load_le32(p);
    }
}

// How many of the bytes in v (first lowest) come before the first ESC, SO
// or SI (SO and SI are alike but for their lowest bit); all of them for
// none. Of the bytes the zero tests flag, the lowest is always a true one.
inline unsigned bytes_before_shift(shift_word v) {
    constexpr shift_word ones = ~shift_word(0) / 0xFF, highs = ones * 0x80;
    const shift_word esc = v ^ (ones * 0x1B), shift = (v | ones) ^ (ones * 0x0F);
    const shift_word hit = (((esc - ones) & ~esc) | ((shift - ones) & ~shift)) & highs;
    if (!hit) return kWordBytes;
    if constexpr (kWordBytes == 8) {
        return static_cast<unsigned>(__builtin_ctzll(hit)) / 8;
    } else {
        return static_cast<unsigned>(__builtin_ctz(hit)) / 8;
    }
}

template <jis_target Target>
struct jis_decode_step {
    static constexpr std::size_t per_byte = 2;
    static constexpr std::size_t ascii_width = 0;
    jis_state& state;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const std::size_t shift = read_shift(p, left, state);
        if (shift != kNotShift) return shift;
        const unsigned b = p[0];
        switch (state) {
            case jis_x0208:
            case jis_x0212: {
                if (Checked && left < 2) return 0;
                if constexpr (!Checked && Target == jis_target::euc) {
                    // A word's pairs at once, those before the next shift:
                    // each byte gets its high bit (the whole word is
                    // stored; what lies beyond the pairs is written over).
                    if (state == jis_x0208) {
                        const shift_word v = load_word(p);
                        const unsigned k = bytes_before_shift(v) & ~1u;
                        if (k) {
                            const shift_word e = v | ~shift_word(0) / 0xFF * 0x80;
                            std::memcpy(o, &e, kWordBytes);
                            o += k;
                            return k;
                        }
                    }
                }
                const unsigned c = p[1];
                if (Target == jis_target::euc) {
                    if (state == jis_x0212) put(o, 0x8F);
                    put2(o, b | 0x80, c | 0x80);
                } else if (state == jis_x0212) {
                    put(o, replacement_char);  // JIS X 0212 has no Shift_JIS form
                } else if (b >= 0x79 && b <= 0x7C) {
                    // Without an entry the pair still counts as one
                    // character, so the pairs after it stay aligned.
                    const unsigned s = tables::euc_to_ibm_extension(b | 0x80, c | 0x80);
                    if (s) {
                        put2(o, s >> 8, s & 0xFF);
                    } else {
                        put(o, replacement_char);
                    }
                } else {
                    const tables::byte_pair s = tables::jis_to_sjis(b, c);
                    put2(o, s.first, s.second);
                }
                return 2;
            }
            case jis_kana_escape:
            case jis_kana_shift:
                if (Target == jis_target::euc) put(o, 0x8E);
                put(o, (b + 0x80) & 0xFF);
                return 1;
            default:
                if constexpr (!Checked) {
                    // A word's bytes at once, those before the next shift
                    // (the first is none).
                    const shift_word v = load_word(p);
                    const unsigned k = bytes_before_shift(v);
                    std::memcpy(o, &v, kWordBytes);
                    o += k;
                    return k;
                }
                put(o, b);
                return 1;
        }
    }
};

// One JIS character into ISO-2022-JP: half-width katakana become
// full-width, with a following sound mark composed in.
struct jis_to_iso2022jp_step {
    static constexpr std::size_t per_byte = 5;  // a designation and a kana's pair
    static constexpr std::size_t ascii_width = 0;
    jis_state& state;
    jis_state& output_state;

    template <bool Checked>
    std::size_t operator()(const unsigned char* p, std::size_t left, char*& o) const {
        const std::size_t shift = read_shift(p, left, state);
        if (shift != kNotShift) return shift;
        const unsigned b = p[0];
        if (state == jis_x0208 || state == jis_x0212) {
            if (Checked && left < 2) return 0;
            if (state == jis_x0208) {
                need_state(o, output_state, jis_x0208);
                put2(o, b, p[1]);
            } else {
                need_state(o, output_state, jis_ascii);
                put(o, replacement_char);  // JIS X 0212 has no ISO-2022-JP form
            }
            return 2;
        }
        if (state == jis_kana_escape || state == jis_kana_shift) {
            if (b < 0x21 || b > 0x5F) {
                need_state(o, output_state, jis_ascii);
                put(o, replacement_char);
                return 1;
            }
            const unsigned k = b - 0x21;
            unsigned code = kana_plain[k];
            std::size_t used = 1;
            if (kana_voiced[k]) {
                if (Checked && left < 2) return 0;  // a sound mark may follow
                const unsigned mark = p[1];
                if (mark == 0x5E) {
                    code = kana_voiced[k], used = 2;
                } else if (mark == 0x5F && kana_semivoiced[k]) {
                    code = kana_semivoiced[k], used = 2;
                }
            }
            need_state(o, output_state, jis_x0208);
            put2(o, code >> 8, code & 0xFF);
            return used;
        }
        need_state(o, output_state, jis_ascii);
        put(o, b);
        return 1;
    }
};

}  // namespace

void initialize() {
    if (initialized) return;
    fill_kana_maps();
    initialized = true;
}

kana_jis0208 detail::kana_to_jis0208(unsigned kana, unsigned next) {
    const unsigned k = kana - 0x21;
    if (next == 0x5E && kana_voiced[k]) return {kana_voiced[k], true};
    if (next == 0x5F && kana_semivoiced[k]) return {kana_semivoiced[k], true};
    return {kana_plain[k], false};
}

bool detail::kana_takes_sound_mark(unsigned kana) { return kana_voiced[kana - 0x21] != 0; }

void sjis_to_jis_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, cp932_to_jis_step{state});
}

void sjis_to_jis_engine::flush() { close_jis(*this, state); }

void sjis_to_jis_engine::clear() {
    tc_translate_engine::clear();
    state = jis_ascii;
}

void euc_to_jis_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer, euc_to_jis_step{state});
}

void euc_to_jis_engine::flush() { close_jis(*this, state); }

void euc_to_jis_engine::clear() {
    tc_translate_engine::clear();
    state = jis_ascii;
}

void jis_to_sjis_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer,
                    jis_decode_step<jis_target::sjis>{state});
}

void jis_to_sjis_engine::flush() {
    state = jis_ascii;
    tc_translate_engine::flush();
}

void jis_to_sjis_engine::clear() {
    tc_translate_engine::clear();
    state = jis_ascii;
}

void jis_to_euc_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer,
                    jis_decode_step<jis_target::euc>{state});
}

void jis_to_euc_engine::flush() {
    state = jis_ascii;
    tc_translate_engine::flush();
}

void jis_to_euc_engine::clear() {
    tc_translate_engine::clear();
    state = jis_ascii;
}

jis_to_iso2022jp_engine::jis_to_iso2022jp_engine() { initialize(); }

void jis_to_iso2022jp_engine::translate() {
    translate_bytes(untranslated_buffer, translated_buffer,
                    jis_to_iso2022jp_step{state, output_state});
}

void jis_to_iso2022jp_engine::flush() {
    {
        output_window<std::string> win(translated_buffer);
        char* o = win.open(0, 0);
        std::string& in = untranslated_buffer;
        // A kana that waited for a sound mark is written plain.
        if ((state == jis_kana_escape || state == jis_kana_shift) && in.size() == 1) {
            const unsigned b = static_cast<unsigned char>(in[0]);
            if (b >= 0x21 && b <= 0x5F) {
                const unsigned code = kana_plain[b - 0x21];
                need_state(o, output_state, jis_x0208);
                put2(o, code >> 8, code & 0xFF);
                in.clear();
            }
        }
        need_state(o, output_state, jis_ascii);
        win.close(o);
    }
    state = jis_ascii;
    tc_translate_engine::flush();
}

void jis_to_iso2022jp_engine::clear() {
    tc_translate_engine::clear();
    state = jis_ascii;
    output_state = jis_ascii;
}

namespace detail {

namespace {

// The text the chain makes of the UTF-16LE bytes from `at` on, with its
// JIS stages in the given states.
std::string through_the_chain(const std::string& text, std::size_t at, jis_state jis,
                              jis_state written) {
    WORD_to_unicode_engine units;
    unicode_to_euc_engine euc;
    euc_to_jis_engine to_jis;
    jis_to_iso2022jp_engine to_iso;
    to_jis.state = to_iso.state = jis;
    to_iso.output_state = written;
    std::wstring u = translate_all(units, text.substr(at));
    std::string e = translate_all(euc, std::move(u));
    return translate_all(to_iso, translate_all(to_jis, std::move(e)));
}

// Where the unit after the one at i that the EUC-JP stage writes anything
// for starts (units it drops, the private use area, are skipped), or n.
std::size_t next_written_unit(const unsigned char* p, std::size_t i, std::size_t n,
                              const std::uint16_t* euc) {
    for (i += 2; i + 2 <= n; i += 2) {
        const std::uint32_t u = p[i] | static_cast<std::uint32_t>(p[i + 1]) << 8;
        if (u == 0 || euc[u] != 0) return i;
    }
    return n;
}

}  // namespace

// The chain's three stages (UTF-16 to EUC-JP, EUC-JP to JIS, JIS to
// ISO-2022-JP) as one: the JIS text between them is never made, only the
// shift state it would be in is kept, and a half-width katakana is
// composed with the sound mark the JIS stage would have written after it.
// ESC, SO and SI in the text would be read by the last stage as shifts of
// the JIS text: from the first of them on, the chain itself takes the rest.
std::string utf16le_to_iso2022jp(const std::string& text) {
    fill_kana_maps();
    const std::uint16_t* const euc = euc_unit_outputs();
    std::string out;
    const unsigned char* p = bytes_of(text);
    const std::size_t n = text.size();
    jis_state jis = jis_ascii;           // the shift state of the JIS text between
    jis_state written = jis_ascii;       // the output's
    constexpr std::size_t per_unit = 5;  // a designation and a pair
    output_window<std::string> win(out);
    char* o = win.open(n / 2 + 1, per_unit);
    std::size_t i = 0;
    // Units of ASCII and JIS X 0208 a block at a time, where the SIMD level
    // has a kernel for them; a unit of any other kind goes through the
    // loop's own steps.
    const jis_run_kernel runs = kernels().jis_runs;
    for (; i + 2 <= n; i += 2) {
        if (o >= win.limit()) o = win.more(o, (n - i) / 2 + 1, per_unit);
        if (runs && (written == jis_ascii || written == jis_x0208)) {
            const std::size_t room = static_cast<std::size_t>(win.limit() - o) / per_unit;
            bool x0208 = written == jis_x0208;
            const std::size_t done = runs(p + i, std::min((n - i) / 2, room), euc, x0208, o);
            if (done) {
                jis = written = x0208 ? jis_x0208 : jis_ascii;
                i += 2 * done;
                if (i + 2 > n) break;
                if (o >= win.limit()) o = win.more(o, (n - i) / 2 + 1, per_unit);
            }
        }
        const std::uint32_t u = p[i] | static_cast<std::uint32_t>(p[i + 1]) << 8;
        if (u < 0x80) {
            if (u == ESC || u == SO || u == SI) break;
            jis = jis_ascii;
            need_state(o, written, jis_ascii);
            put(o, u);
            continue;
        }
        const unsigned t = euc[u];
        const unsigned lead = t & 0xFF;
        if (t > 0xFF && t != kEucThree && lead != 0x8E) {
            jis = jis_x0208;
            need_state(o, written, jis_x0208);
            put2(o, lead & 0x7F, (t >> 8) & 0x7F);
        } else if (t > 0xFF && t != kEucThree) {
            // Half-width katakana, written full-width.
            const unsigned k = (t >> 8) - 0xA1;
            unsigned code = kana_plain[k];
            if (kana_voiced[k]) {
                const std::size_t next = next_written_unit(p, i, n, euc);
                if (next < n) {
                    const std::uint32_t m = p[next] | static_cast<std::uint32_t>(p[next + 1]) << 8;
                    if (m == 0xFF9E) {
                        code = kana_voiced[k], i = next;
                    } else if (m == 0xFF9F && kana_semivoiced[k]) {
                        code = kana_semivoiced[k], i = next;
                    }
                }
            }
            jis = jis_kana_escape;
            need_state(o, written, jis_x0208);
            put2(o, code >> 8, code & 0xFF);
        } else if (t != 0) {
            // JIS X 0212 (no ISO-2022-JP form) or no code at all.
            jis = t == kEucThree ? jis_x0212 : jis_ascii;
            need_state(o, written, jis_ascii);
            put(o, replacement_char);
        }
    }
    if (i + 2 <= n) {
        win.close(o);
        return out + through_the_chain(text, i, jis, written);
    }
    if (i < n) {
        // The odd last byte: U+003F.
        need_state(o, written, jis_ascii);
        put(o, replacement_char);
    }
    need_state(o, written, jis_ascii);
    win.close(o);
    return out;
}

// The UTF-8 chain is the UTF-16LE one with another first stage: the text
// decoded into the UTF-16 units (surrogates included) that the units' pass
// then writes.
std::string utf8_to_iso2022jp(const std::string& text) {
    return utf16le_to_iso2022jp(utf8_to_utf16le(text));
}

// The chain's first stage gives EUC-JP, which its pass takes to UTF-8.
std::string iso2022jp_to_utf8(const std::string& text) {
    jis_to_euc_engine to_euc;
    return euc_to_utf8(translate_all(to_euc, text));
}

}  // namespace detail
}  // namespace transcode
