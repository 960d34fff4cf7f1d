#pragma once
// Drives the real lumenvik.exe from a test process: each instance runs as a
// copy in a fresh temporary folder (the program keeps its settings file
// beside itself) and is always ended, by its process handle, when the
// driver goes out of scope.

#include <windows.h>

#include <string>
#include <vector>

namespace lvtest {

// A fresh, empty directory under the temp folder, removed with its files.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // The same folder in UTF-16, for names outside the code page.
    const std::wstring& widePath() const { return widePath_; }
    std::string file(const char* name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
    std::wstring widePath_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// The same for paths in UTF-16.
void writeFile(const std::wstring& path, const std::string& bytes);
std::string readFile(const std::wstring& path);
bool fileExists(const std::wstring& path);

// Polls `done` every 20 ms for up to `ms` milliseconds.
template <class F>
bool waitFor(F done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= ms) return done();
        ::Sleep(20);
    }
}

// As waitFor, running this thread's messages meanwhile: a window of the
// test's own answers, and the program's activation waits for this thread.
template <class F>
bool pumpUntil(DWORD ms, F done) {
    return waitFor(
        [&] {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            return done();
        },
        ms);
}

class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Copies lumenvik.exe and tapwatch.dll into `programDir` and starts that
    // copy there, in `workDir` when one is given; false when the process
    // cannot start.
    bool start(const std::string& programDir, const std::string& arguments = "",
               int showCommand = -1, const std::string& workDir = "");
    // The same in a folder named in UTF-16 (outside the code page), the
    // working folder being that folder.
    bool start(const std::wstring& programDir);
    // Why the last start returned false (empty when it did not).
    const std::string& startError() const { return startError_; }
    // Waits until the message loop runs and the search window exists,
    // hidden; then asks the keyboard hook to keep its ring of recent events.
    bool waitReady(DWORD ms = 15000);
    // The keyboard hook's recent events, one line each (oldest first), for
    // the log of a show that did not come: whether the presses reached the
    // hook and what its detector made of them.
    std::string hookEvents() const;
    // The hooks tapwatch.dll has in place now (0 when unknown).
    HHOOK keyboardHook() const;
    // The search window of this process (the dialog captioned "Lumenvik").
    HWND window() const;
    HWND control(int id) const { return ::GetDlgItem(window(), id); }
    bool running() const;
    // Waits for the process to end; its exit code, or -1 on time-out.
    long waitExit(DWORD ms);
    // The real exit path: WM_CLOSE with wParam 1; then waits for the end.
    long exitCleanly(DWORD ms = 10000);
    DWORD pid() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }
    // Ends the process if it still runs (clean exit first, then by force).
    void stop();

  private:
    // Reads the ring out of the program; false when it cannot.
    bool readRing(void* ring) const;
    // Records the step of a start that failed, with the last error; false.
    bool startFailed(const std::string& step);

    PROCESS_INFORMATION info_{};
    ULONG_PTR ring_ = 0;      // the ring's address in the program
    std::string startError_;  // the step of the last start that failed, and its error
};

// Windows of a process by class and caption (caption nullptr: any).
std::vector<HWND> findWindows(DWORD pid, const char* className, const char* caption);
// Text of another process's window or control, as it holds it (WM_GETTEXT),
// in this process's code page.
std::string windowText(HWND hwnd);
// The same read as UTF-16 (WM_GETTEXT sent as W): right on every code page.
std::wstring windowTextW(HWND hwnd);
// UTF-16 as UTF-8.
std::string utf8Of(const std::wstring& text);

// Where input goes, for a failure's message: whether the search window
// shows, the process of the foreground window and of the window under the
// pointer (the program's or another), the program's window thread's
// active and capture windows, whether it is in a menu's loop, the
// modifier keys the system holds down now, and the hook's last events.
std::string inputState(const Program& program);

// Real input, as a user would give it.
void keyDown(WORD vk);
void keyUp(WORD vk);
void tap(WORD vk, DWORD holdMs = 30);
void doublePress(WORD vk, DWORD gapMs = 60);
void clickAt(int x, int y);

// Keeps a tray icon of the test's own up, so that the taskbar (and with it
// the work area) does not change when the program adds its icon.
class TaskbarHolder {
  public:
    TaskbarHolder();
    ~TaskbarHolder();
    TaskbarHolder(const TaskbarHolder&) = delete;
    TaskbarHolder& operator=(const TaskbarHolder&) = delete;

  private:
    HWND owner_ = nullptr;
};

// Whether the program's tray icon (id 0 of `owner`) is there.
bool trayIconExists(HWND owner);
// Takes that icon away, as a restarting shell loses it. False on failure.
bool removeTrayIcon(HWND owner);

// Runs a program of the host system (xdotool, import) and waits for it.
bool runHostCommand(const std::string& commandLine, DWORD ms = 10000);
// The build tree's path of a file, as a Windows path (Z:\...).
std::string windowsPath(const std::string& unixPath);

}  // namespace lvtest
