#include "scoring/throw_recording.h"

#include "core/match_events.h"
#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"

#include <algorithm>
#include <array>

namespace kuzelna {
namespace {

bool anyLaneActive(const MatchState& state) {
    const int lanes = std::clamp(static_cast<int>(state.laneCount), 0, kMaxLanes);
    for (int lane = 1; lane <= lanes; ++lane) {
        if (state.laneActive[lane]) return true;
    }
    return false;
}

void finishBlockIfAllBlank(MatchState& state, MatchEvents& events) {
    if (anyLaneActive(state)) return;
    const int duelsPerBlock = state.laneCount / 2;
    if (state.firstPairOfBlock + duelsPerBlock > state.pairCount) {
        state.matchOver = true;
        events.matchEnded();
    } else {
        state.firstPairOfBlock = static_cast<u8>(state.firstPairOfBlock + duelsPerBlock);
        state.laneFinished.fill(0);
        events.blockChanged();
    }
}

// Throws previous+1 .. n-1 of the lane were played unseen: mark them, and what
// those of the current set hold together when the display tells it.
void markUnseenThrows(MatchState& state, int lane, int previous, int n, const LaneStatus& status) {
    const int perLane = throwsPerLane(state.gameKind);
    if (perLane <= 0) return;
    for (int t = previous + 1; t < n; ++t) {
        const int slot = Zjisti_cislo_hrace(state, t - 1, lane);
        if (validSlot(slot))
            state.player[static_cast<std::size_t>(slot)].throwUnseen[static_cast<std::size_t>(t)] = 1;
    }
    const int setIndex = (n - 1) / perLane; // 0-based
    const int firstOfSet = setIndex * perLane + 1;
    const int slot = Zjisti_cislo_hrace(state, n - 1, lane);
    // The lane display's first row: the pins of the player's lane so far.
    const int display = status.laneTotal();
    if (!validSlot(slot) || setIndex >= kMaxSets || display < 0 || previous + 1 >= n) return;
    PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
    int known = status.pins();
    for (int t = firstOfSet; t < n; ++t) {
        if (!player.throwUnseen[static_cast<std::size_t>(t)])
            known += player.throws[static_cast<std::size_t>(t)];
    }
    player.unseenPins[static_cast<std::size_t>(setIndex + 1)] =
        static_cast<i16>(std::max(0, display - known));
}

} // namespace

int laneCounter(const LaneStatus& status) {
    return status.counter();
}

int laneThrowNumber(const MatchState& state, int lane) {
    if (lane < 1 || lane > kMaxLanes) return -1;
    const int counter = laneCounter(state.laneStatus[lane]);
    return counter == 0 && state.laneWrapped[lane] ? throwsPerPlayer(state) : counter;
}

void recordLane(MatchState& state, int lane, MatchEvents& events, bool statusChanged) {
    if (lane < 1 || lane > kMaxLanes) return;
    const LaneStatus& status = state.laneStatus[lane];
    // What the lane's picture and its caption are drawn from, to tell whether
    // an answer that repeats the last one changed anything.
    const auto laneMarks = [&state, lane] {
        const int slot = Zjisti_cislo_hrace(state, std::max(0, laneThrowNumber(state, lane) - 1), lane);
        const int count = validSlot(slot) ? state.player[static_cast<std::size_t>(slot)].throwCount : -1;
        return std::array<int, 8>{state.laneActive[lane],
                                  state.laneFinished[lane],
                                  lane <= 4 ? state.laneShownPlayer[lane] : 0,
                                  state.laneWrapped[lane],
                                  state.laneLastCounter[lane],
                                  state.firstPairOfBlock,
                                  state.matchOver ? 1 : 0,
                                  count};
    };
    const std::array<int, 8> before = statusChanged ? std::array<int, 8>{} : laneMarks();
    const int counter = laneCounter(status);
    const bool settled = status.settled();
    int changedSlot = 0;

    if (settled && counter >= 0) {
        // A counter that cannot show the game's last throw ("100 Hs" counts
        // to 99, the counter's range ends at 199) falls back to 0 for it and
        // stays there until the lane goes blank. A lane at 0 before its first
        // throw is not active and has not wrapped.
        const int lastThrow = throwsPerPlayer(state);
        const int previous = state.laneWrapped[lane] ? lastThrow : state.laneLastCounter[lane];
        state.laneWrapped[lane] = counter == 0 && state.laneActive[lane] &&
                                  (state.laneLastCounter[lane] == lastThrow - 1 || state.laneWrapped[lane]);
        state.laneLastCounter[lane] = static_cast<u8>(counter);
        const int n = state.laneWrapped[lane] ? lastThrow : counter;
        const u8 pins = static_cast<u8>(status.pins());
        const int slot = Zjisti_cislo_hrace(state, n > 0 ? n - 1 : 0, lane);
        // A lane beyond the last duel of the last block (an odd number of
        // duels, or a current duel set near the end) has no player, and what
        // is thrown there counts for nobody, so it is not taken.
        if (n > 0 && slotInMatch(state, slot)) {
            if (n > previous + 1) markUnseenThrows(state, lane, previous, n, status);
            state.laneActive[lane] = 1;
            state.laneFinished[lane] = 0;
            if (lane <= 4) state.laneShownPlayer[lane] = static_cast<u8>(slot + 1);
            PlayerSlot& player = state.player[slot];
            player.throwCount = static_cast<u16>(n);
            player.throwUnseen[n] = 0;
            if (player.throws[n] != pins) {
                player.throws[n] = pins;
                changedSlot = slot;
            }
        } else if (n == 0 && slotInMatch(state, slot)) {
            state.player[slot].throwCount = 0;
        }
    }

    if (counter < 0) {
        state.laneLastCounter[lane] = 0;
        state.laneWrapped[lane] = 0;
        // Only a lane that has played can finish a block: a blank frame of a
        // lane that never counted a throw must not move the match on.
        if (state.laneActive[lane]) {
            state.laneActive[lane] = 0;
            state.laneFinished[lane] = 1;
            finishBlockIfAllBlank(state, events);
        }
    }

    if (changedSlot) prepocitej(state, changedSlot);
    if (statusChanged || changedSlot || laneMarks() != before) events.laneChanged(lane);
    if (changedSlot) events.throwChanged(changedSlot);
}

int throwsMade(const MatchState& state, int slot) {
    if (!validSlot(slot)) return 0;
    return std::min(static_cast<int>(state.player[static_cast<std::size_t>(slot)].throwCount),
                    throwsPerPlayer(state));
}

int faultsMade(const MatchState& state, int slot, int set) {
    const int made = throwsMade(state, slot);
    const int perLane = throwsPerLane(state.gameKind);
    const int first = set > 0 ? (set - 1) * perLane + 1 : 1;
    const int last = set > 0 ? std::min(made, set * perLane) : made;
    const PlayerSlot& p = state.player[static_cast<std::size_t>(std::max(slot, 0))];
    int faults = 0;
    for (int t = first; t <= last; ++t) {
        if (p.throws[static_cast<std::size_t>(t)] == 0) ++faults;
    }
    return faults;
}

void prepocitej(MatchState& state, int f) {
    if (!validSlot(f)) return;
    const int o = duelPartner(f);
    PlayerSlot& me = state.player[static_cast<std::size_t>(f)];
    PlayerSlot& opponent = state.player[static_cast<std::size_t>(o)];
    const int perHalf = throwsPerHalf(state.gameKind);
    const int sets =
        std::clamp(static_cast<int>(state.lanesPerPlayer), 0, std::min(kMaxSets, kMaxThrows / (2 * perHalf)));
    const bool wholeSets = state.controls.tandem;

    for (int k = 1; k <= kMaxSets; ++k) {
        me.laneTotal[k] = me.setPoints[k] = 0;
        me.laneFull[k] = me.laneClearing[k] = me.laneFaults[k] = 0;
    }

    int full = 0, clearing = 0, faults = 0;
    for (int k = 1; k <= sets; ++k) {
        int laneFull = 0, laneClearing = 0, laneFaults = 0;
        for (int half = 0; half < 2; ++half) {
            const int first = (2 * (k - 1) + half) * perHalf;
            for (int j = 1; j <= perHalf; ++j) {
                const int v = me.throws[static_cast<std::size_t>(first + j)];
                if (v == 0) ++laneFaults;
                (half == 0 ? laneFull : laneClearing) += v;
            }
        }
        full += laneFull;
        clearing += laneClearing;
        faults += laneFaults;
        me.laneFull[k] = static_cast<u16>(laneFull);
        me.laneClearing[k] = static_cast<u16>(laneClearing);
        me.laneFaults[k] = static_cast<u16>(laneFaults);
        me.laneTotal[k] = static_cast<u16>(laneFull + laneClearing);

        const int mine = me.laneTotal[k], theirs = opponent.laneTotal[k];
        if (mine != theirs) {
            const u16 win = wholeSets ? 1 : 2;
            me.setPoints[k] = mine > theirs ? win : 0;
            opponent.setPoints[k] = mine > theirs ? 0 : win;
        } else if (wholeSets) {
            me.setPoints[k] = me.tieBreak[k];
            opponent.setPoints[k] = opponent.tieBreak[k];
        } else {
            me.setPoints[k] = opponent.setPoints[k] = 1;
        }
    }

    me.setPointsTotal = opponent.setPointsTotal = 0;
    for (int k = 1; k <= sets; ++k) {
        if (me.laneTotal[k] == 0 && opponent.laneTotal[k] == 0) continue; // not played yet
        me.setPointsTotal = static_cast<u16>(me.setPointsTotal + me.setPoints[k]);
        opponent.setPointsTotal = static_cast<u16>(opponent.setPointsTotal + opponent.setPoints[k]);
    }

    me.total = static_cast<u16>(full + clearing);
    int mineKey = me.setPointsTotal, theirsKey = opponent.setPointsTotal;
    if (mineKey == theirsKey) {
        mineKey = me.total;
        theirsKey = opponent.total;
    }
    me.duelPoints = mineKey > theirsKey ? 2 : mineKey < theirsKey ? 0 : 1;
    opponent.duelPoints = static_cast<u16>(2 - me.duelPoints);

    me.clearingTotal = static_cast<u16>(clearing);
    me.fullTotal = static_cast<u16>(full);
    me.faults = static_cast<u16>(faults);
}

TeamResult teamResult(const MatchState& state, int lastSlot) {
    TeamResult r;
    for (int slot = 1; slot <= std::min(lastSlot, kMaxSlots); ++slot) {
        const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
        const int pins = p.fullTotal + p.clearingTotal;
        (slot % 2 ? r.homePins : r.guestPins) += pins;
        (slot % 2 ? r.homeDuelPoints : r.guestDuelPoints) += p.duelPoints;
    }
    r.homeMatchPoints = r.homeDuelPoints;
    r.guestMatchPoints = r.guestDuelPoints;
    if (r.homePins > r.guestPins) {
        r.homeMatchPoints += 4;
    } else if (r.guestPins > r.homePins) {
        r.guestMatchPoints += 4;
    } else {
        r.homeMatchPoints += 2;
        r.guestMatchPoints += 2;
    }
    return r;
}

} // namespace kuzelna
