// Look-up as you type against SQLite FTS5 prefix queries, with grep -F on
// the EUC-JP source as the floor (not a test; bench/dictionary-lookup runs
// it, see README).
//
//   dictionary_lookup DICT EDICT PREFIXES_OUT [--win NAME RESULTS]...
//
// 20,000 prefixes (1-6 characters) of the dictionary's own headwords,
// readings and gloss words, drawn with a fixed seed from the source, are
// written to PREFIXES_OUT (UTF-8, one a line) for the Windows side. Each
// is looked up once by our reader on the memory-mapped file and once by
// SQLite over the same entries (folded as ours are: an FTS5 table of the
// folded headword, reading and glosses, the first 8 by the same rank), in
// turns, prefix by prefix.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/lookup_stats.h"
#include "dictionary/dict_reader.h"
#include "dictionary/fold.h"
#include "transcode/factory.h"

namespace {

using namespace lumenvik;

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Line {
    std::string headword, reading, glosses;
};

std::vector<Line> parse(const std::string& utf8) {
    std::vector<Line> lines;
    std::size_t at = 0;
    bool first = true;
    while (at < utf8.size()) {
        std::size_t end = utf8.find('\n', at);
        if (end == std::string::npos) end = utf8.size();
        const std::string l = utf8.substr(at, end - at);
        at = end + 1;
        if (first) {  // the file's own name and copyright
            first = false;
            continue;
        }
        const std::size_t blank = l.find(' '), slash = l.find(" /");
        if (blank == std::string::npos || slash == std::string::npos || l.back() != '/') continue;
        Line e;
        e.headword = l.substr(0, blank);
        if (l.compare(blank + 1, 1, "[") == 0) {
            const std::size_t close = l.find(']', blank);
            if (close == std::string::npos) continue;
            e.reading = l.substr(blank + 2, close - blank - 2);
        }
        e.glosses = l.substr(slash + 2, l.size() - slash - 3);
        lines.push_back(e);
    }
    return lines;
}

// The first n code points of s.
std::string firstPoints(const std::string& s, std::size_t n) {
    std::size_t i = 0, points = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && points++ == n) break;
        ++i;
    }
    return s.substr(0, i);
}

std::vector<std::string> glossWords(const std::string& g) {
    std::vector<std::string> words;
    std::string w;
    int depth = 0;
    for (char c : g + " ") {
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && std::isalnum(static_cast<unsigned char>(c))) {
            w += c;
        } else {
            if (w.size() > 0) words.push_back(w);
            w.clear();
        }
    }
    return words;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: dictionary_lookup DICT EDICT PREFIXES_OUT [--win NAME RESULTS]...\n");
        return 2;
    }
    const std::string eucJp = readWhole(argv[2]);
    std::string utf8 =
        transcode::translate_between(eucJp, transcode::encoding_euc, transcode::encoding_utf8);
    std::vector<Line> lines = parse(utf8);

    // The prefixes, a third each of headwords, readings and gloss words.
    std::mt19937 random(20261209);
    std::vector<std::string> prefixes;
    while (prefixes.size() < 20000) {
        const Line& e = lines[random() % lines.size()];
        std::string word;
        switch (prefixes.size() % 3) {
            case 0:
                word = e.headword;
                break;
            case 1:
                word = e.reading.empty() ? e.headword : e.reading;
                break;
            default: {
                const std::vector<std::string> w = glossWords(e.glosses);
                if (w.empty()) continue;
                word = w[random() % w.size()];
            }
        }
        const std::size_t length = 1 + random() % 6;
        const std::string p = firstPoints(word, length);
        if (!p.empty()) prefixes.push_back(p);
    }
    {
        std::ofstream out(argv[3], std::ios::binary);
        for (const std::string& p : prefixes) out << p << '\n';
    }

    // Ours: the file mapped, as the program maps it.
    const auto t0 = std::chrono::steady_clock::now();
    const int fd = open(argv[1], O_RDONLY);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    void* map = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    DictionaryReader reader;
    std::string problem;
    if (map == MAP_FAILED || !reader.open(static_cast<const unsigned char*>(map),
                                          static_cast<std::size_t>(st.st_size), problem)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], problem.c_str());
        return 1;
    }
    std::vector<DictionaryRow> rows;
    reader.lookup(u8"くるま", 8, rows);
    const auto t1 = std::chrono::steady_clock::now();

    // SQLite: the same entries, folded as ours, with our rank order.
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db,
                 "CREATE VIRTUAL TABLE e USING fts5(head, reading, glosses, headword UNINDEXED, "
                 "rank_key UNINDEXED, tokenize='unicode61 remove_diacritics 0', prefix='1 2 3')",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO e(rowid, head, reading, glosses, headword, rank_key) VALUES (?,?,?,?,?,?)",
        -1, &insert, nullptr);
    std::int64_t id = 0;
    for (const Line& e : lines) {
        const bool common = e.glosses.find("/(P)") != std::string::npos;
        // Common words, then shorter headwords, then the file's order.
        const std::int64_t rankKey = (common ? 0 : 1LL << 40) +
                                     (static_cast<std::int64_t>(codePointCount(e.headword)) << 24) +
                                     id;
        const std::string h = foldForLookup(e.headword), r = foldForLookup(e.reading),
                          g = foldForLookup(e.glosses);
        sqlite3_bind_int64(insert, 1, ++id);
        sqlite3_bind_text(insert, 2, h.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, r.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, g.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, e.headword.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 6, rankKey);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT headword FROM e WHERE e MATCH ? ORDER BY rank_key LIMIT 8", -1,
                       &query, nullptr);

    std::vector<double> ours(prefixes.size()), peer(prefixes.size());
    std::size_t oursRows = 0, peerRows = 0;
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        const std::string folded = foldForLookup(prefixes[i]);
        bool latin = true;
        for (char c : folded) latin = latin && static_cast<unsigned char>(c) < 0x80;
        std::string quoted = "\"";
        for (char c : folded) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        const std::string match = (latin ? "glosses : " : "{head reading} : ") + quoted + "\"*";
        // In turns, so the machine's load falls on both alike.
        auto a = std::chrono::steady_clock::now();
        reader.lookup(prefixes[i], 8, rows);
        auto b = std::chrono::steady_clock::now();
        ours[i] = std::chrono::duration<double, std::micro>(b - a).count();
        oursRows += rows.size();
        a = std::chrono::steady_clock::now();
        sqlite3_bind_text(query, 1, match.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(query) == SQLITE_ROW) ++peerRows;
        sqlite3_reset(query);
        b = std::chrono::steady_clock::now();
        peer[i] = std::chrono::duration<double, std::micro>(b - a).count();
    }
    sqlite3_finalize(query);
    sqlite3_close(db);

    // The floor: grep -F over the EUC-JP source, process start included,
    // for every 100th prefix.
    std::vector<double> grep;
    for (std::size_t i = 0; i < prefixes.size(); i += 100) {
        const std::string euc = transcode::translate_between(prefixes[i], transcode::encoding_utf8,
                                                             transcode::encoding_euc);
        std::string quoted = "'";
        for (char c : euc) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        const std::string command =
            "grep -F -c -- " + quoted + "' '" + std::string(argv[2]) + "' >/dev/null";
        const auto a = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) < 0) return 1;
        const auto b = std::chrono::steady_clock::now();
        grep.push_back(std::chrono::duration<double, std::micro>(b - a).count());
    }

    std::printf("%zu prefixes of 1-6 characters (headwords, readings, gloss words), %zu entries\n",
                prefixes.size(), lines.size());
    std::printf("open (map, check, first look-up): %.2f ms\n",
                std::chrono::duration<double, std::milli>(t1 - t0).count());
    const bench::LookupStats o = bench::statsOf(ours), p = bench::statsOf(peer),
                             g = bench::statsOf(grep);
    bench::printStats("ours (native)", o);
    bench::printStats("SQLite FTS5 prefix query", p);
    bench::printStats("grep -F on the EUC-JP file", g);
    std::printf("rows: ours %zu, SQLite %zu\n", oursRows, peerRows);
    std::printf(
        "SQLite / ours: median %.1fx, p99 %.1fx, mean %.1fx   (target >= 10x; p99 <= 1000 us)\n",
        p.medianUs / o.medianUs, p.p99Us / o.p99Us, p.meanUs / o.meanUs);
    std::printf("grep -F / ours: median %.0fx\n", g.medianUs / o.medianUs);
    for (int i = 4; i + 2 < argc + 0 && std::string(argv[i]) == "--win"; i += 3) {
        std::printf("--- %s under Wine ---\n%s", argv[i + 1], readWhole(argv[i + 2]).c_str());
    }
    munmap(map, static_cast<std::size_t>(st.st_size));
    close(fd);
    return 0;
}
