#include "app/welcome.h"

#include "settings/key_names.h"

namespace lumenvik {

std::string friendlyKeyName(int32_t showWindowKey) {
    const std::string name = settingKeyName(showWindowKey);
    if (name == "VK_CONTROL") return "Ctrl";
    if (name == "VK_SHIFT") return "Shift";
    if (name == "VK_MENU") return "Alt";
    return name.compare(0, 3, "VK_") == 0 ? name.substr(3) : name;
}

WelcomeText welcomeText(int32_t showWindowKey) {
    return {"Lumenvik が起動しました",
            friendlyKeyName(showWindowKey) +
                " キーを2回続けて押すと、検索バーが開きます。\n"
                "Lumenvik は通知領域のこのアイコンで動いています。アイコンが見えないときは、"
                "タスクバーの ^ の中にあります（右クリックでメニュー）。"};
}

}  // namespace lumenvik
