#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/datagrams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kuzelna;

namespace {

const std::string kHeader = "   Pinwardhall_Pinstacks1.02 "; // offsets 0..28

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

// Two players of a 120-throw game: slot 3 on lane 1 in its second set, slot 4 on
// lane 2 in its first.
MatchState twoPlayerMatch() {
    MatchState state;
    state.gameKind = 2;
    state.laneLayout = 1;
    state.laneCount = 4;
    state.lanesPerPlayer = 4;
    state.lanePlayerOnDisplay[1] = 3;
    state.lanePlayerOnDisplay[2] = 4;
    state.laneDisplayThrows[1] = 35;
    state.laneDisplayThrows[2] = 0;

    PlayerSlot& home = state.player[3];
    home.surname = cp1250::fromUtf8("Dvořák");
    home.firstName = cp1250::fromUtf8("Jiří");
    PlayerSlot& guest = state.player[4];
    guest.surname = cp1250::fromUtf8("Ťuk");
    guest.firstName = cp1250::fromUtf8("Ďoubalík");
    for (int t = 1; t <= 200; ++t) {
        home.throws[static_cast<std::size_t>(t)] = static_cast<u8>(t % 10);
        guest.throws[static_cast<std::size_t>(t)] = static_cast<u8>(9 - t % 10);
    }
    const u16 homeSetPoints[] = {2, 0, 1, 2};
    const u16 guestSetPoints[] = {0, 2, 1, 0};
    for (std::size_t k = 1; k <= 6; ++k) {
        home.laneFull[k] = static_cast<u16>(100 * k + 1);
        home.laneClearing[k] = static_cast<u16>(10 * k);
        home.laneFaults[k] = static_cast<u16>(k);
        guest.laneFull[k] = static_cast<u16>(1000 + k);
        guest.laneClearing[k] = static_cast<u16>(256 * k);
        guest.laneFaults[k] = 5;
        if (k <= 4) {
            home.setPoints[k] = homeSetPoints[k - 1];
            guest.setPoints[k] = guestSetPoints[k - 1];
        }
    }
    return state;
}

const std::string kHomeWords =
    bytes({101, 0, 201, 0, 0x2D, 1, 0x91, 1, 10, 0, 20, 0, 30, 0, 40, 0}) + bytes({1, 0, 2, 0, 3, 0, 4, 0});
const std::string kGuestWords =
    bytes({0xE9, 3, 0xEA, 3, 0xEB, 3, 0xEC, 3, 0, 1, 0, 2, 0, 3, 0, 4}) + bytes({5, 0, 5, 0, 5, 0, 5, 0});
const std::string kHomeName = padded("Dvorak Jiri", 30);
const std::string kGuestName = padded("\x8Duk \xCFoubalik", 30); // Ť and Ď stay

} // namespace

TEST(Datagrams, StrippingReducesCzechLettersAndLeavesTheRest) {
    const std::string from = cp1250::fromUtf8("ŠŽšžĽľÁÄČÉĚÍŇÓÔŘŮÚÝáäčéěíňóôřůúý");
    EXPECT_EQ(stripDiacritics(from), "SZszLlAACEEINOORUUYaaceeinooruuy");
    const std::string kept = cp1250::fromUtf8("ŤťĎď Ab-9 ľ");
    EXPECT_EQ(stripDiacritics(kept), cp1250::fromUtf8("ŤťĎď Ab-9 l"));
}

TEST(Datagrams, LanePairs) {
    struct Case {
        bool twoLanes;
        std::vector<std::pair<int, int>> pairs; // for counters 1, 2, ...
    };
    const Case cases[] = {
        {false, {{1, 2}, {2, 1}, {3, 4}, {4, 3}, {5, 6}, {6, 5}}},
        {true, {{1, 2}, {3, 4}, {5, 6}}},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < c.pairs.size(); ++i) {
            EXPECT_EQ(datagramLanePair(static_cast<int>(i) + 1, c.twoLanes), c.pairs[i])
                << "two lanes " << c.twoLanes << " counter " << i + 1;
        }
    }
}

TEST(Datagrams, NormalDatagramByteForByte) {
    MatchState state = twoPlayerMatch();
    const std::string expected = kHeader + " 1" + " " +                     //
                                 "123456789012345" + std::string(10, ' ') + // lane 1, set 2 full
                                 "678901234567890" + std::string(10, ' ') + // lane 1, set 2 clearing
                                 "876543210987654" + std::string(10, ' ') + // lane 2, set 1 full
                                 "321098765432109" + std::string(10, ' ') + // lane 2, set 1 clearing
                                 kHomeWords + kGuestWords +                 //
                                 padded("Draha1", 15) + padded("Draha2", 15) + kHomeName + kGuestName;
    const std::string datagram = normalDatagram(state, 1);
    ASSERT_EQ(datagram.size(), 270u);
    EXPECT_EQ(datagram, expected);

    // Counter 2 without "Monitor na 2 drahy" shows lane 2 first.
    const std::string swapped = normalDatagram(state, 2);
    EXPECT_EQ(swapped.substr(32, 25), "876543210987654" + std::string(10, ' '));
    EXPECT_EQ(swapped.substr(132, 24), kGuestWords);
    EXPECT_EQ(swapped.substr(180, 30), padded("Draha2", 15) + padded("Draha1", 15));
    EXPECT_EQ(swapped.substr(210, 60), kGuestName + kHomeName);
}

TEST(Datagrams, NormalDatagramFlagsAndVariants) {
    struct Case {
        const char* what;
        int gameKind;
        int lanesPerPlayer;
        bool twoLanes, sums, tandem;
        std::string flags; // offsets 29..31
        std::size_t size;
    };
    const Case cases[] = {
        {"one monitor per lane", 2, 4, false, false, false, " 1 ", 270},
        {"monitor per two lanes with sums", 2, 4, true, true, false, "1  ", 270},
        {"two sets per player", 4, 2, false, false, false, " 11", 270},
        {"180 Hs", 5, 6, true, false, false, " 2 ", 294},
        {"180 Hs with sums", 5, 6, false, true, true, "12 ", 294},
    };
    for (const auto& c : cases) {
        MatchState state = twoPlayerMatch();
        state.gameKind = static_cast<u8>(c.gameKind);
        state.lanesPerPlayer = static_cast<u8>(c.lanesPerPlayer);
        state.controls.monitorTwoLanes = c.twoLanes;
        state.controls.monitorSums = c.sums;
        state.controls.tandem = c.tandem;
        const std::string datagram = normalDatagram(state, 1);
        ASSERT_EQ(datagram.size(), c.size) << c.what;
        EXPECT_EQ(datagram.substr(0, 29), kHeader) << c.what;
        EXPECT_EQ(datagram.substr(29, 3), c.flags) << c.what;
        // "Tandem" sends the set points in place of the faults of sets 1..4.
        const std::string thirdWords =
            c.tandem ? bytes({2, 0, 0, 0, 1, 0, 2, 0}) : bytes({1, 0, 2, 0, 3, 0, 4, 0});
        EXPECT_EQ(datagram.substr(148, 8), thirdWords) << c.what;
    }
}

TEST(Datagrams, LateSetsOf180Hs) {
    MatchState state = twoPlayerMatch();
    state.gameKind = 5;
    state.lanesPerPlayer = 6;
    state.controls.tandem = true; // the late sets always carry faults
    const std::string datagram = normalDatagram(state, 1);
    ASSERT_EQ(datagram.size(), 294u);
    EXPECT_EQ(datagram.substr(270, 12), bytes({0xF5, 1, 0x59, 2, 50, 0, 60, 0, 5, 0, 6, 0}));
    EXPECT_EQ(datagram.substr(282, 12), bytes({0xED, 3, 0xEE, 3, 0, 5, 0, 6, 5, 0, 5, 0}));
}

TEST(Datagrams, HalfLengthsAndTheSetIndexCap) {
    struct Case {
        const char* what;
        int gameKind;
        int displayThrows;
        std::string fullHalf; // 25 characters at offset 32
    };
    // Slot 3 holds t % 10 in every throw t, with the first throws of set index 3
    // and 4 of a 120 game and of set index 5 of a 180 game marked, so the set
    // chosen is visible.
    const Case cases[] = {
        {"15 throws", 2, 0, "123456789012345" + std::string(10, ' ')},
        {"10 throws", 6, 0, "1234567890" + std::string(15, ' ')},
        {"25 throws", 1, 0, "1234567890123456789012345"},
        {"last set of a 120 game", 2, 90, "723456789012345" + std::string(10, ' ')},
        {"counter past the game caps at set index 3", 2, 120, "723456789012345" + std::string(10, ' ')},
        {"180 Hs reaches set index 5", 5, 150, "823456789012345" + std::string(10, ' ')},
        {"180 Hs caps at set index 5", 5, 199, "823456789012345" + std::string(10, ' ')},
    };
    for (const auto& c : cases) {
        MatchState state = twoPlayerMatch();
        state.gameKind = static_cast<u8>(c.gameKind);
        state.player[3].throws[91] = 7;
        state.player[3].throws[121] = 3;
        state.player[3].throws[151] = 8;
        state.laneDisplayThrows[1] = static_cast<i16>(c.displayThrows);
        EXPECT_EQ(normalDatagram(state, 1).substr(32, 25), c.fullHalf) << c.what;
    }
}

TEST(Datagrams, Advertisement) {
    MatchState state;
    state.advertNumber = 12;
    EXPECT_EQ(advertDatagram(state), kHeader + " 30\x0C     ");
    state.advertNumber = 1;
    EXPECT_EQ(advertDatagram(state).size(), 38u);
    EXPECT_EQ(advertDatagram(state)[32], '\x01');
}

TEST(Datagrams, PublicPlay) {
    MatchState state;
    PublicPlayLane& lane = state.publicLane[2];
    lane.playerCount = 3;
    lane.currentPlayer = 2;
    lane.playerName[1] = cp1250::fromUtf8("Řehoř");
    lane.playerName[2] = "Maximilian Long";
    lane.playerName[3] = "Eva";
    lane.gamePosition = {10, 4, 0, 0, 0, 0};
    lane.auxPosition = {0, 2, 1, 0, 0, 0};
    const std::string expected = kHeader + " 31" + bytes({3, 2}) + padded("Rehor", 10) + "Maximilian" +
                                 padded("Eva", 10) + std::string(30, ' ') + bytes({10, 4, 0, 0, 0, 0}) +
                                 bytes({0, 2, 1, 0, 0, 0}) + "     ";
    const std::string datagram = publicPlayDatagram(state, 2);
    ASSERT_EQ(datagram.size(), 111u);
    EXPECT_EQ(datagram, expected);
}

TEST(Datagrams, SuddenVictory) {
    MatchState state = twoPlayerMatch();
    state.lanePlayerOnDisplay[3] = 5;
    state.lanePlayerOnDisplay[4] = 6;
    state.player[5].surname = "Novak";
    state.player[5].firstName = "Petr";
    state.player[6].surname = "Kral";
    state.player[6].firstName = "Ivo";

    // Nobody has thrown yet.
    const std::string untouched = suddenVictoryDatagram(state, 1);
    ASSERT_EQ(untouched.size(), 134u);
    EXPECT_EQ(untouched, kHeader + " 4" + "0" + std::string(6, ' ') + "0 0 00" + padded("Draha1", 15) +
                             padded("Draha2", 15) + kHomeName + kGuestName);

    // Pair 2 on one monitor per two lanes, first side 7, 0, 9 against 0, 0, 0,
    // then the names swapped by "Prohod drahy".
    state.controls.monitorTwoLanes = true;
    state.svState.svFirst[2] = {0, 7, 0, 9};
    const std::string played = suddenVictoryDatagram(state, 2);
    EXPECT_EQ(played, kHeader + " 4" + " " + "7 9" + "0 0" + "160 " + "10" + padded("Draha3", 15) +
                          padded("Draha4", 15) + padded("Novak Petr", 30) + padded("Kral Ivo", 30));
    state.svState.svSecond[2] = {0, 9, 9, 0};
    state.controls.svSwapLanes[2] = true;
    const std::string swapped = suddenVictoryDatagram(state, 2);
    EXPECT_EQ(swapped.substr(31, 13), " 709990161801");
    EXPECT_EQ(swapped.substr(74, 60), padded("Kral Ivo", 30) + padded("Novak Petr", 30));
}

TEST(MonitorRotation, CountersAndHostsFollowTheMonitorLayout) {
    struct Case {
        const char* what;
        int laneCount, lanePair;
        bool twoLanes;
        std::vector<int> counters;
        std::vector<std::string> hosts;
    };
    const Case cases[] = {
        {"4 lanes, monitor per lane", 4, 1, false, {1, 2, 3, 4, 1}, {"h1", "h2", "h3", "h4", "h1"}},
        {"4 lanes, monitor per two lanes", 4, 1, true, {1, 2, 1, 2}, {"h1", "h2", "h1", "h2"}},
        {"6 lanes, monitor per two lanes", 6, 1, true, {1, 2, 3, 1}, {"h1", "h2", "h3", "h1"}},
        {"2 lanes on 1-2", 2, 1, false, {1, 2, 1}, {"h1", "h2", "h1"}},
        {"2 lanes on 3-4", 2, 2, false, {1, 2, 1}, {"h3", "h4", "h3"}},
        {"2 lanes on 3-4, monitor per two lanes", 2, 2, true, {1, 1}, {"h2", "h2"}},
    };
    for (const auto& c : cases) {
        MatchState state;
        state.laneCount = c.laneCount;
        state.lanePair = static_cast<u8>(c.lanePair);
        state.controls.monitorTwoLanes = c.twoLanes;
        for (std::size_t n = 1; n <= 6; ++n)
            state.monitorHost[n] = "h" + std::to_string(n);
        MonitorRotation rotation;
        for (std::size_t i = 0; i < c.counters.size(); ++i) {
            const bool heartbeat = state.controls.systemRunningIndicator;
            const OutgoingDatagram out = rotation.next(state);
            EXPECT_EQ(out.laneCounter, c.counters[i]) << c.what << " #" << i;
            EXPECT_EQ(out.host, c.hosts[i]) << c.what << " #" << i;
            EXPECT_EQ(out.kind, DatagramKind::Normal);
            EXPECT_NE(state.controls.systemRunningIndicator, heartbeat) << c.what;
        }
    }
}

TEST(MonitorRotation, ChoiceOrder) {
    struct Case {
        const char* what;
        bool svOnPair1, advert, publicPlay;
        DatagramKind kind;
        std::size_t size;
    };
    const Case cases[] = {
        {"tie-break first", true, true, true, DatagramKind::SuddenVictory, 134},
        {"then advertising", false, true, true, DatagramKind::Advert, 38},
        {"then public play", false, false, true, DatagramKind::PublicPlay, 111},
        {"else the match", false, false, false, DatagramKind::Normal, 270},
    };
    for (const auto& c : cases) {
        MatchState state;
        state.gameKind = 2;
        state.laneCount = 2;
        state.lanePair = 2;
        state.svState.svOn[1] = c.svOnPair1;
        state.advertNumber = c.advert ? 3 : 0;
        state.controls.publicPlayOn = c.publicPlay;
        for (std::size_t n = 1; n <= 6; ++n)
            state.monitorHost[n] = "h" + std::to_string(n);
        MonitorRotation rotation;
        const OutgoingDatagram out = rotation.next(state);
        EXPECT_EQ(out.kind, c.kind) << c.what;
        EXPECT_EQ(out.bytes.size(), c.size) << c.what;
        // The lanes 3-4 addressing belongs to the match datagram only.
        EXPECT_EQ(out.host, c.kind == DatagramKind::Normal ? "h3" : "h1") << c.what;
    }

    // A tie-break is offered only for counters 1..3, for the pair of that number.
    MatchState state;
    state.laneCount = 6;
    state.svState.svOn[2] = 1;
    MonitorRotation rotation;
    std::vector<DatagramKind> kinds;
    for (int i = 0; i < 6; ++i)
        kinds.push_back(rotation.next(state).kind);
    EXPECT_EQ(kinds, (std::vector<DatagramKind>{DatagramKind::Normal, DatagramKind::SuddenVictory,
                                                DatagramKind::Normal, DatagramKind::Normal,
                                                DatagramKind::Normal, DatagramKind::Normal}));
}

TEST(Datagrams, ReceivedDatagramStatusIsOneSafeLine) {
    EXPECT_EQ(receivedDatagramStatus("127.0.0.5", std::string("ok\r\n\0\x7F\x1B!", 8)),
              "127.0.0.58: ok.....!");
    const std::string long_(200, 'x');
    EXPECT_EQ(receivedDatagramStatus("127.0.0.1", long_), "127.0.0.1200: " + std::string(64, 'x'));
    EXPECT_EQ(receivedDatagramStatus("127.0.0.1", ""), "127.0.0.10: ");
}
