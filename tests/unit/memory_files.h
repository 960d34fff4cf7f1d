#pragma once
// Files in memory for the tests of saves through FilePort, with one
// operation that fails the way the platform's would: a read refused, a disk
// that fills half way through the temporary file, a replace refused.

#include <cstdint>
#include <map>
#include <string>

#include "settings/ini_save.h"

namespace lumenvik {

class MemoryFiles : public FilePort {
  public:
    enum class Fail { none, read, create, replace };

    Read read(const std::string& path, std::string& bytes, uint32_t& error) override {
        const auto it = files.find(path);
        error = fail == Fail::read ? 32 : 2;  // a sharing violation, no such file
        if (fail == Fail::read) return Read::failed;
        if (it == files.end()) return Read::missing;
        bytes = it->second;
        return Read::ok;
    }
    bool create(const std::string& path, const std::string& bytes, uint32_t& error) override {
        if (fail == Fail::create) {
            files[path] = bytes.substr(0, bytes.size() / 2);
            error = 112;  // the disk is full
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool replace(const std::string& from, const std::string& to, uint32_t& error) override {
        if (fail == Fail::replace) {
            error = 5;  // access denied
            return false;
        }
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void remove(const std::string& path) override { files.erase(path); }

    std::map<std::string, std::string> files;
    Fail fail = Fail::none;
};

}  // namespace lumenvik
