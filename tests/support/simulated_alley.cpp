#include "support/simulated_alley.h"

#include "support/frames.h"

#include <stdexcept>

namespace kuzelna::testing {

int simThrowsPerLane(int gameKind) {
    static const int table[] = {0, 50, 30, 50, 30, 30, 20};
    return table[gameKind];
}

int simLanesPerPlayer(int gameKind) {
    static const int table[] = {0, 4, 4, 2, 2, 6, 2};
    return table[gameKind];
}

int simLaneCount(int laneLayout) {
    return laneLayout == 1 ? 4 : laneLayout == 2 ? 2 : 6;
}

int simLaneOfSet(int laneLayout, int position, int set) {
    // Each player's walk over the lanes, set by set.
    static const int four[4][4] = {{1, 2, 4, 3}, {2, 1, 3, 4}, {3, 4, 2, 1}, {4, 3, 1, 2}};
    static const int two[2][4] = {{1, 2, 1, 2}, {2, 1, 2, 1}};
    static const int six[6][6] = {{1, 2, 4, 3, 5, 6}, {2, 1, 3, 4, 6, 5}, {3, 4, 6, 5, 1, 2},
                                  {4, 3, 5, 6, 2, 1}, {5, 6, 2, 1, 3, 4}, {6, 5, 1, 2, 4, 3}};
    switch (laneLayout) {
    case 1:
        return four[position - 1][set - 1];
    case 2:
        return two[position - 1][set - 1];
    default:
        return six[position - 1][set - 1];
    }
}

SimulatedAlley::SimulatedAlley(const MatchPlan& plan)
    : plan_(plan), laneCount_(simLaneCount(plan.laneLayout)),
      throwsPerPlayer_(simThrowsPerLane(plan.gameKind) * simLanesPerPlayer(plan.gameKind)),
      random_(plan.seed) {
    std::uniform_int_distribution<int> pin(0, 9);
    pins_.assign(static_cast<std::size_t>(slots() + 1),
                 std::vector<int>(static_cast<std::size_t>(throwsPerPlayer_ + 1)));
    for (int slot = 1; slot <= slots(); ++slot) {
        for (int t = 1; t <= throwsPerPlayer_; ++t) {
            // Misses now and then, so that faults and tied sets occur.
            pins_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(t)] =
                random_() % 8 == 0 ? 0 : pin(random_);
        }
    }
    startBlock();
}

void SimulatedAlley::startBlock() {
    ++block_;
    lanes_.assign(static_cast<std::size_t>(laneCount_ + 1), Lane{});
    for (Lane& lane : lanes_)
        lane.idlePolls = static_cast<int>(random_() % 4);
}

bool SimulatedAlley::allBlocksDone() const {
    if (block_ * laneCount_ / 2 < plan_.pairCount) return false;
    for (int l = 1; l <= laneCount_; ++l) {
        if (!lanes_[static_cast<std::size_t>(l)].blankAnswered) return false;
    }
    return true;
}

int SimulatedAlley::slotOn(int logicalLane, int throwNumber) const {
    const int set = (throwNumber - 1) / simThrowsPerLane(plan_.gameKind) + 1;
    for (int position = 1; position <= laneCount_; ++position) {
        if (simLaneOfSet(plan_.laneLayout, position, set) == logicalLane)
            return (block_ - 1) * laneCount_ + position;
    }
    throw std::logic_error("no player on that lane");
}

std::string SimulatedAlley::statusFrameOf(int physicalLane, int counter, int pins, bool settled) {
    LaneStatus s;
    if (counter < 0) {
        s = laneStatus(-1, pins, settled);
    } else {
        // The counter shows 0..199; "100 Hs" counts only to 99, and a 200th throw
        // is past its range: both show their last throw as 0.
        const bool wraps = (plan_.gameKind == 3 && counter == 100) || counter == 200;
        s = laneStatus(wraps ? 0 : counter, pins, settled);
    }
    s[7] = static_cast<u8>(random_() & 0x7F);          // pin lamps
    s[8] = static_cast<u8>(s[8] | (random_() & 0x7B)); // more lamps, never the unsettled bit
    s[1] = static_cast<u8>(random_() % 10);
    return statusFrame(physicalLane, s);
}

std::string SimulatedAlley::answer(const std::string& sentBody) {
    if (sentBody.size() != 3 || static_cast<unsigned char>(sentBody[0]) != 0x84) return {};
    const int physical = (sentBody[1] & 0x7F) + 1;
    const int logical = laneCount_ == 2 && plan_.lanePair == 2 ? physical - 2 : physical;
    if (logical < 1 || logical > laneCount_) return {};
    Lane& lane = lanes_[static_cast<std::size_t>(logical)];

    if (lane.idlePolls > 0) {
        --lane.idlePolls;
        return statusFrameOf(physical, -1, 0, true);
    }
    if (lane.blank) {
        lane.blankAnswered = true;
        const std::string frame = statusFrameOf(physical, -1, 0, random_() % 2 == 0);
        bool everyLaneBlank = true;
        for (int l = 1; l <= laneCount_; ++l)
            everyLaneBlank = everyLaneBlank && lanes_[static_cast<std::size_t>(l)].blankAnswered;
        if (everyLaneBlank && block_ * laneCount_ / 2 < plan_.pairCount) startBlock();
        return frame;
    }

    const int n = lane.counter;
    std::string frame;
    if (n > 0 && !lane.settledShown && random_() % 6 == 0) {
        // The pinsetter is still working: an unsettled frame with whatever it shows.
        frame = statusFrameOf(physical, std::min(n + 1, throwsPerPlayer_), static_cast<int>(random_() % 10),
                              false);
        return frame;
    }
    const int truePins = n == 0 ? static_cast<int>(random_() % 10) : pins(slotOn(logical, n), n);
    if (n > 0 && !lane.settledShown && random_() % 10 == 0) {
        // A first report with a wrong count, corrected by the next one.
        lane.correctionDue = true;
        lane.settledShown = true;
        return statusFrameOf(physical, n, (truePins + 1) % 10, true);
    }
    frame = statusFrameOf(physical, n, truePins, true);
    lane.settledShown = true;
    lane.correctionDue = false;
    if (random_() % 5 < 3) {
        // The next throw.
        lane.settledShown = false;
        if (n == throwsPerPlayer_) {
            lane.blank = true;
        } else {
            ++lane.counter;
        }
    }
    return frame;
}

std::vector<std::string> SimulatedAlley::deliver(const std::string& frame) {
    std::string noise;
    for (unsigned i = random_() % 4; i > 0; --i) {
        char c = static_cast<char>(random_() & 0xFF);
        if (c == '\x17' || c == '\x26') c = '\x55';
        noise.push_back(c);
    }
    const std::string stream = noise + frame;
    std::vector<std::string> pieces;
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t length = 1 + random_() % 24;
        pieces.push_back(stream.substr(at, length));
        at += length;
    }
    return pieces;
}

} // namespace kuzelna::testing
