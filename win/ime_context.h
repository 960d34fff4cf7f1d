#pragma once
// A window's input context (ImmGetContext) for the length of a scope,
// released with ImmReleaseContext. Empty when the window has none, as when
// no input method is associated with it: there is then nothing to release.
// Users link imm32.

#include <windows.h>
#include <imm.h>

namespace lumenvik::win {

class ImeContext {
  public:
    explicit ImeContext(HWND window) : window_(window), context_(::ImmGetContext(window)) {}
    // A context still held is released; the result is ignored here, callers
    // that report it call release() themselves.
    ~ImeContext() { release(); }
    ImeContext(const ImeContext&) = delete;
    ImeContext& operator=(const ImeContext&) = delete;

    HIMC get() const { return context_; }
    explicit operator bool() const { return context_ != nullptr; }
    // Releases the context now; false when ImmReleaseContext fails. True
    // when there is nothing (left) to release.
    bool release() {
        if (context_ == nullptr) return true;
        const HIMC context = context_;
        context_ = nullptr;
        return ::ImmReleaseContext(window_, context) != FALSE;
    }

  private:
    HWND window_;
    HIMC context_;
};

}  // namespace lumenvik::win
