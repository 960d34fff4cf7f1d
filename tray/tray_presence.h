#pragma once
// Whether the tray icon must be (re)added. Started at logon, the program may
// come up before the taskbar exists, so its first add fails; and a shell
// that restarts forgets every icon and broadcasts "TaskbarCreated". The
// icon is wanted from the first add until the exit path removes it: a
// failed add is tried again on a timer until it succeeds, and every
// "TaskbarCreated" adds it again while it is wanted. Without this the user
// could be left with no icon, hence no menu, no settings and no exit.

namespace lumenvik {

class TrayPresence {
  public:
    enum class Action { None, Add };

    // The search window's initialisation: the icon is wanted from now on.
    Action start();
    // The outcome of an add: whether the icon is now in the notification area.
    void addResult(bool present);
    // The retry timer fired.
    Action retryTimer();
    // The shell (re)started: it holds no icon of ours.
    Action taskbarCreated();
    // The exit path removed the icon: it is not wanted any more.
    void removed();

    bool wanted() const { return wanted_; }
    bool present() const { return present_; }
    // Whether the retry timer should run: wanted but not there.
    bool retrying() const { return wanted_ && !present_; }

  private:
    bool wanted_ = false;
    bool present_ = false;
};

}  // namespace lumenvik
