#include "settings/show_on.h"

#include <cctype>

namespace lumenvik {

namespace {

struct Choice {
    ShowOn where;
    const char* name;
};

constexpr Choice kChoices[] = {
    {ShowOn::primary, "primary"}, {ShowOn::mouse, "mouse"}, {ShowOn::active, "active"}};

std::string trimmedLower(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    std::string out = text.substr(begin, end - begin);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

const char* showOnName(ShowOn where) {
    for (const Choice& choice : kChoices) {
        if (choice.where == where) return choice.name;
    }
    return kChoices[0].name;
}

std::optional<ShowOn> parseShowOn(const std::string& text) {
    const std::string word = trimmedLower(text);
    if (word.empty()) return ShowOn::primary;
    for (const Choice& choice : kChoices) {
        if (word == choice.name) return choice.where;
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
