// The pairs the throughput benchmark times and the library's one-shot
// conversion of each, shared by the native benchmark and the Windows builds of
// the library that it runs under Wine.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "transcode/factory.h"
#include "transcode/transcode.h"

namespace throughput {

using namespace transcode;

enum class input_kind { utf8, cp932, euc, utf16le, iso2022jp };

struct pair {
    const char* name;
    input_kind input;
    std::string (*ours)(const std::string&);
};

template <class E>
std::string ours(const std::string& in) {
    return translate_all<E>(in);
}

// Pairs the program converts through the factory's one-shot function.
template <encoding_id From, encoding_id To>
std::string between(const std::string& in) {
    return translate_between(in, From, To);
}

using sjis_to_utf8 = twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
using euc_to_utf8 = twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>;
using utf8_to_sjis = twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>;
using utf8_to_euc = twin_translate_engine<utf8_to_unicode_engine, unicode_to_euc_engine>;
using utf8_to_utf16le = twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>;

constexpr int kPairs = 12;
inline const pair pairs[kPairs] = {
    {"CP932 -> UTF-8", input_kind::cp932, ours<sjis_to_utf8>},
    {"EUC-JP -> UTF-8", input_kind::euc, ours<euc_to_utf8>},
    {"UTF-8 -> CP932", input_kind::utf8, ours<utf8_to_sjis>},
    {"UTF-8 -> UTF-16LE", input_kind::utf8, ours<utf8_to_utf16le>},
    {"CP932 -> EUC-JP", input_kind::cp932, ours<sjis_to_euc_engine>},
    {"UTF-16LE -> CP932", input_kind::utf16le, between<encoding_utf16le, encoding_sjis>},
    {"UTF-16LE -> EUC-JP", input_kind::utf16le, between<encoding_utf16le, encoding_euc>},
    {"UTF-16LE -> ISO-2022-JP", input_kind::utf16le, between<encoding_utf16le, encoding_iso2022jp>},
    {"CP932 -> UTF-16LE", input_kind::cp932, between<encoding_sjis, encoding_utf16le>},
    {"EUC-JP -> UTF-16LE", input_kind::euc, between<encoding_euc, encoding_utf16le>},
    {"ISO-2022-JP -> UTF-8", input_kind::iso2022jp, between<encoding_iso2022jp, encoding_utf8>},
    {"UTF-8 -> ISO-2022-JP", input_kind::utf8, between<encoding_utf8, encoding_iso2022jp>},
};

// The corpus in each input encoding of the pairs.
struct corpus_texts {
    std::string utf8, cp932, euc, utf16le, iso2022jp;
    const std::string& of(input_kind in) const {
        return in == input_kind::utf8      ? utf8
               : in == input_kind::cp932   ? cp932
               : in == input_kind::euc     ? euc
               : in == input_kind::utf16le ? utf16le
                                           : iso2022jp;
    }
};

inline std::string read_file(const char* path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// FNV-1a of the bytes: lets two builds compare outputs without sharing them.
inline std::uint64_t digest(const std::string& s) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : s) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

// Runs `run` untimed for 10 ms at least, once at least, before a converter
// is timed. A converter run right after another one, or after a pause, finds
// the processor as that left it. Measured on an Intel Xeon (family 6, model
// 167): ours UTF-8 -> CP932 ran at 2,000 to 2,600 MB/s after 30 ms of a busy
// wait or a sleep, and at 2,200 to 2,300 in turns with any one of the peers;
// after one run of its own at 2,600, after two or more (about 5 ms) at 3,800
// to 4,000. The peers' speeds changed by a few per cent. Every converter
// gets the same turn, so each is timed at the speed it keeps over a long
// text.
template <class F>
void warm_up(F run) {
    const auto start = std::chrono::steady_clock::now();
    do run();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(10));
}

inline double seconds_of(void (*run)(const std::string&, const pair&), const std::string& in,
                         const pair& p) {
    const auto t0 = std::chrono::steady_clock::now();
    run(in, p);
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(t1 - t0).count();
}

}  // namespace throughput
