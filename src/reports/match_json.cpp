#include "reports/match_json.h"

#include "boards/results_board.h"
#include "core/cp1250.h"
#include "core/json_writer.h"
#include "core/match_state.h"
#include "reports/overview.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <algorithm>

namespace kuzelna {
namespace {

std::string utf8(std::string_view cp1250Bytes) {
    return cp1250::toUtf8(cp1250Bytes);
}

// The kind's caption with its padding folded: "60   Hs" reads "60 Hs".
std::string foldedLabel(int gameKind) {
    std::string label;
    for (const char c : gameKindLabel(gameKind)) {
        if (c == ' ' && !label.empty() && label.back() == ' ') continue;
        label += c;
    }
    return label;
}

bool anyThrowRecorded(const MatchState& state) {
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        if (state.player[static_cast<std::size_t>(slot)].throwCount > 0) return true;
    }
    return false;
}

// The team's name as the console shows it, or its line-up title ("Domácí",
// "Hosté") while no name is set.
std::string teamName(const MatchState& state, bool home) {
    const std::string name = home ? shownHomeName(state) : shownGuestName(state);
    if (name.find_first_not_of(' ') != std::string::npos) return name;
    const std::string& title = home ? state.homeTeamTitle : state.guestTeamTitle;
    const auto first = title.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : title.substr(first, title.find_last_not_of(' ') - first + 1);
}

void writeSide(JsonWriter& json, const MatchState& state, bool home, const ResultsBoardSideFigures& side) {
    json.beginObject();
    json.key("name").value(utf8(teamName(state, home)));
    json.key("title").value(utf8(home ? state.homeTeamTitle : state.guestTeamTitle));
    json.key("pins").value(side.pins());
    json.key("full").value(side.full);
    json.key("clearing").value(side.clearing);
    int misses = 0;
    for (int slot = home ? 1 : 2; slot <= slotsInMatch(state); slot += 2)
        misses += faultsMade(state, slot);
    json.key("misses").value(misses);
    json.key("setPoints").halved(side.setPoints);
    json.key("duelPoints").halved(side.duelPoints);
    json.key("matchPoints").halved(side.matchPoints);
    json.endObject();
}

void writePlayer(JsonWriter& json, const MatchState& state, int slot, MatchJsonView view) {
    const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
    const bool home = slot % 2 == 1;
    const int made = throwsMade(state, slot);
    const int perLane = throwsPerLane(state.gameKind);
    json.beginObject();
    json.key("slot").value(slot);
    json.key("team").value(home ? "home" : "guest");
    json.key("position").value((slot + 1) / 2);
    json.key("duel").value((slot + 1) / 2);
    json.key("opponent").value(duelPartner(slot));
    json.key("name").value(utf8(compactPlayerName(p)));
    json.key("surname").value(utf8(p.surname.str()));
    json.key("firstName").value(utf8(p.firstName.str()));
    json.key("registration").value(utf8(p.regNumber.str()));
    json.key("displayName").value(utf8(p.displayName.str()));
    if (view == MatchJsonView::Archive) json.key("registryLine").value(utf8(p.registryLine.str()));
    json.key("throwCount").value(made);
    json.key("throws").beginArray();
    for (int t = 1; t <= made; ++t)
        json.value(static_cast<int>(p.throws[static_cast<std::size_t>(t)]));
    json.endArray();
    json.key("full").value(static_cast<int>(p.fullTotal));
    json.key("clearing").value(static_cast<int>(p.clearingTotal));
    json.key("misses").value(faultsMade(state, slot));
    json.key("pins").value(p.fullTotal + p.clearingTotal);
    json.key("setPoints").halved(shownSetPointsDoubled(state, slot));
    json.key("duelPoints").halved(shownDuelPointsDoubled(state, slot));
    json.key("sets").beginArray();
    for (int k = 1; k <= std::min(static_cast<int>(state.lanesPerPlayer), kMaxSets); ++k) {
        const auto set = static_cast<std::size_t>(k);
        json.beginObject();
        json.key("set").value(k);
        json.key("lane").value(physicalLane(state, overviewLaneOfSet(state, slot, k)));
        json.key("played").value(made > (k - 1) * perLane);
        json.key("pins").value(static_cast<int>(p.laneTotal[set]));
        json.key("full").value(static_cast<int>(p.laneFull[set]));
        json.key("clearing").value(static_cast<int>(p.laneClearing[set]));
        json.key("misses").value(faultsMade(state, slot, k));
        json.key("setPoints").halved(state.controls.tandem ? 2L * p.setPoints[set] : p.setPoints[set]);
        json.key("tieBreak").value(p.tieBreak[set] != 0);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void writeLanes(JsonWriter& json, const MatchState& state) {
    json.beginArray();
    const int lanes = std::clamp(static_cast<int>(state.laneCount), 0, kMaxLanes);
    for (int lane = 1; lane <= lanes; ++lane) {
        const LaneStatus& status = state.laneStatus[static_cast<std::size_t>(lane)];
        const int counter = laneThrowNumber(state, lane);
        const int slot = Zjisti_cislo_hrace(state, counter > 0 ? counter - 1 : 0, lane);
        json.beginObject();
        json.key("lane").value(physicalLane(state, lane));
        json.key("counter");
        counter >= 0 ? json.value(counter) : json.null();
        json.key("pins").value(status.pins());
        json.key("settled").value(status.settled());
        json.key("slot");
        slotInMatch(state, slot) ? json.value(slot) : json.null();
        json.endObject();
    }
    json.endArray();
}

void writeLineup(JsonWriter& json, const OneBased<std::string, kLineupPlaces>& lineup, int count) {
    json.beginArray();
    for (int h = 1; h <= std::min(count, kLineupPlaces); ++h)
        json.value(utf8(lineup[static_cast<std::size_t>(h)]));
    json.endArray();
}

void writeSetup(JsonWriter& json, const MatchState& state, MatchJsonView view) {
    json.beginObject();
    json.key("gameKind").value(static_cast<int>(state.gameKind));
    json.key("laneLayout").value(static_cast<int>(state.laneLayout));
    json.key("lanePair").value(static_cast<int>(state.lanePair));
    json.key("pairCount").value(static_cast<int>(state.pairCount));
    json.key("score16").value(state.score16 != 0);
    json.key("wholeSets").value(state.controls.tandem);
    json.key("tournament").value(state.controls.tournament);
    json.key("pairs").value(state.controls.pairs);
    json.key("firstEntrant").value(utf8(state.controls.entrantNumberText));
    json.key("homeTeamName").value(utf8(state.homeTeamName));
    json.key("guestTeamName").value(utf8(state.guestTeamName));
    json.key("homeClubLine").value(utf8(state.homeClubLine));
    json.key("guestClubLine").value(utf8(state.guestClubLine));
    json.key("homeTeamLine").value(utf8(state.homeTeamLine));
    json.key("guestTeamLine").value(utf8(state.guestTeamLine));
    json.key("homeTeamTitle").value(utf8(state.homeTeamTitle));
    json.key("guestTeamTitle").value(utf8(state.guestTeamTitle));
    json.key("manualTeamNames").value(state.manualTeamNames != 0);
    json.key("manualHomeName").value(utf8(state.manualHomeName));
    json.key("manualGuestName").value(utf8(state.manualGuestName));
    if (view == MatchJsonView::Archive) {
        json.key("homeLineup");
        writeLineup(json, state.homeLineup, state.homeLineupCount);
        json.key("guestLineup");
        writeLineup(json, state.guestLineup, state.guestLineupCount);
    }
    json.endObject();
}

} // namespace

std::string matchPhase(const MatchState& state) {
    if (state.matchOver) return "finished";
    return state.running || anyThrowRecorded(state) ? "playing" : "waiting";
}

std::string matchJson(const MatchState& state, const MatchJsonContext& context) {
    const ResultsBoardFigures figures = resultsBoardFigures(state);
    const int duelsPerBlock = std::max(1, static_cast<int>(state.laneCount) / 2);

    JsonWriter json;
    json.beginObject();
    json.key("format").value("kuzelna-match");
    json.key("version").value(kMatchJsonVersion);
    json.key("view").value(context.view == MatchJsonView::Archive ? "archive" : "public");
    if (!context.savedAt.empty()) json.key("savedAt").value(context.savedAt);
    if (!context.program.empty()) json.key("program").value(context.program);
    json.key("alley").value(utf8(state.alleyName));
    json.key("gameKind").value(static_cast<int>(state.gameKind));
    json.key("gameKindLabel").value(foldedLabel(state.gameKind));
    json.key("throwsPerHalf").value(throwsPerHalf(state.gameKind));
    json.key("lanesPerPlayer").value(static_cast<int>(state.lanesPerPlayer));
    json.key("throwsPerPlayer").value(throwsPerPlayer(state));
    json.key("laneCount").value(static_cast<int>(state.laneCount));
    json.key("pairCount").value(static_cast<int>(state.pairCount));
    json.key("block").value((state.firstPairOfBlock - 1) / duelsPerBlock + 1);
    json.key("blocks").value((state.pairCount + duelsPerBlock - 1) / duelsPerBlock);
    json.key("firstPairOfBlock").value(static_cast<int>(state.firstPairOfBlock));
    json.key("state").value(matchPhase(state));
    json.key("home");
    writeSide(json, state, true, figures.home);
    json.key("guest");
    writeSide(json, state, false, figures.guest);
    json.key("players").beginArray();
    for (int slot = 1; slot <= slotsInMatch(state); ++slot)
        writePlayer(json, state, slot, context.view);
    json.endArray();
    json.key("lanes");
    writeLanes(json, state);
    json.key("setup");
    writeSetup(json, state, context.view);
    json.endObject();
    return json.text();
}

} // namespace kuzelna
