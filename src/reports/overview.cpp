#include "reports/overview.h"

#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <algorithm>

namespace kuzelna {
namespace {

int setsShown(const MatchState& state) {
    return std::clamp<int>(state.lanesPerPlayer, 0, kOverviewRows / 4);
}

} // namespace

int overviewLaneOfSet(const MatchState& state, int slot, int set) {
    // Blocks fill the lanes in slot order, so a slot's position in its block is
    // its place counted modulo the lanes of the layout. Sets beyond the table's
    // last column stay on it, as the slot lookup of the recording does.
    const int position = blockPosition(slot, laneCountFor(state.laneLayout));
    return laneOfSet(state.laneLayout, position, std::min(set, rotationColumns(state.laneLayout)));
}

OverviewView overviewView(const MatchState& state, const OverviewSelection& selection) {
    OverviewView view;
    const int half = throwsPerHalf(state.gameKind);
    const int sets = setsShown(state);
    const int slot = selection.shownSlot();
    const PlayerSlot& player = slotOrEmpty(state, slot);

    unsigned full = 0;
    unsigned clearing = 0;
    // A zero not yet thrown is no fault: the referee reads "Cbyby:" during the game.
    const int made = throwsMade(state, slot);
    unsigned faults = 0;
    std::string unseenThrows;
    for (int i = 1; i <= 2 * sets; ++i) {
        auto& header = view.cells[static_cast<std::size_t>(2 * i - 2)];
        auto& pins = view.cells[static_cast<std::size_t>(2 * i - 1)];
        const int set = (i + 1) / 2;
        pins[0] = i % 2 == 1 ? "    Plne" : " Dorazka";
        header[0] = "      " + std::to_string(overviewLaneOfSet(state, slot, set)) + ".draha";
        for (int c = 1; c < kOverviewColumns; ++c) {
            const auto column = static_cast<std::size_t>(c);
            if (c > half) {
                header[column] = " ";
                pins[column] = " ";
                continue;
            }
            const int t = (i - 1) * half + c;
            const u8 value = player.throws[static_cast<std::size_t>(t)];
            header[column] = " " + std::to_string(t);
            pins[column] = std::string(1, static_cast<char>(48 + value));
            if (player.throwUnseen[static_cast<std::size_t>(t)]) {
                view.unseen[static_cast<std::size_t>(2 * i - 1)][column] = true;
                unseenThrows += (unseenThrows.empty() ? "" : ", ") + std::to_string(t);
            }
            (i % 2 == 1 ? full : clearing) += value;
            if (value == 0 && t <= made) ++faults;
        }
    }
    for (int row = 4 * sets; row < kOverviewRows; ++row) {
        view.cells[static_cast<std::size_t>(row)].fill(" ");
    }

    if (!unseenThrows.empty()) {
        // "Nezaznamenané hody k opravě: 6, 7, 8; 1. dráha dohromady 20 kuželek"
        view.unseenNote = "Nezaznamenan\xE9 hody k oprav\xEC: " + unseenThrows;
        for (int set = 1; set <= sets && set <= kMaxSets; ++set) {
            const int together = player.unseenPins[static_cast<std::size_t>(set)];
            if (together < 0) continue;
            view.unseenNote += "; " + std::to_string(overviewLaneOfSet(state, slot, set)) +
                               ". dr\xE1ha dohromady " + std::to_string(together) +
                               " ku\x9E"
                               "elek";
        }
    }
    view.full = std::to_string(full);
    view.clearing = std::to_string(clearing);
    view.faults = std::to_string(faults);
    view.total = std::to_string(full + clearing);
    // Whole-set scoring keeps whole set points; the text is in half points.
    view.setPoints =
        setPointsText(state.controls.tandem ? 2u * player.setPointsTotal : unsigned{player.setPointsTotal});
    return view;
}

std::string overviewCaption(bool homeShown) {
    return homeShown ? "P\xF8"
                       "ehled hry - dom\xE1"
                       "c\xED"
                     : "P\xF8"
                       "ehled hry - host\xE9";
}

std::string overviewNameLabel(const MatchState& state, const OverviewSelection& selection) {
    const int h = selection.shownPlayer();
    if (h < 1 || h > kLineupPlaces) return {};
    const auto place = static_cast<std::size_t>(h);
    return selection.homeShown ? state.homeLineup[place] : state.guestLineup[place];
}

std::string setPointsText(unsigned doubledSetPoints) {
    std::string text = std::to_string(doubledSetPoints / 2);
    if (doubledSetPoints % 2 == 1) text += ".5";
    return text;
}

int throwOfCell(int gameKind, int column, int row) {
    return column + throwsPerHalf(gameKind) * (row / 2);
}

bool isPinCell(const MatchState& state, int column, int row) {
    return row % 2 == 1 && row < 4 * setsShown(state) && column >= 1 &&
           column <= throwsPerHalf(state.gameKind);
}

std::string clickedThrowText(const MatchState& state, const OverviewSelection& selection) {
    if (selection.clickedColumn < 0 || selection.clickedRow < 0) return {};
    const int t = throwOfCell(state.gameKind, selection.clickedColumn, selection.clickedRow);
    if (t > kMaxThrows) return {};
    return std::to_string(slotOrEmpty(state, selection.shownSlot()).throws[static_cast<std::size_t>(t)]);
}

} // namespace kuzelna
