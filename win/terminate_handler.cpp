// The terminate handler of lumenvik.exe and tapwatch.dll. The C++ runtime's
// default handler writes the demangled name of an uncaught exception's type
// to the standard error stream before it aborts; a Windows GUI program has no
// such stream, and the demangler it needs is about 46 KB of each binary.
// Defining the handler here keeps the runtime's version (and the demangler)
// out of the link; the outcome for the user, an aborted process, is the same.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
