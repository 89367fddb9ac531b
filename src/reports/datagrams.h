#pragma once

// The fixed-layout UDP datagrams that feed the lane PCs, and the rotation that
// serves one lane PC every other second. Everything here is bytes in, bytes out;
// the socket lives in the shell.

#include <string>
#include <string_view>
#include <utility>

namespace kuzelna {

struct MatchState;

constexpr int kNormalDatagramSize = 270;
constexpr int kNormalDatagramSize180 = 294; // "180 Hs" carries sets 5 and 6 too
constexpr int kAdvertDatagramSize = 38;
constexpr int kPublicPlayDatagramSize = 111;
constexpr int kSuddenVictoryDatagramSize = 134;

// Czech letters reduced to ASCII for the lane PCs; every byte outside the table
// (Ť, ť, Ď and ď among them) passes unchanged.
std::string stripDiacritics(std::string_view text);

// The two logical lanes a datagram for lane counter c shows: (2c-1, 2c) with one
// monitor per two lanes, else c and its partner lane (1-2, 3-4, 5-6).
std::pair<int, int> datagramLanePair(int counter, bool monitorTwoLanes);

std::string normalDatagram(const MatchState& state, int counter);
std::string advertDatagram(const MatchState& state);
std::string publicPlayDatagram(const MatchState& state, int lane);
std::string suddenVictoryDatagram(const MatchState& state, int pair);

enum class DatagramKind { Normal, Advert, PublicPlay, SuddenVictory };

struct OutgoingDatagram {
    int laneCounter = 0;
    DatagramKind kind = DatagramKind::Normal;
    std::string host; // dotted IPv4 text from the monitor settings
    std::string bytes;
};

// utp_posilani without the socket: advances the lane counter, flips the
// "Systém běží" heartbeat and builds the datagram for the next lane PC.
class MonitorRotation {
public:
    OutgoingDatagram next(MatchState& state);

    int laneCounter() const { return laneCounter_; }

private:
    int laneCounter_ = 0;
};

// The status-line text of a datagram received from a lane PC: sender address,
// byte count, ": " and the first bytes as text with control bytes replaced, so
// whatever arrives cannot disturb the one-line field.
std::string receivedDatagramStatus(std::string_view sender, std::string_view bytes);

} // namespace kuzelna
