#include "tests/win/search_fixture.h"

#include <tlhelp32.h>

#ifndef LVTEST_FAKE_BROWSER
#error "LVTEST_FAKE_BROWSER names the stand-in browser"
#endif
#ifndef LVTEST_REGISTRY_BACKUP
#error "LVTEST_REGISTRY_BACKUP names the file that keeps the registry's saved state"
#endif

namespace lvtest {

const char kUserChoiceHttp[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
const char kUserChoiceHttps[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice";

const char* const kModeLabels[5] = {
    u8"【 google 】 検索",  u8"【 google イメージ 】 検索", u8"【 goo 英和 】検索",
    u8"【 goo 和英 】検索", u8"【 goo 辞書すべて 】検索",
};

namespace {

struct DialogParts {
    bool button = false;
    bool edit = false;
};

BOOL CALLBACK inspectChild(HWND child, LPARAM param) {
    auto* parts = reinterpret_cast<DialogParts*>(param);
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0) parts->button = true;
    if (lstrcmpiA(cls, "Edit") == 0) parts->edit = true;
    return TRUE;
}

}  // namespace

SearchFixture::SearchFixture()
    : registry(std::make_unique<HttpShellGuard>(windowsPath(LVTEST_REGISTRY_BACKUP))) {
    browserLog = dir.file("browser-log.txt");
    const char* const choices[2] = {kUserChoiceHttp, kUserChoiceHttps};
    for (int i = 0; i < 2; ++i) {
        userChoices[i] = std::make_unique<HttpShellGuard>(
            windowsPath(std::string(LVTEST_REGISTRY_BACKUP) + "-choice" + std::to_string(i)),
            choices[i], HKEY_CURRENT_USER);
        EXPECT_TRUE(deleteKeyTree(choices[i], HKEY_CURRENT_USER));
    }
}

SearchFixture::~SearchFixture() {
    traces.detach();
    program.stop();
    // The registry as it was, before the browser's folder goes.
    https.reset();
    for (auto& choice : userChoices) choice.reset();
    registry.reset();
}

void SearchFixture::registerBrowser(const char* fileName) {
    browserName = fileName;
    const std::string path = dir.file(fileName);
    ASSERT_TRUE(::CopyFileA(windowsPath(LVTEST_FAKE_BROWSER).c_str(), path.c_str(), FALSE));
    // The verb is left out, as in a fresh prefix: the empty verb, "open".
    ASSERT_TRUE(deleteDefaultValue("http\\shell"));
    ASSERT_TRUE(setDefaultValue("http\\shell\\open\\command", "\"" + path + "\" \"%1\""));
}

void SearchFixture::registerHttpsBrowser() {
    https = std::make_unique<HttpShellGuard>(
        windowsPath(std::string(LVTEST_REGISTRY_BACKUP) + "-https"), "https\\shell");
    ASSERT_TRUE(deleteDefaultValue("https\\shell"));
    ASSERT_TRUE(setDefaultValue("https\\shell\\open\\command",
                                "\"" + dir.file(browserName.c_str()) + "\" \"%1\""));
}

void SearchFixture::readOpenCommand(std::string* command) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", &key), ERROR_SUCCESS);
    char registered[600] = {};
    LONG size = sizeof registered;
    const LONG read = ::RegQueryValueA(key, "", registered, &size);
    ::RegCloseKey(key);
    ASSERT_EQ(read, ERROR_SUCCESS);
    *command = registered;
}

void SearchFixture::startWith(const std::string& ini) {
    if (!ini.empty()) writeFile(dir.file("lumenvik.ini"), ini);
    ASSERT_TRUE(program.start(dir.path())) << program.startError();
    ASSERT_TRUE(program.waitReady());
}

void SearchFixture::watchTraces() { ASSERT_TRUE(traces.attach(program.pid())); }

bool SearchFixture::waitVisible(bool visible, DWORD ms) {
    return waitFor([&] { return (::IsWindowVisible(program.window()) != FALSE) == visible; }, ms);
}

void SearchFixture::show() {
    doublePress(VK_CONTROL);
    ASSERT_TRUE(waitVisible(true)) << "the double Ctrl did not show the window\n"
                                   << program.hookEvents();
    HWND w = program.window();
    HWND box = program.control(kSearchBox);
    ASSERT_TRUE(waitFor(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return ::GetForegroundWindow() == w &&
                   ::GetGUIThreadInfo(::GetWindowThreadProcessId(w, nullptr), &info) &&
                   info.hwndFocus == box;
        },
        3000));
}

void SearchFixture::setBoxW(const std::wstring& text) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(program.control(kSearchBox), WM_SETTEXT, 0,
                                      reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                      3000, &result));
    ASSERT_EQ(windowTextW(program.control(kSearchBox)), text);
}

void SearchFixture::setBox(const std::string& text) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(program.control(kSearchBox), WM_SETTEXT, 0,
                                      reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                      3000, &result));
    ASSERT_EQ(box(), text);
}

std::string SearchFixture::box() { return windowText(program.control(kSearchBox)); }
std::string SearchFixture::label() { return utf8Of(windowTextW(program.control(kModeLabel))); }

std::pair<int, int> SearchFixture::selection() {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(program.control(kSearchBox), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 3000,
                          &result);
    return {LOWORD(result), HIWORD(result)};
}

void SearchFixture::release(WORD vk) {
    tap(vk);
    // The program has handled the release once it answers a message again.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(program.control(kSearchBox), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000,
                          &ignored);
    ::Sleep(100);
}

void SearchFixture::releaseWithShift(WORD vk) {
    keyDown(VK_SHIFT);
    release(vk);
    keyUp(VK_SHIFT);
}

void SearchFixture::search(const std::string& word) {
    show();
    setBox(word);
    release(VK_RETURN);
    ASSERT_TRUE(waitVisible(false));
}

std::vector<std::string> SearchFixture::launches() {
    std::vector<std::string> lines;
    const std::string text = readFile(browserLog);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

bool SearchFixture::waitLaunches(std::size_t count, DWORD ms) {
    return waitFor([&] { return launches().size() >= count; }, ms);
}

bool SearchFixture::waitBrowsersDone(DWORD ms) {
    return waitFor(
        [&] {
            HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            if (snapshot == INVALID_HANDLE_VALUE) return false;
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof entry;
            bool running = false;
            for (BOOL more = ::Process32First(snapshot, &entry); more && !running;
                 more = ::Process32Next(snapshot, &entry)) {
                running = lstrcmpiA(entry.szExeFile, browserName.c_str()) == 0;
            }
            ::CloseHandle(snapshot);
            return !running;
        },
        ms);
}

std::vector<HWND> SearchFixture::messageBoxes() {
    std::vector<HWND> boxes;
    for (HWND w : findWindows(program.pid(), "#32770", nullptr)) {
        if (w == program.window() || !::IsWindowVisible(w)) continue;
        DialogParts parts;
        ::EnumChildWindows(w, &inspectChild, reinterpret_cast<LPARAM>(&parts));
        if (parts.button && !parts.edit) boxes.push_back(w);
    }
    return boxes;
}

HWND SearchFixture::messageBox() {
    const std::vector<HWND> boxes = messageBoxes();
    return boxes.empty() ? nullptr : boxes.front();
}

}  // namespace lvtest
