#include "tests/win/dialog_template_reader.h"

#include <cstring>

namespace lvtest {
namespace {

class Reader {
  public:
    explicit Reader(const BYTE* base) : base_(base), p_(base) {}
    WORD word() {
        WORD w;
        std::memcpy(&w, p_, 2);
        p_ += 2;
        return w;
    }
    DWORD dword() {
        DWORD d;
        std::memcpy(&d, p_, 4);
        p_ += 4;
        return d;
    }
    short coordinate() { return static_cast<short>(word()); }
    // sz_Or_Ord: an ordinal ("#n") or UTF-16 text, returned as UTF-8.
    std::string text() {
        WORD first = word();
        if (first == 0xFFFF) return "#" + std::to_string(word());
        std::wstring w;
        for (WORD c = first; c != 0; c = word()) w.push_back(static_cast<wchar_t>(c));
        if (w.empty()) return {};
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()),
                                            nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], n,
                                  nullptr, nullptr);
        return out;
    }
    void alignDword() {
        while ((p_ - base_) % 4 != 0) ++p_;
    }

  private:
    const BYTE* base_;
    const BYTE* p_;
};

}  // namespace

DialogTemplate readDialogTemplate(const BYTE* data) {
    DialogTemplate t;
    Reader r(data);
    t.version = r.word();
    t.signature = r.word();
    if (!t.extended()) return t;
    t.helpId = r.dword();
    t.exStyle = r.dword();
    t.style = r.dword();
    t.count = r.word();
    t.x = r.coordinate();
    t.y = r.coordinate();
    t.cx = r.coordinate();
    t.cy = r.coordinate();
    t.menu = r.text();
    t.cls = r.text();
    t.caption = r.text();
    t.pointSize = r.word();
    t.weight = r.word();
    t.italicCharset = r.word();
    t.font = r.text();
    for (WORD i = 0; i < t.count; ++i) {
        r.alignDword();
        DialogItem it;
        it.helpId = r.dword();
        it.exStyle = r.dword();
        it.style = r.dword();
        it.x = r.coordinate();
        it.y = r.coordinate();
        it.cx = r.coordinate();
        it.cy = r.coordinate();
        it.id = static_cast<int>(r.dword());
        it.cls = r.text();
        it.text = r.text();
        const WORD extra = r.word();
        for (WORD k = 0; k < extra; ++k) r.word();  // creation data, not used here
        t.items.push_back(it);
    }
    return t;
}

const BYTE* findDialogTemplate(int id) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (found == nullptr) return nullptr;
    return static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
}

}  // namespace lvtest
