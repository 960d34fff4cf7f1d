#pragma once
// The user's Run key value "Lumenvik" in the registry.

#include "app/run_at_logon.h"

namespace lumenvik {

class Win32RunKey : public RunKeyPort {
  public:
    std::optional<std::u16string> read() override;
    bool write(const std::u16string& value, uint32_t& error) override;
    bool remove(uint32_t& error) override;
};

}  // namespace lumenvik
