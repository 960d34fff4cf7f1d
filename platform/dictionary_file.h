#pragma once
// lumenvik-dict.bin mapped into memory, read-only and shared: the reader
// works on the mapped bytes in place, so opening costs no parsing and the
// pages stay clean (the system shares them and can drop them).

#include <windows.h>

#include <string>

#include "dictionary/dict_reader.h"
#include "win/owned_handle.h"

namespace lumenvik::win {

class MappedDictionary {
  public:
    enum class Outcome { missing, unusable, open };

    MappedDictionary() = default;
    ~MappedDictionary();
    MappedDictionary(const MappedDictionary&) = delete;
    MappedDictionary& operator=(const MappedDictionary&) = delete;

    // `missing` when there is no such file; `unusable` with the reason in
    // `problem` when it cannot be mapped or is no dictionary the reader
    // takes.
    Outcome open(const std::wstring& path, std::string& problem);
    const DictionaryReader& reader() const { return reader_; }

  private:
    void close();

    OwnedKernelHandle file_;
    OwnedKernelHandle mapping_;
    const void* view_ = nullptr;
    DictionaryReader reader_;
};

}  // namespace lumenvik::win
