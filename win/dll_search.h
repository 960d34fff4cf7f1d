#pragma once
// Where the program's DLLs are looked for.

namespace lumenvik::win {

// Every later load of a DLL by name, the system's own loads on the
// program's behalf among them (the shell's, COM's), searches the system
// folder only: never the program's folder, which may be a Downloads folder
// with a planted DLL beside the program. Where Windows lacks the call
// (before Windows 8 without its update), the search stays as it was.
void loadDllsFromSystemFolderOnly();

}  // namespace lumenvik::win
