// Throughput of the conversion library's one-shot conversions against glibc
// iconv and ICU, on the same Japanese text in the same run. Prints MB/s of
// input for each converter and the ratio of ours to the faster peer.
// Usage: transcode_throughput [corpus.txt]   (UTF-8; see tools/bench-corpus)
//
// The peers get their best case: converters opened once, output into a
// buffer allocated once. Ours is timed as the program calls it, one-shot,
// input copied in and a new output string returned. The heap keeps freed
// blocks (no mmap per large block) so no side pays page faults per run.
#include <iconv.h>
#include <malloc.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "transcode/transcode.h"

using namespace transcode;

namespace {

std::string read_file(const char* path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// A converter under test: runs over the input and returns the output bytes
// (into a reused buffer for the peers); an empty result means failure.
using converter = std::function<std::size_t(const std::string&, std::string*)>;

struct iconv_peer {
    iconv_t cd;
    std::vector<char> buf;
    iconv_peer(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~iconv_peer() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    std::size_t run(const std::string& in, std::string* keep) {
        if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
        buf.resize(in.size() * 4 + 16);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* ip = const_cast<char*>(in.data());
        std::size_t il = in.size();
        char* op = buf.data();
        std::size_t ol = buf.size();
        if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return 0;
        const std::size_t n = buf.size() - ol;
        if (keep) keep->assign(buf.data(), n);
        return n;
    }
};

// Byte-to-byte conversion through ICU's pivoting converter pair.
struct icu_peer {
    UConverter* to = nullptr;
    UConverter* from = nullptr;
    std::vector<char> buf;
    icu_peer(const char* to_name, const char* from_name) {
        UErrorCode e = U_ZERO_ERROR;
        to = ucnv_open(to_name, &e);
        from = ucnv_open(from_name, &e);
        if (U_FAILURE(e)) std::fprintf(stderr, "ICU: cannot open %s/%s\n", to_name, from_name);
    }
    ~icu_peer() {
        ucnv_close(to);
        ucnv_close(from);
    }
    std::size_t run(const std::string& in, std::string* keep) {
        buf.resize(in.size() * 4 + 16);
        char* target = buf.data();
        const char* source = in.data();
        UErrorCode e = U_ZERO_ERROR;
        ucnv_convertEx(to, from, &target, buf.data() + buf.size(), &source, source + in.size(),
                       nullptr, nullptr, nullptr, nullptr, true, true, &e);
        if (U_FAILURE(e)) return 0;
        const std::size_t n = static_cast<std::size_t>(target - buf.data());
        if (keep) keep->assign(buf.data(), n);
        return n;
    }
};

struct icu_utf16_peer {
    std::vector<UChar> buf;
    std::size_t run(const std::string& in, std::string* keep) {
        buf.resize(in.size() + 16);
        int32_t n = 0;
        UErrorCode e = U_ZERO_ERROR;
        u_strFromUTF8(buf.data(), static_cast<int32_t>(buf.size()), &n, in.data(),
                      static_cast<int32_t>(in.size()), &e);
        if (U_FAILURE(e)) return 0;
        if (keep)
            keep->assign(reinterpret_cast<const char*>(buf.data()),
                         static_cast<std::size_t>(n) * 2);
        return static_cast<std::size_t>(n) * 2;
    }
};

template <class E>
std::size_t ours(const std::string& in, std::string* keep) {
    const std::string out = translate_all<E>(in);
    if (keep) *keep = out;
    return out.size();
}

// Best of several rounds, in MB/s of input. The converters take turns in
// each round, so a change in the machine's load hits all of them alike.
void speeds(const std::string& in, const converter (&runs)[3], double (&mbs)[3],
            std::size_t* sink) {
    double best[3] = {1e30, 1e30, 1e30};
    for (int round = 0; round < 9; ++round) {
        for (int k = 0; k < 3; ++k) {
            const auto t0 = std::chrono::steady_clock::now();
            *sink += runs[k](in, nullptr);
            const auto t1 = std::chrono::steady_clock::now();
            best[k] = std::min(best[k], std::chrono::duration<double>(t1 - t0).count());
        }
    }
    for (int k = 0; k < 3; ++k) mbs[k] = static_cast<double>(in.size()) / best[k] / 1e6;
}

std::string agreement(const std::string& ours, const std::string& peer) {
    if (peer.empty()) return "peer failed";
    if (ours == peer) return "same output";
    const auto d = std::mismatch(ours.begin(), ours.end(), peer.begin(), peer.end());
    return "DIFFERS at byte " + std::to_string(d.first - ours.begin());
}

}  // namespace

int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const char* path = argc > 1 ? argv[1] : LUMENVIK_BENCH_CORPUS;
    const std::string utf8 = read_file(path);
    if (utf8.size() < 1000) {
        std::fprintf(stderr, "no corpus at %s (run tools/bench-corpus)\n", path);
        return 1;
    }
    std::string cp932, euc;
    iconv_peer("CP932", "UTF-8").run(utf8, &cp932);
    iconv_peer("EUC-JP", "UTF-8").run(utf8, &euc);
    std::printf("corpus %s: UTF-8 %zu bytes, CP932 %zu bytes, EUC-JP %zu bytes\n", path,
                utf8.size(), cp932.size(), euc.size());

    using sjis_to_utf8 =
        twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
    using euc_to_utf8 = twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>;
    using utf8_to_sjis =
        twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>;
    using utf8_to_utf16le = twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>;

    iconv_peer iconv_sjis_utf8("UTF-8", "CP932"), iconv_euc_utf8("UTF-8", "EUC-JP"),
        iconv_utf8_sjis("CP932", "UTF-8"), iconv_utf8_utf16("UTF-16LE", "UTF-8"),
        iconv_sjis_euc("EUC-JP-MS", "CP932");
    icu_peer icu_sjis_utf8("UTF-8", "windows-31j"), icu_euc_utf8("UTF-8", "EUC-JP"),
        icu_utf8_sjis("windows-31j", "UTF-8"), icu_sjis_euc("EUC-JP", "windows-31j");
    icu_utf16_peer icu_utf8_utf16;
    auto bind = [](auto& peer) -> converter {
        return [&peer](const std::string& in, std::string* keep) { return peer.run(in, keep); };
    };
    struct pair_bench {
        const char* name;
        const std::string* input;
        converter runs[3];  // ours, iconv, ICU
    };
    const pair_bench pairs[] = {
        {"CP932 -> UTF-8",
         &cp932,
         {ours<sjis_to_utf8>, bind(iconv_sjis_utf8), bind(icu_sjis_utf8)}},
        {"EUC-JP -> UTF-8", &euc, {ours<euc_to_utf8>, bind(iconv_euc_utf8), bind(icu_euc_utf8)}},
        {"UTF-8 -> CP932", &utf8, {ours<utf8_to_sjis>, bind(iconv_utf8_sjis), bind(icu_utf8_sjis)}},
        {"UTF-8 -> UTF-16LE",
         &utf8,
         {ours<utf8_to_utf16le>, bind(iconv_utf8_utf16), bind(icu_utf8_utf16)}},
        {"CP932 -> EUC-JP",
         &cp932,
         {ours<sjis_to_euc_engine>, bind(iconv_sjis_euc), bind(icu_sjis_euc)}},
    };

    std::size_t sink = 0;
    std::printf("%-18s %10s %10s %10s   %-8s  %s\n", "pair", "ours MB/s", "iconv", "ICU", "ratio",
                "outputs checked before timing");
    for (const auto& p : pairs) {
        const std::string& in = *p.input;
        std::string o, a, b;
        p.runs[0](in, &o);
        p.runs[1](in, &a);
        p.runs[2](in, &b);
        double mbs[3];
        speeds(in, p.runs, mbs, &sink);
        std::printf("%-18s %10.0f %10.0f %10.0f   %6.2fx   iconv: %s; ICU: %s\n", p.name, mbs[0],
                    mbs[1], mbs[2], mbs[0] / std::max(mbs[1], mbs[2]), agreement(o, a).c_str(),
                    agreement(o, b).c_str());
    }
    std::printf("(ratio = ours / faster peer; %zu bytes written)\n", sink);
    return 0;
}
