#pragma once
// The settings file's bytes and last-write time, for the search modes it
// defines, and whole-file reads of its bytes.

#include <string>

#include "search/search_modes_file.h"

namespace lumenvik::win {

// Paths are UTF-8 (win/program_folder.h) and reach the file functions as
// UTF-16.

// The file's bytes; false (the platform's error code set) when it cannot be
// opened or read.
bool readFileBytes(const std::string& path, std::string& bytes);

class Win32SettingsFile : public SettingsFileView {
  public:
    explicit Win32SettingsFile(std::string path) : path_(std::move(path)) {}
    SettingsFileState state() override;
    bool readAll(std::string& bytes) override;

  private:
    std::string path_;
};

}  // namespace lumenvik::win
