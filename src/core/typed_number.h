#pragma once

// The one rule for a whole number that the operator types, in any window or in
// zodided.ini: blanks (space or tab) around it, at most one sign, then one or
// more decimal digits, within the range of a 32-bit integer. Anything else
// ("--0", "+-0", "1e3", "0x10", "1 2", "") has no value.

#include <optional>
#include <string_view>

namespace kuzelna {

std::optional<int> parseInteger(std::string_view text);

// Tournament entrant n has row n + 3 of the tournament workbook.
constexpr int kTournamentEntrants = 400;
// The entrant number field ("Tato hra začíná hráčem č."): the workbook's
// entrants and the first number after them, which ranking a full workbook
// leaves in the field.
constexpr int kFirstEntrantNumber = 1;
constexpr int kLastEntrantNumber = kTournamentEntrants + 1;

// The value of the entrant number field, when it is a typed number in
// kFirstEntrantNumber..kLastEntrantNumber; 0 is taken as 1 (nobody has entrant
// number 0, and a game starting there would lose its first player).
std::optional<int> parseEntrantNumber(std::string_view text);

} // namespace kuzelna
