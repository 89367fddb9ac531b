#include "suddenvictory/sudden_victory.h"

#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <cstddef>

namespace kuzelna {

namespace {

bool isPair(int pair) {
    return pair >= 1 && pair <= kTieBreakPairs;
}

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

} // namespace

u8 svThrowValue(std::string_view text) {
    if (text.empty() || text[0] < '1' || text[0] > '9') return 0;
    return static_cast<u8>(text[0] - '0');
}

TieBreakSums tieBreakSums(const SuddenVictoryState& sv, int pair) {
    TieBreakSums sums;
    if (!isPair(pair)) return sums;
    for (int k = 1; k <= 3; ++k) {
        sums.first += sv.svFirst[at(pair)][at(k)];
        sums.second += sv.svSecond[at(pair)][at(k)];
    }
    return sums;
}

void setTieBreakOn(MatchState& state, int pair, bool on) {
    if (isPair(pair)) state.svState.svOn[at(pair)] = on ? 1 : 0;
}

TieBreakSums storeTieBreak(MatchState& state, int pair, const std::array<std::string, 3>& first,
                           const std::array<std::string, 3>& second) {
    if (!isPair(pair)) return {};
    for (int k = 1; k <= 3; ++k) {
        state.svState.svFirst[at(pair)][at(k)] = svThrowValue(first[at(k - 1)]);
        state.svState.svSecond[at(pair)][at(k)] = svThrowValue(second[at(k - 1)]);
    }
    return tieBreakSums(state.svState, pair);
}

void clearTieBreak(MatchState& state, int pair) {
    if (!isPair(pair)) return;
    state.svState.svFirst[at(pair)] = {};
    state.svState.svSecond[at(pair)] = {};
}

void markTieBreak(MatchState& state, int row, int set, bool won) {
    if (row < 1 || row > kTieBreakRows || set < 1 || set > kTieBreakSets) return;
    state.player[at(row)].tieBreak[at(set)] = won ? 1 : 0;
    prepocitej(state, row);
}

void setWholeSetScoring(MatchState& state, bool on) {
    state.controls.tandem = on;
    for (int slot = 1; slot <= slotsInMatch(state); ++slot)
        prepocitej(state, slot);
}

} // namespace kuzelna
