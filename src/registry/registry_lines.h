#pragma once

// The text forms of registry lines and how they are taken apart again, and the
// loading of a player line into a player slot. All texts are Windows-1250 bytes.
//
//   club or team:  name " - " note
//   player:        regNumber " - " surname " " firstName ", " birthDate " , " note

#include <string>
#include <string_view>

namespace kuzelna {

struct PlayerSlot;

struct TeamLineFields {
    std::string name;
    std::string note;
};

struct PlayerLineFields {
    std::string regNumber;
    std::string surname;
    std::string firstName;
    std::string birthDate;
    std::string note;
};

// What a new player is offered as date of birth.
constexpr const char* kDefaultBirthDate = "01.01.1900";

// Drops leading bytes up to a space, then every control byte: a line never
// starts with the indentation of the file and a multi-line note becomes one line.
std::string cleanLine(std::string_view line);

// Club and team lines have the same form.
std::string composeTeamLine(std::string_view name, std::string_view note);
std::string composePlayerLine(const PlayerLineFields& fields);

// Takes a club or team line apart for editing; the note ends at its first hyphen.
TeamLineFields splitTeamLine(std::string_view line);
// Takes a player line apart for editing. Composing the result gives the line
// back byte for byte whenever the line has the player line's form (no hyphen in
// the registration number, no comma in the first name or the date), as every
// line that composePlayerLine makes from such fields has; spaces beyond the
// separators stay in the fields. Any other line comes back in that form once
// and then stays as it is.
PlayerLineFields splitPlayerLine(std::string_view line);

// The 18-byte name of the lane displays: surname, space, first name, cut or
// padded with spaces; Ľ becomes ľ, and with `transliterate` Czech letters become
// ASCII (other bytes above 0x80 become spaces).
std::string displayNameOf(std::string_view surname, std::string_view firstName, bool transliterate);

// Fills the six text fields of the slot from a player line (empty for an empty
// line-up place); throws and totals stay as they are.
void loadPlayerIntoSlot(std::string_view line, PlayerSlot& slot, bool transliterate);

} // namespace kuzelna
