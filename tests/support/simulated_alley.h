#pragma once

// A whole alley of lane controllers, in memory, for playing complete matches
// through the byte interface: it answers the server's polls with status frames
// as players work through their throws, lane changes and blocks. Everything it
// knows about kinds of game and the players' walk over the lanes is written out
// here, apart from the engine, so that a test can check the engine against it.

#include <random>
#include <string>
#include <vector>

namespace kuzelna::testing {

struct MatchPlan {
    int gameKind = 1;   // 1 "200 Hs" .. 6 "40 Hs"
    int laneLayout = 1; // 1 = 4 lanes, 2 = 2 lanes, 3 = 6 lanes
    int lanePair = 1;   // with 2 lanes: 2 = lanes 3-4
    int pairCount = 6;
    unsigned seed = 1;
};

// Throws on one lane, lanes per player and lanes in play, as the alley knows them.
int simThrowsPerLane(int gameKind);
int simLanesPerPlayer(int gameKind);
int simLaneCount(int laneLayout);
// The lane on which the player at block position `position` (1-based) plays set `set` (1-based).
int simLaneOfSet(int laneLayout, int position, int set);

class SimulatedAlley {
public:
    explicit SimulatedAlley(const MatchPlan& plan);

    int throwsPerPlayer() const { return throwsPerPlayer_; }
    int slots() const { return 2 * plan_.pairCount; }
    // Pins of throw t (1-based) of the player in `slot`, drawn at random up front.
    int pins(int slot, int t) const {
        return pins_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(t)];
    }
    int blocksStarted() const { return block_; }
    bool allBlocksDone() const;

    // The alley's answer to one frame from the server: a status frame when the
    // frame polls one of its lanes, else nothing. Line noise and a partial
    // reply are the caller's business (see deliver()).
    std::string answer(const std::string& sentBody);

    // Splits `frame` into random pieces, with noise (no start or end byte) in front.
    std::vector<std::string> deliver(const std::string& frame);

private:
    struct Lane {
        int idlePolls = 0;  // the lane stays blank for a while before its block begins
        int counter = 0;    // throw number shown, 0 before the first throw
        bool blank = false; // the block on this lane has finished
        bool blankAnswered = false;
        bool settledShown = false; // the current throw was reported settled at least once
        bool correctionDue = false;
    };
    std::string statusFrameOf(int physicalLane, int counter, int pins, bool settled);
    int slotOn(int logicalLane, int throwNumber) const;
    void startBlock();

    MatchPlan plan_;
    int laneCount_;
    int throwsPerPlayer_;
    int block_ = 0; // blocks started
    std::vector<std::vector<int>> pins_;
    std::vector<Lane> lanes_; // logical lanes 1..laneCount (index 0 unused)
    std::mt19937 random_;
};

} // namespace kuzelna::testing
