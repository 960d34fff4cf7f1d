#pragma once
// The application's message loop with its message-filter and idle-handler
// lists, and the module that keeps one loop registered per thread.

#include <windows.h>

#include <map>
#include <vector>

namespace lumenvik::win {

// Sees every message before it is translated and dispatched; returning true
// consumes it.
class CMessageFilter {
  public:
    virtual ~CMessageFilter() = default;
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
};

// Called while the queue is empty; returning FALSE ends the idle phase.
class CIdleHandler {
  public:
    virtual ~CIdleHandler() = default;
    virtual BOOL OnIdle() = 0;
};

class CMessageLoop {
  public:
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

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
    // Calls every idle handler; non-zero while any of them wants more idle time.
    BOOL OnIdle(int idleCount);
    // Messages after which idle processing starts again.
    static bool IsIdleMessage(const MSG& msg);

  private:
    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
};

// One per process: the instance handle and the message loop of each thread.
class CAppModule {
  public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    void Init(HINSTANCE instance);
    void Term();
    HINSTANCE GetModuleInstance() const { return instance_; }

    bool AddMessageLoop(CMessageLoop* loop);  // for the calling thread
    bool RemoveMessageLoop();                 // of the calling thread
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

  private:
    HINSTANCE instance_ = nullptr;
    CRITICAL_SECTION lock_;
    std::map<DWORD, CMessageLoop*> loops_;
};

// The process's module object.
CAppModule& appModule();

}  // namespace lumenvik::win
