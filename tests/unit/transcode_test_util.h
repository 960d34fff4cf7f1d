// Helpers of the conversion tests: building byte and unit strings from
// numbers, and running an engine over an input cut into portions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "transcode/engine.h"

namespace tc_test {

inline std::string B(std::initializer_list<unsigned> bytes) {
    std::string s;
    for (unsigned b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

inline std::wstring W(std::initializer_list<unsigned> units) {
    std::wstring s;
    for (unsigned u : units) s.push_back(static_cast<wchar_t>(u));
    return s;
}

// Readable form of a string for failure messages.
template <class S>
std::string hex(const S& s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (auto c : s) {
        auto v = static_cast<std::uint32_t>(
            static_cast<std::make_unsigned_t<typename S::value_type>>(c));
        if (!out.empty()) out += ' ';
        std::string h;
        do {
            h.insert(h.begin(), digits[v & 15]);
            v >>= 4;
        } while (v);
        if (h.size() < 2) h.insert(h.begin(), '0');
        out += h;
    }
    return out;
}

// Feeds the input in portions ending at the given cut positions (ascending),
// taking the output after each translate(), then flushes.
template <class E>
typename E::to_type run_cut(E& engine, const typename E::from_type& input,
                            const std::vector<std::size_t>& cuts) {
    typename E::to_type out;
    std::size_t prev = 0;
    auto feed = [&](std::size_t end) {
        engine.untranslated_buffer.append(input, prev, end - prev);
        prev = end;
        engine.translate();
        out += engine.translated_buffer;
        engine.translated_buffer.clear();
    };
    for (std::size_t c : cuts) feed(c);
    feed(input.size());
    engine.flush();
    out += engine.translated_buffer;
    engine.translated_buffer.clear();
    return out;
}

template <class E>
typename E::to_type run_whole(const typename E::from_type& input) {
    E engine;
    return run_cut(engine, input, {});
}

// Returns an empty string when every split agrees with the whole-input
// result, else a description of the first split that differs. Short inputs
// are split at every single position and into single units; long ones at
// random positions (fixed seed).
template <class E>
std::string check_streaming(const typename E::from_type& input, unsigned seed = 1) {
    const auto whole = run_whole<E>(input);
    auto differs = [&](const std::vector<std::size_t>& cuts) -> std::string {
        E engine;
        const auto got = run_cut(engine, input, cuts);
        if (got == whole) return {};
        std::string where;
        for (std::size_t c : cuts) where += std::to_string(c) + ",";
        return "input " + hex(input) + " cut at " + where + " gave " + hex(got) + " instead of " +
               hex(whole);
    };
    if (input.size() <= 64) {
        for (std::size_t k = 1; k < input.size(); ++k) {
            auto r = differs({k});
            if (!r.empty()) return r;
        }
        std::vector<std::size_t> every;
        for (std::size_t k = 1; k < input.size(); ++k) every.push_back(k);
        return differs(every);
    }
    std::mt19937 rng(seed);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::size_t> cuts;
        std::size_t pos = 0;
        for (;;) {
            pos += 1 + rng() % (round < 10 ? 7 : 97);
            if (pos >= input.size()) break;
            cuts.push_back(pos);
        }
        auto r = differs(cuts);
        if (!r.empty()) return r;
    }
    return {};
}

}  // namespace tc_test
