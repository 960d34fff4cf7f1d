#pragma once
// A small window framework: a handle wrapper, dialogs created from templates
// (modeless or modal) and the subclassing of existing controls. Each class
// has one dispatch table, its ProcessWindowMessage: it returns true when it
// took the message and leaves the result in `result`; messages it does not
// take go to the default processing (dialogs) or to the control's own
// window procedure (subclassed controls).

#include <windows.h>

namespace lumenvik::win {

class CWindow {
  public:
    explicit CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}

    HWND m_hWnd;
};

// What every dispatching class offers.
class CMessageMap {
  public:
    virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    virtual ~CMessageMap() = default;
};

// A dialog from a resource template. The derived class names its template
// in IDD (see CDialogImpl).
class CDialogBase : public CWindow, public CMessageMap {
  public:
    CDialogBase() = default;
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;
    ~CDialogBase() override;

    virtual DLGPROC GetDialogProc() const { return &DialogProc; }
    // Called after the last message (WM_NCDESTROY); the window is gone.
    virtual void OnFinalMessage(HWND /*hwnd*/) {}

    // Modeless: returns the window, or nullptr when it cannot be created.
    HWND CreateFromTemplate(int templateId, HWND parent, LPARAM initParam = 0);
    // Modal: runs until EndDialog and returns its result, -1 on failure.
    INT_PTR DoModalFromTemplate(int templateId, HWND parent, LPARAM initParam = 0);
    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
    BOOL DestroyWindow();

    // The value handed to Create/DoModal, for WM_INITDIALOG handlers.
    LPARAM initParam() const { return initParam_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LPARAM initParam_ = 0;
};

template <class T>
class CDialogImpl : public CDialogBase {
  public:
    HWND Create(HWND parent, LPARAM initParam = 0) {
        return CreateFromTemplate(T::IDD, parent, initParam);
    }
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) {
        return DoModalFromTemplate(T::IDD, parent, initParam);
    }
};

// Takes over an existing control: its messages reach ProcessWindowMessage
// first, the rest go on to the control's own procedure.
class CWindowImplBase : public CWindow, public CMessageMap {
  public:
    CWindowImplBase() = default;
    CWindowImplBase(const CWindowImplBase&) = delete;
    CWindowImplBase& operator=(const CWindowImplBase&) = delete;
    ~CWindowImplBase() override;

    virtual WNDPROC GetWindowProc() const { return &WindowProc; }
    // Called after the last message (WM_NCDESTROY); the subclass is already removed.
    virtual void OnFinalMessage(HWND /*hwnd*/) {}

    BOOL SubclassWindow(HWND hwnd);
    // Gives the control its own procedure back; nullptr if not subclassed.
    HWND UnsubclassWindow();
    // The control's own procedure, for handlers that pass a message on.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC previous_ = nullptr;
};

template <class T>
class CWindowImpl : public CWindowImplBase {};

// The primary monitor's work area (the screen less the taskbar).
RECT primaryWorkArea();
// Moves `hwnd`, keeping its size, so that its centre is `area`'s centre, or
// as near to it as keeps the window wholly inside (win/centre.h).
void centreWindowIn(HWND hwnd, const RECT& area);

}  // namespace lumenvik::win
