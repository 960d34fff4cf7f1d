// The library's side of transcode_throughput in the build that ships (i686,
// mingw-w64), run under Wine by bench/transcode-throughput. Prints, for each
// pair, its index, MB/s of input (best of 9 runs) and a digest of the output,
// which the native benchmark compares with its own.
// Usage: transcode_throughput_i686.exe corpus.txt   (UTF-8)
#include <cinttypes>
#include <cstdio>

#include "bench/throughput_pairs.h"

using namespace throughput;

namespace {

std::size_t sink = 0;

void run_ours(const std::string& in, const pair& p) { sink += p.ours(in).size(); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string utf8 = read_file(argv[1]);
    if (utf8.size() < 1000) {
        std::fprintf(stderr, "no corpus at %s\n", argv[1]);
        return 1;
    }
    const std::string cp932 = ours<utf8_to_sjis>(utf8), euc = ours<utf8_to_euc>(utf8);
    for (int k = 0; k < kPairs; ++k) {
        const pair& p = pairs[k];
        const std::string& in = p.input == input_kind::utf8    ? utf8
                                : p.input == input_kind::cp932 ? cp932
                                                               : euc;
        double best = 1e30;
        for (int round = 0; round < 9; ++round) best = std::min(best, seconds_of(run_ours, in, p));
        std::printf("%d %.1f %016" PRIx64 "\n", k, static_cast<double>(in.size()) / best / 1e6,
                    digest(p.ours(in)));
    }
    return sink == 0;
}
