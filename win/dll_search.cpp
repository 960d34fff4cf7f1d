#include "win/dll_search.h"

#include <windows.h>

namespace lumenvik::win {

void loadDllsFromSystemFolderOnly() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is in every process: looking it up loads nothing.
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr) return;
    // The cast of a looked-up address to its real type is the only way to
    // call a function that may be missing.
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace lumenvik::win
