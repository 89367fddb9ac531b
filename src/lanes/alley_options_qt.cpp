#include "lanes/alley_options_qt.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "core/timing.h"
#include "core/typed_number.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"

#include <QRegularExpression>

#include <stdexcept>

namespace kuzelna {
namespace {

int integerOption(const QCommandLineParser& parser, const char* name, int low, int high, int fallback) {
    if (!parser.isSet(name)) return fallback;
    const std::optional<int> value = parseInteger(toCp1250(parser.value(name)));
    if (!value || *value < low || *value > high) {
        throw std::invalid_argument(QStringLiteral("--%1 takes a number from %2 to %3")
                                        .arg(QLatin1String(name))
                                        .arg(low)
                                        .arg(high)
                                        .toStdString());
    }
    return *value;
}

int gameKindOf(const QString& text) {
    // "60", "60 Hs", "60Hs" by throws per player, or the kind number itself;
    // nothing else ("-60" is not 60).
    static const QRegularExpression form(QStringLiteral("^\\s*([0-9]{1,3})\\s*(?:hs)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    const int value = match.hasMatch() ? match.captured(1).toInt() : -1;
    if (value >= 1 && value <= kGameKindCount) return value;
    if (const int kind = gameKindOfThrows(value)) return kind;
    throw std::invalid_argument("--kind takes " + throwsPerPlayerList() + " (or 1.." +
                                std::to_string(kGameKindCount) + ")");
}

} // namespace

void addAlleyOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"kind",
         QString::fromStdString("Kind of game: " + throwsPerPlayerList() + " throws per player (or 1.." +
                                std::to_string(kGameKindCount) + ")."),
         "K"},
        {"lanes", "Lanes in play: 2, 4 or 6.", "N"},
        {"lane-pair", "With 2 lanes: 1 = lanes 1-2, 2 = lanes 3-4.", "P"},
        {"duels", "Duels of the match (players per team), 1..30.", "D"},
        {"seed", "Seed of the players' throws, 0..4294967295.", "S"},
        {"pace",
         "Mean milliseconds between two throws of a lane, 0..600000 (0 = as fast as the polls allow).", "MS"},
        {"noise", "Chance (0..1) that a lane's answer is lost, damaged or wrapped in line noise.", "P"},
    });
}

bool alleyMatchOptionsGiven(const QCommandLineParser& parser) {
    return parser.isSet("kind") || parser.isSet("lanes") || parser.isSet("lane-pair") ||
           parser.isSet("duels");
}

AlleySetup readAlleyOptions(const QCommandLineParser& parser, const AlleySetup& defaults) {
    AlleySetup setup = defaults;
    if (parser.isSet("kind")) setup.gameKind = gameKindOf(parser.value("kind"));
    if (parser.isSet("lanes")) {
        const int lanes = integerOption(parser, "lanes", 2, 6, 4);
        if (lanes != 2 && lanes != 4 && lanes != 6) throw std::invalid_argument("--lanes takes 2, 4 or 6");
        setup.laneLayout = lanes == 4 ? 1 : lanes == 2 ? 2 : 3;
    }
    setup.lanePair = integerOption(parser, "lane-pair", 1, 2, setup.lanePair);
    setup.duels = integerOption(parser, "duels", 1, 30, setup.duels);
    if (parser.isSet("seed")) {
        bool ok = false;
        setup.seed = parser.value("seed").trimmed().toUInt(&ok);
        if (!ok) throw std::invalid_argument("--seed takes a whole number");
    }
    setup.throwMs = integerOption(parser, "pace", 0, 600000, setup.throwMs);
    if (parser.isSet("noise")) {
        bool ok = false;
        setup.noise = parser.value("noise").trimmed().toDouble(&ok);
        if (!ok || setup.noise < 0 || setup.noise > 1)
            throw std::invalid_argument("--noise takes a chance from 0 to 1");
    }
    if (const std::string problem = configurationProblem(setup.gameKind, setup.laneLayout); !problem.empty())
        throw std::invalid_argument(fromCp1250(problem).toStdString());
    return setup;
}

AlleySetup configureMatchFromOptions(MatchState& state, const QCommandLineParser& parser) {
    const AlleySetup setup = readAlleyOptions(parser, alleySetupFor(state, 1, AlleySetup{}.throwMs, 0.0));
    const std::string problem =
        applyConfiguration(state, {setup.gameKind, setup.laneLayout, setup.lanePair, setup.duels, 1});
    if (!problem.empty()) throw std::invalid_argument(fromCp1250(problem).toStdString());
    return setup;
}

std::unique_ptr<SimulatedAlley> startSimulatedAlley(MatchState& state, const QCommandLineParser& parser,
                                                    QObject* parent) {
    const AlleySetup setup = configureMatchFromOptions(state, parser);
    auto simulated = std::make_unique<SimulatedAlley>(setup, parent);
    simulated->open();
    return simulated;
}

void addSpeedOption(QCommandLineParser& parser) {
    parser.addOption({"speed", "Run every timer N times faster (1..100).", "N"});
}

int readSpeedOption(const QCommandLineParser& parser) {
    return integerOption(parser, "speed", kMinSpeed, kMaxSpeed, 1);
}

} // namespace kuzelna
