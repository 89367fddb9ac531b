#pragma once

// Who is where: the player slots and their duels, the block of duels on the
// lanes, the lanes a match is played on, and the names the displays and lists
// show. Every part that asks one of these questions asks it here.

#include <string>
#include <string_view>

namespace kuzelna {

struct MatchState;
struct PlayerSlot;

// A player slot: 1..kMaxSlots. Slot 0 exists, stays empty and is no slot.
bool validSlot(int slot);
// Slots the match uses: both players of each of its duels, 1..2·pairCount.
int slotsInMatch(const MatchState& state);
bool slotInMatch(const MatchState& state, int slot);
// The player in `slot`, or the empty slot 0 for a number that is no slot.
const PlayerSlot& slotOrEmpty(const MatchState& state, int slot);

// The other player of the slot's duel: duel d is the home slot 2d-1 and the
// guest slot 2d.
int duelPartner(int slot);
// The lane beside `lane` in its pair (1-2, 3-4, 5-6): the two lanes of a pair
// always hold the two players of one duel, so they pair as the slots do.
int partnerLane(int lane);

// The slot at block position `position` (1 = home player of the block's first
// duel, 2 = its guest, ...) of the block that starts with duel `firstPairOfBlock`.
int slotAtBlockPosition(int firstPairOfBlock, int position);
// The slot a lane stands for while its counter is blank: the block on the lanes
// starts its players on lanes 1..laneCount in slot order.
int blankLaneSlot(const MatchState& state, int lane);
// The block position of a slot when blocks of `laneCount` lanes fill the lanes
// in slot order.
int blockPosition(int slot, int laneCount);

// Two lanes played on lanes 3-4 ("Volba drah:" "3-4" with "2 Dráhy"): the
// match's logical lanes 1 and 2 are the alley's lanes 3 and 4.
bool onLanesThreeFour(int laneCount, int lanePair);
bool onLanesThreeFour(const MatchState& state);
// The alley's lane of logical lane `lane`.
int physicalLane(int laneCount, int lanePair, int lane);
int physicalLane(const MatchState& state, int lane);
// The logical lane of a frame from the alley's lane `physical`; a lane the match
// does not map stays as it is.
int logicalLane(const MatchState& state, int physical);

// The player's name as the console, the boards and the lane PCs show it:
// surname, a space, first name (Windows-1250 bytes).
std::string playerName(std::string_view surname, std::string_view firstName);
std::string playerName(const PlayerSlot& slot);
// The same without a space where the surname or the first name is missing, for
// file names and the match document.
std::string compactPlayerName(const PlayerSlot& slot);

// The team names the displays and the console show: the names typed in the
// manual team names window while it is switched on, else the teams' names.
const std::string& shownHomeName(const MatchState& state);
const std::string& shownGuestName(const MatchState& state);

} // namespace kuzelna
