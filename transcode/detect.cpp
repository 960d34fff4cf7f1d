#include "transcode/detect.h"

#include <algorithm>
#include <cstdint>

#include "transcode/byte_classes.h"
#include "transcode/char_weights.h"

namespace transcode {
namespace {

constexpr std::size_t window_size = 256;

// Every scorer keeps a sum of the weights of the characters it read and a
// count of invalid sequences; a byte 0 is invalid everywhere.
struct score {
    std::int64_t weight_sum = 0;
    std::int64_t invalid = 0;
    std::int64_t value() const {
        return weight_sum - invalid * static_cast<std::int64_t>(invalid_sequence_penalty);
    }
};

class sjis_scorer {
  public:
    void feed(unsigned b) {
        if (lead_ != 0) {
            if (is_cp932_trail(b)) {
                s.weight_sum += sjis_char_weight(lead_ * 256 + b);
            } else {
                ++s.invalid;  // the bad byte ends the character with it
            }
            lead_ = 0;
        } else if (b == 0 || b >= 0xFD) {
            ++s.invalid;
        } else if (is_cp932_lead(b)) {
            lead_ = b;
        } else {
            s.weight_sum += sjis_char_weight(b);
        }
    }
    score s;

  private:
    unsigned lead_ = 0;
};

class euc_scorer {
  public:
    void feed(unsigned b) {
        if (b == 0) {
            ++s.invalid;
            lead_ = 0;
            skip_ = 0;
        } else if (skip_ > 0) {
            --skip_;  // the two bytes after 0x8F are not scored
        } else if (lead_ != 0) {
            if (b >= 0x80) {
                s.weight_sum += euc_char_weight(lead_ * 256 + b);
            } else {
                ++s.invalid;
            }
            lead_ = 0;
        } else if (is_euc_lead(b)) {
            lead_ = b;
        } else if (b == 0x8F) {
            skip_ = 2;
        }
    }
    score s;

  private:
    unsigned lead_ = 0;
    int skip_ = 0;
};

class utf8_scorer {
  public:
    void feed(unsigned b) {
        if (b == 0) {
            ++s.invalid;
            need_ = 0;
        } else if (need_ > 0) {
            if (is_utf8_continuation(b)) {
                code_ = (code_ << 6) | (b & 0x3F);
                if (--need_ == 0) s.weight_sum += unicode_char_weight(code_);
            } else {
                ++s.invalid;
                need_ = 0;
            }
        } else {
            const int n = static_cast<int>(utf8_sequence_length[b]);
            if (n == 0) {
                ++s.invalid;
            } else if (n > 1) {
                need_ = n - 1;
                code_ = b & utf8_lead_mask[n];
            }
        }
    }
    score s;

  private:
    int need_ = 0;
    std::uint32_t code_ = 0;
};

bool starts_with(const std::string& s, const char* prefix, std::size_t n) {
    return s.size() >= n && s.compare(0, n, prefix, n) == 0;
}

bool contains(const std::string& s, const char* needle, std::size_t n) {
    return s.find(needle, 0, n) != std::string::npos;
}

bool is_significant(unsigned char b) { return b == 0x00 || b == 0x0F || b == 0x1B || b >= 0x80; }

// Equal scores: CR LF or LF CR line ends point to Shift_JIS, bare LF to
// EUC-JP, bare CR to Shift_JIS; without line ends the charset name that
// comes first decides, and Shift_JIS is the fallback.
encoding_id break_tie(const std::string& s) {
    if (s.find('\n') != std::string::npos) {
        return contains(s, "\r\n", 2) || contains(s, "\n\r", 2) ? encoding_sjis : encoding_euc;
    }
    if (s.find('\r') != std::string::npos) return encoding_sjis;
    constexpr std::size_t none = std::string::npos;
    std::size_t pu = s.find("UTF-8");
    std::size_t ps = none;
    for (const char* name : {"Shift_JIS", "shift_jis", "sjis", "Shift-JIS", "shift-jis", "SJIS"}) {
        ps = std::min(ps, s.find(name));
    }
    std::size_t pe = std::min(s.find("EUC"), s.find("euc"));
    // `none` is the largest value, so an absent name is never "before".
    if (pu != none && pu < ps && pu < pe) return encoding_utf8;
    if (ps != none && ps < pe) return encoding_sjis;
    if (pe != none) return encoding_euc;
    return encoding_sjis;
}

}  // namespace

encoding_scores score_encodings(const std::string& bytes) {
    sjis_scorer sj;
    euc_scorer eu;
    utf8_scorer u8;
    for (char c : bytes) {
        const unsigned b = static_cast<unsigned char>(c);
        sj.feed(b);
        eu.feed(b);
        u8.feed(b);
    }
    encoding_scores r;
    r.sjis = sj.s.value();
    r.euc = eu.s.value();
    r.utf8 = u8.s.value();
    r.sjis_invalid = sj.s.invalid;
    r.euc_invalid = eu.s.invalid;
    r.utf8_invalid = u8.s.invalid;
    return r;
}

detection_result detect_encoding(const std::string& data, std::size_t limit) {
    const std::size_t length = std::min(data.size(), limit);
    if (length == 0) return {encoding_unknown, encoding_uncertain};
    const std::string s = data.substr(0, length);

    // Byte-order marks; the four-byte ones first, as FF FE also starts FF FE 00 00.
    if (starts_with(s, "\x00\x00\xFE\xFF", 4)) return {encoding_utf32be, encoding_utf32be};
    if (starts_with(s, "\xFF\xFE\x00\x00", 4)) return {encoding_utf32le, encoding_utf32le};
    if (starts_with(s, "\xEF\xBB\xBF", 3)) return {encoding_utf8, encoding_utf8};
    if (starts_with(s, "\xFE\xFF", 2)) return {encoding_utf16be, encoding_utf16be};
    if (starts_with(s, "\xFF\xFE", 2)) return {encoding_utf16le, encoding_utf16le};

    // Two zero bytes in a row at a multiple of 4 hint at UTF-32.
    std::size_t zeros = s.find(std::string(2, '\0'));
    if (zeros != std::string::npos) {
        if (zeros % 4 == 0) return {encoding_utf32be, encoding_uncertain};
        if (zeros % 4 == 2) return {encoding_utf32le, encoding_uncertain};
    }

    if (contains(s, "\x1b$B", 3) || contains(s, "\x1b(I", 3) || contains(s, "\x1b$(D", 4)) {
        return {encoding_jis, encoding_jis};
    }

    std::size_t first = 0;
    while (first < length && !is_significant(static_cast<unsigned char>(s[first]))) ++first;
    if (first == length) return {encoding_ansi, encoding_ansi};
    const std::size_t begin = first - first % 4;
    const std::size_t end = std::min(begin + window_size, length);

    std::size_t high = 0, even_zeros = 0, odd_zeros = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80) ++high;
        if (b == 0) ++(i % 2 == 0 ? even_zeros : odd_zeros);
    }
    if (even_zeros + odd_zeros > 0) {
        return {even_zeros >= odd_zeros ? encoding_utf16be : encoding_utf16le, encoding_uncertain};
    }
    if (high == 0) {
        return s.find('\x0F') != std::string::npos ? detection_result{encoding_jis, encoding_jis}
                                                   : detection_result{encoding_ansi, encoding_ansi};
    }

    const encoding_scores sc = score_encodings(s.substr(begin, end - begin));
    const std::int64_t sjv = sc.sjis, euv = sc.euc, u8v = sc.utf8;
    if (sjv == euv && euv == u8v) {
        const encoding_id e = break_tie(s);
        return {e, e};
    }
    encoding_id winner;
    if (euv < sjv) {
        winner = u8v > sjv ? encoding_utf8 : encoding_sjis;
    } else {
        winner = u8v > euv ? encoding_utf8 : encoding_euc;
    }
    const std::int64_t invalid = winner == encoding_utf8   ? sc.utf8_invalid
                                 : winner == encoding_sjis ? sc.sjis_invalid
                                                           : sc.euc_invalid;
    // One invalid sequence per hundred bytes of sample or more makes the guess weak.
    const bool weak = invalid * 100 / static_cast<std::int64_t>(length) >= 1;
    return {winner, weak ? encoding_uncertain : winner};
}

}  // namespace transcode
