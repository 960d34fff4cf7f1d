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

constexpr bool is_unicode(encoding_id e) {
    return e == encoding_utf8 || e == encoding_utf16be || e == encoding_utf16le;
}

// Decoder halves: from the 8-bit text of an encoding to UTF-16 units, plain
// and with the byte-order marks removed.
template <encoding_id E>
struct decoder_half;
template <>
struct decoder_half<encoding_ansi> {
    using plain = ansi_to_unicode_engine;
};
template <>
struct decoder_half<encoding_sjis> {
    using plain = sjis_cp932_to_unicode_engine;
};
template <>
struct decoder_half<encoding_jis> {
    using plain = chain<jis_to_euc_engine, euc_to_unicode_engine>;
};
template <>
struct decoder_half<encoding_iso2022jp> : decoder_half<encoding_jis> {};
template <>
struct decoder_half<encoding_euc> {
    using plain = euc_to_unicode_engine;
};
template <>
struct decoder_half<encoding_utf8> {
    using plain = utf8_to_unicode_engine;
    using unmarked = chain<debom_engine<S>, utf8_to_unicode_engine>;
};
template <>
struct decoder_half<encoding_utf16be> {
    using plain = cross_WORD_to_unicode_engine;
    using unmarked = chain<cross_WORD_to_unicode_engine, debom_engine<W>>;
};
template <>
struct decoder_half<encoding_utf16le> {
    using plain = WORD_to_unicode_engine;
    using unmarked = chain<WORD_to_unicode_engine, debom_engine<W>>;
};

// Encoder halves: from UTF-16 units to the 8-bit text of an encoding, plain
// and with a byte-order mark in front.
template <encoding_id E>
struct encoder_half;
template <>
struct encoder_half<encoding_ansi> {
    using plain = unicode_to_ansi_engine;
};
template <>
struct encoder_half<encoding_sjis> {
    using plain = unicode_to_sjis_cp932_engine;
};
template <>
struct encoder_half<encoding_jis> {
    using plain = chain<unicode_to_euc_engine, euc_to_jis_engine>;
};
template <>
struct encoder_half<encoding_euc> {
    using plain = unicode_to_euc_engine;
};
template <>
struct encoder_half<encoding_iso2022jp> {
    using plain = chain<unicode_to_euc_engine, euc_to_jis_engine, jis_to_iso2022jp_engine>;
};
template <>
struct encoder_half<encoding_utf8> {
    using plain = unicode_to_utf8_engine;
    using marked = chain<unicode_to_utf8_engine, enbom_engine<S>>;
};
template <>
struct encoder_half<encoding_utf16be> {
    using plain = unicode_to_cross_WORD_engine;
    using marked = chain<enbom_engine<W>, unicode_to_cross_WORD_engine>;
};
template <>
struct encoder_half<encoding_utf16le> {
    using plain = unicode_to_WORD_engine;
    using marked = chain<enbom_engine<W>, unicode_to_WORD_engine>;
};

// Text from a legacy encoding into a Unicode one gets a mark in front; text
// from a Unicode encoding into a legacy one loses its marks (but UTF-8 into
// 7-bit text keeps them, as "?").
constexpr bool adds_mark(encoding_id from, encoding_id to) {
    return !is_unicode(from) && is_unicode(to);
}
constexpr bool removes_mark(encoding_id from, encoding_id to) {
    return is_unicode(from) && !is_unicode(to) && !(from == encoding_utf8 && to == encoding_ansi);
}

// A decoder half and an encoder half as one chain, grouped so that the two
// converting stages in the middle form a twin of their own (the one-shot
// path converts some such twins in one pass).
template <class D, class E>
struct join {
    using type = twin_translate_engine<D, E>;
};
template <class D, class X>
struct join<D, twin_translate_engine<X, enbom_engine<S>>> {
    using type = twin_translate_engine<twin_translate_engine<D, X>, enbom_engine<S>>;
};
template <class X, class E>
struct join<twin_translate_engine<debom_engine<S>, X>, E> {
    using type = twin_translate_engine<debom_engine<S>, twin_translate_engine<X, E>>;
};

template <class Half, bool Unmarked>
struct decoder_of {
    using type = typename Half::plain;
};
template <class Half>
struct decoder_of<Half, true> {
    using type = typename Half::unmarked;
};
template <class Half, bool Marked>
struct encoder_of {
    using type = typename Half::plain;
};
template <class Half>
struct encoder_of<Half, true> {
    using type = typename Half::marked;
};

template <encoding_id From, encoding_id To>
using halves_chain =
    typename join<typename decoder_of<decoder_half<From>, removes_mark(From, To)>::type,
                  typename encoder_of<encoder_half<To>, adds_mark(From, To)>::type>::type;

// Which pairs go through the halves: all but equal encodings, 7-bit text
// and ISO-2022-JP into anything but Unicode (those have no chain), and the
// direct pairs below.
constexpr bool has_halves(encoding_id from, encoding_id to) {
    if (from == to) return false;
    if (from == encoding_ansi || from == encoding_iso2022jp) return is_unicode(to);
    return true;
}

// The pairs converted without UTF-16 in between.
template <encoding_id From, encoding_id To>
struct direct {
    static constexpr bool exists = false;
};
template <class C>
struct direct_chain {
    static constexpr bool exists = true;
    using type = C;
};
template <>
struct direct<encoding_ansi, encoding_utf8>
    : direct_chain<chain<through_engine<S>, enbom_engine<S>>> {};
template <>
struct direct<encoding_sjis, encoding_jis> : direct_chain<sjis_to_jis_engine> {};
template <>
struct direct<encoding_sjis, encoding_euc> : direct_chain<sjis_to_euc_engine> {};
template <>
struct direct<encoding_sjis, encoding_iso2022jp>
    : direct_chain<chain<sjis_to_jis_engine, jis_to_iso2022jp_engine>> {};
template <>
struct direct<encoding_jis, encoding_sjis> : direct_chain<jis_to_sjis_engine> {};
template <>
struct direct<encoding_iso2022jp, encoding_sjis> : direct_chain<jis_to_sjis_engine> {};
template <>
struct direct<encoding_jis, encoding_euc> : direct_chain<jis_to_euc_engine> {};
template <>
struct direct<encoding_iso2022jp, encoding_euc> : direct_chain<jis_to_euc_engine> {};
template <>
struct direct<encoding_jis, encoding_iso2022jp> : direct_chain<jis_to_iso2022jp_engine> {};
template <>
struct direct<encoding_euc, encoding_sjis> : direct_chain<euc_to_sjis_engine> {};
template <>
struct direct<encoding_euc, encoding_jis> : direct_chain<euc_to_jis_engine> {};
template <>
struct direct<encoding_euc, encoding_iso2022jp>
    : direct_chain<chain<euc_to_jis_engine, jis_to_iso2022jp_engine>> {};

// Calls f(std::integral_constant<encoding_id, e>()) for the encodings that
// convert; false for the others.
template <class F>
bool with_encoding(encoding_id e, F&& f) {
    switch (e) {
        case encoding_ansi:
            return f(std::integral_constant<encoding_id, encoding_ansi>());
        case encoding_sjis:
            return f(std::integral_constant<encoding_id, encoding_sjis>());
        case encoding_jis:
            return f(std::integral_constant<encoding_id, encoding_jis>());
        case encoding_euc:
            return f(std::integral_constant<encoding_id, encoding_euc>());
        case encoding_iso2022jp:
            return f(std::integral_constant<encoding_id, encoding_iso2022jp>());
        case encoding_utf8:
            return f(std::integral_constant<encoding_id, encoding_utf8>());
        case encoding_utf16be:
            return f(std::integral_constant<encoding_id, encoding_utf16be>());
        case encoding_utf16le:
            return f(std::integral_constant<encoding_id, encoding_utf16le>());
        default:
            return false;
    }
}

// Calls f(tag<Chain>()) with the chain of the pair and returns true, or
// returns false when the pair has no chain.
template <class F>
bool with_chain(encoding_id from, encoding_id to, F&& f) {
    return with_encoding(from, [&](auto a) {
        return with_encoding(to, [&](auto b) {
            constexpr encoding_id From = decltype(a)::value, To = decltype(b)::value;
            if constexpr (direct<From, To>::exists) {
                return f(tag<typename direct<From, To>::type>());
            } else if constexpr (has_halves(From, To)) {
                return f(tag<halves_chain<From, To>>());
            } else {
                return false;
            }
        });
    });
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
