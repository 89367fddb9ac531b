#include "boards/results_board.h"

#include "boards/board_numbers.h"
#include "core/match_state.h"
#include "scoring/slots.h"

namespace kuzelna {
namespace {

const PlayerSlot& rowPlayer(const MatchState& state, int firstSlot, int row) {
    return state.player[static_cast<std::size_t>(firstSlot + 2 * row)];
}

ResultsBoardSideFigures sideFigures(const MatchState& state, int firstSlot) {
    ResultsBoardSideFigures sums;
    for (int row = 0; row < kResultsBoardRows; ++row) {
        const PlayerSlot& p = rowPlayer(state, firstSlot, row);
        sums.full += p.fullTotal;
        sums.clearing += p.clearingTotal;
        sums.setPoints += shownSetPointsDoubled(state, firstSlot + 2 * row);
        sums.duelPoints += shownDuelPointsDoubled(state, firstSlot + 2 * row);
    }
    return sums;
}

void fillSide(const MatchState& state, int firstSlot, const ResultsBoardSideFigures& sums,
              std::string_view separator, ResultsBoardSide& side) {
    for (int row = 0; row < kResultsBoardRows; ++row) {
        const PlayerSlot& p = rowPlayer(state, firstSlot, row);
        ResultsBoardRow& out = side.rows[static_cast<std::size_t>(row)];
        out.name = playerName(p);
        out.total = std::to_string(p.fullTotal + p.clearingTotal);
        out.full = std::to_string(p.fullTotal);
        out.clearing = std::to_string(p.clearingTotal);
        out.setPoints = halvedText(shownSetPointsDoubled(state, firstSlot + 2 * row), separator);
        out.duelPoints = halvedText(shownDuelPointsDoubled(state, firstSlot + 2 * row), separator);
    }
    side.total = std::to_string(sums.pins());
    side.full = std::to_string(sums.full);
    side.clearing = std::to_string(sums.clearing);
    side.setPoints = halvedText(sums.setPoints, separator);
    side.duelPoints = halvedText(sums.duelPoints, separator);
    side.matchPoints = halvedText(sums.matchPoints, separator);
}

} // namespace

long shownSetPointsDoubled(const MatchState& state, int slot) {
    if (!validSlot(slot)) return 0;
    const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
    // Whole-set scoring keeps set points as whole points (a set won is 1);
    // otherwise they are on the doubled scale already.
    return state.controls.tandem ? 2L * p.setPointsTotal : p.setPointsTotal;
}

long shownDuelPointsDoubled(const MatchState& state, int slot) {
    if (!validSlot(slot)) return 0;
    const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
    // 16-point scoring counts a duel as 2 / 1 / 0 points, 8-point scoring as 1 / half / 0.
    return state.score16 != 0 ? 2L * p.duelPoints : p.duelPoints;
}

ResultsBoardFigures resultsBoardFigures(const MatchState& state) {
    ResultsBoardFigures figures;
    figures.home = sideFigures(state, 1);
    figures.guest = sideFigures(state, 2);

    // The side with more pins gets the bonus (2 points, 4 with 16-point
    // scoring); equal pins give each side half of it.
    const long bonus = state.score16 != 0 ? 8 : 4;
    figures.home.matchPoints = figures.home.duelPoints;
    figures.guest.matchPoints = figures.guest.duelPoints;
    if (figures.home.pins() > figures.guest.pins()) {
        figures.home.matchPoints += bonus;
    } else if (figures.guest.pins() > figures.home.pins()) {
        figures.guest.matchPoints += bonus;
    } else {
        figures.home.matchPoints += bonus / 2;
        figures.guest.matchPoints += bonus / 2;
    }
    return figures;
}

ResultsBoardTexts resultsBoardTexts(const MatchState& state, std::string_view decimalSeparator) {
    ResultsBoardTexts texts;
    texts.home.title = state.homeTeamTitle;
    texts.guest.title = state.guestTeamTitle;
    const ResultsBoardFigures figures = resultsBoardFigures(state);
    fillSide(state, 1, figures.home, decimalSeparator, texts.home);
    fillSide(state, 2, figures.guest, decimalSeparator, texts.guest);
    return texts;
}

} // namespace kuzelna
