// The journal of a match: every kind of game on every lane layout, played
// whole, cut at random points, rebuilt from the journal and played on, comes
// out as the match played without a cut; a record torn anywhere is left out
// and nothing before it is lost.

#include "core/match_events.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"
#include "suddenvictory/sudden_victory.h"
#include "support/frames.h"
#include "support/match_compare.h"
#include "support/simulated_alley.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

struct Plan {
    int kind, layout, pair;
    bool wholeSets = false;
};

std::string describe(const ::testing::TestParamInfo<Plan>& info) {
    const Plan& p = info.param;
    return "kind" + std::to_string(p.kind) + "_layout" + std::to_string(p.layout) + "_pair" +
           std::to_string(p.pair) + (p.wholeSets ? "_wholeSets" : "");
}

constexpr int kPairs = 6;

// The operator's part, done when the match reaches given points, so that a
// run that was cut and rebuilt does it at the same point of the match.
struct Operator {
    bool corrected = false, renamed = false, switched = false, marked = false;

    void act(MatchState& s, const Plan& plan) {
        PlayerSlot& first = s.player[1];
        if (!corrected && first.throwCount >= 12) { // an old throw: no later frame brings it back
            corrected = true;
            first.throws[5] = static_cast<u8>((first.throws[5] + 3) % 10);
            prepocitej(s, 1);
        }
        if (!renamed && s.player[2].throwCount >= 20) { // a line-up change by the registry window
            renamed = true;
            s.player[2].displayName = "Novak Jan";
            s.guestTeamName = "Host\xE9 B";
        }
        if (plan.wholeSets && !switched && s.player[3].throwCount >= 5) {
            switched = true;
            setWholeSetScoring(s, true);
        }
        if (plan.wholeSets && !marked && s.player[1].throwCount > throwsPerLane(plan.kind)) {
            marked = true;
            s.player[1].tieBreak[1] = 1; // as the tie-break window marks a set
            prepocitej(s, 1);
        }
    }
};

// One server on the alley, writing its journal as the shell does: frames
// before throw recording takes them, the operator's changes after each step.
struct Server {
    std::unique_ptr<MatchState> state;
    MatchEvents quiet;
    std::unique_ptr<LaneLink> link;
    std::unique_ptr<MatchCycle> cycle;
    std::unique_ptr<JournalRecorder> recorder;
    std::string journal;

    explicit Server(std::unique_ptr<MatchState> s, std::unique_ptr<JournalRecorder> r)
        : state(std::move(s)), recorder(std::move(r)) {
        state->linkPaused = 0; // "Start"
        state->controls.displayExtra = true;
        link = std::make_unique<LaneLink>(*state, quiet);
        cycle = std::make_unique<MatchCycle>(*state, quiet);
        link->beforeRecording = [this](int lane, const LaneStatus& status) {
            journal += recorder->frame(*state, lane, status);
        };
    }

    void step(SimulatedAlley& alley, Operator& op, const Plan& plan) {
        for (const std::string& body : sentBodies(cycle->tick())) {
            const std::string reply = alley.answer(body);
            if (reply.empty()) continue;
            for (const std::string& piece : alley.deliver(reply))
                link->onBytes(piece);
        }
        op.act(*state, plan);
        journal += recorder->sync(*state);
    }
};

std::unique_ptr<MatchState> setUpMatch(const Plan& plan) {
    auto s = std::make_unique<MatchState>();
    EXPECT_EQ(applyConfiguration(*s, {plan.kind, plan.layout, plan.pair, kPairs, 1}), "");
    s->homeTeamName = "Dom\xE1\x63\xED";
    s->guestTeamName = "Host\xE9";
    for (int slot = 1; slot <= 2 * kPairs; ++slot)
        s->player[static_cast<std::size_t>(slot)].displayName = "Player " + std::to_string(slot);
    s->score16 = plan.layout == 3 ? 1 : 0;
    return s;
}

// A fresh program's state before the journal is replayed into it.
std::unique_ptr<MatchState> freshStart() {
    auto s = std::make_unique<MatchState>();
    s->gameKind = 2; // a start-up default unlike the match's, which the journal replaces
    s->laneLayout = 2;
    s->laneCount = 2;
    return s;
}

MatchPlan alleyPlan(const Plan& plan) {
    return {plan.kind, plan.layout, plan.pair, kPairs, 7000u * plan.kind + 100u * plan.layout + plan.pair};
}

constexpr int kTickLimit = 2'000'000;

// Where the link was in its cycle of polls and display frames is not part of
// the match and not in the journal. Carried over, the alley sees the same polls
// as without the cut, so that its own random draws (the lamps and digits it
// shows) stay in step and the two ends can be compared whole.
void carryLinkCycle(const MatchState& from, MatchState& to) {
    to.rxBuffer = from.rxBuffer;
    to.pollLane = from.pollLane;
    to.pollDelay = from.pollDelay;
    to.pollsBeforeDisplay = from.pollsBeforeDisplay;
    to.displayStep = from.displayStep;
    to.displayToggle = from.displayToggle;
    to.nameSwapCountdown = from.nameSwapCountdown;
    to.lanePlayerOnDisplay = from.lanePlayerOnDisplay;
    to.laneDisplayThrows = from.laneDisplayThrows;
    to.laneFrameCache = from.laneFrameCache;
}

class JournalledMatch : public ::testing::TestWithParam<Plan> {};

} // namespace

TEST_P(JournalledMatch, CutAnywhereRebuildsTheStateAndPlaysOnToTheSameEnd) {
    const Plan plan = GetParam();

    // The match as it goes without a cut.
    SimulatedAlley wholeAlley(alleyPlan(plan));
    Operator wholeOperator;
    Server whole(setUpMatch(plan), std::make_unique<JournalRecorder>("2026-12-10 10:00:00"));
    int ticks = 0;
    for (; !whole.state->matchOver && ticks < kTickLimit; ++ticks)
        whole.step(wholeAlley, wholeOperator, plan);
    ASSERT_TRUE(whole.state->matchOver);
    {
        const JournalReading reading = readJournal(whole.journal);
        EXPECT_EQ(reading.problem, "");
        EXPECT_TRUE(reading.finished);
        EXPECT_EQ(reading.validBytes, whole.journal.size());
        auto rebuilt = freshStart();
        replayJournal(*rebuilt, reading);
        EXPECT_EQ(matchDifferences(*rebuilt, *whole.state), std::vector<std::string>{});
    }

    std::mt19937 random(static_cast<unsigned>(ticks) * 31u + static_cast<unsigned>(plan.kind));
    for (int cut = 0; cut < 3; ++cut) {
        const int cutTick = std::uniform_int_distribution<int>(1, ticks - 1)(random);
        SCOPED_TRACE("cut at tick " + std::to_string(cutTick) + " of " + std::to_string(ticks));

        SimulatedAlley alley(alleyPlan(plan));
        Operator op;
        Server before(setUpMatch(plan), std::make_unique<JournalRecorder>("2026-12-10 10:00:00"));
        for (int t = 0; t < cutTick; ++t)
            before.step(alley, op, plan);

        // The power goes while the next record is being written: part of it is on the disk.
        std::string onDisk = before.journal;
        {
            Server further(std::make_unique<MatchState>(*before.state),
                           std::make_unique<JournalRecorder>(*before.state, before.recorder->records()));
            SimulatedAlley alleyOn = alley;
            Operator opOn = op;
            while (further.journal.empty() && !further.state->matchOver)
                further.step(alleyOn, opOn, plan);
            if (!further.journal.empty()) {
                const std::size_t torn = std::uniform_int_distribution<std::size_t>(
                    0, std::min<std::size_t>(further.journal.size(), 30) - 1)(random);
                onDisk += further.journal.substr(0, torn);
            }
        }

        const JournalReading reading = readJournal(onDisk);
        ASSERT_EQ(reading.problem, "");
        EXPECT_EQ(reading.validBytes, before.journal.size());
        EXPECT_FALSE(reading.finished);
        auto rebuilt = freshStart();
        replayJournal(*rebuilt, reading);
        ASSERT_EQ(matchDifferences(*rebuilt, *before.state), std::vector<std::string>{});

        // Play on from the rebuilt state, appending to the same journal.
        carryLinkCycle(*before.state, *rebuilt);
        auto recorder = std::make_unique<JournalRecorder>(*rebuilt, reading.records.size());
        Server resumed(std::move(rebuilt), std::move(recorder));
        resumed.journal = onDisk.substr(0, reading.validBytes);
        for (int t = 0; !resumed.state->matchOver && t < kTickLimit; ++t)
            resumed.step(alley, op, plan);
        ASSERT_TRUE(resumed.state->matchOver);
        EXPECT_EQ(matchDifferences(*resumed.state, *whole.state), std::vector<std::string>{});

        const JournalReading again = readJournal(resumed.journal);
        EXPECT_TRUE(again.finished);
        auto fromJournal = freshStart();
        replayJournal(*fromJournal, again);
        EXPECT_EQ(matchDifferences(*fromJournal, *whole.state), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(AllServableGames, JournalledMatch,
                         ::testing::Values(Plan{1, 1, 1}, Plan{1, 2, 1}, Plan{1, 3, 1}, Plan{1, 2, 2},
                                           Plan{2, 1, 1}, Plan{2, 2, 1}, Plan{2, 3, 1}, Plan{2, 2, 2},
                                           Plan{3, 1, 1}, Plan{3, 2, 1}, Plan{3, 3, 1}, Plan{3, 2, 2},
                                           Plan{4, 1, 1}, Plan{4, 2, 1}, Plan{4, 3, 1}, Plan{4, 2, 2},
                                           Plan{5, 3, 1}, Plan{6, 1, 1}, Plan{6, 2, 1}, Plan{6, 3, 1},
                                           Plan{6, 2, 2}, Plan{5, 3, 1, true}, Plan{2, 1, 1, true}),
                         describe);

namespace {

// The records of the first part of a short match.
std::string shortJournal() {
    const Plan plan{6, 2, 1};
    SimulatedAlley alley(alleyPlan(plan));
    Operator op;
    Server server(setUpMatch(plan), std::make_unique<JournalRecorder>("2026-12-10 10:00:00"));
    for (int t = 0; t < 3000 && readJournal(server.journal).records.size() < 40; ++t)
        server.step(alley, op, plan);
    return server.journal;
}

} // namespace

TEST(JournalReading, TheLastRecordCutOrDamagedAtAnyByteLeavesExactlyTheRecordsBeforeIt) {
    const std::string journal = shortJournal();
    const JournalReading full = readJournal(journal);
    ASSERT_GE(full.records.size(), 10u);
    ASSERT_EQ(full.validBytes, journal.size());
    const std::size_t lastStart = journal.size() - encodeJournalRecord(full.records.back()).size();
    const std::vector<JournalRecord> before(full.records.begin(), full.records.end() - 1);

    for (std::size_t cut = lastStart; cut < journal.size(); ++cut) {
        const JournalReading r = readJournal(std::string_view(journal).substr(0, cut));
        ASSERT_EQ(r.records, before) << "cut at " << cut;
        ASSERT_EQ(r.validBytes, lastStart) << "cut at " << cut;
    }
    for (std::size_t at = lastStart; at < journal.size(); ++at) {
        std::string damaged = journal;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        const JournalReading r = readJournal(damaged);
        ASSERT_EQ(r.records, before) << "byte " << at << " damaged";
    }
}

TEST(JournalReading, AFileWithoutAnIntactHeaderIsNoJournal) {
    const std::string journal = shortJournal();
    const std::size_t headerLength = encodeJournalRecord(readJournal(journal).records.front()).size();
    for (const std::string& bytes : {std::string(), journal.substr(0, headerLength - 1),
                                     std::string("[Default]\r\ndrah=0\r\n"), journal.substr(headerLength)}) {
        const JournalReading r = readJournal(bytes);
        EXPECT_EQ(r.problem, "not a match journal");
        EXPECT_TRUE(r.records.empty());
    }
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u); // the check value of CRC-32
}

TEST(JournalRecorder, TheSameFrameAfterACorrectionOfItsThrowIsWrittenAgain) {
    // The lane reports throw 3 again after the operator corrected it: throw
    // recording puts the lane's pins back, and so must the replay.
    auto live = std::make_unique<MatchState>();
    ASSERT_EQ(applyConfiguration(*live, {6, 2, 1, 2, 1}), "");
    MatchEvents quiet;
    LaneLink link(*live, quiet);
    JournalRecorder recorder("2026-12-10 10:00:00");
    std::string journal;
    link.beforeRecording = [&](int lane, const LaneStatus& status) {
        journal += recorder.frame(*live, lane, status);
    };
    for (int n = 1; n <= 3; ++n)
        link.onBytes(statusFrame(1, laneStatus(n, 7)));
    live->player[1].throws[3] = 2;
    prepocitej(*live, 1);
    journal += recorder.sync(*live);
    link.onBytes(statusFrame(1, laneStatus(3, 7)));
    ASSERT_EQ(live->player[1].throws[3], 7);

    auto rebuilt = std::make_unique<MatchState>();
    replayJournal(*rebuilt, readJournal(journal));
    EXPECT_EQ(matchDifferences(*rebuilt, *live), std::vector<std::string>{});
    // A frame that changes nothing is not written again.
    const std::size_t length = journal.size();
    link.onBytes(statusFrame(1, laneStatus(3, 7)));
    EXPECT_EQ(journal.size(), length);
}

TEST(JournalRecorder, ThrowsPlayedWhileTheServerWasDownStayMarkedUntilTheRefereeCorrectsThem) {
    auto live = std::make_unique<MatchState>();
    ASSERT_EQ(applyConfiguration(*live, {6, 2, 1, 2, 1}), "");
    MatchEvents quiet;
    std::string journal;
    {
        LaneLink link(*live, quiet);
        JournalRecorder recorder("2026-12-10 10:00:00");
        link.beforeRecording = [&](int lane, const LaneStatus& status) {
            journal += recorder.frame(*live, lane, status);
        };
        for (int n = 1; n <= 5; ++n)
            link.onBytes(statusFrame(1, laneStatus(n, 7)));
    }
    // Restarted: the lane has gone on to throw 9 with 58 pins on its display.
    auto resumed = std::make_unique<MatchState>();
    const JournalReading reading = readJournal(journal);
    replayJournal(*resumed, reading);
    LaneLink link(*resumed, quiet);
    JournalRecorder recorder(*resumed, reading.records.size());
    link.beforeRecording = [&](int lane, const LaneStatus& status) {
        journal += recorder.frame(*resumed, lane, status);
    };
    LaneStatus nine = laneStatus(9, 3);
    nine[1] = 0, nine[2] = 5, nine[3] = 8;
    link.onBytes(statusFrame(1, nine));
    const PlayerSlot& p = resumed->player[1];
    EXPECT_EQ((std::vector<int>{p.throwUnseen[6], p.throwUnseen[7], p.throwUnseen[8], p.throwUnseen[9]}),
              (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(p.unseenPins[1], 58 - 5 * 7 - 3);

    // The referee enters 0 for throw 7, the value it already has: only the mark changes.
    resumed->player[1].throws[7] = 0;
    resumed->player[1].throwUnseen[7] = 0;
    prepocitej(*resumed, 1);
    journal += recorder.sync(*resumed);
    auto rebuilt = std::make_unique<MatchState>();
    replayJournal(*rebuilt, readJournal(journal));
    EXPECT_EQ(matchDifferences(*rebuilt, *resumed), std::vector<std::string>{});
    EXPECT_EQ(rebuilt->player[1].throwUnseen[7], 0);
    EXPECT_EQ(rebuilt->player[1].throwUnseen[6], 1);
}
