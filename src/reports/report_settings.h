#pragma once

// "Ulož" of the two settings dialogs of the reports: the accompanying texts
// (alley name, approval date, referee) and the reports folder. Both write their
// keys into zodided.ini, keeping everything else in it. A file that cannot be
// read whole raises IniReadError and stays as it was; a failed write returns false.

#include <filesystem>
#include <string>

namespace kuzelna {

struct MatchState;

struct AccompanyingTexts {
    std::string alleyName;     // "Název kuželny:"
    std::string alleyApproval; // "Platnost kolaudace do:"
    std::string refereeName;   // "Jméno"
    std::string refereeNumber; // "Číslo průkazu"
};

AccompanyingTexts accompanyingTexts(const MatchState& state);

// Writes Kuzelna/Nazev, Kuzelna/Kolaudace, Rozhodci/Jmeno, Rozhodci/Cislo and
// only when that succeeded takes the texts into the state. Returns whether it did.
bool saveAccompanyingTexts(MatchState& state, const AccompanyingTexts& texts,
                           const std::filesystem::path& iniPath);

// Takes the folder into the state first, so that it holds for this run even
// when writing Formulare/Cesta fails. Returns whether the file was written.
bool saveFormsPath(MatchState& state, const std::string& formsPath, const std::filesystem::path& iniPath);

} // namespace kuzelna
