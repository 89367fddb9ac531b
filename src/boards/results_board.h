#pragma once

// Every text of the results board, computed from the match state. Texts are
// Windows-1250 bytes; the window only places them.

#include <array>
#include <string>
#include <string_view>

namespace kuzelna {

struct MatchState;

constexpr int kResultsBoardRows = 8;

struct ResultsBoardRow {
    std::string name;
    std::string total;    // CEL
    std::string full;     // P
    std::string clearing; // D
    std::string setPoints;
    std::string duelPoints;
};

struct ResultsBoardSide {
    std::string title;
    std::array<ResultsBoardRow, kResultsBoardRows> rows; // rows 1..8 at 0..7
    // The totals row (duel points before the pin bonus).
    std::string total, full, clearing, setPoints, duelPoints;
    // Duel points with the pin bonus.
    std::string matchPoints;
};

struct ResultsBoardTexts {
    ResultsBoardSide home;
    ResultsBoardSide guest;
};

// Row r of the home side shows slot 2r-1, of the guest side slot 2r. Halves are
// written with `decimalSeparator` (the system's, e.g. "," or ".").
ResultsBoardTexts resultsBoardTexts(const MatchState& state, std::string_view decimalSeparator);

// The board's figures as numbers, points on the doubled scale (2 = one point, 1
// = half a point) whatever the scoring mode, so that halving gives the shown value.
struct ResultsBoardSideFigures {
    long full = 0;
    long clearing = 0;
    long setPoints = 0;
    long duelPoints = 0;  // before the pin bonus
    long matchPoints = 0; // with the pin bonus
    long pins() const { return full + clearing; }
};
struct ResultsBoardFigures {
    ResultsBoardSideFigures home;
    ResultsBoardSideFigures guest;
};
ResultsBoardFigures resultsBoardFigures(const MatchState& state);

// A player's set points and duel points as the board shows them, on the doubled scale.
long shownSetPointsDoubled(const MatchState& state, int slot);
long shownDuelPointsDoubled(const MatchState& state, int slot);

} // namespace kuzelna
