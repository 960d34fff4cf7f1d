// Shared plumbing of the JIS engines: the escape sequences and shift bytes
// that switch a 7-bit JIS stream between its states, read and written.
#pragma once

#include <cstddef>

#include "transcode/japanese_engines.h"
#include "transcode/pass_buffer.h"

namespace transcode {
namespace detail {

constexpr unsigned ESC = 0x1B;
constexpr unsigned SO = 0x0E;  // enters jis_kana_shift
constexpr unsigned SI = 0x0F;  // leaves it

// Writes what switches a JIS stream from shift state `from` to `to`: SI
// leaves the SO kana state (and is all it takes to return to ASCII), the
// other states have their designations.
inline void write_designation(char*& o, jis_state from, jis_state to) {
    if (from == jis_kana_shift) {
        put(o, SI);
        if (to == jis_ascii) return;
    }
    switch (to) {
        case jis_ascii:
            put(o, ESC), put2(o, '(', 'B');
            break;
        case jis_x0208:
            put(o, ESC), put2(o, '$', 'B');
            break;
        case jis_kana_escape:
            put(o, ESC), put2(o, '(', 'I');
            break;
        case jis_x0212:
            put2(o, ESC, '$'), put2(o, '(', 'D');
            break;
        case jis_kana_shift:
            put(o, SO);
            break;
    }
}

// Puts an encoder's stream into the state its next character needs.
inline void need_state(char*& o, jis_state& state, jis_state to) {
    if (to != state) {
        write_designation(o, state, to);
        state = to;
    }
}

// What a JIS escape at p means: the state it sets (known false for an
// unrecognised escape, which is dropped and keeps the state) and the bytes
// it uses; used == 0 means the escape is cut off and waits. ESC ( J (JIS
// Roman) is read as ASCII.
struct escape {
    bool known;
    jis_state state;
    std::size_t used;
};

inline escape read_escape(const unsigned char* p, std::size_t left) {
    if (left < 3) return {false, jis_ascii, 0};
    const unsigned a = p[1], b = p[2];
    if (a == '(' && (b == 'B' || b == 'J')) return {true, jis_ascii, 3};
    if (a == '$' && b == 'B') return {true, jis_x0208, 3};
    if (a == '(' && b == 'I') return {true, jis_kana_escape, 3};
    if (a == '$' && b == '(') {
        if (left < 4) return {false, jis_ascii, 0};
        if (p[3] == 'D') return {true, jis_x0212, 4};
    }
    return {false, jis_ascii, 3};
}

// Reads an escape or shift byte at p into `state`: returns the bytes used,
// 0 when an escape is cut off, or kNotShift when p holds neither.
constexpr std::size_t kNotShift = ~std::size_t(0);
inline std::size_t read_shift(const unsigned char* p, std::size_t left, jis_state& state) {
    const unsigned b = p[0];
    if (b == ESC) {
        const escape e = read_escape(p, left);
        if (e.known) state = e.state;
        return e.used;
    }
    if (b == SO || b == SI) {
        state = b == SO ? jis_kana_shift : jis_ascii;
        return 1;
    }
    return kNotShift;
}

// The full-width JIS X 0208 code of the half-width katakana `kana`
// (0x21-0x5F) and whether `next`, the kana byte after it (0 for none), is the
// sound mark joined into it: the composition of jis_to_iso2022jp_engine,
// which the web-form ISO-2022-JP encoder shares. Needs initialize().
struct kana_jis0208 {
    unsigned code;
    bool joined;
};
kana_jis0208 kana_to_jis0208(unsigned kana, unsigned next);
// Whether a sound mark may join `kana`, which must then wait for what follows.
bool kana_takes_sound_mark(unsigned kana);

}  // namespace detail
}  // namespace transcode
