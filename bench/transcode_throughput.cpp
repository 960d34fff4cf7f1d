// Throughput of the conversion library's one-shot conversions against glibc
// iconv, ICU and encoding_rs (the converter of a major browser, where cargo
// built it), on the same Japanese text in the same run. Prints MB/s of input
// for each converter, ours as a share of a memcpy of the corpus (the
// physical limit), the ratio of ours to the fastest peer with its target,
// and, given what transcode_throughput_ours printed in the Windows builds
// run under Wine (i686, x86_64), each build's MB/s and its ratio to the
// native build. Each converter is timed by the processor time of its
// thread, so that other work on a shared machine does not count; the
// Windows builds by the wall clock, compared with the native build of the
// same program by the wall clock where its results are given (--native,
// run in turns with them), else with ours timed here by the wall clock.
// Several results of one build count as one, each pair's best.
// Usage: transcode_throughput [corpus.txt] [--win i686|x86_64 results.txt]...
//                             [--native results.txt]...
//        (corpus in UTF-8, see tools/bench-corpus; bench/transcode-throughput
//        builds and runs everything)
//
// The peers get their best case: converters opened once, output into a
// buffer allocated once (encoding_rs gets UTF-8 input it may take as
// checked). Ours is timed as the program calls it, one-shot, input copied
// in and a new output string returned. The heap keeps freed blocks (no mmap
// per large block) so no side pays page faults per run.
#include <iconv.h>
#include <gnu/libc-version.h>
#include <malloc.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/uvernum.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/throughput_pairs.h"

#if defined(LUMENVIK_ENCODING_RS)
extern "C" std::size_t encoding_rs_peer_convert(std::uint32_t pair, const unsigned char* src,
                                                std::size_t src_len, unsigned char* dst,
                                                std::size_t dst_len);
#endif

using namespace throughput;

namespace {

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

// ICU's converters straight from and into UTF-16 units (its fastest road
// for those pairs; UTF-16LE is this machine's order of UChar).
struct icu_from_units_peer {
    UConverter* cnv = nullptr;
    std::vector<char> buf;
    explicit icu_from_units_peer(const char* name) {
        UErrorCode e = U_ZERO_ERROR;
        cnv = ucnv_open(name, &e);
        if (U_FAILURE(e)) std::fprintf(stderr, "ICU: cannot open %s\n", name);
    }
    ~icu_from_units_peer() { ucnv_close(cnv); }
    std::size_t run(const std::string& in, std::string* keep) {
        buf.resize(in.size() * 2 + 16);
        UErrorCode e = U_ZERO_ERROR;
        ucnv_resetFromUnicode(cnv);
        const int32_t n = ucnv_fromUChars(cnv, buf.data(), static_cast<int32_t>(buf.size()),
                                          reinterpret_cast<const UChar*>(in.data()),
                                          static_cast<int32_t>(in.size() / 2), &e);
        if (U_FAILURE(e)) return 0;
        if (keep) keep->assign(buf.data(), static_cast<std::size_t>(n));
        return static_cast<std::size_t>(n);
    }
};

struct icu_to_units_peer {
    UConverter* cnv = nullptr;
    std::vector<UChar> buf;
    explicit icu_to_units_peer(const char* name) {
        UErrorCode e = U_ZERO_ERROR;
        cnv = ucnv_open(name, &e);
        if (U_FAILURE(e)) std::fprintf(stderr, "ICU: cannot open %s\n", name);
    }
    ~icu_to_units_peer() { ucnv_close(cnv); }
    std::size_t run(const std::string& in, std::string* keep) {
        buf.resize(in.size() + 16);
        UErrorCode e = U_ZERO_ERROR;
        ucnv_resetToUnicode(cnv);
        const int32_t n = ucnv_toUChars(cnv, buf.data(), static_cast<int32_t>(buf.size()),
                                        in.data(), static_cast<int32_t>(in.size()), &e);
        if (U_FAILURE(e)) return 0;
        const std::size_t bytes = static_cast<std::size_t>(n) * 2;
        if (keep) keep->assign(reinterpret_cast<const char*>(buf.data()), bytes);
        return bytes;
    }
};

#if defined(LUMENVIK_ENCODING_RS)
// One of the pairs of bench/encoding_rs_peer (same numbering as `pairs`).
struct encoding_rs_peer {
    std::uint32_t pair;
    std::vector<unsigned char> buf;
    std::size_t run(const std::string& in, std::string* keep) {
        buf.resize(in.size() * 4 + 16);
        const std::size_t n =
            encoding_rs_peer_convert(pair, reinterpret_cast<const unsigned char*>(in.data()),
                                     in.size(), buf.data(), buf.size());
        if (n == static_cast<std::size_t>(-1)) return 0;
        if (keep) keep->assign(reinterpret_cast<const char*>(buf.data()), n);
        return n;
    }
};
#endif

converter ours_of(const pair& p) {
    return [&p](const std::string& in, std::string* keep) {
        const std::string out = p.ours(in);
        if (keep) *keep = out;
        return out.size();
    };
}

constexpr int kRunners = 4;  // ours, iconv, ICU, encoding_rs
const char* const runner_names[kRunners] = {"ours", "iconv", "ICU", "encoding_rs"};

// The processor time this thread has used: on a machine shared with other
// work, the time a converter waited for a processor is not its own.
double thread_seconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One converter's best time, on the thread's clock and (for ours, as the
// Windows builds are timed: Wine's thread times are too coarse for one
// conversion) on the wall clock.
struct best_times {
    double thread = 1e30, wall = 1e30;
};

// One round of a row: each of its converters in turns, each timed once
// after 10 ms at least of untimed runs of its own (throughput::warm_up).
void time_round(const std::string& in, const converter (&runs)[kRunners],
                best_times (&best)[kRunners], std::size_t* sink) {
    for (int k = 0; k < kRunners; ++k) {
        if (!runs[k]) continue;
        warm_up([&] { *sink += runs[k](in, nullptr); });
        const auto w0 = std::chrono::steady_clock::now();
        const double t0 = thread_seconds();
        *sink += runs[k](in, nullptr);
        best[k].thread = std::min(best[k].thread, thread_seconds() - t0);
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - w0;
        best[k].wall = std::min(best[k].wall, d.count());
    }
}

double mb_per_s(const std::string& in, double seconds) {
    return seconds < 1e30 ? static_cast<double>(in.size()) / seconds / 1e6 : 0;
}

std::string agreement(const std::string& ours, const std::string& peer) {
    if (peer.empty()) return "failed";
    if (ours == peer) return "same";
    const auto d = std::mismatch(ours.begin(), ours.end(), peer.begin(), peer.end());
    return "DIFFERS at byte " + std::to_string(d.first - ours.begin());
}

// What transcode_throughput_ours printed in one build, each run a line a
// pair: pair index, MB/s, output digest.
struct win_build {
    std::string name;                       // i686, x86_64 or native
    std::vector<std::vector<double>> runs;  // each run's MB/s, in order
    unsigned long long digest[kPairs] = {};
    bool mixed[kPairs] = {};  // its runs gave two digests
    explicit win_build(const char* n) : name(n) {}
    double best(int k) const {
        double b = 0;
        for (const std::vector<double>& run : runs) b = std::max(b, run[k]);
        return b;
    }
};

// The build's ratio to the native one for pair k: where both ran the same
// number of times in turns, the median of the ratios of each turn's runs,
// which ran one after the other (a best against a best would set a fast
// moment of one against a slow moment of the other); else best against
// `base`.
double ratio_to_native(const win_build& w, const win_build& native, int k, double base) {
    if (native.runs.size() != w.runs.size() || w.runs.empty()) return w.best(k) / base;
    std::vector<double> ratios;
    for (std::size_t i = 0; i < w.runs.size(); ++i) {
        ratios.push_back(w.runs[i][k] / native.runs[i][k]);
    }
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
}

// Adds a run's results file to the build's runs.
bool read_win(const char* path, win_build& build) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    std::vector<double> mbs(kPairs);
    unsigned long long digests[kPairs] = {};
    int k, lines = 0;
    double m;
    unsigned long long d;
    while (std::fscanf(f, "%d %lf %llx", &k, &m, &d) == 3) {
        if (k >= 0 && k < kPairs) mbs[k] = m, digests[k] = d, ++lines;
    }
    std::fclose(f);
    if (lines != kPairs) return false;
    for (int p = 0; p < kPairs; ++p) {
        if (!build.runs.empty() && build.digest[p] != digests[p]) build.mixed[p] = true;
        build.digest[p] = digests[p];
    }
    build.runs.push_back(mbs);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    const char* path = LUMENVIK_BENCH_CORPUS;
    std::vector<win_build> wins;
    win_build native{"native"};
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if ((arg == "--win" && a + 2 < argc) || (arg == "--native" && a + 1 < argc)) {
            const bool is_native = arg == "--native";
            const char* name = is_native ? "native" : argv[a + 1];
            const char* file = argv[a + (is_native ? 1 : 2)];
            win_build* build = &native;
            if (!is_native) {
                auto w = std::find_if(wins.begin(), wins.end(),
                                      [name](const win_build& b) { return b.name == name; });
                if (w == wins.end()) w = wins.insert(wins.end(), win_build(name));
                build = &*w;
            }
            if (!read_win(file, *build)) {
                std::fprintf(stderr, "no %s results in %s\n", name, file);
            }
            a += is_native ? 1 : 2;
        } else {
            path = argv[a];
        }
    }
    wins.erase(
        std::remove_if(wins.begin(), wins.end(), [](const win_build& b) { return b.runs.empty(); }),
        wins.end());
    corpus_texts texts;
    const std::string& utf8 = texts.utf8 = read_file(path);
    if (utf8.size() < 1000) {
        std::fprintf(stderr, "no corpus at %s (run tools/bench-corpus)\n", path);
        return 1;
    }
    iconv_peer("CP932", "UTF-8").run(utf8, &texts.cp932);
    iconv_peer("EUC-JP", "UTF-8").run(utf8, &texts.euc);
    iconv_peer("UTF-16LE", "UTF-8").run(utf8, &texts.utf16le);
    // iconv rejects the corpus's characters outside JIS X 0208: our own
    // conversion makes the ISO-2022-JP input.
    texts.iso2022jp = translate_between(utf8, encoding_utf8, encoding_iso2022jp);
    std::printf(
        "corpus %s: UTF-8 %zu bytes, CP932 %zu bytes, EUC-JP %zu bytes, UTF-16LE %zu bytes, "
        "ISO-2022-JP %zu bytes\n",
        path, utf8.size(), texts.cp932.size(), texts.euc.size(), texts.utf16le.size(),
        texts.iso2022jp.size());
#if defined(LUMENVIK_ENCODING_RS)
    std::printf("peers: glibc %s iconv, ICU %s, encoding_rs %s\n", gnu_get_libc_version(),
                U_ICU_VERSION, LUMENVIK_ENCODING_RS);
#else
    std::printf(
        "peers: glibc %s iconv, ICU %s; encoding_rs skipped (cargo was not found "
        "when the tree was configured; bench/transcode-throughput installs it)\n",
        gnu_get_libc_version(), U_ICU_VERSION);
#endif

    iconv_peer iconv_peers[kPairs] = {
        {"UTF-8", "CP932"},        {"UTF-8", "EUC-JP"},         {"CP932", "UTF-8"},
        {"UTF-16LE", "UTF-8"},     {"EUC-JP-MS", "CP932"},      {"CP932", "UTF-16LE"},
        {"EUC-JP-MS", "UTF-16LE"}, {"ISO-2022-JP", "UTF-16LE"}, {"UTF-16LE", "CP932"},
        {"UTF-16LE", "EUC-JP-MS"}, {"UTF-8", "ISO-2022-JP"},    {"ISO-2022-JP", "UTF-8"}};
    icu_peer icu_sjis_utf8("UTF-8", "windows-31j"), icu_euc_utf8("UTF-8", "EUC-JP"),
        icu_utf8_sjis("windows-31j", "UTF-8"), icu_sjis_euc("EUC-JP", "windows-31j"),
        icu_iso_utf8("UTF-8", "ISO-2022-JP"), icu_utf8_iso("ISO-2022-JP", "UTF-8");
    icu_utf16_peer icu_utf8_utf16;
    icu_from_units_peer icu_units_sjis("windows-31j"), icu_units_euc("EUC-JP"),
        icu_units_iso("ISO-2022-JP");
    icu_to_units_peer icu_sjis_units("windows-31j"), icu_euc_units("EUC-JP");
    auto bind = [](auto& peer) -> converter {
        return [&peer](const std::string& in, std::string* keep) { return peer.run(in, keep); };
    };
    const converter icu_runs[kPairs] = {
        bind(icu_sjis_utf8),  bind(icu_euc_utf8),   bind(icu_utf8_sjis), bind(icu_utf8_utf16),
        bind(icu_sjis_euc),   bind(icu_units_sjis), bind(icu_units_euc), bind(icu_units_iso),
        bind(icu_sjis_units), bind(icu_euc_units),  bind(icu_iso_utf8),  bind(icu_utf8_iso)};
#if defined(LUMENVIK_ENCODING_RS)
    std::vector<encoding_rs_peer> rs_peers;
    for (int k = 0; k < kPairs; ++k) rs_peers.push_back({static_cast<std::uint32_t>(k), {}});
#endif
    const double targets[kPairs] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0};

    // The physical limit: the corpus copied into a reused buffer.
    std::vector<char> copy(utf8.size());
    const converter memcpy_run = [&copy](const std::string& in, std::string*) {
        std::memcpy(copy.data(), in.data(), in.size());
        return in.size();
    };
    // Every output is compared with ours before anything is timed; a peer
    // that disagrees is reported and left out of the ratio.
    struct row {
        const std::string* in;
        converter runs[kRunners];
        std::string checks;
        best_times best[kRunners];
    };
    std::vector<row> rows(kPairs + 1);
    rows[kPairs].in = &utf8;
    rows[kPairs].runs[0] = memcpy_run;
    for (int k = 0; k < kPairs; ++k) {
        const pair& p = pairs[k];
        row& r = rows[k];
        r.in = &texts.of(p.input);
        r.runs[0] = ours_of(p);
        r.runs[1] = bind(iconv_peers[k]);
        r.runs[2] = icu_runs[k];
#if defined(LUMENVIK_ENCODING_RS)
        r.runs[3] = bind(rs_peers[k]);
#endif
        std::string outputs[kRunners];
        for (int c = 0; c < kRunners; ++c) {
            if (!r.runs[c]) continue;
            r.runs[c](*r.in, &outputs[c]);
            if (c == 0) continue;
            const std::string a = agreement(outputs[0], outputs[c]);
            r.checks += std::string(r.checks.empty() ? "" : ", ") + runner_names[c] + " " + a;
            if (a != "same") r.runs[c] = nullptr;
        }
        const std::uint64_t ours_digest = digest(outputs[0]);
        auto same_as_ours = [&](const win_build& w) {
            return w.digest[k] == ours_digest && !w.mixed[k];
        };
        for (const win_build& w : wins) {
            r.checks += ", " + w.name + (same_as_ours(w) ? " same" : " DIFFERS");
        }
        if (!native.runs.empty()) {
            r.checks += same_as_ours(native) ? ", native program same" : ", native program DIFFERS";
        }
    }
    // Best of the rounds. A round times every row, each converter in turn,
    // so that a row's rounds are spread over the whole run: this machine's
    // speed changes by a third within minutes, and a row timed in one
    // stretch could fall in a slow one, for ours and the peers unalike.
    std::size_t sink = 0;
    for (int round = 0; round < 9; ++round) {
        for (row& r : rows) time_round(*r.in, r.runs, r.best, &sink);
    }
    const double memcpy_mbs = mb_per_s(utf8, rows[kPairs].best[0].thread);

    std::printf("%-23s %8s %7s", "pair", "ours", "memcpy");
    for (const win_build& w : wins) std::printf(" %8s %7s", w.name.c_str(), "/ours");
    std::printf(" %8s %8s %11s %8s %7s  %s\n", "iconv", "ICU", "encoding_rs", "ratio", "target",
                "outputs checked before timing");
    std::printf("%-23s %8s %7s", "", "MB/s", "share");
    for (std::size_t w = 0; w < wins.size(); ++w) std::printf(" %8s %7s", "MB/s", "");
    std::printf(" %8s %8s %11s\n", "MB/s", "MB/s", "MB/s");
    std::printf("%-23s %8.0f %7.2f\n", "memcpy (UTF-8 corpus)", memcpy_mbs, 1.0);
    for (int k = 0; k < kPairs; ++k) {
        const row& r = rows[k];
        double mbs[kRunners];
        for (int c = 0; c < kRunners; ++c) mbs[c] = mb_per_s(*r.in, r.best[c].thread);
        const double fastest = std::max(std::max(mbs[1], mbs[2]), mbs[3]);
        char rs[16] = "-";
        if (r.runs[3]) std::snprintf(rs, sizeof rs, "%.0f", mbs[3]);
        char ratio[16] = "-";
        if (fastest > 0) std::snprintf(ratio, sizeof ratio, "%.2fx", mbs[0] / fastest);
        char target[16] = "-";
        if (targets[k] > 0) std::snprintf(target, sizeof target, "%.1fx", targets[k]);
        std::printf("%-23s %8.0f %7.2f", pairs[k].name, mbs[0], mbs[0] / memcpy_mbs);
        const double base = !native.runs.empty() ? native.best(k) : mb_per_s(*r.in, r.best[0].wall);
        for (const win_build& w : wins) {
            std::printf(" %8.0f %7.2f", w.best(k), ratio_to_native(w, native, k, base));
        }
        std::printf(" %8.0f %8.0f %11s %8s %7s  %s\n", mbs[1], mbs[2], rs, ratio, target,
                    r.checks.c_str());
    }
    std::printf("(ratio = ours / fastest peer that gave the same output; %zu bytes written)\n",
                sink);
    if (!wins.empty()) {
        if (!native.runs.empty()) {
            std::printf(
                "(MB/s = the build's best of %d runs of transcode_throughput_ours, taken in "
                "turns with the native build's; /ours = the median of the turns' ratios)\n",
                static_cast<int>(native.runs.size()));
        } else {
            std::printf("(/ours = the build's MB/s against ours here by the wall clock)\n");
        }
    }
    return 0;
}
