// glibc iconv as an independent reference for the decoding tables (native
// tests only).
#pragma once

#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tc_test {

// Decodes bytes with iconv; returns false when iconv rejects them.
class iconv_decoder {
  public:
    explicit iconv_decoder(const char* encoding) : cd_(iconv_open("UTF-32LE", encoding)) {}
    ~iconv_decoder() {
        if (ok()) iconv_close(cd_);
    }
    iconv_decoder(const iconv_decoder&) = delete;
    iconv_decoder& operator=(const iconv_decoder&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    bool decode(const std::string& in, std::vector<std::uint32_t>& out) {
        out.clear();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string src = in;
        char buf[64];
        char* ip = &src[0];
        std::size_t il = src.size();
        char* op = buf;
        std::size_t ol = sizeof buf;
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return false;
        if (iconv(cd_, nullptr, nullptr, &op, &ol) == static_cast<std::size_t>(-1)) return false;
        for (char* q = buf; q + 4 <= op; q += 4) {
            const auto* u = reinterpret_cast<const unsigned char*>(q);
            out.push_back(u[0] | (u[1] << 8) | (u[2] << 16) |
                          (static_cast<std::uint32_t>(u[3]) << 24));
        }
        return true;
    }

  private:
    iconv_t cd_;
};

}  // namespace tc_test
