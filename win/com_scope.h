#pragma once
// COM in a single-threaded apartment on this thread for the length of a
// scope. Users link ole32.

#include <windows.h>
#include <objbase.h>

namespace lumenvik::win {

class ComScope {
  public:
    // The program runs on without COM when it cannot be initialised (the
    // result is otherwise ignored); only a successful initialisation, S_FALSE
    // included, is balanced by CoUninitialize.
    ComScope() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

}  // namespace lumenvik::win
