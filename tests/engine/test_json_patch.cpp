// The patches of the live page: what changed between two documents, written so
// that applying it to the older one gives the newer one, over a whole match.

#include "support/frames.h"
#include "support/recording_events.h"
#include "support/simulated_alley.h"

#include "console/simulation_lineup.h"
#include "core/json_patch.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "reports/match_json.h"
#include "scoring/game_kinds.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace kuzelna;

namespace {

struct Case {
    const char* what;
    const char* from;
    const char* to;
    const char* changes; // nullptr: no patch can say it
};

const Case kCases[] = {
    {"equal documents", R"({"a":1,"b":[1,2]})", R"({"a":1,"b":[1,2]})", "{}"},
    {"a scalar member", R"({"a":1,"b":"x"})", R"({"a":1.5,"b":"x"})", R"({"a":1.5})"},
    {"a member of a member", R"({"t":{"p":1,"q":2}})", R"({"t":{"p":1,"q":3}})", R"({"t":{"q":3}})"},
    {"a new member comes whole", R"({"a":1})", R"({"a":1,"b":{"c":[1]}})", R"({"b":{"c":[1]}})"},
    {"a throw appended", R"({"throws":[9,7]})", R"({"throws":[9,7,0]})", R"({"throws":{"n":3,"2":0}})"},
    {"an array cut short", R"([1,2,3])", R"([1,5])", R"({"n":2,"1":5})"},
    {"an item of an array changed in part", R"([{"s":1,"p":4},{"s":2,"p":0}])",
     R"([{"s":1,"p":4},{"s":2,"p":9}])", R"({"1":{"p":9}})"},
    {"a blank counter gets a number", R"({"c":null})", R"({"c":0})", R"({"c":0})"},
    {"null becomes an object", R"({"c":null})", R"({"c":{"x":1}})", R"({"c":{"x":1}})"},
    {"an object becomes an array", R"({"c":{"x":1}})", R"({"c":[1]})", R"({"c":[1]})"},
    {"an array becomes a scalar", R"({"c":[1]})", R"({"c":true})", R"({"c":true})"},
    {"text with escapes", R"({"n":"a\"b"})", R"({"n":"Dvo\u0159\u00e1k\\"})",
     R"({"n":"Dvo\u0159\u00e1k\\"})"},
    {"a member goes away", R"({"a":1,"b":2})", R"({"a":1})", nullptr},
    {"an array becomes an object", R"({"c":[1]})", R"({"c":{"n":1}})", nullptr},
    {"the whole document changes kind", R"([1])", R"({"a":1})", nullptr},
};

TEST(JsonPatch, ChangesApplyToTheOlderDocument) {
    for (const Case& c : kCases) {
        const JsonValue from = parseJson(c.from);
        const JsonValue to = parseJson(c.to);
        const std::optional<JsonValue> changes = jsonChanges(from, to);
        if (!c.changes) {
            EXPECT_FALSE(changes) << c.what;
            continue;
        }
        ASSERT_TRUE(changes) << c.what;
        EXPECT_EQ(writeJson(*changes), c.changes) << c.what;
        JsonValue patched = from;
        applyJsonChanges(patched, parseJson(writeJson(*changes)));
        EXPECT_EQ(writeJson(patched), writeJson(to)) << c.what;
    }
}

TEST(JsonPatch, TextThatIsNotJsonIsRefused) {
    for (const char* text : {"", "{", R"({"a":})", R"({"a":1,})", "[1 2]", R"("a)", "\"\x01\"", R"("\x")",
                             R"("\u12g4")", "01x", "-", "1.", "tru", "{} {}", R"({1:2})"}) {
        EXPECT_THROW(parseJson(text), std::invalid_argument) << text;
    }
    EXPECT_THROW(parseJson(std::string(kMaxJsonDepth + 2, '[') + std::string(kMaxJsonDepth + 2, ']')),
                 std::invalid_argument);
    EXPECT_NO_THROW(parseJson(std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']')));
    EXPECT_EQ(writeJson(parseJson(" { \"a\" : [ 1 , -2.5e3 , true , null , \"\" ] } ")),
              R"({"a":[1,-2.5e3,true,null,""]})");
}

TEST(JsonPatch, APatchThatDoesNotFitTheArrayIsRefused) {
    for (const auto& [target, patch] : {std::pair{"[1,2]", R"({"2":5})"}, std::pair{"[1,2]", R"({"x":5})"},
                                        std::pair{"[1,2]", R"({"n":-1})"}, std::pair{"[1,2]", R"({"n":"3"})"},
                                        std::pair{"[1,2]", R"({"n":99999999999})"}}) {
        JsonValue value = parseJson(target);
        EXPECT_THROW(applyJsonChanges(value, parseJson(patch)), std::invalid_argument) << patch;
    }
}

// A whole match through the lane link's byte interface: after every frame that
// changed the document, its patch applied to the page's copy gives the document.
TEST(JsonPatch, AWholeMatchBuiltFromPatchesIsTheFinalDocument) {
    for (const GameConfiguration& config :
         {GameConfiguration{4, 1, 1, 2, 1}, GameConfiguration{2, 3, 1, 6, 1}}) {
        auto state = std::make_unique<MatchState>();
        ASSERT_TRUE(applyConfiguration(*state, config).empty());
        fillSimulationLineups(*state);
        kuzelna::testing::SimulatedAlley alley(kuzelna::testing::MatchPlan{
            config.gameKind, config.laneLayout, config.lanePair, config.pairCount, 3u});
        kuzelna::testing::RecordingEvents events;
        LaneLink link(*state, events);
        MatchCycle cycle(*state, events);
        state->linkPaused = 0;
        state->running = 1;

        std::string lastText = matchJson(*state);
        JsonValue last = parseJson(lastText);
        JsonValue page = last;
        int patches = 0;
        for (int ticks = 0; !state->matchOver && ticks < 2'000'000; ++ticks) {
            for (const std::string& body : kuzelna::testing::sentBodies(cycle.tick())) {
                const std::string reply = alley.answer(body);
                if (!reply.empty()) link.onBytes(reply);
            }
            std::string text = matchJson(*state);
            if (text == lastText) continue;
            JsonValue now = parseJson(text);
            const std::optional<JsonValue> changes = jsonChanges(last, now);
            ASSERT_TRUE(changes) << "the document keeps its members from one frame to the next";
            applyJsonChanges(page, parseJson(writeJson(*changes)));
            ASSERT_EQ(writeJson(page), writeJson(now)) << "after patch " << patches;
            last = std::move(now);
            lastText = std::move(text);
            ++patches;
        }
        ASSERT_TRUE(state->matchOver);
        EXPECT_EQ(writeJson(page), matchJson(*state));
        EXPECT_GT(patches, 2 * config.pairCount * 30);
    }
}

} // namespace
