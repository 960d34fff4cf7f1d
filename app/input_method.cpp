#include "app/input_method.h"

#include "app/texts.h"
#include "resources/resource.h"
#include "win/ime_context.h"

namespace lumenvik {

void InputMethodCloser::close(HWND window) {
    win::ImeContext ime(window);
    if (!ime) return;  // no input context: no input method to close
    if (!::ImmSetOpenStatus(ime.get(), FALSE)) report(IDS_IME_CLOSE_FAILED);
    if (!ime.release()) report(IDS_IME_RELEASE_FAILED);
}

void InputMethodCloser::report(UINT textId) {
    // The box takes the activation, and the deactivation runs the hide path
    // again while the box is up: a box there would open the next one, and
    // so on without end.
    if (messageShowing_) return;
    messageShowing_ = true;
    showTextMessage(textId);
    messageShowing_ = false;
}

}  // namespace lumenvik
