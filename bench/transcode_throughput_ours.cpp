// The library alone, timed as a program of each build runs it: the native
// build and the builds that ship (i686 and x86_64, mingw-w64, under Wine),
// the same code in each, so that their ratios compare builds and not
// timings. bench/transcode-throughput runs them in turns and
// transcode_throughput reads what they print: for each pair, its index, MB/s
// of input (best of the rounds, by the wall clock: Wine's thread times are
// too coarse for one conversion) and a digest of the output, which it
// compares with its own.
// Usage: transcode_throughput_ours corpus.txt [rounds]   (UTF-8; 9 rounds)
//
// As the native benchmark keeps freed blocks in its heap, this one keeps its
// large freed blocks for reuse: the Windows heap gives every large block
// fresh pages, and each run would pay their page faults.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "bench/throughput_pairs.h"

using namespace throughput;

namespace {

// Freed blocks of 1 MB and more, each with its size in front, for reuse.
constexpr std::size_t kLarge = 1 << 20;
constexpr std::size_t kHeader = 16;
void* kept[16];

void* allocate(std::size_t size) {
    if (size >= kLarge) {
        for (void*& block : kept) {
            if (block && *static_cast<std::size_t*>(block) >= size) {
                void* b = block;
                block = nullptr;
                return static_cast<char*>(b) + kHeader;
            }
        }
    }
    char* b = static_cast<char*>(std::malloc(size + kHeader));
    if (!b) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(b) = size;
    return b + kHeader;
}

void release(void* p) {
    if (!p) return;
    char* b = static_cast<char*>(p) - kHeader;
    if (*reinterpret_cast<std::size_t*>(b) >= kLarge) {
        for (void*& block : kept) {
            if (!block) {
                block = b;
                return;
            }
        }
    }
    std::free(b);
}

std::size_t sink = 0;

void run_ours(const std::string& in, const pair& p) { sink += p.ours(in).size(); }

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    if (rounds < 1) {
        std::fprintf(stderr, "rounds must be 1 or more, not %s\n", argv[2]);
        return 2;
    }
    corpus_texts texts;
    texts.utf8 = read_file(argv[1]);
    if (texts.utf8.size() < 1000) {
        std::fprintf(stderr, "no corpus at %s\n", argv[1]);
        return 1;
    }
    texts.cp932 = ours<utf8_to_sjis>(texts.utf8);
    texts.euc = ours<utf8_to_euc>(texts.utf8);
    texts.utf16le = ours<utf8_to_utf16le>(texts.utf8);
    texts.iso2022jp = translate_between(texts.utf8, encoding_utf8, encoding_iso2022jp);
    // The pairs take turns in each round, so a change in the machine's load
    // hits all of them alike.
    double best[kPairs];
    for (double& b : best) b = 1e30;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < kPairs; ++k) {
            const std::string& in = texts.of(pairs[k].input);
            warm_up([&] { run_ours(in, pairs[k]); });
            best[k] = std::min(best[k], seconds_of(run_ours, in, pairs[k]));
        }
    }
    for (int k = 0; k < kPairs; ++k) {
        const std::string& in = texts.of(pairs[k].input);
        std::printf("%d %.1f %016" PRIx64 "\n", k, static_cast<double>(in.size()) / best[k] / 1e6,
                    digest(pairs[k].ours(in)));
    }
    return sink == 0;
}
