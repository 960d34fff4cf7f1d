#pragma once
// Closing the search window's input method when the window hides, so the
// next show starts in direct input.

#include <windows.h>

namespace lumenvik {

class InputMethodCloser {
  public:
    // Closes the input method of `window`'s input context, if it has one; a
    // call that fails is told in a message box.
    void close(HWND window);

  private:
    void report(UINT textId);
    // A message box is up: the hide path that its activation runs again
    // shows no second one.
    bool messageShowing_ = false;
};

}  // namespace lumenvik
