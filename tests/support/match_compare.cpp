#include "support/match_compare.h"

#include <sstream>

namespace kuzelna::testing {
namespace {

class Compare {
public:
    std::vector<std::string> out;

    template <class T> void field(const std::string& name, const T& a, const T& b) {
        if (a == b) return;
        std::ostringstream text;
        text << name << ": " << show(a) << " / " << show(b);
        out.push_back(text.str());
    }
    template <class T, std::size_t N>
    void array(const std::string& name, const std::array<T, N>& a, const std::array<T, N>& b) {
        for (std::size_t i = 0; i < N; ++i)
            field(name + "[" + std::to_string(i) + "]", a[i], b[i]);
    }

private:
    template <class T> static std::string show(const T& v) {
        if constexpr (std::is_integral_v<T>) {
            return std::to_string(static_cast<long long>(v));
        } else if constexpr (std::is_same_v<T, std::string>) {
            return "\"" + v + "\"";
        } else {
            return "\"" + v.str() + "\"";
        }
    }
};

} // namespace

std::vector<std::string> matchDifferences(const MatchState& a, const MatchState& b) {
    Compare c;
    c.field("gameKind", a.gameKind, b.gameKind);
    c.field("laneLayout", a.laneLayout, b.laneLayout);
    c.field("laneCount", a.laneCount, b.laneCount);
    c.field("lanesPerPlayer", a.lanesPerPlayer, b.lanesPerPlayer);
    c.field("pairCount", a.pairCount, b.pairCount);
    c.field("lanePair", a.lanePair, b.lanePair);
    c.field("firstPairOfBlock", a.firstPairOfBlock, b.firstPairOfBlock);
    for (int lane = 1; lane <= kMaxLanes; ++lane) {
        const std::string l = "[" + std::to_string(lane) + "]";
        c.array("laneStatus" + l, a.laneStatus[lane].bytes, b.laneStatus[lane].bytes);
        c.field("laneActive" + l, a.laneActive[lane], b.laneActive[lane]);
        c.field("laneLastCounter" + l, a.laneLastCounter[lane], b.laneLastCounter[lane]);
        c.field("laneWrapped" + l, a.laneWrapped[lane], b.laneWrapped[lane]);
    }
    c.array("laneShownPlayer", a.laneShownPlayer, b.laneShownPlayer);
    c.field("matchOver", a.matchOver, b.matchOver);

    c.field("homeLineupCount", a.homeLineupCount, b.homeLineupCount);
    c.field("guestLineupCount", a.guestLineupCount, b.guestLineupCount);
    c.array("homeLineup", a.homeLineup, b.homeLineup);
    c.array("guestLineup", a.guestLineup, b.guestLineup);
    c.field("homeClubLine", a.homeClubLine, b.homeClubLine);
    c.field("homeTeamLine", a.homeTeamLine, b.homeTeamLine);
    c.field("homeTeamName", a.homeTeamName, b.homeTeamName);
    c.field("guestClubLine", a.guestClubLine, b.guestClubLine);
    c.field("guestTeamLine", a.guestTeamLine, b.guestTeamLine);
    c.field("guestTeamName", a.guestTeamName, b.guestTeamName);
    c.field("manualTeamNames", a.manualTeamNames, b.manualTeamNames);
    c.field("manualHomeName", a.manualHomeName, b.manualHomeName);
    c.field("manualGuestName", a.manualGuestName, b.manualGuestName);
    c.field("homeTeamTitle", a.homeTeamTitle, b.homeTeamTitle);
    c.field("guestTeamTitle", a.guestTeamTitle, b.guestTeamTitle);

    for (int slot = 0; slot <= kMaxSlots; ++slot) {
        const PlayerSlot& p = a.player[static_cast<std::size_t>(slot)];
        const PlayerSlot& q = b.player[static_cast<std::size_t>(slot)];
        const std::string s = "player[" + std::to_string(slot) + "].";
        c.field(s + "registryLine", p.registryLine, q.registryLine);
        c.field(s + "surname", p.surname, q.surname);
        c.field(s + "firstName", p.firstName, q.firstName);
        c.field(s + "regNumber", p.regNumber, q.regNumber);
        c.field(s + "birthDate", p.birthDate, q.birthDate);
        c.field(s + "displayName", p.displayName, q.displayName);
        c.array(s + "throws", p.throws, q.throws);
        c.field(s + "fullTotal", p.fullTotal, q.fullTotal);
        c.field(s + "clearingTotal", p.clearingTotal, q.clearingTotal);
        c.field(s + "faults", p.faults, q.faults);
        c.field(s + "total", p.total, q.total);
        c.array(s + "laneTotal", p.laneTotal, q.laneTotal);
        c.array(s + "setPoints", p.setPoints, q.setPoints);
        c.array(s + "tieBreak", p.tieBreak, q.tieBreak);
        c.array(s + "laneFull", p.laneFull, q.laneFull);
        c.array(s + "laneClearing", p.laneClearing, q.laneClearing);
        c.array(s + "laneFaults", p.laneFaults, q.laneFaults);
        c.field(s + "setPointsTotal", p.setPointsTotal, q.setPointsTotal);
        c.field(s + "duelPoints", p.duelPoints, q.duelPoints);
        c.field(s + "throwCount", p.throwCount, q.throwCount);
        c.array(s + "throwUnseen", p.throwUnseen, q.throwUnseen);
        c.array(s + "unseenPins", p.unseenPins, q.unseenPins);
    }
    c.field("tandem", a.controls.tandem, b.controls.tandem);
    c.field("tournament", a.controls.tournament, b.controls.tournament);
    c.field("score16", a.score16, b.score16);
    c.field("entrantNumberText", a.controls.entrantNumberText, b.controls.entrantNumberText);
    c.field("tournamentFile", a.controls.tournamentFile, b.controls.tournamentFile);
    return c.out;
}

} // namespace kuzelna::testing
