#include "search/browser_launch.h"

namespace lumenvik {
namespace {

// Sizes of the value buffers, terminating NUL included: a verb of 147 bytes
// and a command of 531 bytes are the longest that are read.
constexpr std::size_t kVerbBufferBytes = 148;
constexpr std::size_t kCommandBufferBytes = 532;

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
bool readKeyDefault(BrowserPlatform& platform, const std::string& path, std::size_t bufferBytes,
                    bool& opened, std::string& value) {
    const OpenKey key(platform, path);
    opened = key.opened();
    return opened && platform.readDefaultValue(key.get(), bufferBytes, value);
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

bool launchWithCommand(const std::string& command, const std::string& url,
                       BrowserPlatform& platform) {
    if (platform.createProcess(browserCommandLine(command, url))) return true;
    platform.messageBox(kProgramFailedText + commandProgram(command) + kCheckBrowserLine,
                        kLaunchFailedCaption);
    return false;
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

bool launchInDefaultBrowser(const std::string& url, BrowserPlatform& platform) {
    bool opened = false;
    std::string verb;
    if (!readKeyDefault(platform, "http\\shell", kVerbBufferBytes, opened, verb)) {
        if (!opened) {
            platform.messageBox(kShellNotAssociatedText, kNotFoundCaption);
        } else {
            platform.messageBox(kReadFailedText, kReadFailedCaption);
        }
        return false;
    }
    if (verb.empty()) verb = "open";

    std::string command;
    if (!readKeyDefault(platform, "http\\shell\\" + verb + "\\command", kCommandBufferBytes, opened,
                        command)) {
        if (!opened) {
            platform.messageBox(kNoCommandText, kNotFoundCaption);
        } else {
            platform.messageBox(kReadFailedText, kReadFailedCaption);
        }
        return false;
    }

    // The command itself, with its quotes and arguments, cannot be given to
    // the shell as a file name: only its program is started, and it gets
    // "-new" and the URL as its parameters.
    bool launched = false;
    // UTF-8: no byte of a multi-byte character is a letter.
    const std::string program = platform.upperCase(command).find("IEXPLORE") != std::string::npos
                                    ? commandProgram(command)
                                    : std::string();
    if (!program.empty()) {
        launched = platform.shellExecute("open", program, "-new " + url);
    } else {
        // Any other browser, or a command that names no program ("" iexplore
        // ...): the shell opens the URL with the protocol's handler.
        launched = platform.shellExecute("open", url, "");
    }
    if (!launched) {
        platform.messageBox(kLaunchFailedText + command + kCheckSettingsLine, kLaunchFailedCaption);
    }
    return launched;
}

}  // namespace lumenvik
