#pragma once
// The settings file: read through the platform's private profile (INI)
// functions, written one line at a time (settings/ini_edit.h).

#include "settings/search_settings.h"

namespace lumenvik::win {

class Win32ProfileStore : public ProfileStore {
  public:
    bool fileExists(const std::string& path) override;
    int32_t readInt(const std::string& path, const std::string& section, const std::string& key,
                    int32_t fallback) override;
    std::string readString(const std::string& path, const std::string& section,
                           const std::string& key) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

// The process's store, for the live settings record.
Win32ProfileStore& profileStore();

}  // namespace lumenvik::win
