#include "registry/lineups.h"

#include "registry/registry_lines.h"
#include "registry/registry_tree.h"

#include <algorithm>

namespace kuzelna {
namespace {

constexpr int kPlayerLevel = 2;

void takeTeamOf(MatchState& state, LineupSide side, const RegistryNode& player) {
    const RegistryNode* team = player.parent;
    const RegistryNode* club = team->parent;
    const TeamLineFields fields = splitTeamLine(team->line);
    const std::string title = club->line + " " + fields.name;
    if (side == LineupSide::Home) {
        state.homeClubLine = club->line;
        state.homeTeamLine = team->line;
        state.homeTeamTitle = title;
        state.homeTeamName = fields.note;
    } else {
        state.guestClubLine = club->line;
        state.guestTeamLine = team->line;
        state.guestTeamTitle = title;
        state.guestTeamName = fields.note;
    }
}

} // namespace

u8& lineupCount(MatchState& state, LineupSide side) {
    return side == LineupSide::Home ? state.homeLineupCount : state.guestLineupCount;
}

OneBased<std::string, kLineupPlaces>& lineupPlaces(MatchState& state, LineupSide side) {
    return side == LineupSide::Home ? state.homeLineup : state.guestLineup;
}

void addToLineup(MatchState& state, LineupSide& activeSide, const RegistryNode* node) {
    if (!node || node->level() != kPlayerLevel) return;
    const LineupSide side = activeSide;
    if (state.controls.tournament)
        activeSide = side == LineupSide::Home ? LineupSide::Guest : LineupSide::Home;

    u8& count = lineupCount(state, side);
    auto& places = lineupPlaces(state, side);
    int place = 1;
    while (place <= count && !places[place].empty())
        ++place;
    if (place > count) {
        if (count >= kLineupPlaces) return;
        ++count;
    }
    places[place] = node->line;
    if (count == 1) takeTeamOf(state, side, *node);
}

void removeFromLineup(MatchState& state, LineupSide side, int row) {
    u8& count = lineupCount(state, side);
    auto& places = lineupPlaces(state, side);
    const int place = row + 1;
    if (count == 0 || place < 1) return;
    if (place < count && !places[place].empty()) {
        places[place].clear();
        return;
    }
    if (place < count) {
        for (int p = place; p < count; ++p)
            places[p] = places[p + 1];
    }
    places[count].clear();
    --count;
}

std::string lineupCellText(const MatchState& state, LineupSide side, int row, int column) {
    const int place = row + 1;
    if (column == 0) return place < kLineupPlaces ? " " + std::to_string(place) : " ";
    const auto& places = side == LineupSide::Home ? state.homeLineup : state.guestLineup;
    const int count = side == LineupSide::Home ? state.homeLineupCount : state.guestLineupCount;
    return place >= 1 && place <= count ? places[place] : std::string{};
}

void loadLineupsIntoSlots(MatchState& state) {
    const bool transliterate = state.transliterateNames != 0;
    const int homeCount = std::min<int>(state.homeLineupCount, kLineupPlaces);
    const int guestCount = std::min<int>(state.guestLineupCount, kLineupPlaces);
    for (int h = 1; h <= homeCount; ++h)
        loadPlayerIntoSlot(state.homeLineup[h], state.player[2 * h - 1], transliterate);
    for (int h = 1; h <= guestCount; ++h)
        loadPlayerIntoSlot(state.guestLineup[h], state.player[2 * h], transliterate);
}

std::vector<std::string> playerCaptions(const MatchState& state) {
    std::vector<std::string> captions;
    for (int slot = 1; slot <= kCaptionedSlots; ++slot)
        captions.push_back(state.player[slot].registryLine.str());
    return captions;
}

} // namespace kuzelna
