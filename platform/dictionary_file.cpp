#include "platform/dictionary_file.h"

namespace lumenvik::win {

MappedDictionary::~MappedDictionary() { close(); }

void MappedDictionary::close() {
    reader_ = DictionaryReader();
    if (view_ != nullptr) ::UnmapViewOfFile(view_);
    view_ = nullptr;
    mapping_.reset();
    file_.reset();
}

MappedDictionary::Outcome MappedDictionary::open(const std::wstring& path, std::string& problem) {
    close();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Outcome::missing;
        problem = "cannot be opened (error " + std::to_string(error) + ")";
        return Outcome::unusable;
    }
    file_.reset(file);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        problem = "its size cannot be read";
        return Outcome::unusable;
    }
    // The reader's offsets are 32 bits; an empty file cannot be mapped.
    if (size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) {
        problem = "has " + std::to_string(size.QuadPart) + " bytes";
        close();
        return Outcome::unusable;
    }
    mapping_.reset(::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) {
        problem = "cannot be mapped (error " + std::to_string(::GetLastError()) + ")";
        close();
        return Outcome::unusable;
    }
    view_ = ::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0);
    if (view_ == nullptr) {
        problem = "cannot be mapped (error " + std::to_string(::GetLastError()) + ")";
        close();
        return Outcome::unusable;
    }
    if (!reader_.open(static_cast<const unsigned char*>(view_),
                      static_cast<std::size_t>(size.QuadPart), problem)) {
        close();
        return Outcome::unusable;
    }
    return Outcome::open;
}

}  // namespace lumenvik::win
