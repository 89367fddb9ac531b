#pragma once

// What the buttons of the operator's console do to the match state. The
// window calls these and shows the captions they return.

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace kuzelna {

struct MatchState;

// "Start": starts or stops the lane link and returns the button's new caption
// ("Pracuje" or "Zastaveno"). After the end of the match the link is stopped
// for good and the button keeps reading "konec".
std::string pressStart(MatchState& state);
constexpr const char* kMatchEndCaption = "konec";

// "Vymena jmen": releases a held lane display on the next tick.
void releaseNameSwap(MatchState& state);

// "Zobraz reklamu" / "Vypni reklamu": switches advertising off or on and
// returns the button's new caption.
std::string toggleAdvertising(MatchState& state);

// "Vysl1".."Vysl4": exports the results of the player last recorded on lane k
// (1..4) with the status line showing the progress. Does nothing when no
// player was seen on that lane. `exportPlayer`(slot, home side) may throw: the
// status line then keeps "Tisk k drahy" and the error goes on to the caller.
using PlayerExport = std::function<void(int slot, bool home)>;
void printLanePlayer(MatchState& state, int lane, const PlayerExport& exportPlayer);

// What "Vysl k" asks for: the slot and side of the player last seen on lane k
// and the status line while it is printed; nothing when nobody was seen there.
struct LaneExport {
    int slot;
    bool home;
    std::string status;
};
std::optional<LaneExport> lanePlayerExport(const MatchState& state, int lane);

// A match report workbook as one of the report buttons asks for it.
struct MatchReportRequest {
    int form;
    int duels;
    std::string prefix;
};

enum class ReportButton { New, Old, Youth, Special, ZlinDivision, Monitor, Women };

MatchReportRequest matchReportRequest(const MatchState& state, ReportButton button);

} // namespace kuzelna
