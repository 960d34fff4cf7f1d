#pragma once
// The real program with a stand-in browser registered as the handler of
// "http" in the test prefix, and the helpers the search-box and search tests
// share: showing the window with the show key, putting a word into the box,
// releasing keys and reading back the label, the box and the launches.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/win/debug_output.h"
#include "tests/win/program_driver.h"
#include "tests/win/registry_guard.h"

namespace lvtest {

constexpr int kSearchBox = 1002;
constexpr int kModeLabel = 1003;
// Below HKEY_CURRENT_USER: the browser the user chose for a scheme.
extern const char kUserChoiceHttp[];
extern const char kUserChoiceHttps[];

// The labels of modes 0 to 4, as code page 932 bytes.
// The built-in modes' labels, UTF-8 (label() reads the label as UTF-16).
extern const char* const kModeLabels[5];

class SearchFixture : public ::testing::Test {
  protected:
    SearchFixture();
    ~SearchFixture() override;

    // Puts the stand-in browser into the test's folder under `fileName` and
    // makes `"<path>" "%1"` the command of the "open" verb, the default.
    void registerBrowser(const char* fileName = "browser.exe");
    // The same stand-in as the handler of https, which the shell asks for
    // an https URL: no test hands a URL to the prefix's own handler, which
    // passes it on to a browser of the host (its window would take the
    // focus from the program at a moment of its own). Put back at the end.
    void registerHttpsBrowser();
    // The registered command of the "open" verb, into `command`.
    void readOpenCommand(std::string* command);
    // Starts the program with `ini` as its settings file (none when empty).
    void startWith(const std::string& ini = "");
    // Starts collecting the program's debugger output in `traces`.
    void watchTraces();

    // Double Ctrl, then waits until the window is shown, in the foreground
    // and the box has the focus.
    void show();
    bool waitVisible(bool visible, DWORD ms = 3000);
    // Puts `text` into the box as the edit control's text (WM_SETTEXT).
    void setBox(const std::string& text);
    // The same as UTF-16 (WM_SETTEXT sent as W): right on every code page.
    void setBoxW(const std::wstring& text);
    std::string box();
    std::string label();
    // The box's selection as (start, end).
    std::pair<int, int> selection();
    // Releases `vk` after pressing it, and lets the program handle both.
    void release(WORD vk);
    // The same with Shift held down around it.
    void releaseWithShift(WORD vk);
    // A search as a user makes it: show, word, Enter; waits for the hide.
    void search(const std::string& word);

    // The launches the stand-in browser saw, one line of arguments each.
    std::vector<std::string> launches();
    bool waitLaunches(std::size_t count, DWORD ms = 5000);
    // Waits until no copy of the stand-in browser runs any more: every
    // launch issued so far has written its line.
    bool waitBrowsersDone(DWORD ms = 5000);

    // The program's message boxes (visible #32770 windows with a button and
    // no edit control); the first of them, or nullptr.
    std::vector<HWND> messageBoxes();
    HWND messageBox();

    std::unique_ptr<HttpShellGuard> registry;
    // The UserChoice keys of http and https under HKEY_CURRENT_USER, which a
    // fresh Wine prefix fills with its own ProgIds: removed for the test, so
    // that the http handler the test registers decides, and put back.
    std::unique_ptr<HttpShellGuard> userChoices[2];
    std::unique_ptr<HttpShellGuard> https;  // while registerHttpsBrowser's entry stands
    TaskbarHolder taskbar;
    TempDir dir;
    std::string browserLog;
    std::string browserName = "browser.exe";  // the stand-in's file name
    Program program;                          // ended before its directory goes
    DebugOutput traces;                       // detached before the program ends
};

}  // namespace lvtest
