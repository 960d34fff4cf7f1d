#pragma once
// The program's texts from the string table, as code page 932 bytes.

#include <windows.h>

#include <string>

namespace lumenvik {

// Empty when the string is missing.
std::string loadText(UINT id);

}  // namespace lumenvik
