#include "console/lane_drawing.h"
#include "core/match_state.h"
#include "support/frames.h"

#include <gtest/gtest.h>

#include <set>

using namespace kuzelna;

TEST(LaneDrawing, LanesStandCentredHundredPixelsApart) {
    struct Case {
        int lane, lanes, x0;
    };
    // (792 - 100 * lanes) / 2 - 15 for lane 1, then 100 apart.
    const Case cases[] = {{1, 4, 181}, {4, 4, 481}, {1, 2, 281}, {2, 2, 381}, {1, 6, 81}, {6, 6, 581}};
    for (const Case& c : cases) {
        const LanePoint origin = laneOrigin(c.lane, c.lanes);
        EXPECT_EQ(origin.x, c.x0) << "lane " << c.lane << " of " << c.lanes;
        EXPECT_EQ(origin.y, 0);
    }
    // The frames (x0 + 15 .. x0 + 115) leave equal margins on both sides.
    for (int lanes : {2, 4, 6}) {
        const int left = laneOrigin(1, lanes).x + 15;
        const int right = laneOrigin(lanes, lanes).x + 115;
        EXPECT_EQ(left, kConsoleWidth - right) << lanes << " lanes";
    }
}

TEST(LaneDrawing, LampsFollowTheLampBytesSkippingBitSevenOfTheFirst) {
    struct Case {
        int byte7, byte8;
        std::set<int> lit;
    };
    const Case cases[] = {
        {0x00, 0x00, {}},
        {0x01, 0x00, {1}},
        {0x40, 0x00, {7}},
        {0x7F, 0x00, {1, 2, 3, 4, 5, 6, 7}},
        {0x00, 0x01, {8}},
        {0x00, 0x02, {9}},
        {0x00, 0x04, {10}},
        {0x00, 0x40, {14}},
        {0x15, 0x0A, {1, 3, 5, 9, 11}},
    };
    for (const Case& c : cases) {
        LaneStatus status;
        status[7] = static_cast<u8>(c.byte7);
        status[8] = static_cast<u8>(c.byte8);
        std::set<int> lit;
        for (int lamp = 1; lamp <= 14; ++lamp) {
            if (lampLit(status, lamp)) lit.insert(lamp);
        }
        EXPECT_EQ(lit, c.lit) << "bytes " << c.byte7 << ", " << c.byte8;
    }
}

TEST(LaneDrawing, SecondRowHidesItsLastThreeDigitsUnlessAllSixAreShown) {
    LaneStatus status;
    for (int k = 9; k <= 14; ++k)
        status[k] = static_cast<u8>(k - 8); // 1..6
    for (int k = 12; k <= 14; ++k)
        EXPECT_EQ(displayDigitText(status, k), "  ");
    EXPECT_EQ(displayDigitText(status, 9), "1");
    EXPECT_EQ(displayDigitText(status, 11), "3");
    status[15] = 0x08;
    EXPECT_EQ(displayDigitText(status, 12), "4");
    EXPECT_EQ(displayDigitText(status, 14), "6");

    struct Case {
        int byte15;
        const char* dot;
        const char* hundreds;
    };
    const Case cases[] = {
        {0x00, " ", "  "}, {0x04, " ", "  "}, {0x0C, ".", "  "}, {0x02, " ", "1"}, {0x0E, ".", "1"}};
    for (const Case& c : cases) {
        status[15] = static_cast<u8>(c.byte15);
        EXPECT_EQ(dotText(status), c.dot) << c.byte15;
        EXPECT_EQ(hundredsText(status), c.hundreds) << c.byte15;
    }
}

TEST(LaneDrawing, CaptionNamesThePlayerOfTheThrowOrTheBlockSlotWhileBlank) {
    MatchState state; // 200 Hs on 4 lanes: 50 throws per lane
    for (int slot = 1; slot <= 12; ++slot) {
        state.player[static_cast<std::size_t>(slot)].surname = "S" + std::to_string(slot);
        state.player[static_cast<std::size_t>(slot)].firstName = "F" + std::to_string(slot);
    }
    state.firstPairOfBlock = 3; // slots 5..8 on the lanes
    struct Case {
        int lane, counter;
        std::string caption;
    };
    const Case cases[] = {
        {2, -1, "6"},      // blank: 2 * 3 + 2 - 2
        {4, -1, "8"},      //
        {1, 0, "S5 F5"},   // counter 0 looks at the first throw: position 1
        {1, 50, "S5 F5"},  // throw 50 is still the first segment
        {1, 51, "S6 F6"},  // segment 1 on lane 1: position 2
        {3, 150, "S6 F6"}, // throw 150 (hundreds bit): segment 2 on lane 3: position 2
        {4, 199, "S6 F6"}, // segment 3 on lane 4: position 2
    };
    for (const Case& c : cases) {
        state.laneStatus[static_cast<std::size_t>(c.lane)] = kuzelna::testing::laneStatus(c.counter, 5);
        EXPECT_EQ(laneCaption(state, c.lane), c.caption) << "lane " << c.lane << " counter " << c.counter;
    }
}

TEST(LaneDrawing, TeamLineTakesNineCharactersOfEachShownName) {
    struct Case {
        const char* home;
        const char* guest;
        bool manual;
        std::string line;
    };
    const Case cases[] = {
        {"Dom\xE1\x63\xED", "Host\xE9", false, "Dom\xE1\x63\xED    - Host\xE9 "},
        {"Sokol Brno 1", "Slavoj Praha", false, "Sokol Brn - Slavoj Pr"},
        {"", "", false, "          -       "},
        {"ABCDEFGHIJKL", "X", true, "ABCDEFGHI - X     "},
        {"", "", true, "          -       "},
    };
    for (const Case& c : cases) {
        MatchState state;
        state.homeTeamName = "Registry home";
        state.guestTeamName = "Registry guest";
        if (c.manual) {
            state.manualTeamNames = 1;
            state.manualHomeName = c.home;
            state.manualGuestName = c.guest;
        } else {
            state.homeTeamName = c.home;
            state.guestTeamName = c.guest;
            state.manualHomeName = "typed but off";
        }
        EXPECT_EQ(teamLine(state), c.line) << c.home << " / " << c.guest;
    }
}
