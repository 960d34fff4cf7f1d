// The dictionary look-up as the program runs it (the file mapped with the
// Win32 calls), over the prefixes the native benchmark wrote; run under
// Wine by bench/dictionary-lookup.
//   dictionary_lookup_win.exe DICT PREFIXES
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/lookup_stats.h"
#include "platform/dictionary_file.h"
#include "win/text.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const auto t0 = std::chrono::steady_clock::now();
    lumenvik::win::MappedDictionary dictionary;
    std::string problem;
    if (dictionary.open(lumenvik::win::wide(argv[1]), problem) !=
        lumenvik::win::MappedDictionary::Outcome::open) {
        std::fprintf(stderr, "%s: %s\n", argv[1], problem.c_str());
        return 1;
    }
    std::vector<lumenvik::DictionaryRow> rows;
    dictionary.reader().lookup(u8"くるま", 8, rows);
    const auto t1 = std::chrono::steady_clock::now();
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<std::string> prefixes;
    for (std::string line; std::getline(in, line);) prefixes.push_back(line);
    const bench::LookupStats s = bench::statsOf(bench::timeEach(
        prefixes.size(), [&](std::size_t i) { dictionary.reader().lookup(prefixes[i], 8, rows); }));
    std::printf("open (map, check, first look-up): %.2f ms\n",
                std::chrono::duration<double, std::milli>(t1 - t0).count());
    bench::printStats("ours", s);
    return 0;
}
