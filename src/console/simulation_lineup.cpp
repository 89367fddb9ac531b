#include "console/simulation_lineup.h"

#include "core/cp1250.h"
#include "core/match_state.h"
#include "registry/registry_lines.h"
#include "scoring/slots.h"

#include <array>
#include <string>

namespace kuzelna {

namespace {

constexpr std::array<const char*, 16> kSurnames = {
    "Novák", "Dvořák",   "Černý", "Procházka", "Kučera", "Veselý",  "Horák", "Němec",
    "Marek", "Pospíšil", "Hájek", "Jelínek",   "Král",   "Růžička", "Beneš", "Fiala"};
constexpr std::array<const char*, 12> kFirstNames = {"Jan",      "Petr",   "Josef",  "Pavel",
                                                     "Jiří",     "Martin", "Tomáš",  "Jaroslav",
                                                     "Miroslav", "Zdeněk", "Václav", "Michal"};

} // namespace

void fillSimulationLineups(MatchState& state) {
    state.homeTeamName = cp1250::fromUtf8("Sokol Brno");
    state.guestTeamName = cp1250::fromUtf8("Slavoj Vyšehrad");
    // The boards and the report print the titles: the same teams as the console.
    state.homeTeamTitle = state.homeTeamName;
    state.guestTeamTitle = state.guestTeamName;
    for (int slot = 1; slot <= slotsInMatch(state); ++slot) {
        PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
        const auto i = static_cast<std::size_t>(slot - 1);
        player.surname = cp1250::fromUtf8(kSurnames[i % kSurnames.size()]);
        player.firstName = cp1250::fromUtf8(kFirstNames[(i * 5) % kFirstNames.size()]);
        player.displayName = displayNameOf(player.surname.str(), player.firstName.str(), false);
    }
}

} // namespace kuzelna
