#include "lanes/match_cycle.h"

#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/lane_protocol.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <algorithm>
#include <array>

namespace kuzelna {
namespace {

constexpr i32 kLongHold = 3000; // ticks: a player mid-game keeps the displays for 5 minutes
constexpr i32 kShortHold = 300;

} // namespace

MatchCycle::MatchCycle(MatchState& state, MatchEvents& events) : state_(state), events_(events) {}

std::string MatchCycle::tick() {
    if (!state_.matchOver) {
        closingFramesSent_ = 0;
        finished_ = false;
    } else if (finished_) {
        return {};
    } else {
        // One frame per link step, as in play, so the displays take each one.
        if (state_.pollDelay != 0) {
            --state_.pollDelay;
            return {};
        }
        state_.pollDelay = 2;
        return closingStep();
    }
    if (state_.nameSwapCountdown > 0) {
        --state_.nameSwapCountdown;
        if (state_.nameSwapCountdown % 10 == 0) events_.nameSwapSeconds(state_.nameSwapCountdown / 10);
    }
    if (state_.pollDelay != 0) {
        --state_.pollDelay;
        return {};
    }
    state_.pollDelay = 2;
    return linkStep();
}

std::string MatchCycle::linkStep() {
    const bool commandWaiting =
        std::any_of(state_.laneCommand.begin() + 1, state_.laneCommand.end(), [](u8 c) { return c != 0; });
    if (state_.keyPending || commandWaiting || state_.linkPaused) return commandStep();

    if (--state_.pollsBeforeDisplay != 0) {
        ++state_.pollLane;
        if (onLanesThreeFour(state_)) {
            if (state_.pollLane > 4 || state_.pollLane < 3) state_.pollLane = 3;
        } else if (state_.pollLane > state_.laneCount) {
            state_.pollLane = 1;
        }
        return pollFrame(state_.pollLane);
    }

    state_.pollsBeforeDisplay = 8; // seven polls, then one display frame
    --state_.displayStep;
    if (state_.displayStep == 0) {
        std::string frame = scoreFrame();
        state_.displayStep = static_cast<u8>(state_.controls.displayExtra ? state_.laneCount + 3 : 1);
        return frame;
    }
    if (state_.displayStep > state_.laneCount) {
        state_.displayToggle = !state_.displayToggle;
        return state_.displayToggle ? teamNamesFrame() : matchPointsFrame();
    }
    return laneFrame(state_.displayStep);
}

std::string MatchCycle::closingStep() {
    const bool withPoints = state_.controls.displayExtra;
    switch (closingFramesSent_++) {
    case 0:
        if (!withPoints) finished_ = true;
        return scoreFrame();
    case 1:
        finished_ = true;
        return matchPointsFrame();
    default:
        finished_ = true;
        return {};
    }
}

std::string MatchCycle::commandStep() {
    if (state_.keyPending) {
        state_.keyPending = 0;
        const int lane = state_.controls.keypadLane >= 2 && state_.controls.keypadLane <= kMaxLanes
                             ? state_.controls.keypadLane
                             : 1;
        return keyFrame(lane, state_.keyCode);
    }
    for (int lane = 1; lane <= kMaxLanes; ++lane) {
        if (!state_.laneCommand[lane]) continue;
        state_.laneCommand[lane] = 0;
        return laneStartStopFrame(lane);
    }
    return {};
}

std::string MatchCycle::scoreFrame() {
    if (state_.controls.tournament) return kuzelna::scoreFrame(kTournamentScore);
    const TeamResult pins = teamResult(state_, 16);
    const ScoreDigits digits = scoreDigits(pins.homePins, pins.guestPins);
    // The console mirrors the board: guest pins at x = 600, the difference at
    // 500, home pins at 400, each group drawn from its ones digit leftwards.
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int x = 600 - 100 * static_cast<int>(i / 4) - 10 * static_cast<int>(i % 4);
        events_.scoreDigit(x, digits[i] == kMinusDigit ? std::string("-")
                                                       : std::string(1, static_cast<char>('0' + digits[i])));
    }
    return kuzelna::scoreFrame(digits);
}

std::string MatchCycle::teamNamesFrame() {
    return kuzelna::teamNamesFrame(shownHomeName(state_), shownGuestName(state_));
}

std::string MatchCycle::matchPointsFrame() {
    const TeamResult result = teamResult(state_, 12);
    return kuzelna::matchPointsFrame(result.homeMatchPoints, result.guestMatchPoints,
                                     state_.score16 ? PointScale::Sixteen : PointScale::Eight);
}

LaneDisplay chooseLaneDisplay(const MatchState& s, int lane) {
    LaneDisplay display;
    const int n = laneThrowNumber(s, lane);
    if (n >= 0) {
        const int lastThrow = throwsPerPlayer(s);
        const auto& changes = laneChangeCounts(s.gameKind);
        const bool laneChange =
            std::find(changes.begin(), changes.end(), n) != changes.end() || n == lastThrow;
        int shown = n;
        if (laneChange) {
            // At a lane change the display moves on to the next player's first
            // throw, except after a player's last segment, where there is no
            // next one on the table.
            if (n != 0 && n < lastThrow) ++shown;
            display.held = s.nameSwapCountdown > 0;
        } else {
            display.restartHold = n > longHoldAbove(s.gameKind) ? kLongHold : kShortHold;
        }
        display.throwIndex = shown == 0 ? 0 : shown - 1;
        display.slot = Zjisti_cislo_hrace(s, display.throwIndex, lane);
    } else if (s.laneFinished[lane]) {
        // Done with the block while others still play: the lane keeps the one
        // who finished on it. The block's first player for the lane is still
        // throwing on another lane and would show there twice.
        display.throwIndex = throwsPerPlayer(s) - 1;
        display.slot = Zjisti_cislo_hrace(s, display.throwIndex, lane);
    } else {
        display.slot = blankLaneSlot(s, lane);
        display.held = s.nameSwapCountdown > 0;
    }
    return display;
}

std::string MatchCycle::laneFrame(int lane) {
    MatchState& s = state_;
    const LaneDisplay display = chooseLaneDisplay(s, lane);
    if (display.restartHold > 0) s.nameSwapCountdown = display.restartHold;
    if (!display.held) {
        s.lanePlayerOnDisplay[lane] = static_cast<i16>(display.slot);
        s.laneDisplayThrows[lane] = static_cast<i16>(display.throwIndex);
    }

    const PlayerSlot& player = slotOrEmpty(s, display.slot);
    const int physical = physicalLane(s, lane);

    // The displays count in half points; whole-set scoring keeps whole set points.
    const int halfPoints = s.controls.tandem ? 2 * player.setPointsTotal : player.setPointsTotal;
    if (s.controls.setPointDisplay == SetPointDisplay::Display)
        return laneSetPointsFrame(physical, halfPoints);

    if (display.held && !s.laneFrameCache[lane].empty()) return s.laneFrameCache[lane];

    SetPointOverlay overlay{0, halfPoints};
    switch (s.controls.setPointDisplay) {
    case SetPointDisplay::Chars12:
        overlay.end = 12;
        break;
    case SetPointDisplay::Chars15:
        overlay.end = 15;
        break;
    case SetPointDisplay::Chars18:
        overlay.end = 18;
        break;
    default:
        break;
    }
    std::string frame = laneNameFrame(physical, player.displayName.str(), overlay);
    s.laneFrameCache[lane] = frame;
    return frame;
}

} // namespace kuzelna
