#include "transcode/factory.h"

#include <type_traits>

#include "transcode/japanese_engines.h"
#include "transcode/utf_engines.h"

namespace transcode {
namespace {

using S = std::string;
using W = std::wstring;

// chain<A, B, C> is twin_translate_engine<twin_translate_engine<A, B>, C>.
template <class... E>
struct chain_of;
template <class A>
struct chain_of<A> {
    using type = A;
};
template <class A, class B, class... Rest>
struct chain_of<A, B, Rest...> {
    using type = typename chain_of<twin_translate_engine<A, B>, Rest...>::type;
};
template <class... E>
using chain = typename chain_of<E...>::type;

// Stages that hand their input bytes on unchanged (apart from marks).
template <class E>
struct passes_bytes : std::false_type {};
template <>
struct passes_bytes<through_engine<S>> : std::true_type {};
template <>
struct passes_bytes<debom_engine<S>> : std::true_type {};

// The input bytes waiting in an engine, in stream order. In a twin whose
// first stage passes bytes on unchanged, what waits in the second stage came
// earlier in the stream than what waits in the first; behind a converting
// stage, what waits is no longer input.
template <class E>
S waiting_input(E& engine) {
    return engine.untranslated_buffer;
}
template <class First, class Second>
S waiting_input(twin_translate_engine<First, Second>& engine) {
    S out;
    if constexpr (passes_bytes<First>::value) out = waiting_input(*engine.second);
    out += waiting_input(*engine.first);
    out += engine.untranslated_buffer;
    return out;
}

template <class C>
S read_waiting_input(string_engine& engine) {
    return waiting_input(static_cast<C&>(engine));
}

template <class C>
struct tag {
    using type = C;
};

// Calls f(tag<Chain>()) with the chain of the pair and returns true, or
// returns false when the pair has no chain.
template <class F>
bool with_chain(encoding_id from, encoding_id to, F&& f) {
    constexpr auto key = [](encoding_id a, encoding_id b) { return a * 256 + b; };
    using sjis_in = sjis_cp932_to_unicode_engine;
    using jis_in = chain<jis_to_euc_engine, euc_to_unicode_engine>;
    using utf8_in = chain<debom_engine<S>, utf8_to_unicode_engine>;
    using utf16be_in = chain<cross_WORD_to_unicode_engine, debom_engine<W>>;
    using utf16le_in = chain<WORD_to_unicode_engine, debom_engine<W>>;
    using to_jis = chain<unicode_to_euc_engine, euc_to_jis_engine>;
    using to_iso = chain<unicode_to_euc_engine, euc_to_jis_engine, jis_to_iso2022jp_engine>;
    using utf8_out = chain<unicode_to_utf8_engine, enbom_engine<S>>;
    using be_out = chain<enbom_engine<W>, unicode_to_cross_WORD_engine>;
    using le_out = chain<enbom_engine<W>, unicode_to_WORD_engine>;
    if (from < 0 || to < 0 || from > 255 || to > 255) return false;
    switch (key(from, to)) {
        case key(encoding_ansi, encoding_utf8):
            return f(tag<chain<through_engine<S>, enbom_engine<S>>>());
        case key(encoding_ansi, encoding_utf16be):
            return f(tag<chain<ansi_to_unicode_engine, be_out>>());
        case key(encoding_ansi, encoding_utf16le):
            return f(tag<chain<ansi_to_unicode_engine, le_out>>());

        case key(encoding_sjis, encoding_ansi):
            return f(tag<chain<sjis_in, unicode_to_ansi_engine>>());
        case key(encoding_sjis, encoding_jis):
            return f(tag<sjis_to_jis_engine>());
        case key(encoding_sjis, encoding_euc):
            return f(tag<sjis_to_euc_engine>());
        case key(encoding_sjis, encoding_iso2022jp):
            return f(tag<chain<sjis_to_jis_engine, jis_to_iso2022jp_engine>>());
        case key(encoding_sjis, encoding_utf8):
            return f(tag<chain<sjis_in, utf8_out>>());
        case key(encoding_sjis, encoding_utf16be):
            return f(tag<chain<sjis_in, be_out>>());
        case key(encoding_sjis, encoding_utf16le):
            return f(tag<chain<sjis_in, le_out>>());

        case key(encoding_jis, encoding_ansi):
            return f(tag<chain<jis_in, unicode_to_ansi_engine>>());
        case key(encoding_jis, encoding_sjis):
        case key(encoding_iso2022jp, encoding_sjis):
            return f(tag<jis_to_sjis_engine>());
        case key(encoding_jis, encoding_euc):
        case key(encoding_iso2022jp, encoding_euc):
            return f(tag<jis_to_euc_engine>());
        case key(encoding_jis, encoding_iso2022jp):
            return f(tag<jis_to_iso2022jp_engine>());
        case key(encoding_jis, encoding_utf8):
        case key(encoding_iso2022jp, encoding_utf8):
            return f(tag<chain<jis_in, utf8_out>>());
        case key(encoding_jis, encoding_utf16be):
        case key(encoding_iso2022jp, encoding_utf16be):
            return f(tag<chain<jis_in, be_out>>());
        case key(encoding_jis, encoding_utf16le):
        case key(encoding_iso2022jp, encoding_utf16le):
            return f(tag<chain<jis_in, le_out>>());

        case key(encoding_euc, encoding_ansi):
            return f(tag<chain<euc_to_unicode_engine, unicode_to_ansi_engine>>());
        case key(encoding_euc, encoding_sjis):
            return f(tag<euc_to_sjis_engine>());
        case key(encoding_euc, encoding_jis):
            return f(tag<euc_to_jis_engine>());
        case key(encoding_euc, encoding_iso2022jp):
            return f(tag<chain<euc_to_jis_engine, jis_to_iso2022jp_engine>>());
        case key(encoding_euc, encoding_utf8):
            return f(tag<chain<euc_to_unicode_engine, utf8_out>>());
        case key(encoding_euc, encoding_utf16be):
            return f(tag<chain<euc_to_unicode_engine, be_out>>());
        case key(encoding_euc, encoding_utf16le):
            return f(tag<chain<euc_to_unicode_engine, le_out>>());

        case key(encoding_utf8, encoding_ansi):
            return f(tag<chain<utf8_to_unicode_engine, unicode_to_ansi_engine>>());
        case key(encoding_utf8, encoding_sjis):
            return f(tag<chain<utf8_in, unicode_to_sjis_cp932_engine>>());
        case key(encoding_utf8, encoding_jis):
            return f(tag<chain<utf8_in, to_jis>>());
        case key(encoding_utf8, encoding_euc):
            return f(tag<chain<utf8_in, unicode_to_euc_engine>>());
        case key(encoding_utf8, encoding_iso2022jp):
            return f(tag<chain<utf8_in, to_iso>>());
        case key(encoding_utf8, encoding_utf16be):
            return f(tag<chain<utf8_to_unicode_engine, unicode_to_cross_WORD_engine>>());
        case key(encoding_utf8, encoding_utf16le):
            return f(tag<chain<utf8_to_unicode_engine, unicode_to_WORD_engine>>());

        case key(encoding_utf16be, encoding_ansi):
            return f(tag<chain<utf16be_in, unicode_to_ansi_engine>>());
        case key(encoding_utf16be, encoding_sjis):
            return f(tag<chain<utf16be_in, unicode_to_sjis_cp932_engine>>());
        case key(encoding_utf16be, encoding_jis):
            return f(tag<chain<utf16be_in, to_jis>>());
        case key(encoding_utf16be, encoding_euc):
            return f(tag<chain<utf16be_in, unicode_to_euc_engine>>());
        case key(encoding_utf16be, encoding_iso2022jp):
            return f(tag<chain<utf16be_in, to_iso>>());
        case key(encoding_utf16be, encoding_utf8):
            return f(tag<chain<cross_WORD_to_unicode_engine, unicode_to_utf8_engine>>());
        case key(encoding_utf16be, encoding_utf16le):
            return f(tag<chain<cross_WORD_to_unicode_engine, unicode_to_WORD_engine>>());

        case key(encoding_utf16le, encoding_ansi):
            return f(tag<chain<utf16le_in, unicode_to_ansi_engine>>());
        case key(encoding_utf16le, encoding_sjis):
            return f(tag<chain<utf16le_in, unicode_to_sjis_cp932_engine>>());
        case key(encoding_utf16le, encoding_jis):
            return f(tag<chain<utf16le_in, to_jis>>());
        case key(encoding_utf16le, encoding_euc):
            return f(tag<chain<utf16le_in, unicode_to_euc_engine>>());
        case key(encoding_utf16le, encoding_iso2022jp):
            return f(tag<chain<utf16le_in, to_iso>>());
        case key(encoding_utf16le, encoding_utf8):
            return f(tag<chain<WORD_to_unicode_engine, unicode_to_utf8_engine>>());
        case key(encoding_utf16le, encoding_utf16be):
            return f(tag<chain<WORD_to_unicode_engine, unicode_to_cross_WORD_engine>>());
        default:
            return false;
    }
}

}  // namespace

string_engine_ref create_engine(encoding_id from, encoding_id to, pending_input_reader* reader) {
    string_engine_ref made;
    pending_input_reader how = nullptr;
    with_chain(from, to, [&](auto t) {
        using C = typename decltype(t)::type;
        made = string_engine_ref(new C);
        how = &read_waiting_input<C>;
        return true;
    });
    if (!made) {
        made = string_engine_ref(new through_engine<S>);
        how = &read_waiting_input<through_engine<S>>;
    }
    if (reader) *reader = how;
    return made;
}

string_engine_ref create_engine(encoding_id from, encoding_id to) {
    return create_engine(from, to, nullptr);
}

std::string translate_between(const std::string& text, encoding_id from, encoding_id to) {
    std::string out;
    if (!with_chain(from, to, [&](auto t) {
            using C = typename decltype(t)::type;
            out = translate_all<C>(text);
            return true;
        })) {
        return text;
    }
    return out;
}

std::string convert_to_encoding(const std::string& text, encoding_id target) {
    return translate_between(text, detect_encoding(text, detection_limit).encoding, target);
}

}  // namespace transcode
