#include "boards/tournament_board.h"

#include "core/match_state.h"
#include "core/typed_number.h"
#include "scoring/slots.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace kuzelna {
namespace {

constexpr int kSinglesEntrantCap = 25; // stored entrants 1..24
constexpr int kPairsEntrantCap = 51;   // stored pairs 1..25
constexpr int kMaxLivePairs = kMaxSlots / 2;

struct Competitor {
    long total = 0;
    long clearing = 0;
    long faults = 0;
    int index = 0; // stored competitors first, then the live ones in slot order
    u16 listValue = 0;
};

// Higher total first, then more clearing pins, fewer faults, lower index.
bool ranksBefore(const Competitor& a, const Competitor& b) {
    if (a.total != b.total) return a.total > b.total;
    if (a.clearing != b.clearing) return a.clearing > b.clearing;
    if (a.faults != b.faults) return a.faults < b.faults;
    return a.index < b.index;
}

// N, the number of the first entrant of the running game, in the range the
// field itself keeps.
int entrantNumber(const MatchState& state) {
    const std::optional<int> n = parseEntrantNumber(state.controls.entrantNumberText);
    if (!n)
        throw std::invalid_argument("'" + state.controls.entrantNumberText +
                                    "' is not a valid entrant number (" + std::to_string(kFirstEntrantNumber) +
                                    ".." + std::to_string(kLastEntrantNumber) + ")");
    return *n;
}

int livePairCount(const MatchState& state) {
    return std::min<int>(state.pairCount, kMaxLivePairs);
}

const PlayerSlot& slot(const MatchState& state, int s) {
    return state.player[static_cast<std::size_t>(s)];
}
const StandingsEntry& entry(const MatchState& state, int k) {
    return state.standings[static_cast<std::size_t>(k)];
}

std::vector<Competitor> singlesCompetitors(const MatchState& state, int n) {
    std::vector<Competitor> all;
    const int stored = std::min(n, kSinglesEntrantCap) - 1;
    for (int k = 1; k <= stored; ++k) {
        const StandingsEntry& e = entry(state, k);
        all.push_back({e.total, e.clearing, e.faults, k, static_cast<u16>(k)});
    }
    for (int s = 1; s <= 2 * livePairCount(state); ++s) {
        const PlayerSlot& p = slot(state, s);
        all.push_back({p.fullTotal + p.clearingTotal, p.clearingTotal, p.faults, stored + s,
                       static_cast<u16>(kLiveCompetitorBase + s)});
    }
    return all;
}

// Stored entrants come in twos (2q-1, 2q). An odd count means the last pair is
// still incomplete: it is left out until its second member's result is stored.
std::vector<Competitor> pairsCompetitors(const MatchState& state, int n) {
    std::vector<Competitor> all;
    const int stored = (std::min(n, kPairsEntrantCap) - 1) / 2;
    for (int q = 1; q <= stored; ++q) {
        const StandingsEntry& a = entry(state, 2 * q - 1);
        const StandingsEntry& b = entry(state, 2 * q);
        all.push_back({long{a.total} + b.total, long{a.clearing} + b.clearing, long{a.faults} + b.faults, q,
                       static_cast<u16>(q)});
    }
    for (int m = 1; m <= livePairCount(state); ++m) {
        const PlayerSlot& a = slot(state, 2 * m - 1);
        const PlayerSlot& b = slot(state, 2 * m);
        all.push_back({long{a.fullTotal} + a.clearingTotal + b.fullTotal + b.clearingTotal,
                       long{a.clearingTotal} + b.clearingTotal, long{a.faults} + b.faults, stored + m,
                       static_cast<u16>(kLiveCompetitorBase + m)});
    }
    return all;
}

std::string withoutLeadingBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// The list leaves a zero blank.
std::string listNumber(long value) {
    return value == 0 ? std::string() : std::to_string(value);
}

TournamentLine listLine(std::string name, long full, long clearing, long total) {
    return {std::move(name), listNumber(full), listNumber(clearing), listNumber(total)};
}

TournamentLine placeLine(const MatchState& state, u16 value) {
    const bool pairs = state.controls.pairs;
    if (value == 0) return {};
    if (value < kLiveCompetitorBase) {
        if (!pairs) {
            if (value > kStandingsEntries) return {};
            const StandingsEntry& e = entry(state, value);
            return listLine(e.name.str(), e.full, e.clearing, e.total);
        }
        if (2 * value > kStandingsEntries) return {};
        const StandingsEntry& a = entry(state, 2 * value - 1);
        const StandingsEntry& b = entry(state, 2 * value);
        return listLine(pairLabel(a.name.str(), b.name.str()), long{a.full} + b.full,
                        long{a.clearing} + b.clearing, long{a.total} + b.total);
    }
    if (!pairs) {
        const PlayerSlot& p = slot(state, std::clamp(value - kLiveCompetitorBase, 1, kMaxSlots));
        return listLine(playerName(p), p.fullTotal, p.clearingTotal, p.fullTotal + p.clearingTotal);
    }
    const int m = std::clamp(value - kLiveCompetitorBase, 1, kMaxLivePairs);
    const PlayerSlot& a = slot(state, 2 * m - 1);
    const PlayerSlot& b = slot(state, 2 * m);
    return listLine(pairLabel(withoutLeadingBlanks(playerName(a)), withoutLeadingBlanks(playerName(b))),
                    long{a.fullTotal} + b.fullTotal, long{a.clearingTotal} + b.clearingTotal,
                    long{a.fullTotal} + a.clearingTotal + b.fullTotal + b.clearingTotal);
}

} // namespace

std::string pairLabel(std::string_view a, std::string_view b) {
    constexpr std::size_t kBudget = 14; // characters of both names together
    constexpr std::size_t kShort = 7;
    if (a.size() + b.size() < kBudget) return std::string(a) + '-' + std::string(b);
    if (a.size() < kShort) {
        b = b.substr(0, kBudget - a.size());
    } else if (b.size() < kShort) {
        a = a.substr(0, kBudget - b.size());
    } else {
        a = a.substr(0, kShort);
        b = b.substr(0, kShort);
    }
    return std::string(a) + '-' + std::string(b);
}

void rankCompetitors(MatchState& state) {
    const int n = entrantNumber(state);
    std::vector<Competitor> all =
        state.controls.pairs ? pairsCompetitors(state, n) : singlesCompetitors(state, n);
    std::sort(all.begin(), all.end(), ranksBefore);
    auto& order = state.standingsOrder;
    std::fill(order.begin() + 1, order.end(), u16{0});
    for (std::size_t place = 1; place <= all.size() && place <= kStandingsPlaces; ++place)
        order[place] = all[place - 1].listValue;
}

TournamentBoardTexts tournamentBoardTexts(MatchState& state) {
    rankCompetitors(state);
    TournamentBoardTexts texts;
    for (int place = 1; place <= kTournamentPlaces; ++place)
        texts.places[static_cast<std::size_t>(place - 1)] =
            placeLine(state, state.standingsOrder[static_cast<std::size_t>(place)]);

    texts.liveNumbersShown = std::clamp(state.laneCount, 0, kLivePositions);
    for (int position = 1; position <= texts.liveNumbersShown; ++position) {
        const int s = slotAtBlockPosition(state.firstPairOfBlock, position);
        if (!validSlot(s)) continue;
        const PlayerSlot& p = slot(state, s);
        texts.live[static_cast<std::size_t>(position - 1)] = {playerName(p), std::to_string(p.fullTotal),
                                                              std::to_string(p.clearingTotal),
                                                              std::to_string(p.fullTotal + p.clearingTotal)};
    }
    return texts;
}

} // namespace kuzelna
