// The engine model: holding and deleting, the calling protocol, the generic
// engines and the one-shot function.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/transcode_test_util.h"
#include "transcode/transcode.h"

using namespace transcode;
using tc_test::B;
using tc_test::W;

namespace {

// Records its own destruction so tests can see who deletes whom, and when.
struct probe_engine : through_engine<std::string> {
    explicit probe_engine(std::string* log, char tag) : log_(log), tag_(tag) {}
    ~probe_engine() override { log_->push_back(tag_); }
    std::string* log_;
    char tag_;
};

// Holds each byte of the input back until the next call, so the calling
// protocol of the composites (what is passed on, what waits) is visible.
struct lagging_engine : tc_translate_engine<std::string, std::string> {
    void translate() override {
        if (untranslated_buffer.empty()) return;
        translated_buffer.append(untranslated_buffer, 0, untranslated_buffer.size() - 1);
        untranslated_buffer.erase(0, untranslated_buffer.size() - 1);
    }
};

}  // namespace

TEST(TranscodeEngineRef, LastHolderDeletesAndCopiesShareOneEngine) {
    std::string log;
    {
        engine_ref<probe_engine> a(new probe_engine(&log, 'a'));
        EXPECT_EQ(a->ref_count, 1);
        {
            engine_ref<probe_engine> b = a;
            engine_ref<tc_translate_engine<std::string, std::string>> base = b;
            EXPECT_EQ(a->ref_count, 3);
            EXPECT_EQ(base.get(), a.get());
        }
        EXPECT_EQ(a->ref_count, 1);
        EXPECT_EQ(log, "");
    }
    EXPECT_EQ(log, "a");
}

TEST(TranscodeEngineRef, AssignmentReleasesTheOldEngineFirst) {
    std::string log;
    engine_ref<probe_engine> a(new probe_engine(&log, 'a'));
    engine_ref<probe_engine> b(new probe_engine(&log, 'b'));
    a = b;
    EXPECT_EQ(log, "a");
    EXPECT_EQ(b->ref_count, 2);
    a = a;  // self-assignment keeps the engine alive
    EXPECT_EQ(b->ref_count, 2);
    b.reset();
    EXPECT_EQ(log, "a");
    a.reset();
    EXPECT_EQ(log, "ab");
}

TEST(TranscodeEngineRef, BaseHolderDrivesDerivedEngineThroughVirtualCalls) {
    engine_ref<tc_translate_engine<std::string, std::string>> e =
        make_engine<enbom_engine<std::string>>();
    e->untranslated_buffer = "x";
    e->translate();
    std::string out;
    take_translated(e, out);
    EXPECT_EQ(out, B({0xEF, 0xBB, 0xBF, 'x'}));
    EXPECT_TRUE(e->translated_buffer.empty());
    e->clear();
    take_translated(e, out);
    EXPECT_EQ(out, B({0xEF, 0xBB, 0xBF}));
}

TEST(TranscodeEngineModel, DefaultFlushWritesOneReplacementPerWaitingUnit) {
    lagging_engine e;
    e.untranslated_buffer = std::string("ab\0", 3);
    e.translate();
    EXPECT_EQ(e.translated_buffer, "ab");
    e.untranslated_buffer += "c";
    e.flush();
    EXPECT_EQ(e.translated_buffer, "ab??");
    EXPECT_TRUE(e.untranslated_buffer.empty());
    e.untranslated_buffer = "zz";
    e.clear();
    EXPECT_TRUE(e.untranslated_buffer.empty());
    EXPECT_TRUE(e.translated_buffer.empty());
}

TEST(TranscodeGenericEngines, ThroughKeepsEveryByteIncludingNul) {
    const std::string text("a\0b\xFF", 4);
    EXPECT_EQ(tc_test::run_whole<through_engine<std::string>>(text), text);
    EXPECT_EQ(tc_test::run_whole<through_engine<std::wstring>>(W({0, 0xD800, 0x41})),
              W({0, 0xD800, 0x41}));
}

TEST(TranscodeGenericEngines, EnbomPutsTheMarkBeforeAllOutputAgainAfterClear) {
    enbom_engine<std::string> e;
    e.untranslated_buffer = "abc";
    e.translate();
    e.flush();
    EXPECT_EQ(e.translated_buffer, B({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
    e.clear();
    e.untranslated_buffer = "x";
    e.translate();
    EXPECT_EQ(e.translated_buffer, B({0xEF, 0xBB, 0xBF, 'x'}));

    enbom_engine<std::wstring> w;
    w.untranslated_buffer = W({0x3042});
    w.translate();
    EXPECT_EQ(w.translated_buffer, W({0xFEFF, 0x3042}));
}

TEST(TranscodeGenericEngines, DebomRemovesEveryMarkWhereverItStands) {
    const std::string in = "a" + B({0xEF, 0xBB, 0xBF}) + "b" + B({0xEF, 0xBB, 0xBF});
    EXPECT_EQ(tc_test::run_whole<debom_engine<std::string>>(in), "ab");
    EXPECT_EQ(tc_test::check_streaming<debom_engine<std::string>>(in), "");
    // Parts of a mark that never complete are ordinary bytes.
    const std::string partial = B({0xEF, 0xBB, 'x', 0xEF});
    EXPECT_EQ(tc_test::run_whole<debom_engine<std::string>>(partial), partial);
    EXPECT_EQ(tc_test::check_streaming<debom_engine<std::string>>(partial), "");
    EXPECT_EQ(tc_test::run_whole<debom_engine<std::wstring>>(W({0xFEFF, 0x41, 0xFEFF})), W({0x41}));
}

TEST(TranscodeGenericEngines, TwinOfPassThroughsReturnsInputAndClearReachesMembers) {
    using twin = twin_translate_engine<through_engine<std::string>, lagging_engine>;
    twin e;
    e.untranslated_buffer = "hello";
    e.translate();
    EXPECT_EQ(e.translated_buffer, "hell");
    EXPECT_TRUE(e.untranslated_buffer.empty());
    EXPECT_EQ(e.second->untranslated_buffer, "o");
    e.clear();
    EXPECT_TRUE(e.second->untranslated_buffer.empty());
    EXPECT_TRUE(e.translated_buffer.empty());
    e.untranslated_buffer = "ab";
    e.translate();
    e.flush();
    EXPECT_EQ(e.translated_buffer, "a?");

    using plain = twin_translate_engine<through_engine<std::string>, through_engine<std::string>>;
    EXPECT_EQ(tc_test::run_whole<plain>(std::string("x\0y", 3)), std::string("x\0y", 3));
}

TEST(TranscodeGenericEngines, TwinReleasesSecondThenFirst) {
    std::string log;
    {
        twin_translate_engine<probe_engine, probe_engine> e(
            engine_ref<probe_engine>(new probe_engine(&log, '1')),
            engine_ref<probe_engine>(new probe_engine(&log, '2')));
    }
    EXPECT_EQ(log, "21");
}

TEST(TranscodeGenericEngines, ManualEngineForwardsAndSwapsItsInnerEngine) {
    manual_translate_engine<std::string, std::string> m;
    m.untranslated_buffer = "ab";
    m.translate();
    EXPECT_EQ(m.translated_buffer, "ab");
    m.engine = make_engine<lagging_engine>();
    m.untranslated_buffer = "cd";
    m.translate();
    EXPECT_EQ(m.translated_buffer, "abc");
    m.flush();
    EXPECT_EQ(m.translated_buffer, "abc?");
    m.untranslated_buffer = "q";
    m.translate();
    m.clear();
    EXPECT_TRUE(m.engine->untranslated_buffer.empty());
    EXPECT_TRUE(m.translated_buffer.empty());
}

TEST(TranscodeOneShot, MarkEnginesReturnInputUnchangedAlsoInsideChains) {
    const std::string marked = B({0xEF, 0xBB, 0xBF, 'a'});
    EXPECT_EQ(translate_all<enbom_engine<std::string>>("abc"), "abc");
    EXPECT_EQ(translate_all<debom_engine<std::string>>(marked), marked);
    using chain =
        twin_translate_engine<twin_translate_engine<utf8_to_unicode_engine, unicode_to_utf8_engine>,
                              enbom_engine<std::string>>;
    EXPECT_EQ(translate_all<chain>("abc"), "abc");
    // The same chain driven by calls adds the mark.
    EXPECT_EQ(tc_test::run_whole<chain>("abc"), B({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
}

TEST(TranscodeOneShot, LeavesTheEngineEmptyForReuse) {
    utf8_to_unicode_engine e;
    EXPECT_EQ(translate_all(e, B({0xE6, 0xA4})), W({0x3F, 0x3F}));
    EXPECT_TRUE(e.untranslated_buffer.empty());
    EXPECT_TRUE(e.translated_buffer.empty());
    EXPECT_EQ(translate_all(e, B({0xE6, 0xA4, 0x9C})), W({0x691C}));
}
