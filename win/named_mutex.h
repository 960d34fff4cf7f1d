#pragma once
// A named mutex, created owned by this thread and held for the length of a
// scope: the marker of a running instance.

#include <windows.h>

#include "win/owned_handle.h"

namespace lumenvik::win {

class NamedMutex {
  public:
    // A failed creation is not an error for the caller: it gives an empty
    // owner that does not report an earlier instance.
    explicit NamedMutex(const char* name)
        : handle_(::CreateMutexA(nullptr, TRUE, name)),
          alreadyExisted_(::GetLastError() == ERROR_ALREADY_EXISTS) {}

    // Another process of this logon had created it first.
    bool alreadyExisted() const { return alreadyExisted_; }

  private:
    OwnedKernelHandle handle_;
    bool alreadyExisted_;
};

}  // namespace lumenvik::win
