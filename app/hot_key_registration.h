#pragma once
// The settings file's hot key registered for the search window, where the
// hook sees nothing (the windows of programs that run as administrator).

#include <windows.h>

#include <string>

namespace lumenvik {

class HotKeyRegistration {
  public:
    // The window's only hot key: WM_HOTKEY carries it.
    static constexpr int kId = 1;

    // Registers `text` ([Options] hotKey=) for `window`. A value that
    // cannot be used leaves its message for takeProblem.
    void registerFor(HWND window, const std::string& text);
    // Gives the hot key up, if registered.
    void unregister();
    // The message about a hot key that could not be registered, once; empty
    // when there is none.
    std::string takeProblem();

  private:
    HWND window_ = nullptr;
    bool registered_ = false;
    std::string problem_;
};

}  // namespace lumenvik
