#pragma once

// Public play: per lane, the lane frames drive the gallows game ("Sibenice")
// of casual guests while public play is switched on, and the operator steers
// the game from the public play window.

#include "core/match_state.h"

#include <array>
#include <optional>
#include <string>

namespace kuzelna {

// The game types of a lane.
constexpr u8 kNoGame = 0;
constexpr u8 kGallows = 1; // "Sibenice"
constexpr u8 kRace = 2;    // "Dostihy": can be chosen, has no rule

// Stage at which a player is hanged and leaves the game.
constexpr u8 kHanged = 10;

// Throw count, pins and the all-nine lamps as the public play reads a lane status.
u8 publicThrowCount(const LaneStatus& status);
bool allNineLampsLit(const LaneStatus& status);

// Frame intake of lane L (1..8), after its status bytes were stored (the lane
// link passes state.publicPlayDiagnostics).
void publicPlayIntake(MatchState& state, int lane, PublicPlayDiagnostics& diagnostics);

// Turn order: the next (previous) player still in the game after (before) c,
// wrapping round; with one player still in, that player itself.
std::optional<int> nextPlayer(const PublicPlayLane& game, int current);
std::optional<int> previousPlayer(const PublicPlayLane& game, int current);

void addStage(PublicPlayLane& game, int player);
void addMark(PublicPlayLane& game, int player);

// One throw of the current player by the gallows rule.
void playGallowsThrow(PublicPlayLane& game, u8 pins, bool allNine, PublicPlayDiagnostics& diagnostics);

// "Nova hra": positions, marks and turn back to the start; names and the
// number of players stay. The game type goes back to none.
void newGame(PublicPlayLane& game);

// "Hrac hodil 0" and "Vsech 9": a throw played by hand, whatever the game type.
void playZeroByHand(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics);
void playAllNineByHand(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics);

// "Ulozit zmeny": the six "Pozice hry" texts, then the six "Pomocna pozice"
// texts, each stored as the low byte of its integer value. Storing stops at the
// first text that is not an integer; what was stored before stays.
void storePositions(PublicPlayLane& game, const std::array<std::string, 6>& gamePositions,
                    const std::array<std::string, 6>& auxPositions);

} // namespace kuzelna
