#pragma once
// The browser launch's platform calls, answered by the registry, the shell
// and message boxes, and the launches in flight: each (or the sites of one
// search, in turn) on a thread of its own, its answer posted to the search
// window.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "search/browser_launch.h"
#include "search/search_command.h"
#include "win/owned_handle.h"

namespace lumenvik::win {

// Posted by a launch thread to the window its launches report to: wParam
// is the launch's number, lParam 1 when the browser started, 0 when not.
constexpr UINT WM_BROWSER_LAUNCHED = WM_APP + 11;

// The launches handed over and not answered yet. Nothing waits on them: a
// start runs on a thread of its own, and the window hears of it by a
// posted message (processMessage). A start that has not answered in
// kOverdueSeconds is told once; the window goes on working meanwhile.
class BrowserLaunches {
  public:
    static constexpr int kOverdueSeconds = 30;

    // The window that takes the answers and the launches' timers.
    void reportTo(HWND window) { window_ = window; }
    void begin(const BrowserStart& start);
    // The starts begun between hold() and release() (the sites of one
    // search) run on one thread of their own, in the order begun, each
    // once the browser has taken the one before, so that it opens them in
    // that order.
    void hold() { holding_ = true; }
    void release();
    // The answer of a launch (the URL traced when the browser started, the
    // failure told when not) and the overdue timers; true when `msg` was
    // one of them.
    bool processMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    struct Pending {
        BrowserStart start;
        bool toldOverdue = false;
    };
    HWND window_ = nullptr;
    bool holding_ = false;
    std::vector<UINT_PTR> held_;  // begun while holding, in order
    // Launch numbers are the overdue timers' ids too: above the window's
    // other timers.
    UINT_PTR next_ = 0x10000;
    std::map<UINT_PTR, Pending> pending_;
};

class Win32BrowserPlatform : public BrowserPlatform {
  public:
    explicit Win32BrowserPlatform(BrowserLaunches& launches) : launches_(launches) {}

    bool openClassesRootKey(const std::string& path, RegistryKey& key) override;
    bool readDefaultValue(RegistryKey key, std::size_t bufferUnits, std::string& value) override;
    bool readValue(RegistryKey key, const std::string& name, std::string& value) override;
    void closeKey(RegistryKey key) override;
    bool readUserChoice(const std::string& scheme, std::string& progId) override;
    std::string upperCase(const std::string& text) override;
    void start(const BrowserStart& start) override;
    void messageBox(const std::string& text, const std::string& caption) override;

  private:
    BrowserLaunches& launches_;
    // The keys handed out and not closed yet: at the latest they are closed
    // with this object.
    std::vector<OwnedRegKey> open_;
};

// Opens `url` with `browser`, a command line, or in the user's browser
// when it is empty; the start goes to `launches`. `siteName` names the
// site in the messages (search/search_command.h).
LaunchIssue openUrl(BrowserLaunches& launches, const std::string& url, const std::string& browser,
                    std::size_t wordLength, const std::string& siteName);

// A search command's launches through `launches` (openUrl), the sites of
// one search in turn; the box's side is the deriving class's.
class LaunchingPorts : public SearchCommandPorts {
  public:
    explicit LaunchingPorts(BrowserLaunches& launches) : launches_(launches) {}
    LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                              std::size_t wordLength, const std::string& siteName) override {
        return openUrl(launches_, url, browser, wordLength, siteName);
    }
    void beginLaunches() override { launches_.hold(); }
    void endLaunches() override { launches_.release(); }

  private:
    BrowserLaunches& launches_;
};

}  // namespace lumenvik::win
