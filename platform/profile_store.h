#pragma once
// The settings file: read through the platform's private profile (INI)
// functions, written in one piece (settings/ini_save.h) through the file
// port below. Paths come as UTF-8 and go to the W functions as UTF-16.

#include "settings/ini_save.h"
#include "settings/search_settings.h"

namespace lumenvik::win {

// The file operations of a save: the temporary file is written through and
// flushed, then moved over the old file in one step (MoveFileEx with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
class Win32FilePort : public FilePort {
  public:
    Read read(const std::string& path, std::string& bytes, uint32_t& error) override;
    bool create(const std::string& path, const std::string& bytes, uint32_t& error) override;
    bool replace(const std::string& from, const std::string& to, uint32_t& error) override;
    void remove(const std::string& path) override;
    bool momentary(uint32_t error) override;
    void pause() override;
};

class Win32ProfileStore : public ProfileStore {
  public:
    bool fileExists(const std::string& path) override;
    int32_t readInt(const std::string& path, const std::string& section, const std::string& key,
                    int32_t fallback) override;
    std::string readString(const std::string& path, const std::string& section,
                           const std::string& key) override;
    bool writeValues(const std::string& path, const std::vector<IniValue>& values,
                     uint32_t& error) override;
};

// The process's store, for the live settings record.
Win32ProfileStore& profileStore();

}  // namespace lumenvik::win
