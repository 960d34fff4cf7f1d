#include "transcode/factory.h"

#include <vector>

#include "transcode/japanese_engines.h"
#include "transcode/one_pass.h"
#include "transcode/utf_engines.h"

namespace transcode {
namespace {

using S = std::string;
using W = std::wstring;

using byte_stage = engine_ref<tc_translate_engine<S, S>>;
using unit_stage = engine_ref<tc_translate_engine<W, W>>;
using decoder_stage = engine_ref<tc_translate_engine<S, W>>;
using encoder_stage = engine_ref<tc_translate_engine<W, S>>;

template <class T>
void move_into(T& from, T& to) {
    if (to.empty()) {
        to.swap(from);
    } else {
        to.append(from);
    }
    from.clear();
}

// The chain of a pair, put together when it is asked for rather than
// instantiated for every pair when the library is compiled: byte stages,
// then for pairs through Unicode a decoder, stages of UTF-16 units and an
// encoder, then byte stages. It drives its stages as nested twins would:
// each stage's output is the next one's input, and flush() flushes the
// first stage and translates and flushes each one after it.
class chain_engine : public string_engine {
  public:
    // front_passes[k]: stage k hands its input bytes on unchanged (a mark
    // remover), so what waits behind it is still input.
    std::vector<byte_stage> front;
    std::vector<bool> front_passes;
    decoder_stage decoder;  // null: bytes to bytes only
    std::vector<unit_stage> middle;
    encoder_stage encoder;
    std::vector<byte_stage> back;

    void translate() override { run(false); }
    void flush() override { run(true); }
    void clear() override {
        untranslated_buffer.clear();
        translated_buffer.clear();
        for (auto& s : front) s->clear();
        if (decoder) decoder->clear();
        for (auto& s : middle) s->clear();
        if (encoder) encoder->clear();
        for (auto& s : back) s->clear();
    }

    // The input bytes waiting in the chain, in stream order: in the stages
    // from the first one on while each hands its input on unchanged, the
    // later stage's bytes came earlier.
    S waiting_input() const {
        S out = untranslated_buffer;
        for (std::size_t k = 0; k < front.size(); ++k) {
            out.insert(0, front[k]->untranslated_buffer);
            if (!front_passes[k]) return out;
        }
        if (decoder) out.insert(0, decoder->untranslated_buffer);
        return out;
    }

  private:
    // Runs one stage on what the one before made (`in`, emptied), leaving
    // its output in `out` (which may be `in`).
    template <class E>
    static void stage(E& e, typename E::from_type& in, typename E::to_type& out, bool end,
                      bool& first) {
        if (end && first) {
            in.clear();
            e.flush();
        } else {
            move_into(in, e.untranslated_buffer);
            e.translate();
            if (end) e.flush();
        }
        first = false;
        move_into(e.translated_buffer, out);
    }

    void run(bool end) {
        S bytes;
        bytes.swap(untranslated_buffer);
        bool first = true;
        for (auto& s : front) stage(*s, bytes, bytes, end, first);
        if (decoder) {
            W units;
            stage(*decoder, bytes, units, end, first);
            for (auto& s : middle) stage(*s, units, units, end, first);
            stage(*encoder, units, bytes, end, first);
        }
        for (auto& s : back) stage(*s, bytes, bytes, end, first);
        move_into(bytes, translated_buffer);
    }
};

constexpr bool is_unicode(encoding_id e) {
    return e == encoding_utf8 || e == encoding_utf16be || e == encoding_utf16le;
}

template <class E>
byte_stage bytes() {
    return byte_stage(new E);
}

// The decoder half of an encoding into `c`, with the byte-order marks
// removed where `unmark`; false for an encoding that does not convert.
bool add_decoder(chain_engine& c, encoding_id from, bool unmark) {
    switch (from) {
        case encoding_ansi:
            c.decoder = decoder_stage(new ansi_to_unicode_engine);
            return true;
        case encoding_sjis:
            c.decoder = decoder_stage(new sjis_cp932_to_unicode_engine);
            return true;
        case encoding_jis:
        case encoding_iso2022jp:
            c.front.push_back(bytes<jis_to_euc_engine>());
            c.front_passes.push_back(false);
            c.decoder = decoder_stage(new euc_to_unicode_engine);
            return true;
        case encoding_euc:
            c.decoder = decoder_stage(new euc_to_unicode_engine);
            return true;
        case encoding_utf8:
            if (unmark) {
                c.front.push_back(bytes<debom_engine<S>>());
                c.front_passes.push_back(true);
            }
            c.decoder = decoder_stage(new utf8_to_unicode_engine);
            return true;
        case encoding_utf16be:
        case encoding_utf16le:
            if (from == encoding_utf16be) {
                c.decoder = decoder_stage(new cross_WORD_to_unicode_engine);
            } else {
                c.decoder = decoder_stage(new WORD_to_unicode_engine);
            }
            if (unmark) c.middle.push_back(unit_stage(new debom_engine<W>));
            return true;
        default:
            return false;
    }
}

// The encoder half of an encoding into `c`, with a byte-order mark in front
// where `mark`.
bool add_encoder(chain_engine& c, encoding_id to, bool mark) {
    switch (to) {
        case encoding_ansi:
            c.encoder = encoder_stage(new unicode_to_ansi_engine);
            return true;
        case encoding_sjis:
            c.encoder = encoder_stage(new unicode_to_sjis_cp932_engine);
            return true;
        case encoding_jis:
        case encoding_iso2022jp:
            c.encoder = encoder_stage(new unicode_to_euc_engine);
            c.back.push_back(bytes<euc_to_jis_engine>());
            if (to == encoding_iso2022jp) c.back.push_back(bytes<jis_to_iso2022jp_engine>());
            return true;
        case encoding_euc:
            c.encoder = encoder_stage(new unicode_to_euc_engine);
            return true;
        case encoding_utf8:
            c.encoder = encoder_stage(new unicode_to_utf8_engine);
            if (mark) c.back.push_back(bytes<enbom_engine<S>>());
            return true;
        case encoding_utf16be:
        case encoding_utf16le:
            if (mark) c.middle.push_back(unit_stage(new enbom_engine<W>));
            if (to == encoding_utf16be) {
                c.encoder = encoder_stage(new unicode_to_cross_WORD_engine);
            } else {
                c.encoder = encoder_stage(new unicode_to_WORD_engine);
            }
            return true;
        default:
            return false;
    }
}

// The pairs converted byte to byte, without UTF-16 in between; false for
// the others.
bool add_direct(chain_engine& c, encoding_id from, encoding_id to, bool marks) {
    const auto one = [&](byte_stage s) {
        c.front.push_back(std::move(s));
        c.front_passes.push_back(false);
    };
    const bool from_jis = from == encoding_jis || from == encoding_iso2022jp;
    if (from == encoding_ansi && to == encoding_utf8) {
        one(bytes<through_engine<S>>());
        c.front_passes.back() = true;
        if (marks) one(bytes<enbom_engine<S>>());
    } else if (from == encoding_sjis && (to == encoding_jis || to == encoding_iso2022jp)) {
        one(bytes<sjis_to_jis_engine>());
        if (to == encoding_iso2022jp) one(bytes<jis_to_iso2022jp_engine>());
    } else if (from == encoding_sjis && to == encoding_euc) {
        one(bytes<sjis_to_euc_engine>());
    } else if (from_jis && to == encoding_sjis) {
        one(bytes<jis_to_sjis_engine>());
    } else if (from_jis && to == encoding_euc) {
        one(bytes<jis_to_euc_engine>());
    } else if (from == encoding_jis && to == encoding_iso2022jp) {
        one(bytes<jis_to_iso2022jp_engine>());
    } else if (from == encoding_euc && to == encoding_sjis) {
        one(bytes<euc_to_sjis_engine>());
    } else if (from == encoding_euc && (to == encoding_jis || to == encoding_iso2022jp)) {
        one(bytes<euc_to_jis_engine>());
        if (to == encoding_iso2022jp) one(bytes<jis_to_iso2022jp_engine>());
    } else {
        return false;
    }
    return true;
}

// Text from a legacy encoding into a Unicode one gets a mark in front; text
// from a Unicode encoding into a legacy one loses its marks (but UTF-8 into
// 7-bit text keeps them, as "?").
bool adds_mark(encoding_id from, encoding_id to) { return !is_unicode(from) && is_unicode(to); }
bool removes_mark(encoding_id from, encoding_id to) {
    return is_unicode(from) && !is_unicode(to) && !(from == encoding_utf8 && to == encoding_ansi);
}

// The chain of the pair, with its byte-order-mark stages where `marks`
// (engines) or without them (the one-shot path); null for pairs without
// one: equal encodings, unknown identifiers, UTF-32, and 7-bit text or
// ISO-2022-JP into anything but Unicode (and the direct pairs).
engine_ref<chain_engine> make_chain(encoding_id from, encoding_id to, bool marks) {
    if (from == to) return nullptr;
    engine_ref<chain_engine> c(new chain_engine);
    if (add_direct(*c, from, to, marks)) return c;
    if (from == encoding_ansi || from == encoding_iso2022jp) {
        if (!is_unicode(to)) return nullptr;
    }
    if (!add_decoder(*c, from, marks && removes_mark(from, to))) return nullptr;
    if (!add_encoder(*c, to, marks && adds_mark(from, to))) return nullptr;
    return c;
}

// The leaf engine of a chain of one stage, which then needs no chain
// around it.
string_engine* only_stage(const chain_engine& c) {
    return !c.decoder && c.front.size() == 1 ? c.front[0].get() : nullptr;
}

S read_own_input(string_engine& engine) { return engine.untranslated_buffer; }

S read_chain_input(string_engine& engine) {
    return static_cast<chain_engine&>(engine).waiting_input();
}

}  // namespace

string_engine_ref create_engine(encoding_id from, encoding_id to, pending_input_reader* reader) {
    string_engine_ref made;
    pending_input_reader how = &read_own_input;
    const engine_ref<chain_engine> c = make_chain(from, to, true);
    if (!c) {
        made = string_engine_ref(new through_engine<S>);
    } else if (string_engine* leaf = only_stage(*c)) {
        made = string_engine_ref(leaf);
    } else {
        made = c;
        how = &read_chain_input;
    }
    if (reader) *reader = how;
    return made;
}

string_engine_ref create_engine(encoding_id from, encoding_id to) {
    return create_engine(from, to, nullptr);
}

std::string translate_between(const std::string& text, encoding_id from, encoding_id to) {
    if (const detail::one_pass_conversion one = detail::one_pass_for(from, to)) return one(text);
    const engine_ref<chain_engine> c = make_chain(from, to, false);
    if (!c) return text;
    string_engine& e = only_stage(*c) ? *only_stage(*c) : *c;
    // In blocks: every stage gives the same output however its input is
    // cut, and the text between the stages stays small enough for the
    // cache.
    constexpr std::size_t kBlock = 1 << 14;
    std::size_t pos = 0;
    do {
        e.untranslated_buffer.append(text, pos, kBlock);
        e.translate();
        pos += kBlock;
    } while (pos < text.size());
    e.flush();
    return std::move(e.translated_buffer);
}

std::string convert_to_encoding(const std::string& text, encoding_id target) {
    return translate_between(text, detect_encoding(text, detection_limit).encoding, target);
}

namespace detail {

one_pass_conversion one_pass_for(encoding_id from, encoding_id to) {
    if (from < 0 || from > 255 || to < 0 || to > 255) return nullptr;
    switch (from * 256 + to) {
        case encoding_sjis * 256 + encoding_utf8:
            return cp932_to_utf8;
        case encoding_sjis * 256 + encoding_utf16le:
            return cp932_to_utf16le;
        case encoding_euc * 256 + encoding_utf8:
            return euc_to_utf8;
        case encoding_euc * 256 + encoding_utf16le:
            return euc_to_utf16le;
        case encoding_utf8 * 256 + encoding_sjis:
            return utf8_to_cp932;
        case encoding_utf8 * 256 + encoding_utf16le:
            return utf8_to_utf16le;
        case encoding_utf16le * 256 + encoding_sjis:
            return utf16le_to_cp932;
        case encoding_utf16le * 256 + encoding_euc:
            return utf16le_to_euc;
        case encoding_utf16le * 256 + encoding_iso2022jp:
            return utf16le_to_iso2022jp;
        case encoding_utf8 * 256 + encoding_iso2022jp:
            return utf8_to_iso2022jp;
        case encoding_iso2022jp * 256 + encoding_utf8:
            return iso2022jp_to_utf8;
        default:
            return nullptr;
    }
}

}  // namespace detail
}  // namespace transcode
