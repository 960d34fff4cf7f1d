#pragma once
// The program's message loop with its list of message filters.

#include <windows.h>

#include <vector>

namespace lumenvik::win {

// Sees every message before it is translated and dispatched; returning true
// consumes it.
class CMessageFilter {
  public:
    virtual ~CMessageFilter() = default;
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
};

class CMessageLoop {
  public:
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);

    // Runs until WM_QUIT and returns its wParam.
    int Run();

    // Offers the message to the filters, the last added first, then to the
    // dialog keyboard handling of the modeless dialog it belongs to.
    BOOL PreTranslateMessage(MSG* msg);
    // Every modeless dialog of the thread gets the dialog keys (Tab and
    // Shift+Tab, Enter for the default button, Escape for Cancel, Alt+letter
    // for access keys): a message for a dialog or a control in it goes
    // through IsDialogMessage of that dialog.
    static BOOL IsModelessDialogMessage(MSG* msg);

  private:
    std::vector<CMessageFilter*> filters_;
};

}  // namespace lumenvik::win
