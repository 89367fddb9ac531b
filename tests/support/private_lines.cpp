#include "support/private_lines.h"

#include "core/cp1250.h"
#include "core/match_state.h"

namespace kuzelna::testing {
namespace {

std::string birthDate(int slot) {
    const int day = 1 + slot % 28;
    return (day < 10 ? "0" : "") + std::to_string(day) + ".0" + std::to_string(1 + slot % 9) + "." +
           std::to_string(2005 + slot % 7);
}

std::string note(int slot) {
    return "pozn\xE1mka " + std::to_string(slot) + " zran\xECn\xFD"; // "poznámka N zraněný"
}

} // namespace

void givePrivateRegistryLines(MatchState& state) {
    state.homeLineupCount = 0;
    state.guestLineupCount = 0;
    for (int slot = 1; slot <= 2 * state.pairCount && slot <= kMaxSlots; ++slot) {
        PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
        if (p.regNumber.str().empty()) p.regNumber = std::to_string(10000 + slot);
        const std::string line = p.regNumber.str() + " - " + p.surname.str() + " " + p.firstName.str() +
                                 ", " + birthDate(slot) + " , " + note(slot);
        p.registryLine = line;
        const bool home = slot % 2 == 1;
        auto& count = home ? state.homeLineupCount : state.guestLineupCount;
        if (count >= kLineupPlaces) continue;
        ++count;
        (home ? state.homeLineup : state.guestLineup)[static_cast<std::size_t>(count)] = line;
    }
}

std::vector<std::string> privateParts(const MatchState& state) {
    std::vector<std::string> parts{"registryLine", "homeLineup", "guestLineup"};
    for (int slot = 1; slot <= 2 * state.pairCount && slot <= kMaxSlots; ++slot) {
        parts.push_back(birthDate(slot));
        parts.push_back(cp1250::toUtf8(note(slot)));
    }
    return parts;
}

} // namespace kuzelna::testing
