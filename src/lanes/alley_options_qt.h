#pragma once

// Command-line options that describe the virtual alley's match, shared by
// kuzelna --simulate and kuzelna-lanesim:
//   --kind K       200, 120, 100, 60, 180 or 40 (throws per player), or 1..6
//   --lanes N      2, 4 or 6
//   --lane-pair P  1 (lanes 1-2) or 2 (lanes 3-4), with 2 lanes
//   --duels D      duels of the match (players per team), 1..30
//   --seed S       seed of the players' throws, 0..4294967295
//   --pace MS      mean milliseconds between two throws of a lane, 0..600000; 0 = as fast as the polls allow
//   --noise P      chance 0..1 that an answer is lost, damaged or wrapped in line noise

#include "lanes/virtual_alley.h"

#include <QCommandLineParser>

#include <memory>

namespace kuzelna {

struct MatchState;
class SimulatedAlley;

void addAlleyOptions(QCommandLineParser& parser);

// The alley setup from the options, taking `defaults` for those not given.
// Throws std::invalid_argument with a message for the operator.
AlleySetup readAlleyOptions(const QCommandLineParser& parser, const AlleySetup& defaults);

// Whether any option of the match itself (kind, lanes, lane pair, duels) was given.
bool alleyMatchOptionsGiven(const QCommandLineParser& parser);

// Configures the state for the match the options describe (kind, lanes, lane
// pair, duels; the state's own values for those not given), as the
// kind-of-game dialog would, and returns the alley setup of that match.
// Throws std::invalid_argument.
AlleySetup configureMatchFromOptions(MatchState& state, const QCommandLineParser& parser);

// kuzelna --simulate: a virtual alley on a new pseudo-terminal playing the
// match the options describe, the state's configuration filling in what they
// leave out; the state is configured for that match too (as the kind-of-game
// dialog would). The lane port then opens the alley's devicePath(). Throws
// std::invalid_argument (options) or std::runtime_error (pseudo-terminal).
std::unique_ptr<SimulatedAlley> startSimulatedAlley(MatchState& state, const QCommandLineParser& parser,
                                                    QObject* parent = nullptr);

// --speed N, 1..100 (1 when not given). Throws std::invalid_argument.
void addSpeedOption(QCommandLineParser& parser);
int readSpeedOption(const QCommandLineParser& parser);

} // namespace kuzelna
