#include "boards/results_board.h"

#include "boards/board_numbers.h"
#include "core/match_state.h"

namespace kuzelna {
namespace {

struct SideSums {
    long full = 0;
    long clearing = 0;
    long setPoints = 0;  // doubled scale
    long duelPoints = 0; // doubled scale, the scoring mode's points
    long pins() const { return full + clearing; }
};

SideSums fillSide(const MatchState& state, int firstSlot, std::string_view separator,
                  ResultsBoardSide& side) {
    SideSums sums;
    const bool score16 = state.score16 != 0;
    // Whole-set scoring keeps set points as whole points (a set won is 1), so
    // they are shown as they are; otherwise they are on the doubled scale.
    const bool wholeSets = state.controls.tandem;
    for (int row = 0; row < kResultsBoardRows; ++row) {
        const PlayerSlot& p = state.player[static_cast<std::size_t>(firstSlot + 2 * row)];
        ResultsBoardRow& out = side.rows[static_cast<std::size_t>(row)];
        out.name = p.surname.str() + ' ' + p.firstName.str();
        out.total = std::to_string(p.fullTotal + p.clearingTotal);
        out.full = std::to_string(p.fullTotal);
        out.clearing = std::to_string(p.clearingTotal);
        out.setPoints =
            wholeSets ? std::to_string(p.setPointsTotal) : halvedText(p.setPointsTotal, separator);
        // 16-point scoring counts a duel as 2 / 1 / 0 points, 8-point scoring as 1 / half / 0.
        out.duelPoints = score16 ? std::to_string(p.duelPoints) : halvedText(p.duelPoints, separator);

        sums.full += p.fullTotal;
        sums.clearing += p.clearingTotal;
        sums.setPoints += wholeSets ? 2L * p.setPointsTotal : p.setPointsTotal;
        sums.duelPoints += score16 ? 2L * p.duelPoints : p.duelPoints;
    }
    side.total = std::to_string(sums.pins());
    side.full = std::to_string(sums.full);
    side.clearing = std::to_string(sums.clearing);
    side.setPoints = halvedText(sums.setPoints, separator);
    side.duelPoints = halvedText(sums.duelPoints, separator);
    return sums;
}

} // namespace

ResultsBoardTexts resultsBoardTexts(const MatchState& state, std::string_view decimalSeparator) {
    ResultsBoardTexts texts;
    texts.home.title = state.homeTeamTitle;
    texts.guest.title = state.guestTeamTitle;
    const SideSums home = fillSide(state, 1, decimalSeparator, texts.home);
    const SideSums guest = fillSide(state, 2, decimalSeparator, texts.guest);

    // The side with more pins gets the bonus (2 points, 4 with 16-point
    // scoring); equal pins give each side half of it.
    const long bonus = state.score16 != 0 ? 8 : 4;
    long homePoints = home.duelPoints;
    long guestPoints = guest.duelPoints;
    if (home.pins() > guest.pins()) {
        homePoints += bonus;
    } else if (guest.pins() > home.pins()) {
        guestPoints += bonus;
    } else {
        homePoints += bonus / 2;
        guestPoints += bonus / 2;
    }
    texts.home.matchPoints = halvedText(homePoints, decimalSeparator);
    texts.guest.matchPoints = halvedText(guestPoints, decimalSeparator);
    return texts;
}

} // namespace kuzelna
