// A stand-in web browser for the tests: appends the arguments it was started
// with, joined by single blanks, as one line to "browser-log.txt" beside
// itself, and ends. Started for an address that holds the text of the
// environment's LVTEST_SLOW_SITE, it takes half a second before it writes,
// as a browser that is slow to take an address.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string log(self, length);
    log = log.substr(0, log.find_last_of('\\') + 1) + "browser-log.txt";

    std::string line;
    for (int i = 1; i < __argc; ++i) {
        if (i > 1) line += ' ';
        line += __argv[i];
    }
    line += '\n';

    char slow[256] = {};
    const DWORD slowLength = ::GetEnvironmentVariableA("LVTEST_SLOW_SITE", slow, sizeof slow);
    if (slowLength > 0 && slowLength < sizeof slow && line.find(slow) != std::string::npos)
        ::Sleep(500);

    // Several launches may end up here: retry while another one holds the file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE f = ::CreateFileA(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(f);
            return 0;
        }
        ::Sleep(10);
    }
    return 1;
}
