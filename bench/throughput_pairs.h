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

#include "transcode/transcode.h"

namespace throughput {

using namespace transcode;

enum class input_kind { utf8, cp932, euc };

struct pair {
    const char* name;
    input_kind input;
    std::string (*ours)(const std::string&);
};

template <class E>
std::string ours(const std::string& in) {
    return translate_all<E>(in);
}

using sjis_to_utf8 = twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
using euc_to_utf8 = twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>;
using utf8_to_sjis = twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>;
using utf8_to_euc = twin_translate_engine<utf8_to_unicode_engine, unicode_to_euc_engine>;
using utf8_to_utf16le = twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>;

constexpr int kPairs = 5;
inline const pair pairs[kPairs] = {
    {"CP932 -> UTF-8", input_kind::cp932, ours<sjis_to_utf8>},
    {"EUC-JP -> UTF-8", input_kind::euc, ours<euc_to_utf8>},
    {"UTF-8 -> CP932", input_kind::utf8, ours<utf8_to_sjis>},
    {"UTF-8 -> UTF-16LE", input_kind::utf8, ours<utf8_to_utf16le>},
    {"CP932 -> EUC-JP", input_kind::cp932, ours<sjis_to_euc_engine>},
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

inline double seconds_of(void (*run)(const std::string&, const pair&), const std::string& in,
                         const pair& p) {
    const auto t0 = std::chrono::steady_clock::now();
    run(in, p);
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(t1 - t0).count();
}

}  // namespace throughput
