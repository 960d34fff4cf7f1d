// Shared pieces of the fuzz targets: a check that aborts with a message
// (libFuzzer then keeps the input as a crash) and the piece lengths in which
// a target feeds its input to a stream engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace fuzz {

// Lengths of the portions an input is cut into, drawn from a seed taken
// from the input itself, so a crash reproduces from its file alone. Mostly
// 0 to 7 bytes (cuts inside characters and escapes), sometimes longer.
class Pieces {
  public:
    explicit Pieces(std::uint32_t seed) : s_(seed | 1u) {}
    std::size_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        const unsigned r = s_ & 0xFF;
        if (r < 200) return r % 8;
        if (r < 250) return r % 64;
        return 4096;
    }

  private:
    std::uint32_t s_;
};

inline std::uint32_t read_u32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace fuzz
