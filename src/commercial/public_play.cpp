#include "commercial/public_play.h"

#include "core/typed_number.h"

#include <cstddef>
#include <limits>

namespace kuzelna {

namespace {

constexpr int kSeats = 6;

// Players taking part in the turn order; the record has room for six.
int seatsInPlay(const PublicPlayLane& game) {
    return game.playerCount < kSeats ? game.playerCount : kSeats;
}

bool isSeat(int player) {
    return player >= 0 && player < kSeats;
}

std::size_t at(int player) {
    return static_cast<std::size_t>(player);
}

bool isOut(const PublicPlayLane& game, int player) {
    return game.playerOut[at(player)] != 0;
}

void showTurn(PublicPlayDiagnostics& diagnostics, int player) {
    diagnostics.edit[3] = std::to_string(player);
}

std::optional<int> searchTurn(const PublicPlayLane& game, int current, int direction) {
    const int count = seatsInPlay(game);
    for (int step = 1; step <= count; ++step) {
        const int j = ((current + direction * step) % count + count) % count;
        if (!isOut(game, j)) return j;
    }
    return std::nullopt;
}

void playFault(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics) {
    game.rackPending = 0;
    const int c = game.currentPlayer;
    if (isSeat(c)) addStage(game, c);
    const auto j = nextPlayer(game, c);
    if (!j) return;
    game.currentPlayer = static_cast<u8>(*j);
    showTurn(diagnostics, *j);
    // Marks a player collected while others threw turn into a stage on the
    // player's own turn.
    if (game.auxPosition[at(*j)] >= 3 && game.gamePosition[at(*j)] < kHanged) {
        addStage(game, *j);
        game.auxPosition[at(*j)] = 0;
    }
}

void playOrdinary(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics) {
    game.rackPending = 0;
    diagnostics.edit[3] = "tadyy";
    if (const auto j = nextPlayer(game, game.currentPlayer)) {
        game.currentPlayer = static_cast<u8>(*j);
        showTurn(diagnostics, *j);
    }
}

// An all-nine throw gives a mark to both neighbours still in the game; the
// previous one only once a throw has been played in this game.
void playAllNine(PublicPlayLane& game) {
    const int c = game.currentPlayer;
    if (!game.rackPending) {
        if (const auto k = previousPlayer(game, c)) addMark(game, *k);
    }
    game.rackPending = 0;
    const auto j = nextPlayer(game, c);
    if (!j) return;
    game.currentPlayer = static_cast<u8>(*j);
    addMark(game, *j);
    if (game.gamePosition[at(*j)] == kHanged) {
        if (const auto after = nextPlayer(game, *j)) game.currentPlayer = static_cast<u8>(*after);
    }
}

void showTurnChange(PublicPlayDiagnostics& diagnostics, int before, int after) {
    if (before == after) return;
    diagnostics.edit[0] = std::to_string(before);
    diagnostics.edit[3] = std::to_string(after);
}

} // namespace

u8 publicThrowCount(const LaneStatus& status) {
    return static_cast<u8>(status.counterDigits());
}

bool allNineLampsLit(const LaneStatus& status) {
    return status.allNinePinsLit();
}

void publicPlayIntake(MatchState& state, int lane, PublicPlayDiagnostics& diagnostics) {
    if (lane < 1 || lane > kMaxLanes) return;
    const LaneStatus& status = state.laneStatus[static_cast<std::size_t>(lane)];
    PublicPlayLane& game = state.publicLane[static_cast<std::size_t>(lane)];
    const u8 count = publicThrowCount(status);
    const u8 pins = static_cast<u8>(status.pins());

    for (int k = 1; k < 8; ++k)
        game.countHistory[static_cast<std::size_t>(k)] = game.countHistory[static_cast<std::size_t>(k + 1)];
    game.countHistory[8] = count;

    // While the pin-setter is still moving, a count is trusted only once eight
    // frames in a row have carried it.
    if (!status.settled()) {
        for (int k = 1; k <= 8; ++k) {
            if (game.countHistory[static_cast<std::size_t>(k)] != count) return;
        }
    }

    diagnostics.edit[0] = std::to_string(count);
    diagnostics.edit[1] = std::to_string(pins);
    diagnostics.edit[2] = std::to_string(lane);

    if (count == game.lastThrowCount) return;
    game.lastThrowCount = count;
    if (game.ignoreNext) {
        game.ignoreNext = 0;
        return;
    }
    game.lastPins = pins;
    game.allNineLit = allNineLampsLit(status) ? 1 : 0;
    if (game.gameType == kGallows) playGallowsThrow(game, pins, game.allNineLit != 0, diagnostics);
}

std::optional<int> nextPlayer(const PublicPlayLane& game, int current) {
    return searchTurn(game, current, +1);
}

std::optional<int> previousPlayer(const PublicPlayLane& game, int current) {
    return searchTurn(game, current, -1);
}

void addStage(PublicPlayLane& game, int player) {
    if (!isSeat(player)) return;
    u8& stage = game.gamePosition[at(player)];
    if (stage >= kHanged) return;
    ++stage;
    if (stage == kHanged) game.playerOut[at(player)] = 1;
}

void addMark(PublicPlayLane& game, int player) {
    if (!isSeat(player)) return;
    u8& marks = game.auxPosition[at(player)];
    if (marks < std::numeric_limits<u8>::max()) ++marks;
    if (marks >= 3 && game.gamePosition[at(player)] < kHanged) {
        addStage(game, player);
        marks = 0;
    }
}

void playGallowsThrow(PublicPlayLane& game, u8 pins, bool allNine, PublicPlayDiagnostics& diagnostics) {
    if (pins == 0)
        playFault(game, diagnostics);
    else if (!allNine)
        playOrdinary(game, diagnostics);
    else
        playAllNine(game);
}

void newGame(PublicPlayLane& game) {
    game.gameType = kNoGame;
    game.currentPlayer = 0;
    game.gamePosition = {};
    game.auxPosition = {};
    game.playerOut = {};
    game.ignoreNext = 1;
    game.rackPending = 1;
}

void playZeroByHand(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics) {
    const int before = game.currentPlayer;
    playFault(game, diagnostics);
    showTurnChange(diagnostics, before, game.currentPlayer);
}

void playAllNineByHand(PublicPlayLane& game, PublicPlayDiagnostics& diagnostics) {
    const int before = game.currentPlayer;
    playAllNine(game);
    showTurnChange(diagnostics, before, game.currentPlayer);
}

void storePositions(PublicPlayLane& game, const std::array<std::string, 6>& gamePositions,
                    const std::array<std::string, 6>& auxPositions) {
    for (std::size_t i = 0; i < 6; ++i) {
        const auto value = parseInteger(gamePositions[i]);
        if (!value) return;
        game.gamePosition[i] = static_cast<u8>(*value);
    }
    for (std::size_t i = 0; i < 6; ++i) {
        const auto value = parseInteger(auxPositions[i]);
        if (!value) return;
        game.auxPosition[i] = static_cast<u8>(*value);
    }
}

} // namespace kuzelna
