#include "lanes/match_cycle.h"

#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/frame_codec.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <algorithm>
#include <array>

namespace kuzelna {
namespace {

constexpr int kNameLength = 18;
constexpr i32 kLongHold = 3000; // ticks: a player mid-game keeps the displays for 5 minutes
constexpr i32 kShortHold = 300;
constexpr unsigned char kMinusCode = 0x8A;

char hi(int value) {
    return static_cast<char>(0x80 | (value & 0xFF));
}

// 18 text bytes with bit 7 set (A0 past the end of the text), then the three
// bytes that carry the characters' own bit 7.
std::string textBytes(std::string_view text) {
    std::string out;
    std::array<int, 3> highBits{};
    for (int i = 0; i < kNameLength; ++i) {
        if (static_cast<std::size_t>(i) < text.size()) {
            const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
            out.push_back(hi(c));
            if (c & 0x80) highBits[static_cast<std::size_t>(i / 7)] |= 1 << (i % 7);
        } else {
            out.push_back(static_cast<char>(0xA0));
        }
    }
    for (int bits : highBits)
        out.push_back(hi(bits));
    return out;
}

std::string eightPointBytes(int doubled) {
    return {static_cast<char>(doubled % 2 ? 0x85 : 0x80), hi(doubled / 2)};
}

std::string sixteenPointBytes(int value) {
    return {hi(value % 10), hi(value / 10 % 10)};
}

std::string paddedTo(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

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
        return encodeSentFrame(
            std::string{static_cast<char>(0x84), hi(state_.pollLane - 1), static_cast<char>(0x81)});
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
        return encodeSentFrame(
            std::string{static_cast<char>(0x85), hi(lane - 1), static_cast<char>(0x82), hi(state_.keyCode)});
    }
    for (int lane = 1; lane <= kMaxLanes; ++lane) {
        if (!state_.laneCommand[lane]) continue;
        state_.laneCommand[lane] = 0;
        return encodeSentFrame(std::string{static_cast<char>(0x85), hi(lane - 1), static_cast<char>(0x82),
                                           static_cast<char>(0xF8)});
    }
    return {};
}

std::string MatchCycle::scoreFrame() {
    std::string body{static_cast<char>(0x90), static_cast<char>(0x94), static_cast<char>(0x81)};
    if (state_.controls.tournament) {
        for (int code : {0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x8B, 0x8C})
            body.push_back(static_cast<char>(code));
        return encodeSentFrame(body);
    }
    const TeamResult pins = teamResult(state_, 16);
    const int home = pins.homePins, guest = pins.guestPins;
    const int difference = std::abs(home - guest);
    int x = 600;
    auto digit = [&](int value, int place) {
        const int d = value / place % 10;
        body.push_back(hi(d));
        events_.scoreDigit(x, std::string(1, static_cast<char>('0' + d)));
        x -= 10;
    };
    auto minus = [&] {
        body.push_back(static_cast<char>(kMinusCode));
        events_.scoreDigit(x, "-");
        x -= 10;
    };
    for (int place : {1, 10, 100, 1000})
        digit(guest, place);
    x = 500;
    if (home > guest && difference < 1000) {
        minus();
        for (int place : {1, 10, 100})
            digit(difference, place);
    } else {
        for (int place : {1, 10, 100})
            digit(difference, place);
        if (guest > home && difference < 1000 && difference != 0) {
            minus();
        } else {
            digit(difference, 1000);
        }
    }
    x = 400;
    for (int place : {1, 10, 100, 1000})
        digit(home, place);
    return encodeSentFrame(body);
}

std::string MatchCycle::teamNamesFrame() {
    const std::string text = paddedTo(shownHomeName(state_), 9) + paddedTo(shownGuestName(state_), 9);
    return encodeSentFrame(
        std::string{static_cast<char>(0x99), static_cast<char>(0x9E), static_cast<char>(0x81)} +
        textBytes(text));
}

std::string MatchCycle::matchPointsFrame() {
    const TeamResult result = teamResult(state_, 12);
    std::string body;
    for (int code : {0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85})
        body.push_back(static_cast<char>(code));
    const bool sixteen = state_.score16 != 0;
    body.append(2, static_cast<char>(sixteen ? 0x8C : 0x8B));
    auto points = [&](int value) { return sixteen ? sixteenPointBytes(value) : eightPointBytes(value); };
    body += points(result.guestMatchPoints);
    body.push_back(static_cast<char>(0x81));
    body += points(result.homeMatchPoints);
    return encodeSentFrame(body);
}

std::string MatchCycle::laneFrame(int lane) {
    MatchState& s = state_;
    const int n = laneThrowNumber(s, lane);
    int slot = 0;
    int throwIndex = 1;
    bool held = false;
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
            held = s.nameSwapCountdown > 0;
        } else {
            s.nameSwapCountdown = n > longHoldAbove(s.gameKind) ? kLongHold : kShortHold;
        }
        throwIndex = shown == 0 ? 0 : shown - 1;
        slot = Zjisti_cislo_hrace(s, throwIndex, lane);
    } else if (s.laneFinished[lane]) {
        // Done with the block while others still play: the lane keeps the one
        // who finished on it. The block's first player for the lane is still
        // throwing on another lane and would show there twice.
        throwIndex = throwsPerPlayer(s) - 1;
        slot = Zjisti_cislo_hrace(s, throwIndex, lane);
    } else {
        slot = blankLaneSlot(s, lane);
        held = s.nameSwapCountdown > 0;
    }
    if (!held) {
        s.lanePlayerOnDisplay[lane] = static_cast<i16>(slot);
        s.laneDisplayThrows[lane] = static_cast<i16>(throwIndex);
    }

    const PlayerSlot& player = slotOrEmpty(s, slot);
    const int physical = physicalLane(s, lane);

    // The displays count in half points; whole-set scoring keeps whole set points.
    const int halfPoints = s.controls.tandem ? 2 * player.setPointsTotal : player.setPointsTotal;
    if (s.controls.setPointDisplay == SetPointDisplay::Display) {
        std::string body{static_cast<char>(0x90), hi(0x10 + physical - 1), static_cast<char>(0x81)};
        for (int code : {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B})
            body.push_back(static_cast<char>(code));
        if (halfPoints <= 8) body += eightPointBytes(halfPoints);
        return encodeSentFrame(body);
    }

    if (held && !s.laneFrameCache[lane].empty()) return s.laneFrameCache[lane];

    std::string body{static_cast<char>(0x99), hi(0x40 + physical - 1), static_cast<char>(0x81)};
    body += textBytes(player.displayName.str());
    int overlayEnd = 0;
    switch (s.controls.setPointDisplay) {
    case SetPointDisplay::Chars12:
        overlayEnd = 12;
        break;
    case SetPointDisplay::Chars15:
        overlayEnd = 15;
        break;
    case SetPointDisplay::Chars18:
        overlayEnd = 18;
        break;
    default:
        break;
    }
    if (overlayEnd) {
        // Plain characters without bit 7 over the last three of the first 12/15/18.
        const int points = halfPoints;
        const char whole = static_cast<char>('0' + points / 2 % 10);
        const std::size_t at =
            3 + static_cast<std::size_t>(overlayEnd) - 3; // body offset of the first of the three
        if (points % 2) {
            body[at] = whole;
            body[at + 1] = '.';
            body[at + 2] = '5';
        } else {
            body[at + 2] = whole;
        }
    }
    std::string frame = encodeSentFrame(body);
    s.laneFrameCache[lane] = frame;
    return frame;
}

} // namespace kuzelna
