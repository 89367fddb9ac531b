#pragma once

// Before a game is written into the tournament workbook: which of its rows
// already belong to other entrants, and where the first free row is. Writing
// over them would mix two entrants in one row, so the operator is asked.

#include <functional>
#include <string>
#include <vector>

namespace kuzelna {

struct MatchState;
class Worksheet;

struct EntrantOverwrite {
    int first = 0, last = 0;          // the entrant numbers the game would take
    std::vector<std::string> holders; // "surname firstName" of the other entrants there
    int firstFree = 1;                // the entrant number after the last one in the workbook
};

enum class OverwriteAnswer { StartAtFirstFree, Overwrite, Cancel };
using OverwriteQuestion = std::function<OverwriteAnswer(const EntrantOverwrite&)>;

// The rows of entrants `first` .. `first` + `slots` - 1 that hold a name other
// than that of the slot to be written there; empty holders when none does.
EntrantOverwrite entrantOverwrite(Worksheet& sheet, const MatchState& state, int first, int slots);

// The entrant number after the last row with a name (1 for an empty workbook).
int firstFreeEntrant(Worksheet& sheet);

} // namespace kuzelna
