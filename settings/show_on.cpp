#include "settings/show_on.h"

#include "settings/ini_scan.h"

namespace lumenvik {

namespace {

struct Choice {
    ShowOn where;
    const char* name;
};

constexpr Choice kChoices[] = {
    {ShowOn::primary, "primary"}, {ShowOn::mouse, "mouse"}, {ShowOn::active, "active"}};

}  // namespace

const char* showOnName(ShowOn where) {
    for (const Choice& choice : kChoices) {
        if (choice.where == where) return choice.name;
    }
    return kChoices[0].name;
}

std::optional<ShowOn> parseShowOn(const std::string& text) {
    // Blanks and letter case as the INI names take them.
    const ini::Span whole{0, text.size()};
    if (ini::sameName(text, whole, "")) return ShowOn::primary;
    for (const Choice& choice : kChoices) {
        if (ini::sameName(text, whole, choice.name)) return choice.where;
    }
    return std::nullopt;
}

std::string showOnMessage(const std::string& value) {
    return "lumenvik.ini の [Options] の showOn=" + value +
           " は使えません。primary（プライマリモニター）、mouse（マウスのあるモニター）、"
           "active（作業中のウィンドウのモニター）のどれかを書いてください。"
           "それまではプライマリモニターに検索窓を出します。";
}

}  // namespace lumenvik
