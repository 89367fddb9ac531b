#pragma once

// The match overview as data: the throw grid of one player, lane by lane, with
// the player's sums, and the selection the window keeps (side, player, last
// clicked cell). The window only copies these texts into its widgets.

#include <array>
#include <string>

namespace kuzelna {

struct MatchState;

constexpr int kOverviewColumns = 26;
constexpr int kOverviewRows = 24;

struct OverviewSelection {
    bool homeShown = true; // "domácí" when true, "hosté" when false
    int homePlayer = 1;    // 1..30
    int guestPlayer = 1;   // 1..30
    int clickedColumn = 0;
    int clickedRow = 0;

    int shownPlayer() const { return homeShown ? homePlayer : guestPlayer; }
    // Home player h is slot 2h - 1, guest player h slot 2h.
    int shownSlot() const { return homeShown ? 2 * homePlayer - 1 : 2 * guestPlayer; }
};

// Texts of the grid and of the shown side's value labels (Windows-1250).
struct OverviewView {
    std::array<std::array<std::string, kOverviewColumns>, kOverviewRows> cells; // [row][column]
    std::string full;                                                           // "Plné:"
    std::string clearing;                                                       // "Dorážka:"
    std::string faults;                                                         // "Cbyby:"
    std::string total;                                                          // "Celkem:"
    std::string setPoints;                                                      // "Dílčí:"
    // Pin cells of throws played while the server saw none of their frames,
    // shown in a colour of their own for the referee to correct, and what the
    // referee is told about them.
    std::array<std::array<bool, kOverviewColumns>, kOverviewRows> unseen{};
    std::string unseenNote;

    const std::string& cell(int column, int row) const {
        return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
};

// Zobr_text as data: every cell of the grid and the value labels for the side shown.
OverviewView overviewView(const MatchState& state, const OverviewSelection& selection);

// The lane on which `slot` plays set `set` (1-based), from the lane rotation of
// the layout seen from the player's position in its block.
int overviewLaneOfSet(const MatchState& state, int slot, int set);

// Window caption "Přehled hry - domácí" / "Přehled hry - hosté".
std::string overviewCaption(bool homeShown);
// The name label: the line-up entry of the shown player.
std::string overviewNameLabel(const MatchState& state, const OverviewSelection& selection);
// Set points on the doubled scale as shown: 5 -> "2.5", 4 -> "2".
std::string setPointsText(unsigned doubledSetPoints);

// The throw number a grid cell stands for: column + half length * (row div 2).
int throwOfCell(int gameKind, int column, int row);
// A cell showing the pins of a throw of the configured game (not a header, not
// the label column, not a blank column or row).
bool isPinCell(const MatchState& state, int column, int row);
// The value a grid click loads into the correction dialog's edit: the pins of the
// throw the clicked cell stands for, or "" for a cell that stands for no throw.
std::string clickedThrowText(const MatchState& state, const OverviewSelection& selection);

} // namespace kuzelna
