// Shared plumbing of the leaf engines: output written in bounded windows
// straight into the target string, and the UTF-16 unit accessor that keeps
// the engines independent of the width of wchar_t.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace transcode {
namespace detail {

// The value of a UTF-16 element; anything above 0xFFFF (possible only where
// wchar_t is 32 bits wide) is not a UTF-16 unit.
inline std::uint32_t unit_value(wchar_t w) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
}

inline const unsigned char* bytes_of(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// Output of one conversion call, written straight into the target string
// through a raw pointer, a window of a bounded number of units at a time.
// The caller checks its pointer against limit() before each character (or
// run of them); past the limit at least kSlack units stay free, enough for
// the longest single write (a designation and a character, a block of 16
// widened ASCII bytes, a group of four UTF-8 sequences written 4 bytes per
// unit, or the four 16-byte stores of a block of UTF-8 decoded into 16-bit
// units).
// close() trims the unused room.
template <class S>
class output_window {
  public:
    using unit = typename S::value_type;
    static constexpr std::size_t kSlack = 64;
    static constexpr std::size_t kWindow = 1 << 16;
    static constexpr std::size_t kReserveLimit = 1 << 22;

    explicit output_window(S& target) : s_(target), used_(target.size()) {}
    output_window(const output_window&) = delete;
    output_window& operator=(const output_window&) = delete;

    // Opens room for the output of `input_left` input units at `per_unit`
    // output units each (at most one window); returns the write pointer.
    unit* open(std::size_t input_left, std::size_t per_unit) {
        if (!reserved_) {
            // One allocation for the whole call instead of a chain of them
            // (up to a bound: per_unit is a worst case, and a 32-bit process
            // must not ask for several times a huge input up front).
            reserved_ = true;
            const std::size_t bound = input_left < kReserveLimit ? input_left : kReserveLimit;
            s_.reserve(used_ + bound * per_unit + kSlack);
        }
        const std::size_t units = (input_left < kWindow ? input_left : kWindow) * per_unit;
        grow(used_ + units + kSlack);
        unit* base = &s_[0];
        limit_ = base + used_ + units;
        return base + used_;
    }
    // Keeps what was written up to p and opens the next window.
    unit* more(unit* p, std::size_t input_left, std::size_t per_unit) {
        used_ = static_cast<std::size_t>(p - &s_[0]);
        return open(input_left, per_unit);
    }
    unit* limit() const { return limit_; }
    void close(unit* p) { s_.resize(static_cast<std::size_t>(p - &s_[0])); }

  private:
    // resize() fills the new room through the C runtime's memset, which the
    // 32-bit Windows runtime does four bytes a store; its memmove uses
    // vectors, so there the room is filled by copying a block of zeros.
    void grow(std::size_t n) {
#if defined(_WIN32) && defined(__i386__)
        if constexpr (std::is_same_v<S, std::basic_string<unit>>) {
            static const unit zeros[4096] = {};
            if (n > s_.size()) {
                while (s_.size() < n) {
                    const std::size_t k = n - s_.size();
                    s_.append(zeros, k < 4096 ? k : 4096);
                }
                return;
            }
        }
#endif
        s_.resize(n);
    }

    S& s_;
    std::size_t used_;
    unit* limit_ = nullptr;
    bool reserved_ = false;
};

template <class U>
inline void put(U*& o, std::uint32_t v) {
    *o++ = static_cast<U>(v);
}
template <class U>
inline void put2(U*& o, std::uint32_t a, std::uint32_t b) {
    o[0] = static_cast<U>(a);
    o[1] = static_cast<U>(b);
    o += 2;
}

// The fast loops run while enough input is left to read this many units
// ahead without checking.
constexpr std::size_t kAhead = 8;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

// The 4 bytes at p as a number, first byte lowest.
inline std::uint32_t load_le32(const unsigned char* p) {
    if (kLittleEndian) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    }
    return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16) |
           (static_cast<std::uint32_t>(p[3]) << 24);
}

// The 8 bytes at p as a number, first byte lowest.
inline std::uint64_t load_le64(const unsigned char* p) {
    if (kLittleEndian) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        return w;
    }
    return load_le32(p) | static_cast<std::uint64_t>(load_le32(p + 4)) << 32;
}

// Stores the 4 (2) low bytes of v at o, lowest first.
inline void store_le32(char* o, std::uint32_t v) {
    if (kLittleEndian) {
        std::memcpy(o, &v, 4);
    } else {
        for (int k = 0; k < 4; ++k) o[k] = static_cast<char>(v >> (8 * k));
    }
}
inline void store_le16(char* o, std::uint32_t v) {
    if (kLittleEndian) {
        const std::uint16_t h = static_cast<std::uint16_t>(v);
        std::memcpy(o, &h, 2);
    } else {
        o[0] = static_cast<char>(v);
        o[1] = static_cast<char>(v >> 8);
    }
}

}  // namespace detail
}  // namespace transcode
