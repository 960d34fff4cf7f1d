// Shared plumbing of the leaf engines: output written through a fixed local
// buffer and appended once per pass, and the UTF-16 unit accessors that keep
// the engines independent of the width of wchar_t.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Output of one conversion call. Characters are written into a local buffer;
// once a pass holds kPass units it is appended to the target string. The
// slack covers the longest single write (a designation and a character).
template <class S>
class pass_buffer {
  public:
    using unit = typename S::value_type;
    static constexpr std::size_t kPass = 4096;
    static constexpr std::size_t kSlack = 16;

    explicit pass_buffer(S& target) : target_(target) {}
    ~pass_buffer() { commit(); }
    pass_buffer(const pass_buffer&) = delete;
    pass_buffer& operator=(const pass_buffer&) = delete;

    // Call before writing one character: makes room for kSlack units.
    void reserve() {
        if (n_ >= kPass) commit();
    }
    void put(std::uint32_t u) { buf_[n_++] = static_cast<unit>(u); }
    void put2(std::uint32_t a, std::uint32_t b) {
        buf_[n_] = static_cast<unit>(a);
        buf_[n_ + 1] = static_cast<unit>(b);
        n_ += 2;
    }
    // Appends the pending units to the target.
    void commit() {
        if (n_) {
            target_.append(buf_, n_);
            n_ = 0;
        }
    }
    // Room left in the current pass (for bulk loops).
    std::size_t room() const { return kPass - n_; }
    unit* cursor() { return buf_ + n_; }
    void advance(std::size_t k) { n_ += k; }

  private:
    S& target_;
    std::size_t n_ = 0;
    unit buf_[kPass + kSlack];
};

}  // namespace detail
}  // namespace transcode
