#pragma once
// Files in memory for the tests of saves through FilePort, with one
// operation that fails the way the platform's would: a read refused, a disk
// that fills half way through the temporary file, a replace refused (for
// good, or for the moment another program reads the file). Or
// with the power cut at one step of the save: `files` is then what the disk
// holds afterwards, and the save ends there (PowerCut is thrown).

#include <cstdint>
#include <map>
#include <string>

#include "settings/ini_save.h"

namespace lumenvik {

class MemoryFiles : public FilePort {
  public:
    enum class Fail { none, read, create, replace };
    // The steps a save goes through on the disk: the bytes written, then
    // flushed to the disk, then the file put in its place.
    enum class Cut { none, write, flush, replace };
    struct PowerCut {};

    Read read(const std::string& path, std::string& bytes, uint32_t& error) override {
        const auto it = files.find(path);
        error = fail == Fail::read ? 32 : 2;  // a sharing violation, no such file
        if (fail == Fail::read) return Read::failed;
        if (it == files.end()) return Read::missing;
        bytes = it->second;
        return Read::ok;
    }
    bool create(const std::string& path, const std::string& bytes, uint32_t& error) override {
        // Half the bytes written; or all of them, none yet on the disk.
        if (cut == Cut::write) files[path] = bytes.substr(0, bytes.size() / 2);
        if (cut == Cut::flush) files[path].clear();
        if (cut == Cut::write || cut == Cut::flush) throw PowerCut{};
        if (fail == Fail::create) {
            files[path] = bytes.substr(0, bytes.size() / 2);
            error = 112;  // the disk is full
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool replace(const std::string& from, const std::string& to, uint32_t& error) override {
        // Whatever was done before the replace is on the disk; the replace
        // itself did not get there.
        if (cut == Cut::replace) throw PowerCut{};
        if (fail == Fail::replace) {
            error = 5;  // access denied
            return false;
        }
        if (busyReplaces > 0) {
            --busyReplaces;
            error = 32;  // a sharing violation: another program reads the file
            return false;
        }
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void remove(const std::string& path) override { files.erase(path); }
    bool momentary(uint32_t error) override { return error == 32; }
    void pause() override { ++pauses; }

    std::map<std::string, std::string> files;
    Fail fail = Fail::none;
    Cut cut = Cut::none;
    int busyReplaces = 0;  // replaces refused as momentary, before one passes
    int pauses = 0;
};

}  // namespace lumenvik
