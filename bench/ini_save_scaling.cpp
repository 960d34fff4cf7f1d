// How the settings file's save grows with the file: the new text of a save
// (withIniValues, the nine values, as the program makes it) for files of
// 0.5, 1 and 2 MB, against the least any save must do with the same text
// (one pass over its line ends and one copy). Linear work keeps both
// ratios flat: ours / peer the same at every size, and the time of 2 MB
// four times that of 0.5 MB. Not a test: run by hand (README, Benchmarks).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/ini_save.h"

namespace {

// A file a user could grow: one long section of keys and comments (lines
// without "]", and comments without "="; the scanner that searched the
// whole text went back to the section's header for each "]" and on to the
// next key for each "="), and the program's two sections at the very end,
// so every key is looked for through the whole text.
std::string settingsText(std::size_t bytes) {
    std::string text = "[Bookmarks]\r\n";
    for (std::size_t n = 0; text.size() < bytes; ++n) {
        if (n % 4 == 0) {
            text += "; a note the user keeps, line " + std::to_string(n) + " of many\r\n";
        } else {
            text += "key" + std::to_string(n) + "=https://www.example.jp/search?q=%s&lang=ja\r\n";
        }
    }
    return text + "[KeyData]\r\nmode_prior=33\r\n[otherInfo]\r\nkeyInterval=500\r\n";
}

const std::vector<lumenvik::IniValue> kNine = {
    {"KeyData", "mode_prior", "34"},     {"KeyData", "mode_next", "33"},
    {"KeyData", "history_prior", "38"},  {"KeyData", "history_next", "40"},
    {"KeyData", "showWindowKey", "17"},  {"otherInfo", "keyInterval", "450"},
    {"otherInfo", "historySize", "100"}, {"otherInfo", "googleStart", "1"},
    {"otherInfo", "japanLocal", "0"},
};

template <class F>
double bestSeconds(F work, int rounds) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

}  // namespace

int main() {
    std::printf(
        "| file | save (ours) | one pass and a copy (peer) | ours / peer | time / time at 0.5 MB "
        "|\n");
    std::printf("|---|---|---|---|---|\n");
    double first = 0;
    std::size_t sink = 0;
    for (const std::size_t size :
         {std::size_t{512} << 10, std::size_t{1} << 20, std::size_t{2} << 20}) {
        const std::string text = settingsText(size);
        const double ours =
            bestSeconds([&] { sink += lumenvik::withIniValues(text, kNine).size(); }, 7);
        const double peer = bestSeconds(
            [&] {
                std::string copy = text;
                for (const char* p = copy.data();
                     (p = static_cast<const char*>(
                          std::memchr(p, '\n', copy.data() + copy.size() - p))) != nullptr;
                     ++p) {
                    ++sink;
                }
                sink += copy.size();
            },
            7);
        if (first == 0) first = ours;
        std::printf("| %.1f MB | %.2f ms | %.3f ms | %.0f | %.1f |\n",
                    static_cast<double>(text.size()) / (1 << 20), ours * 1e3, peer * 1e3,
                    ours / peer, ours / first);
    }
    return sink == 0 ? 1 : 0;
}
