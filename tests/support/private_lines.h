#pragma once

// Players with what must never leave the operator's PC: registry lines with
// birth dates (juniors among them) and the operator's notes, in the players'
// slots and in the line-ups.

#include <string>
#include <vector>

namespace kuzelna {
struct MatchState;
}

namespace kuzelna::testing {

// Gives every slot in play a registry line "regNumber - surname firstName,
// birthDate , note" and fills both line-ups with them; names and numbers stay
// as they were (a slot without a number gets one).
void givePrivateRegistryLines(MatchState& state);
// Pieces of those lines (UTF-8) that a public copy must not hold: every birth
// date and every note.
std::vector<std::string> privateParts(const MatchState& state);

} // namespace kuzelna::testing
