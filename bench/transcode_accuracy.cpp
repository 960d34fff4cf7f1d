// Converts words for bench/detect_accuracy.py: reads one word per line as hex
// bytes and writes, per word, the hex of convert_to_encoding(word, UTF-8),
// the detected encoding and the three scores of the detection window.
#include <cstdio>
#include <iostream>
#include <string>

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

}  // namespace

int main() {
    std::string line;
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
