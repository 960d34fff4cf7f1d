#pragma once
// Saving values into an INI file all at once: the new text is made once
// from the old (each value changed as withIniValue changes it, every other
// byte kept), written to a temporary file beside it and put in its place in
// one step. The file is at every moment either wholly the old text or
// wholly the new one, whatever stops the program or fills the disk.

#include <cstdint>
#include <string>
#include <vector>

namespace lumenvik {

struct IniValue {
    std::string section;
    std::string key;
    std::string value;
};

// The file operations of a save, answered by the platform. `error` gets the
// platform's error code when an operation fails.
class FilePort {
  public:
    enum class Read { ok, missing, failed };

    virtual ~FilePort() = default;
    virtual Read read(const std::string& path, std::string& bytes, uint32_t& error) = 0;
    // Creates the file anew (or overwrites it) with `bytes`, on the disk
    // before it returns.
    virtual bool create(const std::string& path, const std::string& bytes, uint32_t& error) = 0;
    // Puts the file `from` in the place of `to` in one step: `to` stays as it
    // was unless this succeeds.
    virtual bool replace(const std::string& from, const std::string& to, uint32_t& error) = 0;
    virtual void remove(const std::string& path) = 0;
    // Whether a replace that failed with `error` may pass a moment later:
    // another program (a virus scanner, the search indexer, anything that
    // reads the file) held the file open at that instant. The save then
    // tries again after pause(), a few times.
    virtual bool momentary(uint32_t /*error*/) { return false; }
    virtual void pause() {}
};

// files.replace, tried again while its failure is momentary, at most
// kReplaceAttempts times in all.
constexpr int kReplaceAttempts = 10;
bool replaceFile(FilePort& files, const std::string& from, const std::string& to, uint32_t& error);

// `bytes` of an INI file with `values` written in, in order. A file with a
// UTF-16 mark (either byte order) is edited as UTF-16, any other as bytes.
std::string withIniValues(const std::string& bytes, const std::vector<IniValue>& values);

// The temporary file of a save to `path`: in the same folder, so that it
// can take the file's place in one step.
std::string temporaryPathFor(const std::string& path);

// At start, what a save that stopped half way left: on a file system that
// cannot replace in one step (FAT, exFAT: a USB stick), a power cut between
// the removal of the old file and the rename of the temporary one leaves
// the whole new text in the temporary file alone. That file takes the
// place of a missing one; beside an existing file it is an unfinished
// save's and is removed. Results are not reported: a start goes on either way.
void recoverInterruptedSave(FilePort& files, const std::string& path);

// Writes `values` into the file at `path` (made when missing). False, with
// the platform's error code in `error`, when the file could not be read or
// the new text not written or put in place: the file is then as it was
// and the temporary file is gone.
bool saveIniValues(FilePort& files, const std::string& path, const std::vector<IniValue>& values,
                   uint32_t& error);

}  // namespace lumenvik
