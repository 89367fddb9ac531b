#include "scoring/slots.h"

#include "core/match_state.h"

#include <algorithm>

namespace kuzelna {

bool validSlot(int slot) {
    return slot >= 1 && slot <= kMaxSlots;
}

int slotsInMatch(const MatchState& state) {
    return std::min(2 * static_cast<int>(state.pairCount), kMaxSlots);
}

bool slotInMatch(const MatchState& state, int slot) {
    return validSlot(slot) && slot <= slotsInMatch(state);
}

const PlayerSlot& slotOrEmpty(const MatchState& state, int slot) {
    return state.player[static_cast<std::size_t>(validSlot(slot) ? slot : 0)];
}

int duelPartner(int slot) {
    return slot % 2 == 1 ? slot + 1 : slot - 1;
}

int partnerLane(int lane) {
    return duelPartner(lane);
}

int slotAtBlockPosition(int firstPairOfBlock, int position) {
    return 2 * firstPairOfBlock - 2 + position;
}

int blankLaneSlot(const MatchState& state, int lane) {
    return slotAtBlockPosition(state.firstPairOfBlock, lane);
}

int blockPosition(int slot, int laneCount) {
    return (slot - 1) % laneCount + 1;
}

bool onLanesThreeFour(int laneCount, int lanePair) {
    return laneCount == 2 && lanePair == 2;
}

bool onLanesThreeFour(const MatchState& state) {
    return onLanesThreeFour(state.laneCount, state.lanePair);
}

int physicalLane(int laneCount, int lanePair, int lane) {
    return onLanesThreeFour(laneCount, lanePair) ? lane + 2 : lane;
}

int physicalLane(const MatchState& state, int lane) {
    return physicalLane(state.laneCount, state.lanePair, lane);
}

int logicalLane(const MatchState& state, int physical) {
    return onLanesThreeFour(state) && (physical == 3 || physical == 4) ? physical - 2 : physical;
}

std::string playerName(std::string_view surname, std::string_view firstName) {
    std::string name(surname);
    name += ' ';
    name += firstName;
    return name;
}

std::string playerName(const PlayerSlot& slot) {
    return playerName(slot.surname.str(), slot.firstName.str());
}

std::string compactPlayerName(const PlayerSlot& slot) {
    if (slot.firstName.empty()) return slot.surname.str();
    if (slot.surname.empty()) return slot.firstName.str();
    return playerName(slot);
}

const std::string& shownHomeName(const MatchState& state) {
    return state.manualTeamNames ? state.manualHomeName : state.homeTeamName;
}

const std::string& shownGuestName(const MatchState& state) {
    return state.manualTeamNames ? state.manualGuestName : state.guestTeamName;
}

} // namespace kuzelna
