// Every leaf engine, the generic engines and every chain the factory builds,
// fed whole and in the pieces the input chooses:
// - no crash and no sanitizer report;
// - the output of the input fed whole equals the output fed in pieces, with
//   the output taken after every piece or only at the end, and again after
//   clear() on the same engine;
// - after translate() at most one incomplete character waits; after flush()
//   nothing waits;
// - the output stays within the engine's length bound (below);
// - the one-shot function gives the streamed output (for chains: apart from
//   the byte-order mark the streaming chain adds or removes), also for texts
//   longer than the one-shot converter's blocks; for the pairs converted in
//   one pass also at the SIMD level the input chooses.
//
// Input layout: byte 0 chooses the subject, bytes 1 and 2 the encodings of
// a chain and the options, bytes 3-6 seed the piece lengths, the rest is the
// text. UTF-16 input is built from the text two bytes per unit (low byte
// first), or with option "wide" three bytes per element, so that elements
// above 0xFFFF (possible where wchar_t has 32 bits) are tried too.
//
// Output-length bounds, n = input units (bytes or 16-bit units), checked as
// out <= a * n + c:
//   sjis_cp932_to_unicode, euc_to_unicode, utf8_to_unicode,
//   ansi_to_unicode, jis_to_sjis, euc_to_sjis, unicode_to_ansi   a = 1
//   WORD_to_unicode, cross_WORD_to_unicode                       a = 1/2, c = 1
//   unicode_to_sjis_cp932, unicode_to_WORD(_cross), sjis_to_euc,
//   jis_to_euc                                                   a = 2
//   unicode_to_euc, unicode_to_utf8                              a = 3
//   sjis_to_jis, euc_to_jis          a = 4, c = 3 (a designation before each byte, one to close)
//   jis_to_iso2022jp                 a = 5, c = 3 (ESC $ B and a full-width pair per kana byte)
//   unicode_to_web_form              a = 11, c = 3 (ISO-2022-JP: ESC ( B and "&#65533;" for
//                                    an ESC after JIS X 0208, one designation to close)
//   through, debom                   a = 1; enbom a = 1, c = the mark
//   factory chains                   a = 30, c = 32 (the largest product of their stages:
//                                    UTF-16 to ISO-2022-JP, 1/2 * 3 * 4 * 5)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "transcode/factory.h"
#include "transcode/transcode.h"

using namespace transcode;
using S = std::string;
using W = std::wstring;

namespace {

struct bound {
    std::size_t num, den, extra;
    std::size_t limit(std::size_t n) const { return (n * num + den - 1) / den + extra; }
};

template <class From, class To>
struct subject {
    using base = tc_translate_engine<From, To>;
    std::function<engine_ref<base>()> make;
    // The one-shot result for an input, or empty when there is nothing to compare.
    std::function<To(const From&)> one_shot;
    // Input units still waiting anywhere in the engine (default: its own buffer).
    std::function<std::size_t(base&)> waiting;
    bound out_bound;
    std::size_t max_wait;
};

template <class From, class To>
std::size_t waiting_units(const subject<From, To>& s, typename subject<From, To>::base& e) {
    return s.waiting ? s.waiting(e) : e.untranslated_buffer.size();
}

template <class From, class To>
void check(const subject<From, To>& s, const From& in, std::uint32_t seed, bool take_each) {
    auto whole = s.make();
    whole->untranslated_buffer = in;
    whole->translate();
    FUZZ_CHECK(waiting_units(s, *whole) <= s.max_wait);
    whole->flush();
    FUZZ_CHECK(whole->untranslated_buffer.empty());
    FUZZ_CHECK(waiting_units(s, *whole) == 0);
    const To expected = whole->translated_buffer;
    FUZZ_CHECK(expected.size() <= s.out_bound.limit(in.size()));
    if (s.one_shot) FUZZ_CHECK(s.one_shot(in) == expected);

    auto e = s.make();
    To got;
    fuzz::Pieces pieces(seed);
    std::size_t pos = 0, calls = 0;
    while (pos < in.size()) {
        std::size_t k = pieces.next();
        if (++calls > in.size() + 64) k = in.size();  // enough empty portions
        if (k > in.size() - pos) k = in.size() - pos;
        e->untranslated_buffer.append(in, pos, k);
        pos += k;
        e->translate();
        FUZZ_CHECK(waiting_units(s, *e) <= s.max_wait);
        if (take_each) {
            To part;
            take_translated(e, part);
            FUZZ_CHECK(e->translated_buffer.empty());
            got += part;
        }
    }
    e->flush();
    FUZZ_CHECK(e->untranslated_buffer.empty());
    FUZZ_CHECK(waiting_units(s, *e) == 0);
    got += e->translated_buffer;
    FUZZ_CHECK(got == expected);

    // clear() returns the engine to its first state: the same input again
    // gives the same output.
    e->clear();
    FUZZ_CHECK(e->untranslated_buffer.empty());
    e->untranslated_buffer = in;
    e->translate();
    e->flush();
    FUZZ_CHECK(e->translated_buffer == expected);
}

template <class E>
subject<typename E::from_type, typename E::to_type> leaf(bound b, std::size_t max_wait = 5,
                                                         bool one_shot = true) {
    subject<typename E::from_type, typename E::to_type> s;
    s.make = [] { return engine_ref<typename decltype(s)::base>(new E); };
    if (one_shot) s.one_shot = [](const typename E::from_type& in) { return translate_all<E>(in); };
    s.out_bound = b;
    s.max_wait = max_wait;
    return s;
}

template <class From>
From text_as(const std::uint8_t* p, std::size_t n, bool wide);
template <>
S text_as<S>(const std::uint8_t* p, std::size_t n, bool) {
    return S(reinterpret_cast<const char*>(p), n);
}
template <>
W text_as<W>(const std::uint8_t* p, std::size_t n, bool wide) {
    W out;
    const std::size_t step = wide ? 3 : 2;
    for (std::size_t i = 0; i + step <= n; i += step) {
        std::uint32_t v = p[i] | (p[i + 1] << 8);
        if (wide) v |= static_cast<std::uint32_t>(p[i + 2]) << 16;
        if (sizeof(wchar_t) == 2) v &= 0xFFFF;
        out.push_back(static_cast<wchar_t>(v));
    }
    return out;
}

template <class E>
void run_leaf(bound b, const std::uint8_t* p, std::size_t n, std::uint32_t seed, unsigned options,
              std::size_t max_wait = 5, bool one_shot = true) {
    const auto s = leaf<E>(b, max_wait, one_shot);
    check(s, text_as<typename E::from_type>(p, n, options & 1), seed, options & 2);
}

// The web-form encoder for `target`: at most one unit waits (a high
// surrogate, or on ISO-2022-JP a kana that a sound mark may join).
void run_web_form(encoding_id target, const std::uint8_t* p, std::size_t n, std::uint32_t seed,
                  unsigned options) {
    subject<W, S> s;
    s.make = [target] {
        return engine_ref<subject<W, S>::base>(new unicode_to_web_form_engine(target));
    };
    s.one_shot = [target](const W& in) { return translate_web_form(in, target); };
    s.out_bound = {11, 1, 3};
    s.max_wait = 1;
    check(s, text_as<W>(p, n, options & 1), seed, options & 2);
}

// The encodings a chain is chosen from: the defined identifiers and a few
// that are not.
const encoding_id kIds[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, 12, 256, 0x7FFFFFFF};

bool has(std::initializer_list<encoding_id> set, encoding_id id) {
    for (encoding_id x : set)
        if (x == id) return true;
    return false;
}

// What the byte-order-mark stages of a factory chain do that the one-shot
// converter does not: the mark put in front, and the input with the marks
// the chain removes taken out.
std::string added_mark(encoding_id from, encoding_id to) {
    const bool japanese_or_ansi =
        has({encoding_ansi, encoding_sjis, encoding_jis, encoding_euc, encoding_iso2022jp}, from);
    if (!japanese_or_ansi) return "";
    if (to == encoding_utf8) return "\xEF\xBB\xBF";
    if (to == encoding_utf16be) return "\xFE\xFF";
    if (to == encoding_utf16le) return "\xFF\xFE";
    return "";
}

std::string without_removed_marks(const std::string& in, encoding_id from, encoding_id to) {
    const bool to_narrow =
        has({encoding_ansi, encoding_sjis, encoding_jis, encoding_euc, encoding_iso2022jp}, to);
    if (from == encoding_utf8 && to_narrow && to != encoding_ansi) {
        std::string out;
        std::size_t pos = 0;
        for (;;) {
            const std::size_t hit = in.find("\xEF\xBB\xBF", pos);
            if (hit == std::string::npos) break;
            out.append(in, pos, hit - pos);
            pos = hit + 3;
        }
        return out + in.substr(pos);
    }
    if ((from == encoding_utf16be || from == encoding_utf16le) && to_narrow) {
        const char hi = from == encoding_utf16be ? '\xFE' : '\xFF';
        const char lo = from == encoding_utf16be ? '\xFF' : '\xFE';
        std::string out;
        std::size_t i = 0;
        for (; i + 2 <= in.size(); i += 2) {
            if (in[i] == hi && in[i + 1] == lo) continue;
            out.append(in, i, 2);
        }
        return out + in.substr(i);
    }
    return in;
}

// translate_to_string_engine with its reader of waiting input in reach.
class string_chain : public translate_to_string_engine<std::string> {
  public:
    using translate_to_string_engine<std::string>::translate_to_string_engine;
    std::size_t waiting() { return pending_reader(*engine).size() + untranslated_buffer.size(); }
};

void run_chain(const std::uint8_t* p, std::size_t n, std::uint32_t seed, unsigned a, unsigned b) {
    const encoding_id from = kIds[a & 15], to = kIds[b & 15];
    const bool wrapped = b & 0x20;
    subject<S, S> s;
    auto reader = std::make_shared<pending_input_reader>(nullptr);
    if (wrapped) {
        s.make = [=] { return string_engine_ref(new string_chain(from, to)); };
        s.waiting = [](string_engine& e) { return static_cast<string_chain&>(e).waiting(); };
    } else {
        s.make = [=] { return create_engine(from, to, reader.get()); };
        s.waiting = [reader](string_engine& e) {
            return (*reader)(e).size() + e.untranslated_buffer.size();
        };
    }
    s.one_shot = [=](const S& in) {
        return added_mark(from, to) +
               translate_between(without_removed_marks(in, from, to), from, to);
    };
    s.out_bound = {30, 1, 32};
    s.max_wait = 8;
    const S in(reinterpret_cast<const char*>(p), n);
    check(s, in, seed, b & 0x10);

    // The one-shot converter runs long texts through its stages in blocks
    // of 16 KiB: now and then the input repeated past a few block ends.
    if ((seed & 0xF) == 0 && n > 0) {
        S big;
        while (big.size() < 40000) big += in;
        auto e = s.make();
        e->untranslated_buffer = big;
        e->translate();
        e->flush();
        FUZZ_CHECK(s.one_shot(big) == e->translated_buffer);
    }
}

// The pairs the library converts in one pass (translate_between runs their
// kernels), at the SIMD level the input chooses: the kernels' fast loops at
// every level against the chain's stages streamed in pieces.
void run_one_pass(const std::uint8_t* p, std::size_t n, std::uint32_t seed, unsigned a,
                  unsigned b) {
    static const encoding_id kernels[][2] = {
        {encoding_sjis, encoding_utf8},         {encoding_sjis, encoding_utf16le},
        {encoding_euc, encoding_utf8},          {encoding_euc, encoding_utf16le},
        {encoding_utf8, encoding_sjis},         {encoding_utf8, encoding_utf16le},
        {encoding_utf16le, encoding_sjis},      {encoding_utf16le, encoding_euc},
        {encoding_utf16le, encoding_iso2022jp}, {encoding_utf8, encoding_iso2022jp},
        {encoding_iso2022jp, encoding_utf8}};
    const auto& k = kernels[a % (sizeof kernels / sizeof *kernels)];
    const int level = std::min(static_cast<int>((b >> 6) % 4), static_cast<int>(simd_available()));
    use_simd(static_cast<simd_level>(level));
    run_chain(p, n, seed, static_cast<unsigned>(k[0]), static_cast<unsigned>(k[1]) | (b & 0x30));
    use_simd(simd_available());
}

// The detecting engine: its output depends on how the input is cut (each
// portion is detected anew), so only the stream rules are checked: no
// crash, every portion is taken in at once, the output stays within the
// chains' bound, and nothing waits after flush().
void run_auto(const std::uint8_t* p, std::size_t n, std::uint32_t seed, unsigned a) {
    auto_translate_engine<std::string> e(kIds[a & 15]);
    fuzz::Pieces pieces(seed);
    std::size_t pos = 0, calls = 0;
    while (pos < n) {
        std::size_t k = pieces.next();
        if (++calls > n + 64) k = n;
        if (k > n - pos) k = n - pos;
        e.untranslated_buffer.append(reinterpret_cast<const char*>(p) + pos, k);
        pos += k;
        e.translate();
        FUZZ_CHECK(e.untranslated_buffer.empty());
        FUZZ_CHECK(e.translated_buffer.size() <= 30 * n + 32);
    }
    e.flush();
    FUZZ_CHECK(e.untranslated_buffer.empty());
    FUZZ_CHECK(e.engine->untranslated_buffer.empty());
    e.clear();
    FUZZ_CHECK(e.translated_buffer.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 7) return 0;
    initialize();
    const unsigned kind = data[0], a = data[1], b = data[2];
    const std::uint32_t seed = fuzz::read_u32(data + 3);
    const std::uint8_t* p = data + 7;
    const std::size_t n = size - 7;
    const unsigned opt = (a >> 4) & 3;  // 1: wide UTF-16 input, 2: take output after each piece
    switch (kind % 64) {
        case 0:
            run_leaf<utf8_to_unicode_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 1:
            run_leaf<unicode_to_utf8_engine>({3, 1, 0}, p, n, seed, opt);
            break;
        case 2:
            run_leaf<WORD_to_unicode_engine>({1, 2, 1}, p, n, seed, opt);
            break;
        case 3:
            run_leaf<unicode_to_WORD_engine>({2, 1, 0}, p, n, seed, opt);
            break;
        case 4:
            run_leaf<cross_WORD_to_unicode_engine>({1, 2, 1}, p, n, seed, opt);
            break;
        case 5:
            run_leaf<unicode_to_cross_WORD_engine>({2, 1, 0}, p, n, seed, opt);
            break;
        case 6:
            run_leaf<ansi_to_unicode_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 7:
            run_leaf<unicode_to_ansi_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 8:
            run_leaf<sjis_cp932_to_unicode_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 9:
            run_leaf<unicode_to_sjis_cp932_engine>({2, 1, 0}, p, n, seed, opt);
            break;
        case 10:
            run_leaf<euc_to_unicode_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 11:
            run_leaf<unicode_to_euc_engine>({3, 1, 0}, p, n, seed, opt);
            break;
        case 12:
            run_leaf<sjis_to_euc_engine>({2, 1, 0}, p, n, seed, opt);
            break;
        case 13:
            run_leaf<euc_to_sjis_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 14:
            run_leaf<sjis_to_jis_engine>({4, 1, 3}, p, n, seed, opt);
            break;
        case 15:
            run_leaf<euc_to_jis_engine>({4, 1, 3}, p, n, seed, opt);
            break;
        case 16:
            run_leaf<jis_to_sjis_engine>({1, 1, 0}, p, n, seed, opt);
            break;
        case 17:
            run_leaf<jis_to_euc_engine>({2, 1, 0}, p, n, seed, opt);
            break;
        case 18:
            run_leaf<jis_to_iso2022jp_engine>({5, 1, 3}, p, n, seed, opt);
            break;
        case 19:
            run_leaf<through_engine<S>>({1, 1, 0}, p, n, seed, opt, 0);
            break;
        case 20:
            run_leaf<through_engine<W>>({1, 1, 0}, p, n, seed, opt, 0);
            break;
        // The one-shot function of the mark engines returns the input as it is.
        case 21:
            run_leaf<enbom_engine<S>>({1, 1, 3}, p, n, seed, opt, 0, false);
            break;
        case 22:
            run_leaf<enbom_engine<W>>({1, 1, 1}, p, n, seed, opt, 0, false);
            break;
        case 23:
            run_leaf<debom_engine<S>>({1, 1, 0}, p, n, seed, opt, 2, false);
            break;
        case 24:
            run_leaf<debom_engine<W>>({1, 1, 0}, p, n, seed, opt, 0, false);
            break;
        case 25:
            run_auto(p, n, seed, a);
            break;
        case 26:
            run_web_form(encoding_sjis, p, n, seed, opt);
            break;
        case 27:
            run_web_form(encoding_euc, p, n, seed, opt);
            break;
        case 28:
            run_web_form(encoding_iso2022jp, p, n, seed, opt);
            break;
        case 29:
            run_web_form(encoding_utf8, p, n, seed, opt);
            break;
        case 30:
        case 31:
            run_one_pass(p, n, seed, a, b);
            break;
        default:
            run_chain(p, n, seed, a, b);
            break;
    }
    return 0;
}
