#include "settings/hot_key.h"

#include <cctype>
#include <string>

#include "settings/key_names.h"

namespace lumenvik {
namespace {

std::string upper(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The modifier flag a name stands for; 0 for none.
unsigned modifierOf(const std::string& name) {
    if (name == "CTRL" || name == "CONTROL" || name == "VK_CONTROL") return HotKey::kControl;
    if (name == "ALT" || name == "MENU" || name == "VK_MENU") return HotKey::kAlt;
    if (name == "SHIFT" || name == "VK_SHIFT") return HotKey::kShift;
    if (name == "WIN" || name == "LWIN" || name == "VK_LWIN") return HotKey::kWin;
    return 0;
}

// The key a name stands for, by the settings dialog's names; 0 for none.
int keyOf(const std::string& name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
    for (int code = 1; code < 256; ++code) {
        const std::string known = virtualKeyName(static_cast<uint8_t>(code));
        if (known == "UNDEFINED_VK") continue;
        if (name == known || (known.compare(0, 3, "VK_") == 0 && name == known.substr(3))) {
            return code;
        }
    }
    return 0;
}

}  // namespace

HotKeyProblem parseHotKey(const std::string& text, HotKey& hotKey, std::string& part) {
    hotKey = HotKey();
    part.clear();
    if (trimmed(text).empty()) return HotKeyProblem::none;
    HotKey read;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = text.find('+', start);
        const std::string piece =
            trimmed(text.substr(start, plus == std::string::npos ? plus : plus - start));
        const std::string name = upper(piece);
        if (read.key != 0) {
            part = piece;
            return HotKeyProblem::twoKeys;
        }
        if (const unsigned modifier = modifierOf(name)) {
            read.modifiers |= modifier;
        } else if (const int key = keyOf(name)) {
            read.key = key;
        } else {
            part = piece;
            return HotKeyProblem::unknownName;
        }
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    if (read.key == 0) return HotKeyProblem::noKey;
    hotKey = read;
    return HotKeyProblem::none;
}

std::string hotKeyMessage(const std::string& value, HotKeyProblem problem, const std::string& part,
                          unsigned long registerError) {
    std::string reason;
    if (problem == HotKeyProblem::none && registerError == kHotKeyTakenError) {
        reason = "この組み合わせは他のプログラムが使っています。";
    } else if (problem == HotKeyProblem::none) {
        reason = "システムが登録を断りました（エラー " + std::to_string(registerError) + "）。";
    } else if (problem == HotKeyProblem::unknownName) {
        reason = "「" + part + "」というキーはありません。";
    } else if (problem == HotKeyProblem::noKey) {
        reason = "修飾キー（Ctrl, Alt, Shift, Win）のほかにキーが一つ要ります。";
    } else {
        reason = "キーが二つあります（「" + part + "」）。修飾キーのあとにキーを一つだけ書きます。";
    }
    return "[Options] hotKey=" + value + "\r\nのホットキーを使えません。\r\n" + reason +
           "\r\n2回押しでの表示はこれまでどおり使えます。";
}

}  // namespace lumenvik
