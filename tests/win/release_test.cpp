// The two binaries a user gets: they load with nothing but the system's DLLs
// (no runtime of the compiler beside them) and carry version information
// with the project version, as Windows reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/win/program_driver.h"

#ifndef TAPWATCH_DLL
#error "TAPWATCH_DLL names the hook DLL under test"
#endif

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The DLL names a PE image imports, normally and delay-loaded, read from the
// file with every offset checked. `error` says why a file cannot be read.
class PeImports {
  public:
    explicit PeImports(const std::string& bytes) : b_(bytes) { parse(); }
    const std::vector<std::string>& dlls() const { return dlls_; }
    const std::string& error() const { return error_; }

  private:
    template <class T>
    bool at(size_t offset, T* out) const {
        if (offset > b_.size() || b_.size() - offset < sizeof(T)) return false;
        std::memcpy(out, b_.data() + offset, sizeof(T));
        return true;
    }
    // File offset of a relative virtual address, through the section table.
    bool fileOffset(DWORD rva, size_t* out) const {
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size) {
                *out = s.PointerToRawData + (rva - s.VirtualAddress);
                return *out < b_.size();
            }
        }
        return false;
    }
    bool name(DWORD rva, std::string* out) const {
        size_t offset = 0;
        if (!fileOffset(rva, &offset)) return false;
        const size_t end = b_.find('\0', offset);
        if (end == std::string::npos || end - offset > 260) return false;
        *out = b_.substr(offset, end - offset);
        return true;
    }
    void parse() {
        IMAGE_DOS_HEADER dos;
        if (!at(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return fail("no MZ header");
        const size_t nt = static_cast<size_t>(dos.e_lfanew);
        // The binaries are of this test's own build: the headers' layout
        // (32- or 64-bit) is this build's.
        IMAGE_NT_HEADERS headers;
        if (!at(nt, &headers) || headers.Signature != IMAGE_NT_SIGNATURE)
            return fail("no PE header");
        if (headers.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
            return fail("not an image of this build's bitness");
        const size_t first = nt + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                             headers.FileHeader.SizeOfOptionalHeader;
        for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (!at(first + i * sizeof s, &s)) return fail("section table cut short");
            sections_.push_back(s);
        }
        const IMAGE_DATA_DIRECTORY* dirs = headers.OptionalHeader.DataDirectory;
        const DWORD count = headers.OptionalHeader.NumberOfRvaAndSizes;
        if (count > IMAGE_DIRECTORY_ENTRY_IMPORT && dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].Size != 0) {
            size_t offset = 0;
            if (!fileOffset(dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, &offset))
                return fail("import directory outside the sections");
            for (;; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
                IMAGE_IMPORT_DESCRIPTOR d;
                if (!at(offset, &d)) return fail("import directory cut short");
                if (d.Name == 0) break;
                std::string dll;
                if (!name(d.Name, &dll)) return fail("unreadable import name");
                dlls_.push_back(lower(dll));
            }
        }
        if (count > IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT &&
            dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size != 0) {
            size_t offset = 0;
            if (!fileOffset(dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress, &offset))
                return fail("delay-import directory outside the sections");
            for (;; offset += sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)) {
                IMAGE_DELAYLOAD_DESCRIPTOR d;
                if (!at(offset, &d)) return fail("delay-import directory cut short");
                if (d.DllNameRVA == 0) break;
                std::string dll;
                if (!name(d.DllNameRVA, &dll)) return fail("unreadable delay-import name");
                dlls_.push_back(lower(dll));
            }
        }
    }
    void fail(const char* why) { error_ = why; }

    const std::string& b_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
    std::vector<std::string> dlls_;
    std::string error_;
};

// DLLs every Windows system has; nothing of a compiler's runtime.
const std::set<std::string> kSystemDlls = {
    "kernel32.dll", "user32.dll",   "gdi32.dll",    "shell32.dll",  "advapi32.dll",
    "ole32.dll",    "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "imm32.dll",
    "msvcrt.dll",   "shlwapi.dll",  "version.dll",  "uxtheme.dll",
};

struct Binary {
    const char* path;
    const char* fileName;
    DWORD fileType;
    std::vector<std::string> alsoAllowed;
};

const Binary kBinaries[] = {
    {LUMENVIK_EXE, "lumenvik.exe", VFT_APP, {"tapwatch.dll"}},
    {TAPWATCH_DLL, "tapwatch.dll", VFT_DLL, {}},
};

void PrintTo(const Binary& binary, std::ostream* out) { *out << binary.fileName; }

class ReleaseBinary : public ::testing::TestWithParam<Binary> {};

TEST_P(ReleaseBinary, ImportsOnlySystemDlls) {
    const Binary& binary = GetParam();
    const std::string bytes = lvtest::readFile(lvtest::windowsPath(binary.path));
    ASSERT_FALSE(bytes.empty()) << binary.path;
    const PeImports pe(bytes);
    ASSERT_EQ(pe.error(), "") << binary.path;
    const auto& dlls = pe.dlls();
    // Every program of ours needs the kernel and the window manager: their
    // absence would mean the table was not read.
    EXPECT_NE(std::find(dlls.begin(), dlls.end(), "kernel32.dll"), dlls.end());
    EXPECT_NE(std::find(dlls.begin(), dlls.end(), "user32.dll"), dlls.end());
    for (const std::string& dll : dlls) {
        const bool allowed = kSystemDlls.count(dll) != 0 ||
                             std::find(binary.alsoAllowed.begin(), binary.alsoAllowed.end(), dll) !=
                                 binary.alsoAllowed.end();
        EXPECT_TRUE(allowed) << binary.fileName << " imports " << dll;
    }
}

std::string versionString(const std::vector<char>& data, const char* key) {
    const std::string path = std::string("\\StringFileInfo\\041104B0\\") + key;
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return "(missing)";
    }
    return std::string(value, ::strnlen(value, length));
}

TEST_P(ReleaseBinary, CarriesTheProjectVersion) {
    const Binary& binary = GetParam();
    const std::string path = lvtest::windowsPath(binary.path);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << binary.fileName << " has no version information";
    std::vector<char> data(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD ms = MAKELONG(LUMENVIK_VERSION_MINOR, LUMENVIK_VERSION_MAJOR);
    const DWORD ls = MAKELONG(0, LUMENVIK_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(fixed->dwFileType, binary.fileType);

    // The language and code page the texts are filed under.
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(versionString(data, "ProductName"), "Lumenvik");
    EXPECT_EQ(versionString(data, "ProductVersion"), LUMENVIK_VERSION);
    EXPECT_EQ(versionString(data, "FileVersion"), LUMENVIK_VERSION);
    EXPECT_EQ(versionString(data, "OriginalFilename"), binary.fileName);
    EXPECT_NE(versionString(data, "FileDescription"), "(missing)");
}

INSTANTIATE_TEST_SUITE_P(Both, ReleaseBinary, ::testing::ValuesIn(kBinaries),
                         [](const ::testing::TestParamInfo<Binary>& info) {
                             return std::string(info.param.fileName).substr(0, 8);
                         });

}  // namespace
