#pragma once

// The tournament board: the ranking of the stored entrants and the players now
// running, the 24 places shown and the block on the lanes. Texts are
// Windows-1250 bytes.

#include <array>
#include <string>
#include <string_view>

namespace kuzelna {

struct MatchState;

constexpr int kTournamentPlaces = 24;
constexpr int kLivePositions = 6;
// List values from here on name a live competitor (1000 + slot, or + pair).
constexpr int kLiveCompetitorBase = 1000;

struct TournamentLine {
    std::string name;
    std::string full;
    std::string clearing;
    std::string total;
};

struct TournamentBoardTexts {
    std::array<TournamentLine, kTournamentPlaces> places; // places 1..24 at 0..23
    std::array<TournamentLine, kLivePositions> live;      // live positions 1..6 at 0..5
    int liveNumbersShown = 0;                             // positions 1..this carry their numbers
};

// Ranks the stored entrants (or pairs) and the live slots (or pairs) into
// state.standingsOrder. Throws std::invalid_argument, before touching anything,
// when the entrant number field does not hold an integer.
void rankCompetitors(MatchState& state);

// The ranking followed by every text of the board. Throws as rankCompetitors.
TournamentBoardTexts tournamentBoardTexts(MatchState& state);

// Two names joined by "-" in at most 15 characters.
std::string pairLabel(std::string_view a, std::string_view b);

} // namespace kuzelna
