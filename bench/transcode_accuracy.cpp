// Converts words for bench/detect_accuracy.py: reads one word per line as hex
// bytes and writes, per word, the hex of convert_to_encoding(word, UTF-8),
// the detected encoding and the three scores of the detection window.
// With --search-road the words are code page 932 text typed into the search
// box, and each line gives the word as a URL template fills it in for a
// UTF-8 and an EUC-JP site: first with the encoding guessed, then taken
// from the ANSI code page (932), as the search command does.
#include <cstdio>
#include <iostream>
#include <string>

#include "search/url_template.h"
#include "transcode/detect.h"
#include "transcode/factory.h"

namespace {

std::string from_hex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

std::string to_hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string fill(const std::string& word, transcode::encoding_id site,
                 transcode::encoding_id source) {
    return lumenvik::UrlTemplate("[search_word]", site).expand({{"[search_word]", word}}, source);
}

}  // namespace

int main(int argc, char** argv) {
    std::string line;
    if (argc > 1 && std::string(argv[1]) == "--search-road") {
        const transcode::encoding_id known = lumenvik::encodingOfCodePage(932);
        while (std::getline(std::cin, line)) {
            const std::string word = from_hex(line);
            for (transcode::encoding_id source : {transcode::encoding_unknown, known}) {
                for (transcode::encoding_id site :
                     {transcode::encoding_utf8, transcode::encoding_euc}) {
                    std::cout << fill(word, site, source) << ' ';
                }
            }
            std::cout << '\n';
        }
        return 0;
    }
    while (std::getline(std::cin, line)) {
        const std::string word = from_hex(line);
        const std::string utf8 = transcode::convert_to_encoding(word, transcode::encoding_utf8);
        const transcode::detection_result guess =
            transcode::detect_encoding(word, transcode::detection_limit);
        const transcode::encoding_scores s = transcode::score_encodings(word);
        std::cout << (utf8.empty() ? "-" : to_hex(utf8)) << ' ' << guess.encoding << ' ' << s.sjis
                  << ' ' << s.euc << ' ' << s.utf8 << '\n';
    }
    return 0;
}
