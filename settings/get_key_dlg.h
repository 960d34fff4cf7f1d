#pragma once
// The key-capture dialog: asks for one key and ends as soon as any key is
// released, with that key's code as its result.

#include "resources/resource.h"
#include "win/window.h"

namespace lumenvik {

class CGetKeyDlg : public win::CDialogImpl<CGetKeyDlg> {
  public:
    enum { IDD = IDD_GET_KEY_DIALOG };

    // The read-only field 1015: a key released there is handed to the
    // dialog instead of the edit control.
    class CGetKeyEditEx : public win::CWindowImpl<CGetKeyEditEx> {
      public:
        bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                  LRESULT& result) override;
    };

    bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

    // Runs the dialog modally over `owner`. The released key's low 8 bits
    // as a signed 8-bit number (codes 0x80 to 0xFE come back negative), or 0
    // after Cancel. A dialog that could not be created also gives 0, so that
    // the failure is never taken for the key 0xFF.
    INT_PTR run(HWND owner);

    // The dialog's result for a released key code.
    static INT_PTR keyResult(WPARAM keyCode) {
        return static_cast<INT_PTR>(static_cast<signed char>(keyCode & 0xFF));
    }

  private:
    void centreOverOwner();

    CGetKeyEditEx edit_;
    bool started_ = false;
};

}  // namespace lumenvik
