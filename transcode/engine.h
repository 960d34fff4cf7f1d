// The conversion engine model: reference-counted stream converters that
// hold back incomplete input, chain into composites and run one-shot.
//
// Text types: std::string carries 8-bit text, std::wstring carries UTF-16
// code units, one 16-bit unit per element on every compiler (also where
// wchar_t is 32 bits wide). An element above 0xFFFF is not a UTF-16 unit and
// every engine treats it as an unmappable unit.
//
// Holding: engine_ref<E> is an intrusive holding pointer. It is a template on
// the engine type and converts from engine_ref<Derived>, so a chain can be
// handed out as engine_ref<tc_translate_engine<std::string, std::string>>
// and driven through the four virtual operations only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace transcode {

// Root of every engine: a virtual destructor and the count of holders.
class tc_smart_base {
  public:
    tc_smart_base() = default;
    // A copied engine starts without holders of its own.
    tc_smart_base(const tc_smart_base&) {}
    tc_smart_base& operator=(const tc_smart_base&) { return *this; }
    virtual ~tc_smart_base() = default;

    std::int32_t ref_count = 0;
};

// The replacement written for each rejected or unmappable input sequence:
// "?" in 8-bit text, U+003F in UTF-16.
constexpr unsigned replacement_char = 0x3F;

template <class S>
inline typename S::value_type replacement_unit() {
    return static_cast<typename S::value_type>(replacement_char);
}

template <class From, class To>
class tc_translate_engine : public tc_smart_base {
  public:
    using from_type = From;
    using to_type = To;

    ~tc_translate_engine() override = default;

    // Converts the complete characters of untranslated_buffer, appending to
    // translated_buffer; leaves at most one incomplete character behind.
    virtual void translate() = 0;

    // Ends the stream: each unit still waiting becomes one replacement.
    virtual void flush() {
        translated_buffer.append(untranslated_buffer.size(), replacement_unit<To>());
        untranslated_buffer.clear();
    }

    // Empties both buffers so the engine can be reused.
    virtual void clear() {
        untranslated_buffer.clear();
        translated_buffer.clear();
    }

    From untranslated_buffer;
    To translated_buffer;
};

// Intrusive holding pointer. The last holder to let go deletes the engine.
template <class E>
class engine_ref {
  public:
    using element_type = E;

    engine_ref() = default;
    engine_ref(std::nullptr_t) {}
    explicit engine_ref(E* engine) : p_(engine) { take(); }
    engine_ref(const engine_ref& other) : p_(other.p_) { take(); }
    engine_ref(engine_ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    template <class D, class = std::enable_if_t<std::is_convertible_v<D*, E*>>>
    engine_ref(const engine_ref<D>& other) : p_(other.get()) {
        take();
    }
    ~engine_ref() { release(); }

    engine_ref& operator=(const engine_ref& other) {
        if (other.p_ != p_) {
            release();
            p_ = other.p_;
            take();
        }
        return *this;
    }
    engine_ref& operator=(engine_ref&& other) noexcept {
        if (this != &other) {
            release();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    E* get() const { return p_; }
    E& operator*() const { return *p_; }
    E* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Lets go of the engine (deleting it if this was the last holder).
    void reset() {
        release();
        p_ = nullptr;
    }

  private:
    void take() {
        if (p_) ++p_->ref_count;
    }
    void release() {
        if (p_ && --p_->ref_count <= 0) delete p_;
    }

    E* p_ = nullptr;
};

// Creates an engine on the heap, held from the start.
template <class E, class... Args>
engine_ref<E> make_engine(Args&&... args) {
    return engine_ref<E>(new E(std::forward<Args>(args)...));
}

// Moves the engine's pending output into out (replacing out's content) and
// leaves translated_buffer empty.
template <class E>
void take_translated(E& engine, typename E::to_type& out) {
    out.clear();
    out.swap(engine.translated_buffer);
}
template <class E>
void take_translated(const engine_ref<E>& engine, typename E::to_type& out) {
    take_translated(*engine, out);
}

// Appends the engine's pending output to out and empties translated_buffer.
template <class E>
void append_translated(E& engine, typename E::to_type& out) {
    if (out.empty()) {
        out.swap(engine.translated_buffer);
    } else {
        out.append(engine.translated_buffer);
        engine.translated_buffer.clear();
    }
}

// Passes text through unchanged.
template <class S>
class through_engine : public tc_translate_engine<S, S> {
  public:
    void translate() override {
        auto& in = this->untranslated_buffer;
        auto& out = this->translated_buffer;
        if (out.empty()) {
            out.swap(in);
        } else {
            out.append(in);
        }
        in.clear();
    }
    void flush() override {}
};

template <class S>
inline const S& byte_order_mark();
template <>
inline const std::string& byte_order_mark<std::string>() {
    static const std::string mark("\xEF\xBB\xBF");
    return mark;
}
template <>
inline const std::wstring& byte_order_mark<std::wstring>() {
    static const std::wstring mark(1, static_cast<wchar_t>(0xFEFF));
    return mark;
}

// Passes text through with a byte-order mark in front of everything it
// outputs (again after every clear()).
template <class S>
class enbom_engine : public through_engine<S> {
  public:
    enbom_engine() { this->translated_buffer = byte_order_mark<S>(); }
    void clear() override {
        through_engine<S>::clear();
        this->translated_buffer = byte_order_mark<S>();
    }
};

// Passes text through with every byte-order mark removed. A mark cut off at
// the end of a portion waits for the rest (8-bit text only; in UTF-16 the
// mark is one unit).
template <class S>
class debom_engine : public through_engine<S> {
  public:
    void translate() override {
        auto& in = this->untranslated_buffer;
        auto& out = this->translated_buffer;
        const S& mark = byte_order_mark<S>();
        std::size_t pos = 0;
        for (;;) {
            std::size_t hit = in.find(mark, pos);
            if (hit == S::npos) break;
            out.append(in, pos, hit - pos);
            pos = hit + mark.size();
        }
        // Keep a possible start of a mark at the very end for the next call.
        std::size_t keep = 0;
        for (std::size_t k = mark.size() - 1; k > 0; --k) {
            if (in.size() - pos >= k && in.compare(in.size() - k, k, mark, 0, k) == 0) {
                keep = k;
                break;
            }
        }
        out.append(in, pos, in.size() - pos - keep);
        in.erase(0, in.size() - keep);
    }
    void flush() override {
        // A partial mark that never completed is ordinary text.
        this->translated_buffer.append(this->untranslated_buffer);
        this->untranslated_buffer.clear();
    }
};

// Two engines in a row; First's output type is Second's input type.
template <class First, class Second>
class twin_translate_engine
    : public tc_translate_engine<typename First::from_type, typename Second::to_type> {
    static_assert(std::is_same_v<typename First::to_type, typename Second::from_type>,
                  "the first engine's output must be the second engine's input");

  public:
    using first_type = First;
    using second_type = Second;

    // Builds the whole chain.
    twin_translate_engine() : first(new First), second(new Second) {}
    // Chains two existing engines (used where the chain is chosen at run time).
    twin_translate_engine(engine_ref<First> a, engine_ref<Second> b)
        : first(std::move(a)), second(std::move(b)) {}

    void translate() override {
        first->untranslated_buffer.append(this->untranslated_buffer);
        first->translate();
        this->untranslated_buffer.clear();
        append_translated(*first, second->untranslated_buffer);
        second->translate();
        append_translated(*second, this->translated_buffer);
    }
    void flush() override {
        first->flush();
        this->untranslated_buffer.clear();
        append_translated(*first, second->untranslated_buffer);
        second->translate();
        second->flush();
        append_translated(*second, this->translated_buffer);
    }
    void clear() override {
        this->untranslated_buffer.clear();
        this->translated_buffer.clear();
        first->clear();
        second->clear();
    }

    // Declared in this order so that destruction releases second, then first.
    engine_ref<First> first;
    engine_ref<Second> second;
};

// An engine that forwards to an inner engine which can be swapped at run time.
template <class From, class To>
class manual_translate_engine : public tc_translate_engine<From, To> {
  public:
    using inner_type = tc_translate_engine<From, To>;

    // A pass-through inner engine (same text type on both sides only).
    manual_translate_engine() {
        static_assert(std::is_same_v<From, To>, "needs an inner engine");
        engine = engine_ref<inner_type>(new through_engine<From>);
    }
    explicit manual_translate_engine(engine_ref<inner_type> inner) : engine(std::move(inner)) {}

    void translate() override {
        engine->untranslated_buffer.append(this->untranslated_buffer);
        engine->translate();
        this->untranslated_buffer.clear();
        append_translated(*engine, this->translated_buffer);
    }
    void flush() override {
        engine->flush();
        this->untranslated_buffer.clear();
        append_translated(*engine, this->translated_buffer);
    }
    void clear() override {
        this->untranslated_buffer.clear();
        this->translated_buffer.clear();
        engine->clear();
    }

    engine_ref<inner_type> engine;
};

// One-shot conversion. The static type of the engine decides the path: a
// leaf or run-time chain runs translate() and flush(); a twin runs its two
// stages one after the other; the byte-order-mark engines return their input
// unchanged (a one-shot conversion never adds or removes a mark). The
// engine's buffers are left empty.
template <class E>
typename E::to_type translate_all(E& engine, typename E::from_type input) {
    engine.untranslated_buffer = std::move(input);
    engine.translate();
    engine.flush();
    typename E::to_type out;
    out.swap(engine.translated_buffer);
    return out;
}
template <class S>
S translate_all(enbom_engine<S>&, S input) {
    return input;
}
template <class S>
S translate_all(debom_engine<S>&, S input) {
    return input;
}

// Whether the one-shot result of E is that of translate() and flush() over
// the whole input (false for the mark engines and chains holding them).
template <class E>
struct plain_one_shot : std::true_type {};
template <class S>
struct plain_one_shot<enbom_engine<S>> : std::false_type {};
template <class S>
struct plain_one_shot<debom_engine<S>> : std::false_type {};
template <class A, class B>
struct plain_one_shot<twin_translate_engine<A, B>>
    : std::bool_constant<plain_one_shot<A>::value && plain_one_shot<B>::value> {};

template <class First, class Second>
typename Second::to_type translate_all(twin_translate_engine<First, Second>& engine,
                                       const typename First::from_type& input) {
    First& a = *engine.first;
    Second& b = *engine.second;
    if constexpr (plain_one_shot<First>::value && plain_one_shot<Second>::value) {
        // Stage by stage, but in blocks: every engine gives the same output
        // however its input is cut, so the result is that of running each
        // stage over the whole text, while the middle text stays small
        // enough to stay in the cache.
        constexpr std::size_t kBlock = 1 << 14;
        a.untranslated_buffer.clear();
        b.untranslated_buffer.clear();
        for (std::size_t pos = 0; pos < input.size(); pos += kBlock) {
            a.untranslated_buffer.append(input, pos, kBlock);
            a.translate();
            append_translated(a, b.untranslated_buffer);
            b.translate();
            if (pos == 0 && input.size() > kBlock) {
                // One allocation for the output, sized by the first block.
                const std::size_t expected =
                    (input.size() / kBlock + 1) * b.translated_buffer.size();
                b.translated_buffer.reserve(expected + expected / 8);
            }
        }
        a.flush();
        append_translated(a, b.untranslated_buffer);
        b.translate();
        b.flush();
        typename Second::to_type out;
        out.swap(b.translated_buffer);
        return out;
    } else {
        return translate_all(b, translate_all(a, input));
    }
}

// One-shot conversion with a fresh engine of type E. A chain reads a
// const input in blocks, so the input is copied only where the first engine
// takes it whole.
template <class E>
typename E::to_type translate_all(const typename E::from_type& input) {
    E engine;
    return translate_all(engine, input);
}
template <class E>
typename E::to_type translate_all(typename E::from_type&& input) {
    E engine;
    return translate_all(engine, std::move(input));
}

}  // namespace transcode
