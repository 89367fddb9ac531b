#pragma once

// A virtual alley: the lane controllers and displays at the far end of the lane
// line, for demonstrations and tests without lane hardware. It answers the
// server's polls with status frames of lanes on which seeded random players
// throw, and it decodes every display frame the server sends so that anyone can
// read what the score board, the team-name and match-point displays and each
// lane's name display show.
//
// Plain C++ with no clock of its own: the caller hands it the bytes the server
// sent and writes back the answers, and moves its simulated clock on. The same
// alley runs in-process (tests, kuzelna --simulate) and behind a pseudo-terminal
// (kuzelna-lanesim).
//
// How the lanes play: every block of duels plays the kind of game on all lanes
// at once. A lane's counter shows the own throw count of the player on it; after
// throws-per-lane throws the next player of the rotation takes the lane and
// carries on with his own count (he waits for his previous lane to finish). Each
// throw is first shown unsettled, then settled. A lane never throws again before
// the server has received its last throw intact, and a new block starts only
// once every lane's blank counter has reached the server, so the alley never
// outruns a working link: every throw it plays can be recorded.

#include "core/match_state.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace kuzelna {

struct AlleySetup {
    int gameKind = 4;   // as the match state's gameKind ("60   Hs")
    int laneLayout = 2; // 1 = 4 lanes, 2 = 2 lanes, 3 = 6 lanes
    int lanePair = 1;   // with 2 lanes: 2 = the alley's lanes are 3 and 4
    int duels = 2;      // duels of the match (the server's pairCount)
    std::uint32_t seed = 1;
    // Mean simulated time between two throws of one lane, or 0: as fast as the
    // polls allow (one poll shows the unsettled throw, the next the settled one).
    int throwMs = 18000;
    // Chance that one answer is disturbed: lost, damaged (fails its check byte)
    // or wrapped in line noise (arrives intact). A seed plays the same throws
    // with or without noise and at any pace.
    double noise = 0.0;
};

// One throw the alley played.
struct PlayedThrow {
    int block = 0; // 0-based
    int slot = 0;  // player slot in the server's numbering
    int throwNumber = 0;
    int pins = 0;
    int physicalLane = 0;
};

// What the alley's displays show now. Texts are Windows-1250 bytes; empty when
// the display has not been sent anything yet.
struct AlleyDisplays {
    // The score board left to right: home pins, the difference field, guest pins,
    // 4 characters each, separated by a space.
    std::string scoreBoard;
    std::string teamNames; // 18 characters: home (9), guest (9)
    std::string homeMatchPoints, guestMatchPoints;
    OneBased<std::string, kMaxLanes> laneName{};      // by physical lane
    OneBased<std::string, kMaxLanes> laneSetPoints{}; // by physical lane
    int keyLane = 0;                                  // physical lane of the last keypad key (0 = none yet)
    int keyCode = 0;
};

struct AlleyCounters {
    long framesReceived = 0; // valid frames from the server
    long framesRejected = 0; // frames with a wrong check byte or an unknown body
    long polls = 0;
    long answers = 0;        // status frames sent, noisy ones included
    long answersLost = 0;    // polls left unanswered on purpose
    long answersDamaged = 0; // status frames sent with a wrong check byte
    long answersNoisy = 0;   // intact status frames with noise around them
};

class VirtualAlley {
public:
    explicit VirtualAlley(const AlleySetup& setup);

    // Moves the simulated clock to `ms` (it never goes back).
    void setClock(std::int64_t ms);
    std::int64_t clock() const { return clock_; }

    // Bytes the server sent; returns the answers of the lanes, to send back.
    std::string receive(std::string_view bytes);

    // Every block has been played and every lane is blank.
    bool finished() const { return finished_; }
    int blocks() const { return blocks_; }
    int currentBlock() const { return block_; }
    int laneCount() const { return laneCount_; }
    int firstPhysicalLane() const { return firstPhysical_; }

    const std::vector<PlayedThrow>& played() const { return played_; }
    // Pins of the slot's throws by throw number (element 0 unused; 0 = not thrown).
    std::vector<int> throwsOf(int slot) const;

    // The status bytes the lane would answer now (physical lane).
    LaneStatus laneStatus(int physicalLane) const;
    // Whether a lane has been stopped by a lane start/stop frame.
    bool laneStopped(int physicalLane) const;

    const AlleyDisplays& displays() const { return displays_; }
    const AlleyCounters& counters() const { return counters_; }

    // Everything the displays and lanes show, as readable UTF-8 lines.
    std::string describe() const;

private:
    enum class Phase { Playing, Final, Blank };
    struct Lane {
        int physical = 0;
        int logical = 0;
        Phase phase = Phase::Playing;
        int counter = 0;           // the player's own throw count shown
        int pins = 0;              // pins of the last throw
        unsigned standing = 0x1FF; // pins 1..9 standing, bit 0 = pin 1
        bool settled = true;
        // Intact answers that carried what the lane shows now. A real lane shows
        // a throw for many polls; this one moves on to the next throw after two,
        // so that a server that went down right after the first answer still
        // finds the throw.
        int deliveries = 0;
        bool delivered() const { return deliveries >= 2; }
        int thrower = 0;        // block position whose throw is shown
        int segmentPins = 0;
        std::int64_t settleAt = 0;
        std::int64_t nextThrowAt = 0;
        std::int64_t blankAt = 0;
        bool stopped = false;
    };

    void startBlock();
    // Moves one lane on as far as the clock and the link allow; with `atPoll`
    // in the fast pace, by one visible change.
    void advanceLane(Lane& lane, bool atPoll);
    void advanceBlock();
    bool throwOnLane(Lane& lane);
    int knockPins(std::mt19937& random, bool fullRack, unsigned& standing);
    std::int64_t throwInterval();
    std::string answerPoll(Lane& lane);
    // One frame from the server; returns the answer to a poll.
    std::string handleFrame(std::string_view body);
    Lane* laneByPhysical(int physical);
    const Lane* laneByPhysical(int physical) const;
    bool fastPace() const { return setup_.throwMs <= 0; }

    AlleySetup setup_;
    int laneCount_ = 2;
    int firstPhysical_ = 1;
    int throwsPerLane_ = 30;
    int blocks_ = 1;
    int block_ = 0;
    bool finished_ = false;
    bool blockPending_ = false;
    std::int64_t blockStartAt_ = 0;
    std::int64_t clock_ = 0;
    std::vector<Lane> lanes_;
    // By block position 1..laneCount: throws so far, whether the last of them
    // has reached the server, and pins so far.
    std::vector<int> positionCount_;
    std::vector<bool> positionSeen_;
    std::vector<int> positionPins_;
    std::vector<PlayedThrow> played_;
    std::string rxBuffer_;
    AlleyDisplays displays_;
    AlleyCounters counters_;
    // Each player's throws come from his own stream, so a seed plays the same
    // throws whatever the pace, the noise or the order of the polls.
    std::vector<std::mt19937> playerRandom_;
    std::mt19937 paceRandom_;
    std::mt19937 noiseRandom_;
};

} // namespace kuzelna
