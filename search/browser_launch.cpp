#include "search/browser_launch.h"

#include <utility>

namespace lumenvik {
namespace {

// Sizes of the value buffers of the "http" handler's keys, terminating NUL
// included: a verb of 147 units and a command of 531 are the longest read.
constexpr std::size_t kVerbBufferUnits = 148;
constexpr std::size_t kCommandBufferUnits = 532;

// CreateProcessW takes a command line of at most 32,767 UTF-16 units, its
// terminating NUL included; the shell's own launches build one as well.
constexpr std::size_t kCommandLineLimit = 32767;
// Internet Explorer opens URLs of at most 2,083 characters (its documented
// maximum, INTERNET_MAX_URL_LENGTH); a longer one is cut or refused.
constexpr std::size_t kInternetExplorerUrlLimit = 2083;

const char kNotFoundCaption[] = "規定のブラウザが見つかりません";
const char kShellNotAssociatedText[] =
    "HKEY_CLASSES_ROOT\\http\\shellとブラウザが関連付いていません。\r\n"
    "windowsの設定を確認してください。";
const char kReadFailedCaption[] = "規定のブラウザ情報を取得できませんでした。";
// Also shown when it was the command key's value that could not be read.
const char kReadFailedText[] =
    "HKEY_CLASSES_ROOT\\http\\shellの値取得に失敗しました。\r\n"
    "windowsの設定を確認してください。";
const char kNoCommandText[] =
    "ブラウザが関連付いていません。\r\n"
    "windowsの設定を確認してください。";
const char kLaunchFailedCaption[] = "ブラウザを起動できません";
const char kLaunchFailedText[] = "次のコマンドを実行できませんでした。\r\n";
const char kCheckSettingsLine[] = "\r\nwindowsの設定を確認してください。";
const char kProgramFailedText[] = "次のプログラムを起動できませんでした。\r\n";
const char kCheckBrowserLine[] = "\r\nlumenvik.ini の browser の設定を確認してください。";
const char kProgIdFailedText[] = "ユーザーが選んだブラウザを起動できませんでした。\r\nProgId: ";
const char kTooLongCaption[] = "検索語が長すぎます";
const char kOverdueCaption[] = "ブラウザが応答しません";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A key below the class root, open for the length of a scope.
class OpenKey {
  public:
    OpenKey(BrowserPlatform& platform, const std::string& path)
        : platform_(platform), opened_(platform.openClassesRootKey(path, key_)) {}
    ~OpenKey() {
        if (opened_) platform_.closeKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool opened() const { return opened_; }
    RegistryKey get() const { return key_; }

  private:
    BrowserPlatform& platform_;
    RegistryKey key_ = 0;
    bool opened_;
};

// Reads the default value of `path` below the class root. `opened` tells
// whether the key could be opened; the key is closed before returning
// whatever the read gave.
bool readKeyDefault(BrowserPlatform& platform, const std::string& path, std::size_t bufferUnits,
                    bool& opened, std::string& value) {
    const OpenKey key(platform, path);
    opened = key.opened();
    return opened && platform.readDefaultValue(key.get(), bufferUnits, value);
}

// UTF-16 units of UTF-8 text: one per character, two beyond the BMP.
std::size_t utf16Units(const std::string& text) {
    std::size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++units;
        if (c >= 0xF0) ++units;
    }
    return units;
}

// 30000 -> "30,000"
std::string grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

bool sameAsciiLetters(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        const char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool isBlankText(const std::string& text) {
    for (char c : text) {
        if (!isBlank(c)) return false;
    }
    return true;
}

// The shell opens the URL itself: with the handler the registry names, whose
// command line is `command` with the URL (when it is known), or through a
// handler of its own choosing.
BrowserStart shellOnUrl(const std::string& url, const std::string& command,
                        std::string failureText) {
    BrowserStart start;
    start.way = BrowserStart::Way::shell;
    start.file = url;
    start.url = url;
    start.failureText = std::move(failureText);
    start.length = utf16Units(command.empty() ? url : browserCommandLine(command, url)) + 1;
    start.limit = kCommandLineLimit;
    return start;
}

// Internet Explorer as its own program with "-new" and the URL, so that the
// search opens in a new window.
BrowserStart internetExplorer(const std::string& program, const std::string& url,
                              std::string failureText) {
    BrowserStart start;
    start.way = BrowserStart::Way::shell;
    start.file = program;
    start.parameters = "-new " + url;
    start.url = url;
    start.failureText = std::move(failureText);
    start.length = utf16Units(url);
    start.limit = kInternetExplorerUrlLimit;
    start.urlLimit = true;
    return start;
}

BrowserStart processStart(const std::string& command, const std::string& url,
                          std::string failureText) {
    BrowserStart start;
    start.way = BrowserStart::Way::process;
    start.commandLine = browserCommandLine(command, url);
    start.url = url;
    start.failureText = std::move(failureText);
    start.length = utf16Units(start.commandLine) + 1;
    start.limit = kCommandLineLimit;
    return start;
}

bool namesInternetExplorer(BrowserPlatform& platform, const std::string& command) {
    // UTF-8: no byte of a multi-byte character is a letter.
    return platform.upperCase(command).find("IEXPLORE") != std::string::npos;
}

// The browser of the ProgId the user chose.
BrowserStart chosenBrowser(const std::string& progId, const std::string& url,
                           BrowserPlatform& platform) {
    std::string command;
    bool delegated = false;
    {
        const OpenKey key(platform, progId + "\\shell\\open\\command");
        if (key.opened()) {
            std::string clsid;
            delegated = platform.readValue(key.get(), "DelegateExecute", clsid);
            if (!platform.readValue(key.get(), "", command) || isBlankText(command))
                command.clear();
        }
    }
    const std::string commandFailed = kLaunchFailedText + command + kCheckSettingsLine;
    const bool ieProgId =
        sameAsciiLetters(progId, "IE.HTTP") || sameAsciiLetters(progId, "IE.HTTPS");
    const std::string program = commandProgram(command);
    if ((ieProgId || namesInternetExplorer(platform, command)) && !program.empty()) {
        return internetExplorer(program, url, commandFailed);
    }
    // A handler the shell calls in (an app's DelegateExecute), or none that
    // could be started here: the shell resolves the user's choice itself.
    if (delegated || command.empty()) {
        return shellOnUrl(url, "", kProgIdFailedText + progId + kCheckSettingsLine);
    }
    return processStart(command, url, commandFailed);
}

// The line that names the start's site, where the search opens several.
std::string sitePrefix(const BrowserStart& start) {
    return start.site.empty() ? std::string() : "検索サイト: " + start.site + "\r\n";
}

std::string startTarget(const BrowserStart& start) {
    if (start.way == BrowserStart::Way::process) return start.commandLine;
    return start.parameters.empty() ? start.file : start.file + " " + start.parameters;
}

// The URL as the inside of a quoted argument: no quote, no blank, and an
// even number of backslashes before the closing quote.
std::string argumentInside(const std::string& url) {
    std::string out;
    for (char c : url) {
        if (c == '"') {
            out += "%22";
        } else if (c == ' ') {
            out += "%20";
        } else if (c == '\t') {
            out += "%09";
        } else {
            out += c;
        }
    }
    const std::size_t last = out.find_last_not_of('\\');
    const std::size_t trailing = out.size() - (last == std::string::npos ? 0 : last + 1);
    out.append(trailing, '\\');
    return out;
}

}  // namespace

std::string browserCommandLine(const std::string& command, const std::string& url) {
    const std::string inside = argumentInside(url);
    std::string line;
    bool placed = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command.compare(i, 2, "%1") != 0) {
            line += command[i];
            continue;
        }
        const bool quoted =
            i > 0 && command[i - 1] == '"' && i + 2 < command.size() && command[i + 2] == '"';
        line += quoted ? inside : "\"" + inside + "\"";
        placed = true;
        ++i;
    }
    if (!placed) {
        const std::size_t end = line.find_last_not_of(" \t");
        line.erase(end == std::string::npos ? 0 : end + 1);
        line += " \"" + inside + "\"";
    }
    return line;
}

std::string commandProgram(const std::string& command) {
    std::size_t start = 0;
    while (start < command.size() && isBlank(command[start])) ++start;
    if (start < command.size() && command[start] == '"') {
        const std::size_t close = command.find('"', start + 1);
        const std::size_t end = close == std::string::npos ? command.size() : close;
        return command.substr(start + 1, end - start - 1);
    }
    std::size_t end = start;
    while (end < command.size() && !isBlank(command[end])) ++end;
    return command.substr(start, end - start);
}

BrowserStart commandBrowser(const std::string& command, const std::string& url) {
    return processStart(command, url,
                        kProgramFailedText + commandProgram(command) + kCheckBrowserLine);
}

std::string urlScheme(const std::string& url) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !letter(url[0])) return std::string();
    std::string scheme;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return std::string();
        scheme += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return scheme;
}

bool chooseDefaultBrowser(const std::string& url, BrowserPlatform& platform, BrowserStart& start) {
    const std::string scheme = urlScheme(url);
    std::string progId;
    if (!scheme.empty() && platform.readUserChoice(scheme, progId) && !isBlankText(progId)) {
        start = chosenBrowser(progId, url, platform);
        return true;
    }

    bool opened = false;
    std::string verb;
    if (!readKeyDefault(platform, "http\\shell", kVerbBufferUnits, opened, verb)) {
        if (!opened) {
            platform.messageBox(kShellNotAssociatedText, kNotFoundCaption);
        } else {
            platform.messageBox(kReadFailedText, kReadFailedCaption);
        }
        return false;
    }
    if (verb.empty()) verb = "open";

    std::string command;
    if (!readKeyDefault(platform, "http\\shell\\" + verb + "\\command", kCommandBufferUnits, opened,
                        command)) {
        if (!opened) {
            platform.messageBox(kNoCommandText, kNotFoundCaption);
        } else {
            platform.messageBox(kReadFailedText, kReadFailedCaption);
        }
        return false;
    }

    const std::string failed = kLaunchFailedText + command + kCheckSettingsLine;
    // The command itself, with its quotes and arguments, cannot be given to
    // the shell as a file name: only its program is started, and it gets
    // "-new" and the URL as its parameters.
    const std::string program =
        namesInternetExplorer(platform, command) ? commandProgram(command) : std::string();
    if (!program.empty()) {
        start = internetExplorer(program, url, failed);
    } else {
        // Any other browser, or a command that names no program ("" iexplore
        // ...): the shell opens the URL with the protocol's handler, whose
        // command line is about this command's with the URL.
        start = shellOnUrl(url, command, failed);
    }
    return true;
}

LaunchIssue launchBrowser(const BrowserStart& start, std::size_t wordLength,
                          BrowserPlatform& platform) {
    if (start.length > start.limit) {
        const std::string word = "検索語 (" + grouped(wordLength) + " 文字) ";
        const std::string what = start.urlLimit
                                     ? word + "の URL は " + grouped(start.length) +
                                           " 文字になり、Internet Explorer の上限 " +
                                           grouped(start.limit) + " 文字を超えます。"
                                     : word + "でブラウザに渡すコマンドラインは終端を含めて " +
                                           grouped(start.length) + " 文字になり、Windows の上限 " +
                                           grouped(start.limit) + " 文字を超えます。";
        platform.messageBox(
            sitePrefix(start) + what + "\r\n何も起動していません。検索語を短くしてください。",
            kTooLongCaption);
        return LaunchIssue::tooLong;
    }
    platform.start(start);
    return LaunchIssue::issued;
}

LaunchIssue launchInDefaultBrowser(const std::string& url, std::size_t wordLength,
                                   BrowserPlatform& platform, const std::string& site) {
    BrowserStart start;
    if (!chooseDefaultBrowser(url, platform, start)) return LaunchIssue::failed;
    start.site = site;
    return launchBrowser(start, wordLength, platform);
}

LaunchIssue launchWithCommand(const std::string& command, const std::string& url,
                              std::size_t wordLength, BrowserPlatform& platform,
                              const std::string& site) {
    BrowserStart start = commandBrowser(command, url);
    start.site = site;
    return launchBrowser(start, wordLength, platform);
}

LaunchMessage launchFailedMessage(const BrowserStart& start) {
    return {sitePrefix(start) + start.failureText, kLaunchFailedCaption};
}

LaunchMessage launchOverdueMessage(const BrowserStart& start, int seconds) {
    return {sitePrefix(start) + "ブラウザの起動が " + std::to_string(seconds) +
                " 秒たっても終わりません。\r\n" + startTarget(start) +
                "\r\n終わればそのまま開きます。検索バーはこのまま使えます。",
            kOverdueCaption};
}
}  // namespace lumenvik
