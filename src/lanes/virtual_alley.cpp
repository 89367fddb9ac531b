#include "lanes/virtual_alley.h"

#include "core/cp1250.h"
#include "lanes/frame_codec.h"
#include "lanes/lane_protocol.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"

#include <algorithm>
#include <bit>
#include <cstdio>

namespace kuzelna {
namespace {

// Longest frame the server sends is 27 bytes; a start byte with no end byte this
// far behind it belongs to a torn frame.
constexpr std::size_t kLongestSentFrame = 64;

unsigned char at(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

// A point value as the display shows it.
std::string pointsText(int value, PointScale scale) {
    if (scale == PointScale::Sixteen) return std::to_string(value);
    return std::to_string(value / 2) + (value % 2 ? ".5" : "");
}

char scoreChar(unsigned char code) {
    if (code <= 9) return static_cast<char>('0' + code);
    return code == kMinusDigit ? '-' : ' ';
}

} // namespace

VirtualAlley::VirtualAlley(const AlleySetup& setup)
    : setup_(setup), paceRandom_(setup.seed), noiseRandom_(setup.seed ^ 0x9E3779B9u) {
    laneCount_ = laneCountFor(setup_.laneLayout);
    firstPhysical_ = physicalLane(laneCount_, setup_.lanePair, 1);
    throwsPerLane_ = throwsPerLane(setup_.gameKind);
    const int duelsPerBlock = laneCount_ / 2;
    blocks_ = std::max(1, (setup_.duels + duelsPerBlock - 1) / duelsPerBlock);
    for (int l = 1; l <= laneCount_; ++l) {
        Lane lane;
        lane.logical = l;
        lane.physical = l + firstPhysical_ - 1;
        lanes_.push_back(lane);
    }
    positionCount_.assign(static_cast<std::size_t>(laneCount_) + 1, 0);
    positionPins_.assign(static_cast<std::size_t>(laneCount_) + 1, 0);
    positionSeen_.assign(static_cast<std::size_t>(laneCount_) + 1, true);
    playerRandom_.resize(static_cast<std::size_t>(laneCount_) + 1);
    startBlock();
}

void VirtualAlley::startBlock() {
    std::fill(positionCount_.begin(), positionCount_.end(), 0);
    std::fill(positionPins_.begin(), positionPins_.end(), 0);
    std::fill(positionSeen_.begin(), positionSeen_.end(), true);
    for (std::size_t p = 1; p < playerRandom_.size(); ++p) {
        std::seed_seq seed{setup_.seed, static_cast<std::uint32_t>(block_), static_cast<std::uint32_t>(p)};
        playerRandom_[p].seed(seed);
    }
    for (Lane& lane : lanes_) {
        lane.phase = Phase::Playing;
        lane.counter = 0;
        lane.pins = 0;
        lane.standing = 0x1FF;
        lane.settled = true;
        lane.deliveries = 0;
        lane.thrower = 0;
        lane.segmentPins = 0;
        lane.nextThrowAt = clock_ + throwInterval();
    }
}

std::int64_t VirtualAlley::throwInterval() {
    if (fastPace()) return 0;
    // A player takes his time: 70 % to 130 % of the mean.
    const int spread = setup_.throwMs * 6 / 10;
    return setup_.throwMs * 7 / 10 + static_cast<std::int64_t>(paceRandom_() % (spread + 1));
}

void VirtualAlley::setClock(std::int64_t ms) {
    clock_ = std::max(clock_, ms);
    for (Lane& lane : lanes_)
        advanceLane(lane, false);
    advanceBlock();
}

void VirtualAlley::advanceLane(Lane& lane, bool atPoll) {
    // In the fast pace everything happens at polls, one visible change per poll.
    const auto due = [&](std::int64_t t) { return fastPace() ? atPoll : clock_ >= t; };
    const int lastThrow = throwsPerPlayerFor(setup_.gameKind);
    for (;;) {
        switch (lane.phase) {
        case Phase::Playing:
            if (!lane.settled) {
                if (!due(lane.settleAt)) return;
                lane.settled = true;
                lane.deliveries = 0;
            } else if (!lane.delivered()) {
                return; // the server has not seen this throw yet
            } else if (lane.counter >= lastThrow) {
                lane.phase = Phase::Final;
                lane.blankAt = clock_ + setup_.throwMs / 2;
                continue; // nothing visible changed
            } else if (!due(lane.nextThrowAt) || !throwOnLane(lane)) {
                return;
            }
            break;
        case Phase::Final:
            if (!due(lane.blankAt)) return;
            lane.phase = Phase::Blank;
            lane.deliveries = 0;
            break;
        case Phase::Blank:
            return;
        }
        if (fastPace()) return;
    }
}

void VirtualAlley::advanceBlock() {
    if (finished_) return;
    if (blockPending_) {
        if (fastPace() || clock_ >= blockStartAt_) {
            blockPending_ = false;
            ++block_;
            startBlock();
        }
        return;
    }
    for (const Lane& lane : lanes_) {
        // A blank lane stays blank: one answer is enough for the server to know.
        if (lane.phase != Phase::Blank || lane.deliveries == 0) return;
    }
    if (block_ + 1 >= blocks_) {
        finished_ = true;
        return;
    }
    blockPending_ = true;
    blockStartAt_ = clock_ + setup_.throwMs;
    if (fastPace()) advanceBlock();
}

bool VirtualAlley::throwOnLane(Lane& lane) {
    if (lane.stopped) return false;
    const int index = lane.counter; // 0-based index of the coming throw
    const int position = rotationPosition(setup_.laneLayout, lane.logical, index / throwsPerLane_);
    if (position < 1 || position > laneCount_) return false;
    const auto p = static_cast<std::size_t>(position);
    // The player is still on his previous lane, or that lane has not reported
    // his last throw yet.
    if (positionCount_[p] != lane.counter || !positionSeen_[p]) return false;

    const int inSegment = index % throwsPerLane_;
    const int half = throwsPerLane_ / 2;
    const bool fullRack = inSegment < half;
    if (inSegment == 0) lane.segmentPins = 0;
    if (fullRack || inSegment == half) lane.standing = 0x1FF;
    lane.pins = knockPins(playerRandom_[p], fullRack, lane.standing);
    if (!fullRack && lane.standing == 0) lane.standing = 0x1FF; // cleared: the machine racks again

    ++lane.counter;
    lane.segmentPins += lane.pins;
    lane.thrower = position;
    lane.settled = false;
    lane.deliveries = 0;
    lane.settleAt = clock_ + setup_.throwMs / 7;
    lane.nextThrowAt = clock_ + throwInterval();
    ++positionCount_[p];
    positionPins_[p] += lane.pins;
    positionSeen_[p] = false;

    const int firstPair = 1 + block_ * (laneCount_ / 2);
    played_.push_back(
        {block_, slotAtBlockPosition(firstPair, position), lane.counter, lane.pins, lane.physical});
    return true;
}

int VirtualAlley::knockPins(std::mt19937& random, bool fullRack, unsigned& standing) {
    const int up = std::popcount(standing);
    int pins = 0;
    const unsigned roll = random() % 100;
    if (fullRack) {
        // Mostly 5 to 9 on a full rack; now and then a miss.
        static constexpr int kWeights[10] = {3, 2, 3, 5, 8, 12, 16, 20, 17, 14};
        int acc = 0;
        for (int k = 0; k <= 9; ++k) {
            acc += kWeights[k];
            if (static_cast<int>(roll) < acc) {
                pins = k;
                break;
            }
        }
    } else if (roll >= 12) {
        // Clearing: a fault one time in eight, else some of what stands.
        pins = 1 + static_cast<int>(random() % static_cast<unsigned>(up));
    }
    pins = std::min(pins, up);
    for (int left = pins; left > 0; --left) {
        int pick = static_cast<int>(random() % static_cast<unsigned>(std::popcount(standing)));
        for (int bit = 0; bit < 9; ++bit) {
            if (!(standing & (1u << bit))) continue;
            if (pick-- == 0) {
                standing &= ~(1u << bit);
                break;
            }
        }
    }
    return pins;
}

LaneStatus VirtualAlley::laneStatus(int physicalLane) const {
    LaneStatus s;
    const Lane* lane = laneByPhysical(physicalLane);
    if (lane == nullptr) return s;
    constexpr u8 kBlank = LaneStatus::kBlankDigit;
    if (lane->phase == Phase::Blank) {
        for (int position = 1; position <= 6; ++position) {
            if (position != 4) s.setFirstRowDigit(position, kBlank); // the last throw's pins stay 0
            s.setSecondRowDigit(position, kBlank);
        }
        return s;
    }
    // Three digits of a row: positions 1-3 of the first row, or of the second.
    const auto digits = [&](bool firstRow, int value) {
        const u8 codes[3] = {static_cast<u8>(value / 100 % 10), static_cast<u8>(value / 10 % 10),
                             static_cast<u8>(value % 10)};
        for (int i = 0; i < 3; ++i)
            firstRow ? s.setFirstRowDigit(i + 1, codes[i]) : s.setSecondRowDigit(i + 1, codes[i]);
    };
    digits(true, lane->segmentPins);
    s.setPins(lane->pins);
    // The counter has two digits and a +100 lamp; "100 Hs" counts its hundredth
    // throw as 0, and 200 (beyond the lamp) wraps to 0 as well.
    int shown = lane->counter;
    if (!counterShowsHundreds(setup_.gameKind)) {
        shown %= 100;
    } else if (shown >= 200) {
        shown -= 200;
    }
    s.setCounter(shown);
    s.setPinLamps(lane->standing);
    s.setSettled(lane->settled);
    digits(false, positionPins_[static_cast<std::size_t>(lane->thrower)]);
    for (int position = 4; position <= 6; ++position)
        s.setSecondRowDigit(position, kBlank);
    return s;
}

bool VirtualAlley::laneStopped(int physicalLane) const {
    const Lane* lane = laneByPhysical(physicalLane);
    return lane != nullptr && lane->stopped;
}

std::string VirtualAlley::answerPoll(Lane& lane) {
    advanceLane(lane, true);
    std::string frame = encodeStatusFrame(lane.physical, laneStatus(lane.physical));
    bool intact = true;
    if (setup_.noise > 0 && std::uniform_real_distribution<double>(0, 1)(noiseRandom_) < setup_.noise) {
        switch (noiseRandom_() % 3) {
        case 0:
            ++counters_.answersLost;
            return {};
        case 1: {
            // One status byte changes in its low seven bits: the check byte
            // cannot match, and bit 7 stays set so no start or end byte appears.
            const std::size_t k = 4 + noiseRandom_() % 16;
            const unsigned delta = 1 + noiseRandom_() % 127;
            frame[k] = static_cast<char>(0x80 | ((at(frame, k) + delta) & 0x7F));
            ++counters_.answersDamaged;
            intact = false;
            break;
        }
        default: {
            // Line noise around the frame, never a start byte.
            const auto noise = [&] {
                std::string bytes(1 + noiseRandom_() % 6, '\0');
                for (char& c : bytes) {
                    unsigned b = noiseRandom_() % 255;
                    if (b >= kReceivedStart) ++b;
                    c = static_cast<char>(b);
                }
                return bytes;
            };
            frame = noise() + frame + noise();
            ++counters_.answersNoisy;
            break;
        }
        }
    }
    ++counters_.answers;
    if (intact) {
        ++lane.deliveries;
        if (lane.settled && lane.thrower > 0) positionSeen_[static_cast<std::size_t>(lane.thrower)] = true;
    }
    return frame;
}

std::string VirtualAlley::receive(std::string_view bytes) {
    rxBuffer_.append(bytes);
    std::string answers;
    for (;;) {
        const std::size_t start = rxBuffer_.find(static_cast<char>(kSentStart));
        if (start == std::string::npos) {
            rxBuffer_.clear();
            break;
        }
        const std::size_t end = rxBuffer_.find(static_cast<char>(kSentEnd), start);
        if (end == std::string::npos) {
            if (rxBuffer_.size() - start > kLongestSentFrame) {
                ++counters_.framesRejected;
                const std::size_t next = rxBuffer_.find(static_cast<char>(kSentStart), start + 1);
                rxBuffer_.erase(0, next == std::string::npos ? rxBuffer_.size() : next);
                continue;
            }
            rxBuffer_.erase(0, start);
            break;
        }
        const auto body = decodeSentFrame(std::string_view(rxBuffer_).substr(start, end - start + 1));
        if (body) {
            answers += handleFrame(*body);
        } else {
            ++counters_.framesRejected;
        }
        rxBuffer_.erase(0, end + 1);
    }
    advanceBlock();
    return answers;
}

std::string VirtualAlley::handleFrame(std::string_view body) {
    const ServerFrame frame = parseFrameBody(body);
    // More than 8 set points go out without point bytes: not a frame the display takes.
    const auto* setPoints = std::get_if<LaneSetPointsFrame>(&frame);
    if (std::holds_alternative<UnknownFrame>(frame) || (setPoints && !setPoints->halfPoints)) {
        ++counters_.framesRejected;
        return {};
    }
    ++counters_.framesReceived;
    if (const auto* poll = std::get_if<PollFrame>(&frame)) {
        ++counters_.polls;
        Lane* lane = laneByPhysical(poll->physicalLane);
        if (lane == nullptr) return {};
        std::string answer = answerPoll(*lane);
        advanceBlock();
        return answer;
    }
    if (const auto* startStop = std::get_if<LaneStartStopFrame>(&frame)) {
        // The lane's players stop throwing until the next one.
        if (Lane* lane = laneByPhysical(startStop->lane)) lane->stopped = !lane->stopped;
    } else if (const auto* key = std::get_if<KeyFrame>(&frame)) {
        displays_.keyLane = key->lane;
        displays_.keyCode = key->keyCode;
    } else if (setPoints) {
        displays_.laneSetPoints[setPoints->physicalLane] =
            pointsText(*setPoints->halfPoints, PointScale::Eight);
    } else if (const auto* score = std::get_if<ScoreFrame>(&frame)) {
        // Sent ones digit first in each group of four; the board reads left to right.
        std::string board;
        for (int i = 0; i < 12; ++i) {
            if (i == 4 || i == 8) board.push_back(' ');
            board.push_back(scoreChar(score->digits[static_cast<std::size_t>(11 - i)]));
        }
        displays_.scoreBoard = board;
    } else if (const auto* points = std::get_if<MatchPointsFrame>(&frame)) {
        displays_.guestMatchPoints = pointsText(points->guest, points->scale);
        displays_.homeMatchPoints = pointsText(points->home, points->scale);
    } else if (const auto* names = std::get_if<TeamNamesFrame>(&frame)) {
        displays_.teamNames = names->text;
    } else if (const auto* name = std::get_if<LaneNameFrame>(&frame)) {
        displays_.laneName[name->physicalLane] = name->text;
    }
    return {};
}

VirtualAlley::Lane* VirtualAlley::laneByPhysical(int physical) {
    for (Lane& lane : lanes_) {
        if (lane.physical == physical) return &lane;
    }
    return nullptr;
}

const VirtualAlley::Lane* VirtualAlley::laneByPhysical(int physical) const {
    for (const Lane& lane : lanes_) {
        if (lane.physical == physical) return &lane;
    }
    return nullptr;
}

std::vector<int> VirtualAlley::throwsOf(int slot) const {
    std::vector<int> throws(1, 0);
    for (const PlayedThrow& t : played_) {
        if (t.slot != slot) continue;
        if (static_cast<int>(throws.size()) <= t.throwNumber) throws.resize(t.throwNumber + 1, 0);
        throws[static_cast<std::size_t>(t.throwNumber)] = t.pins;
    }
    return throws;
}

std::string VirtualAlley::describe() const {
    const auto text = [](const std::string& s) { return s.empty() ? std::string("-") : cp1250::toUtf8(s); };
    std::string out;
    char line[160];
    out += "score board    " + text(displays_.scoreBoard) + "\n";
    const auto framed = [&](const std::string& s) {
        return s.empty() ? std::string("-") : "|" + text(s) + "|";
    };
    out += "team names     " + framed(displays_.teamNames) + "\n";
    out += "match points   home " + text(displays_.homeMatchPoints) + " : " +
           text(displays_.guestMatchPoints) + " guest\n";
    for (const Lane& lane : lanes_) {
        const LaneStatus s = laneStatus(lane.physical);
        const std::string counter = s.blank() ? "blank" : std::to_string(s.counter());
        std::snprintf(line, sizeof line, "lane %d  counter %-5s pins %d %-9s ", lane.physical,
                      counter.c_str(), s.pins(),
                      lane.phase == Phase::Blank ? "" : (lane.settled ? "settled" : "moving"));
        out += line;
        out += "name " + framed(displays_.laneName[lane.physical]);
        if (!displays_.laneSetPoints[lane.physical].empty())
            out += "  set points " + displays_.laneSetPoints[lane.physical];
        if (lane.stopped) out += "  (stopped)";
        out += "\n";
    }
    std::snprintf(line, sizeof line,
                  "block %d/%d%s  throws %zu  polls %ld  answers %ld (lost %ld, damaged %ld, noisy %ld)  "
                  "rejected frames %ld\n",
                  block_ + 1, blocks_, finished_ ? " finished" : "", played_.size(), counters_.polls,
                  counters_.answers, counters_.answersLost, counters_.answersDamaged, counters_.answersNoisy,
                  counters_.framesRejected);
    out += line;
    return out;
}

} // namespace kuzelna
