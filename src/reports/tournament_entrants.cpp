#include "reports/tournament_entrants.h"

#include "core/match_state.h"
#include "reports/spreadsheet.h"
#include "reports/tournament_workbook.h"
#include "scoring/slots.h"

#include <algorithm>

namespace kuzelna {
namespace {

constexpr int kRowOfEntrant = 3; // entrant n is on row n + 3

} // namespace

EntrantOverwrite entrantOverwrite(Worksheet& sheet, const MatchState& state, int first, int slots) {
    EntrantOverwrite overwrite;
    overwrite.first = first;
    overwrite.last = first + slots - 1;
    for (int slot = 1; slot <= slots; ++slot) {
        const int entrant = first + slot - 1;
        if (entrant > kTournamentEntrants) break;
        const int row = entrant + kRowOfEntrant;
        const std::string surname = sheet.readText(cellName("B", row));
        const std::string firstName = sheet.readText(cellName("C", row));
        if (surname.empty() && firstName.empty()) continue;
        const PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
        // The same entrant again (a game written once more) is no overwrite.
        if (surname == player.surname.str() && firstName == player.firstName.str()) continue;
        overwrite.holders.push_back(playerName(surname, firstName));
    }
    if (!overwrite.holders.empty()) overwrite.firstFree = firstFreeEntrant(sheet);
    return overwrite;
}

int firstFreeEntrant(Worksheet& sheet) {
    for (int entrant = kTournamentEntrants; entrant >= 1; --entrant) {
        const int row = entrant + kRowOfEntrant;
        if (!sheet.readText(cellName("B", row)).empty() || !sheet.readText(cellName("C", row)).empty())
            return entrant + 1;
    }
    return 1;
}

} // namespace kuzelna
