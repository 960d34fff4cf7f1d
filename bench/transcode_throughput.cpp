// Throughput of the conversion library's one-shot conversions against glibc
// iconv and ICU, on the same Japanese text in the same run. Prints MB/s of
// input for each converter and the ratio of ours to the faster peer.
// Usage: transcode_throughput [corpus.txt]   (UTF-8; see tools/bench-corpus)
#include <iconv.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "transcode/transcode.h"

using namespace transcode;

namespace {

std::string read_file(const char* path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// One whole-buffer iconv conversion; empty on failure.
std::string with_iconv(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(in.size() * 4 + 16, '\0');
    char* ip = const_cast<char*>(in.data());
    std::size_t il = in.size();
    char* op = &out[0];
    std::size_t ol = out.size();
    const std::size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) return {};
    out.resize(out.size() - ol);
    return out;
}

// Byte-to-byte conversion through ICU's pivoting converter pair.
struct icu_pair {
    UConverter* to = nullptr;
    UConverter* from = nullptr;
    icu_pair(const char* to_name, const char* from_name) {
        UErrorCode e = U_ZERO_ERROR;
        to = ucnv_open(to_name, &e);
        from = ucnv_open(from_name, &e);
        if (U_FAILURE(e)) std::fprintf(stderr, "ICU: cannot open %s/%s\n", to_name, from_name);
    }
    ~icu_pair() {
        ucnv_close(to);
        ucnv_close(from);
    }
    std::string convert(const std::string& in) const {
        std::string out(in.size() * 4 + 16, '\0');
        UErrorCode e = U_ZERO_ERROR;
        const int32_t n = ucnv_convert_wrapper(out, in, &e);
        if (U_FAILURE(e)) return {};
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    int32_t ucnv_convert_wrapper(std::string& out, const std::string& in, UErrorCode* e) const {
        char* target = &out[0];
        const char* source = in.data();
        ucnv_convertEx(to, from, &target, target + out.size(), &source, source + in.size(), nullptr,
                       nullptr, nullptr, nullptr, true, true, e);
        return static_cast<int32_t>(target - &out[0]);
    }
};

std::string icu_utf8_to_utf16le(const std::string& in) {
    std::u16string out(in.size() + 16, u'\0');
    int32_t n = 0;
    UErrorCode e = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(&out[0]), static_cast<int32_t>(out.size()), &n,
                  in.data(), static_cast<int32_t>(in.size()), &e);
    if (U_FAILURE(e)) return {};
    return std::string(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(n) * 2);
}

// Best of several rounds, in MB/s of input. The converters take turns in
// each round, so a change in the machine's load hits all of them alike.
void speeds(std::size_t bytes, const std::function<std::string()> (&runs)[3], double (&mbs)[3],
            std::size_t* sink) {
    double best[3] = {1e30, 1e30, 1e30};
    for (int round = 0; round < 9; ++round) {
        for (int k = 0; k < 3; ++k) {
            const auto t0 = std::chrono::steady_clock::now();
            const std::string out = runs[k]();
            const auto t1 = std::chrono::steady_clock::now();
            *sink += out.size();
            best[k] = std::min(best[k], std::chrono::duration<double>(t1 - t0).count());
        }
    }
    for (int k = 0; k < 3; ++k) mbs[k] = static_cast<double>(bytes) / best[k] / 1e6;
}

const char* agreement(const std::string& ours, const std::string& peer) {
    if (peer.empty()) return "peer failed";
    if (ours == peer) return "same output";
    const auto d = std::mismatch(ours.begin(), ours.end(), peer.begin(), peer.end());
    static char buf[64];
    std::snprintf(buf, sizeof buf, "DIFFERS at byte %zu",
                  static_cast<std::size_t>(d.first - ours.begin()));
    return buf;
}

template <class E>
std::string ours(const std::string& in) {
    return translate_all<E>(in);
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : LUMENVIK_BENCH_CORPUS;
    const std::string utf8 = read_file(path);
    if (utf8.size() < 1000) {
        std::fprintf(stderr, "no corpus at %s (run tools/bench-corpus)\n", path);
        return 1;
    }
    const std::string cp932 = with_iconv("CP932", "UTF-8", utf8);
    const std::string euc = with_iconv("EUC-JP", "UTF-8", utf8);
    std::printf("corpus %s: UTF-8 %zu bytes, CP932 %zu bytes, EUC-JP %zu bytes\n", path,
                utf8.size(), cp932.size(), euc.size());

    using sjis_to_utf8 =
        twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
    using euc_to_utf8 = twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>;
    using utf8_to_sjis =
        twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>;
    using utf8_to_utf16le = twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>;

    struct pair_bench {
        const char* name;
        const std::string* input;
        std::function<std::string(const std::string&)> ours, iconv, icu;
    };
    icu_pair icu_sjis_utf8("UTF-8", "windows-31j"), icu_euc_utf8("UTF-8", "EUC-JP"),
        icu_utf8_sjis("windows-31j", "UTF-8"), icu_sjis_euc("EUC-JP", "windows-31j");
    const pair_bench pairs[] = {
        {"CP932 -> UTF-8", &cp932, ours<sjis_to_utf8>,
         [](const std::string& s) { return with_iconv("UTF-8", "CP932", s); },
         [&](const std::string& s) { return icu_sjis_utf8.convert(s); }},
        {"EUC-JP -> UTF-8", &euc, ours<euc_to_utf8>,
         [](const std::string& s) { return with_iconv("UTF-8", "EUC-JP", s); },
         [&](const std::string& s) { return icu_euc_utf8.convert(s); }},
        {"UTF-8 -> CP932", &utf8, ours<utf8_to_sjis>,
         [](const std::string& s) { return with_iconv("CP932", "UTF-8", s); },
         [&](const std::string& s) { return icu_utf8_sjis.convert(s); }},
        {"UTF-8 -> UTF-16LE", &utf8, ours<utf8_to_utf16le>,
         [](const std::string& s) { return with_iconv("UTF-16LE", "UTF-8", s); },
         icu_utf8_to_utf16le},
        {"CP932 -> EUC-JP", &cp932, ours<sjis_to_euc_engine>,
         [](const std::string& s) { return with_iconv("EUC-JP-MS", "CP932", s); },
         [&](const std::string& s) { return icu_sjis_euc.convert(s); }},
    };

    std::size_t sink = 0;
    std::printf("%-18s %10s %10s %10s   %-8s  %s\n", "pair", "ours MB/s", "iconv", "ICU", "ratio",
                "outputs checked before timing");
    for (const auto& p : pairs) {
        const std::string& in = *p.input;
        const std::string o = p.ours(in), a = p.iconv(in), b = p.icu(in);
        const std::function<std::string()> runs[3] = {
            [&] { return p.ours(in); }, [&] { return p.iconv(in); }, [&] { return p.icu(in); }};
        double mbs[3];
        speeds(in.size(), runs, mbs, &sink);
        const double so = mbs[0], sa = mbs[1], sb = mbs[2];
        std::printf("%-18s %10.0f %10.0f %10.0f   %6.2fx   iconv: %s; ICU: %s\n", p.name, so, sa,
                    sb, so / std::max(sa, sb), agreement(o, a), agreement(o, b));
    }
    std::printf("(ratio = ours / faster peer; %zu bytes written)\n", sink);
    return 0;
}
