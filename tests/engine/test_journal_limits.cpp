// A journal is read as untrusted input: a record whose CRC is right but whose
// length or fields are not what this program writes ends the reading there,
// exactly as a torn one does, and a record of a kind or a header of a version
// this program does not know makes the journal one not to resume.

#include "core/match_journal.h"
#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "support/match_compare.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

// Payloads built by hand, the way the format is written down.
struct Bytes {
    std::string out;
    Bytes& u8(unsigned v) {
        out.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& text(std::string_view s) {
        u32(static_cast<std::uint32_t>(s.size()));
        out.append(s);
        return *this;
    }
};

std::string header(unsigned version) {
    return Bytes{}.text("kuzelna-journal").u16(version).text("2026-12-10 19:30:00").out;
}

std::string configuration(unsigned kind = 6, unsigned layout = 2, unsigned lanes = 2, unsigned perPlayer = 2,
                          unsigned pairs = 2, unsigned lanePair = 1, unsigned block = 1) {
    return Bytes{}.u8(kind).u8(layout).u8(lanes).u8(perPlayer).u8(pairs).u8(lanePair).u8(block).out;
}

// Which text of a teams record gets a long value: the line-up place 1 of the
// home side, the registry line or the display name of slot 1.
enum class LongText { None, HomePlace, RegistryLine, DisplayName };

std::string teams(unsigned home = 2, unsigned guest = 2, unsigned manual = 0, LongText which = LongText::None,
                  std::size_t length = 0) {
    Bytes b;
    b.u8(home).u8(guest);
    for (int place = 1; place <= kLineupPlaces; ++place) {
        b.text(which == LongText::HomePlace && place == 1 ? std::string(length, 'x')
               : place <= 2                               ? "Nov\xE1k Jan"
                                                          : "");
        b.text(place <= 2 ? "Kos Petr" : "");
    }
    for (const char* name : {"Sokol", "Sokol - A", "Sokol A", "Slavoj", "Slavoj - B", "Slavoj B"})
        b.text(name);
    b.u8(manual).text("").text("").text(" Dom\xE1\x63\xED ").text(" Host\xE9 ");
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        b.text(which == LongText::RegistryLine && slot == 1 ? std::string(length, 'r') : "77 - Nov\xE1k Jan");
        b.text("Nov\xE1k").text("Jan").text("77").text("1980");
        b.text(which == LongText::DisplayName && slot == 1 ? std::string(length, 'd') : "Novak Jan");
    }
    return b.out;
}

std::string options(unsigned tournament = 0, unsigned score16 = 0) {
    return Bytes{}.u8(tournament).u8(score16).text("1").text("turnaj.xls").out;
}

std::string frame(unsigned lane, unsigned counter, unsigned pins, unsigned anyByte = 0) {
    Bytes b;
    b.u8(lane);
    for (int k = 1; k <= 16; ++k)
        b.u8(k == 4 ? pins : k == 5 ? counter % 10 : k == 6 ? counter / 10 : k == 16 ? anyByte : 0);
    return b.out;
}

std::string record(JournalKind kind, const std::string& payload) {
    return encodeJournalRecord({kind, payload});
}

// A short match that reads to its end: the set-up, throws on both lanes, a
// correction, a tie-break mark, a recalculation and "Tandem".
std::string goodJournal() {
    std::string j = record(JournalKind::Header, header(kJournalVersion)) +
                    record(JournalKind::Configuration, configuration()) +
                    record(JournalKind::Teams, teams()) + record(JournalKind::Options, options());
    for (unsigned n = 1; n <= 4; ++n)
        j += record(JournalKind::Frame, frame(1, n, n + 3)) + record(JournalKind::Frame, frame(2, n, 9 - n));
    j += record(JournalKind::Correction, Bytes{}.u8(1).u16(2).u8(0).out);
    j += record(JournalKind::TieBreak, Bytes{}.u8(2).u8(1).u8(1).out);
    j += record(JournalKind::Recalculation, Bytes{}.u8(2).out);
    j += record(JournalKind::WholeSets, Bytes{}.u8(1).out);
    return j;
}

std::unique_ptr<MatchState> replayed(const JournalReading& reading) {
    auto state = std::make_unique<MatchState>();
    EXPECT_EQ(replayJournal(*state, reading), reading.records.size());
    return state;
}

struct BadRecord {
    std::string name;
    JournalKind kind;
    std::string payload;
    std::string why; // a part of the reason the reading gives
};

// Every field with a limit, over it by one and by a lot; lengths that do not fit.
std::vector<BadRecord> badRecords() {
    using K = JournalKind;
    std::vector<BadRecord> cases;
    const auto add = [&](std::string name, K kind, std::string payload, std::string why) {
        cases.push_back({std::move(name), kind, std::move(payload), std::move(why)});
    };
    for (unsigned v : {0u, 7u, 255u})
        add("gameKind " + std::to_string(v), K::Configuration, configuration(v), "gameKind");
    for (unsigned v : {0u, 4u, 255u})
        add("laneLayout " + std::to_string(v), K::Configuration, configuration(6, v), "laneLayout");
    for (unsigned v : {1u, 3u, 4u, 8u, 200u})
        add("laneCount " + std::to_string(v) + " with 2 lanes", K::Configuration, configuration(6, 2, v),
            "laneCount");
    add("laneCount 200 with 6 lanes", K::Configuration, configuration(6, 3, 200), "laneCount");
    for (unsigned v : {0u, 1u, 3u, 7u, 255u})
        add("lanesPerPlayer " + std::to_string(v), K::Configuration, configuration(6, 2, 2, v),
            "lanesPerPlayer");
    for (unsigned v : {0u, 31u, 255u})
        add("pairCount " + std::to_string(v), K::Configuration, configuration(6, 2, 2, 2, v), "pairCount");
    for (unsigned v : {0u, 3u, 255u})
        add("lanePair " + std::to_string(v), K::Configuration, configuration(6, 2, 2, 2, 2, v), "lanePair");
    for (unsigned v : {0u, 3u, 31u, 255u})
        add("firstPairOfBlock " + std::to_string(v) + " of 2 duels", K::Configuration,
            configuration(6, 2, 2, 2, 2, 1, v), "firstPairOfBlock");
    add("configuration shorter than its kind", K::Configuration, configuration().substr(0, 6), "shorter");
    add("configuration longer than its kind", K::Configuration, configuration() + "x", "longer");

    for (unsigned v : {31u, 255u}) {
        add("home line-up count " + std::to_string(v), K::Teams, teams(v), "line-up count");
        add("guest line-up count " + std::to_string(v), K::Teams, teams(2, v), "line-up count");
    }
    for (unsigned v : {2u, 255u})
        add("manualTeamNames " + std::to_string(v), K::Teams, teams(2, 2, v), "manualTeamNames");
    for (std::size_t n : {std::size_t{81}, std::size_t{5000}})
        add("registry line of " + std::to_string(n), K::Teams, teams(2, 2, 0, LongText::RegistryLine, n),
            "field of 80");
    for (std::size_t n : {std::size_t{21}, std::size_t{5000}})
        add("display name of " + std::to_string(n), K::Teams, teams(2, 2, 0, LongText::DisplayName, n),
            "field of 20");
    {
        std::string t = teams();
        add("teams cut in the middle", K::Teams, t.substr(0, t.size() / 2), "past the record");
        add("teams without its last byte", K::Teams, t.substr(0, t.size() - 1), "");
        add("teams with a byte more", K::Teams, t + "x", "longer");
    }

    for (unsigned v : {2u, 255u}) {
        add("\"Turnaj\" " + std::to_string(v), K::Options, options(v), "Turnaj");
        add("16-point scoring " + std::to_string(v), K::Options, options(0, v), "16-point");
    }
    add("text of 4 GB", K::Options, Bytes{}.u8(0).u8(0).u32(0xFFFFFFFFu).out + "1", "past the record");
    add("tournament file past the record", K::Options,
        Bytes{}.u8(1).u8(0).text("1").u32(40).out + "turnaj.xls", "past the record");
    add("options shorter than its kind", K::Options, Bytes{}.u8(0).out, "shorter");

    for (unsigned v : {2u, 255u})
        add("\"Tandem\" " + std::to_string(v), K::WholeSets, Bytes{}.u8(v).out, "Tandem");
    add("\"Tandem\" empty", K::WholeSets, "", "shorter");

    for (unsigned v : {0u, 61u, 255u}) {
        add("tie-break slot " + std::to_string(v), K::TieBreak, Bytes{}.u8(v).u8(1).u8(1).out, "slot");
        add("correction slot " + std::to_string(v), K::Correction, Bytes{}.u8(v).u16(1).u8(5).out, "slot");
        add("recalculated slot " + std::to_string(v), K::Recalculation, Bytes{}.u8(v).out, "slot");
    }
    for (unsigned v : {0u, 7u, 255u})
        add("tie-break set " + std::to_string(v), K::TieBreak, Bytes{}.u8(1).u8(v).u8(1).out, "set");
    for (unsigned v : {2u, 255u})
        add("tie-break mark " + std::to_string(v), K::TieBreak, Bytes{}.u8(1).u8(1).u8(v).out, "mark");
    for (unsigned v : {0u, 9u, 255u})
        add("frame lane " + std::to_string(v), K::Frame, frame(v, 5, 5), "lane");
    for (unsigned v : {128u, 255u})
        add("status byte " + std::to_string(v), K::Frame, frame(1, 5, 5, v), "status byte");
    add("frame shorter than its kind", K::Frame, frame(1, 5, 5).substr(0, 3), "shorter");
    add("frame longer than its kind", K::Frame, frame(1, 5, 5) + "x", "longer");
    for (unsigned v : {0u, 601u, 65535u})
        add("throw number " + std::to_string(v), K::Correction, Bytes{}.u8(1).u16(v).u8(5).out,
            "throw number");
    for (unsigned v : {10u, 255u})
        add("pins " + std::to_string(v), K::Correction, Bytes{}.u8(1).u16(1).u8(v).out, "pins");
    add("end with a payload", K::End, "x", "longer");
    add("a second header", K::Header, header(kJournalVersion), "second header");
    return cases;
}

} // namespace

TEST(JournalLimits, ARecordOverAnyLimitEndsTheReadingAndEverythingBeforeItComesBack) {
    const std::string good = goodJournal();
    const JournalReading whole = readJournal(good);
    ASSERT_EQ(whole.problem, "");
    ASSERT_EQ(whole.stopReason, "");
    ASSERT_EQ(whole.validBytes, good.size());
    ASSERT_EQ(whole.records.size(), 16u);
    const auto expected = replayed(whole);
    ASSERT_EQ(expected->player[1].throwCount, 4);
    ASSERT_EQ(expected->player[1].throws[2], 0); // corrected
    // A record after the bad one is left out with it.
    const std::string after = record(JournalKind::Frame, frame(1, 5, 7));

    for (const BadRecord& bad : badRecords()) {
        SCOPED_TRACE(bad.name);
        const bool alone = bad.kind != JournalKind::Header; // a header is wrong only where it stands
        if (alone) {
            EXPECT_NE(journalRecordProblem({bad.kind, bad.payload}), "");
        }
        const std::string bytes = good + record(bad.kind, bad.payload) + after;
        const JournalReading r = readJournal(bytes);
        EXPECT_EQ(r.problem, "");
        EXPECT_FALSE(r.unknownVersion);
        EXPECT_EQ(r.records, whole.records);
        EXPECT_EQ(r.validBytes, good.size());
        EXPECT_EQ(r.fileBytes, bytes.size());
        EXPECT_EQ(r.recordsLeftOut, 2u);
        EXPECT_TRUE(r.moreThanTornTail());
        EXPECT_NE(r.stopReason.find("record 17 (" + std::string(1, static_cast<char>(bad.kind)) +
                                    ") at byte " + std::to_string(good.size())),
                  std::string::npos)
            << r.stopReason;
        EXPECT_NE(r.stopReason.find(bad.why), std::string::npos) << r.stopReason;
        EXPECT_EQ(matchDifferences(*replayed(r), *expected), std::vector<std::string>{});

        if (!alone) continue;
        // Given to the engine directly, the record changes nothing.
        auto state = replayed(whole);
        EXPECT_FALSE(applyJournalRecord(*state, {bad.kind, bad.payload}));
        EXPECT_EQ(matchDifferences(*state, *expected), std::vector<std::string>{});
    }
}

TEST(JournalLimits, EveryFieldAtItsLimitIsTaken) {
    std::string j = record(JournalKind::Header, header(kJournalVersion)) +
                    record(JournalKind::Configuration, configuration(kGameKindCount, 3, 6, 6, 30, 2, 30)) +
                    record(JournalKind::Teams, teams(30, 30, 1, LongText::RegistryLine, 80)) +
                    record(JournalKind::Teams, teams(2, 2, 0, LongText::HomePlace, 100000)) +
                    record(JournalKind::Teams, teams(0, 0, 0, LongText::DisplayName, 20)) +
                    record(JournalKind::Options, options(1, 1)) +
                    record(JournalKind::Frame, frame(8, 99, 9, 0x7F)) +
                    record(JournalKind::Correction, Bytes{}.u8(60).u16(600).u8(9).out) +
                    record(JournalKind::TieBreak, Bytes{}.u8(60).u8(6).u8(1).out) +
                    record(JournalKind::Recalculation, Bytes{}.u8(60).out) +
                    record(JournalKind::WholeSets, Bytes{}.u8(0).out) + record(JournalKind::End, "");
    const JournalReading r = readJournal(j);
    EXPECT_EQ(r.problem, "");
    EXPECT_EQ(r.stopReason, "");
    EXPECT_EQ(r.records.size(), 12u);
    EXPECT_TRUE(r.finished);
    const auto state = replayed(r);
    EXPECT_EQ(state->laneCount, 6);
    EXPECT_EQ(state->firstPairOfBlock, 30);
    EXPECT_EQ(state->homeLineupCount, 0);
    EXPECT_EQ(state->player[1].displayName.size(), 20u);
    EXPECT_EQ(state->player[60].throws[600], 9);
    EXPECT_EQ(state->player[60].tieBreak[6], 1);
}

TEST(JournalLimits, AJournalOfANewerVersionOrWithAnUnknownKindIsNotOneToResume) {
    const std::string good = goodJournal();
    {
        const std::string newer = record(JournalKind::Header, header(2)) + good.substr(good.find("KJC"));
        const JournalReading r = readJournal(newer);
        EXPECT_TRUE(r.unknownVersion);
        EXPECT_EQ(r.version, 2u);
        EXPECT_EQ(r.problem, "journal version 2 (this program reads journal version 1)");
        EXPECT_TRUE(r.records.empty());
    }
    for (const char kind : {'Z', 'h', '\x00', '\xFF'}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const std::string bytes = good + encodeJournalRecord({static_cast<JournalKind>(kind), "\x01\x02"}) +
                                  record(JournalKind::Frame, frame(1, 5, 7));
        const JournalReading r = readJournal(bytes);
        EXPECT_TRUE(r.unknownVersion);
        EXPECT_NE(r.problem.find("unknown kind"), std::string::npos) << r.problem;
        EXPECT_NE(r.problem.find("in journal version 1 (this program reads journal version 1)"),
                  std::string::npos)
            << r.problem;
        EXPECT_EQ(r.validBytes, good.size());
        EXPECT_EQ(r.recordsLeftOut, 2u);
        EXPECT_NE(journalRecordProblem({static_cast<JournalKind>(kind), "\x01\x02"}).find("unknown kind"),
                  std::string::npos);
        auto state = std::make_unique<MatchState>();
        EXPECT_FALSE(applyJournalRecord(*state, {static_cast<JournalKind>(kind), ""}));
    }
}

TEST(JournalLimits, ATornTailIsToldAsOneRecordLeftOut) {
    const std::string good = goodJournal();
    const std::string next = record(JournalKind::Frame, frame(1, 5, 7));
    const JournalReading r = readJournal(good + next.substr(0, next.size() - 3));
    EXPECT_EQ(r.problem, "");
    EXPECT_EQ(r.validBytes, good.size());
    EXPECT_EQ(r.recordsLeftOut, 1u);
    EXPECT_FALSE(r.moreThanTornTail());
    EXPECT_NE(r.stopReason.find("torn"), std::string::npos);
}
