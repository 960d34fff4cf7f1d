#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "transcode/detect.h"
#include "transcode/encoding.h"
#include "transcode/engine.h"

namespace transcode {

// An 8-bit to 8-bit engine of any chain, driven through the four virtual
// operations.
using string_engine = tc_translate_engine<std::string, std::string>;
using string_engine_ref = engine_ref<string_engine>;

// Builds the engine chain from one encoding to another, with its
// byte-order-mark stages. Pairs the library has no chain for (equal
// encodings, unknown identifiers, UTF-32, 7-bit text to the Japanese
// encodings, ...) give a pass-through engine.
string_engine_ref create_engine(encoding_id from, encoding_id to);

// One-shot conversion along the chain of the pair, stage by stage. Adds and
// removes no byte-order mark; pairs without a chain return `text` unchanged.
std::string translate_between(const std::string& text, encoding_id from, encoding_id to);

// Guesses the encoding of `text` and converts it to `target`. Never fails:
// 7-bit text comes back unchanged for the 8-bit targets.
std::string convert_to_encoding(const std::string& text, encoding_id target);

// Reads the input bytes still waiting inside an engine made by the factory,
// in stream order.
using pending_input_reader = std::string (*)(string_engine& engine);

// create_engine that also tells how to read the input waiting in the chain.
string_engine_ref create_engine(encoding_id from, encoding_id to, pending_input_reader* reader);

// A run-time chosen chain from a source to a target encoding.
template <class S>
class translate_to_string_engine : public manual_translate_engine<S, S> {
    static_assert(std::is_same_v<S, std::string>, "converts 8-bit text only");

  public:
    translate_to_string_engine(encoding_id from, encoding_id to) {
        this->engine = create_engine(from, to, &pending_reader);
    }

  protected:
    // How to read what waits in the inner chain; set with the chain.
    pending_input_reader pending_reader;
};

// Converts a stream of unknown encoding to `target`: each batch handed to
// translate() is run through the detector, and when the guess changes the
// inner chain is replaced by one from the new guess. Input still waiting in
// the old chain (a character cut at the end of the previous batch) is handed
// to the new chain in front of the batch, so nothing fed in is lost. The
// output of each translate() call replaces the previous output: take it
// after every call.
template <class S>
class auto_translate_engine : public translate_to_string_engine<S> {
  public:
    explicit auto_translate_engine(encoding_id target)
        : translate_to_string_engine<S>(target, target),
          source_encoding(target),
          target_encoding(target) {}

    void translate() override {
        // An empty batch says nothing about the encoding: keep the chain.
        if (!this->untranslated_buffer.empty()) {
            const encoding_id guess =
                detect_encoding(this->untranslated_buffer, detection_limit).encoding;
            if (guess != source_encoding) switch_to(guess);
        }
        this->engine->untranslated_buffer.append(this->untranslated_buffer);
        this->engine->translate();
        this->untranslated_buffer.clear();
        take_translated(*this->engine, this->translated_buffer);
    }

    encoding_id source_encoding;
    encoding_id target_encoding;

  private:
    void switch_to(encoding_id guess) {
        std::string waiting = this->pending_reader ? this->pending_reader(*this->engine) : S();
        source_encoding = guess;
        this->engine = create_engine(guess, target_encoding, &this->pending_reader);
        this->engine->untranslated_buffer = std::move(waiting);
    }
};

}  // namespace transcode
