#include "reports/datagrams.h"

#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/slots.h"

#include <algorithm>
#include <array>

namespace kuzelna {
namespace {

constexpr std::string_view kProgramIdentifier = "Pinwardhall_Pinstacks1.02";
constexpr std::string_view kLaneWord = "Dr\xE1ha"; // "Dráha"
constexpr int kLabelWidth = 15;
constexpr int kNameWidth = 30;
constexpr int kHalfWidth = 25;
constexpr int kPublicNameWidth = 10;
constexpr std::size_t kReceivedShown = 64;
// Sets whose words every normal datagram carries; the longer layout adds the rest.
constexpr int kShortLayoutSets = 4;

// Windows-1250 bytes of the letters the lane PCs cannot show, and their ASCII.
constexpr std::pair<unsigned char, char> kStripping[] = {
    {0x8A, 'S'}, {0x8E, 'Z'}, {0x9A, 's'}, {0x9E, 'z'}, {0xBC, 'L'}, {0xBE, 'l'}, {0xC1, 'A'}, {0xC4, 'A'},
    {0xC8, 'C'}, {0xC9, 'E'}, {0xCC, 'E'}, {0xCD, 'I'}, {0xD2, 'N'}, {0xD3, 'O'}, {0xD4, 'O'}, {0xD8, 'R'},
    {0xD9, 'U'}, {0xDA, 'U'}, {0xDD, 'Y'}, {0xE1, 'a'}, {0xE4, 'a'}, {0xE8, 'c'}, {0xE9, 'e'}, {0xEC, 'e'},
    {0xED, 'i'}, {0xF2, 'n'}, {0xF3, 'o'}, {0xF4, 'o'}, {0xF8, 'r'}, {0xF9, 'u'}, {0xFA, 'u'}, {0xFD, 'y'},
};

char strippedByte(char byte) {
    for (const auto& [from, to] : kStripping) {
        if (static_cast<unsigned char>(byte) == from) return to;
    }
    return byte;
}

// A text field: stripped, cut to `width`, padded with spaces.
void appendField(std::string& out, std::string_view text, int width) {
    const auto size = static_cast<std::size_t>(width);
    std::string field = stripDiacritics(text.substr(0, std::min(text.size(), size)));
    field.resize(size, ' ');
    out += field;
}

void appendWord(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

std::string header(char sumsFlag, char type) {
    std::string out = "   ";
    out += kProgramIdentifier;
    out += ' ';
    out += sumsFlag;
    out += type;
    return out;
}

std::string laneLabel(int lane) {
    return std::string(kLaneWord) + std::to_string(lane);
}

// The slot whose name the display of `lane` shows; 0 (the unused, empty slot)
// for anything out of range.
const PlayerSlot& playerOnLane(const MatchState& state, int lane) {
    if (lane < 1 || lane > kMaxLanes) return state.player[0];
    return slotOrEmpty(state, state.lanePlayerOnDisplay[static_cast<std::size_t>(lane)]);
}

// The number of the last throw before the lane's current set.
int throwsBeforeCurrentSet(const MatchState& state, int lane) {
    if (lane < 1 || lane > kMaxLanes) return 0;
    const int perSet = throwsPerLane(state.gameKind);
    const int shown = std::max<int>(0, state.laneDisplayThrows[static_cast<std::size_t>(lane)]);
    const int setIndex = std::min(shown / perSet, datagramSets(state.gameKind) - 1);
    return setIndex * perSet;
}

void appendHalf(std::string& out, const PlayerSlot& slot, int firstThrow, int half) {
    for (int t = 1; t <= kHalfWidth; ++t) {
        const int index = firstThrow + t;
        if (t <= half && index >= 1 && index <= kMaxThrows) {
            out += static_cast<char>(48 + slot.throws[static_cast<std::size_t>(index)]);
        } else {
            out += ' ';
        }
    }
}

void appendLaneWords(std::string& out, const PlayerSlot& slot, bool tandem) {
    for (int k = 1; k <= kShortLayoutSets; ++k)
        appendWord(out, slot.laneFull[static_cast<std::size_t>(k)]);
    for (int k = 1; k <= kShortLayoutSets; ++k)
        appendWord(out, slot.laneClearing[static_cast<std::size_t>(k)]);
    for (int k = 1; k <= kShortLayoutSets; ++k) {
        const auto set = static_cast<std::size_t>(k);
        appendWord(out, tandem ? slot.setPoints[set] : slot.laneFaults[set]);
    }
}

void appendLateSetWords(std::string& out, const PlayerSlot& slot) {
    for (std::size_t k : {5, 6})
        appendWord(out, slot.laneFull[k]);
    for (std::size_t k : {5, 6})
        appendWord(out, slot.laneClearing[k]);
    for (std::size_t k : {5, 6})
        appendWord(out, slot.laneFaults[k]);
}

std::string hostOf(const MatchState& state, int pc) {
    if (pc < 1 || pc > 6) return {};
    return state.monitorHost[static_cast<std::size_t>(pc)];
}

} // namespace

std::string stripDiacritics(std::string_view text) {
    std::string out(text);
    for (char& byte : out)
        byte = strippedByte(byte);
    return out;
}

std::pair<int, int> datagramLanePair(int counter, bool monitorTwoLanes) {
    if (monitorTwoLanes) return {2 * counter - 1, 2 * counter};
    return {counter, partnerLane(counter)};
}

std::string normalDatagram(const MatchState& state, int counter) {
    const ConsoleControls& controls = state.controls;
    const auto [q, r] = datagramLanePair(counter, controls.monitorTwoLanes);
    const int half = throwsPerHalf(state.gameKind);
    const bool lateSets = datagramSets(state.gameKind) > kShortLayoutSets;
    const PlayerSlot& first = playerOnLane(state, q);
    const PlayerSlot& second = playerOnLane(state, r);

    const char type = lateSets ? '2' : (controls.monitorTwoLanes ? ' ' : '1');
    std::string out = header(controls.monitorSums ? '1' : ' ', type);
    out += state.lanesPerPlayer == 2 ? '1' : ' ';
    const int firstStart = throwsBeforeCurrentSet(state, q);
    const int secondStart = throwsBeforeCurrentSet(state, r);
    appendHalf(out, first, firstStart, half);
    appendHalf(out, first, firstStart + half, half);
    appendHalf(out, second, secondStart, half);
    appendHalf(out, second, secondStart + half, half);
    appendLaneWords(out, first, controls.tandem);
    appendLaneWords(out, second, controls.tandem);
    appendField(out, laneLabel(q), kLabelWidth);
    appendField(out, laneLabel(r), kLabelWidth);
    appendField(out, playerName(first), kNameWidth);
    appendField(out, playerName(second), kNameWidth);
    if (lateSets) {
        appendLateSetWords(out, first);
        appendLateSetWords(out, second);
    }
    return out;
}

std::string advertDatagram(const MatchState& state) {
    std::string out = header(' ', '3');
    out += '0';
    out += static_cast<char>(state.advertNumber);
    out += "     ";
    return out;
}

std::string publicPlayDatagram(const MatchState& state, int lane) {
    static const PublicPlayLane kNoGame{};
    const PublicPlayLane& game =
        lane >= 1 && lane <= kMaxLanes ? state.publicLane[static_cast<std::size_t>(lane)] : kNoGame;
    std::string out = header(' ', '3');
    out += '1';
    out += static_cast<char>(game.playerCount);
    out += static_cast<char>(game.currentPlayer);
    for (std::size_t i = 1; i <= 6; ++i)
        appendField(out, game.playerName[i].str(), kPublicNameWidth);
    for (u8 position : game.gamePosition)
        out += static_cast<char>(position);
    for (u8 position : game.auxPosition)
        out += static_cast<char>(position);
    out += "     ";
    return out;
}

std::string suddenVictoryDatagram(const MatchState& state, int pair) {
    const auto p = static_cast<std::size_t>(std::clamp(pair, 1, 3));
    const auto& a = state.svState.svFirst[p];
    const auto& b = state.svState.svSecond[p];
    int sumA = 0;
    int sumB = 0;
    for (std::size_t k = 1; k <= 3; ++k) {
        sumA += a[k];
        sumB += b[k];
    }
    const bool nothingThrown = std::all_of(a.begin() + 1, a.end(), [](u8 v) { return v == 0; }) &&
                               std::all_of(b.begin() + 1, b.end(), [](u8 v) { return v == 0; });

    std::string out = header(' ', '4');
    out += nothingThrown ? '0' : ' ';
    for (std::size_t k = 1; k <= 3; ++k)
        out += (a[k] || b[k]) ? static_cast<char>(48 + a[k]) : ' ';
    for (std::size_t k = 1; k <= 3; ++k)
        out += (a[k] || b[k]) ? static_cast<char>(48 + b[k]) : ' ';
    appendField(out, std::to_string(sumA), 2);
    appendField(out, std::to_string(sumB), 2);
    out += sumA > sumB ? '1' : '0';
    out += sumB > sumA ? '1' : '0';
    const int lanePairNumber = static_cast<int>(p);
    appendField(out, laneLabel(2 * lanePairNumber - 1), kLabelWidth);
    appendField(out, laneLabel(2 * lanePairNumber), kLabelWidth);

    auto [q, r] = datagramLanePair(lanePairNumber, state.controls.monitorTwoLanes);
    if (state.controls.svSwapLanes[p]) std::swap(q, r);
    appendField(out, playerName(playerOnLane(state, q)), kNameWidth);
    appendField(out, playerName(playerOnLane(state, r)), kNameWidth);
    return out;
}

OutgoingDatagram MonitorRotation::next(MatchState& state) {
    ConsoleControls& controls = state.controls;
    ++laneCounter_;
    const int last = controls.monitorTwoLanes ? state.laneCount / 2 : state.laneCount;
    if (laneCounter_ > last) laneCounter_ = 1;
    controls.systemRunningIndicator = !controls.systemRunningIndicator;

    OutgoingDatagram out;
    const int c = laneCounter_;
    out.laneCounter = c;
    out.host = hostOf(state, c);
    if (c >= 1 && c <= 3 && state.svState.svOn[static_cast<std::size_t>(c)]) {
        out.kind = DatagramKind::SuddenVictory;
        out.bytes = suddenVictoryDatagram(state, c);
    } else if (state.advertNumber != 0) {
        out.kind = DatagramKind::Advert;
        out.bytes = advertDatagram(state);
    } else if (controls.publicPlayOn) {
        out.kind = DatagramKind::PublicPlay;
        out.bytes = publicPlayDatagram(state, c);
    } else {
        out.kind = DatagramKind::Normal;
        // Two lanes played on lanes 3-4: their monitors are the third and fourth
        // PC, or the second when one monitor serves two lanes.
        if (onLanesThreeFour(state)) {
            if (c == 1) out.host = hostOf(state, 3);
            if (c == 2) out.host = hostOf(state, 4);
            if (controls.monitorTwoLanes) out.host = hostOf(state, 2);
        }
        out.bytes = normalDatagram(state, c);
    }
    return out;
}

std::string receivedDatagramStatus(std::string_view sender, std::string_view bytes) {
    std::string out(sender);
    out += std::to_string(bytes.size());
    out += ": ";
    const std::string_view shown = bytes.substr(0, std::min(bytes.size(), kReceivedShown));
    for (char byte : shown) {
        const auto code = static_cast<unsigned char>(byte);
        out += code < 0x20 || code == 0x7F ? '.' : byte;
    }
    return out;
}

} // namespace kuzelna
