#pragma once
// Files the program keeps beside its own executable. They are found from
// the executable's path, never from the working directory: a shortcut's
// working folder, a Run key (usually C:\Windows\System32) or a prompt
// elsewhere all find the same files.

#include <string>

namespace lumenvik::win {

// The full path of the running executable in UTF-16; empty when it cannot
// be told.
std::wstring programPath();

// The full path of `name` in the folder of the running executable, as
// UTF-8 (the file functions take it through win::wide); `name` alone when
// that folder cannot be told.
std::string besideProgram(const std::string& name);

}  // namespace lumenvik::win
