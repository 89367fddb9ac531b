// The match document read back with Qt's own JSON parser: a match played
// through the byte interface against the simulated alley, checked player by
// player against the alley's throws and team by team against the results board.

#include "boards/results_board.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "reports/match_json.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/recording_events.h"
#include "support/simulated_alley.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

QJsonObject parsed(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        qFatal("not a JSON object: %s", qPrintable(error.errorString()));
    return doc.object();
}

// A board text as a number: "2,5" -> 2.5.
double boardNumber(const std::string& text) {
    return QString::fromStdString(text).replace(',', '.').toDouble();
}

struct PlayedMatch {
    std::unique_ptr<MatchState> state = std::make_unique<MatchState>();
    std::unique_ptr<SimulatedAlley> alley;
    RecordingEvents events;
    std::unique_ptr<LaneLink> link;
    std::unique_ptr<MatchCycle> cycle;

    PlayedMatch(int kind, int layout, int pair, int pairs) {
        alley = std::make_unique<SimulatedAlley>(MatchPlan{kind, layout, pair, pairs, 77u + unsigned(kind)});
        if (!applyConfiguration(*state, {kind, layout, pair, pairs, 1}).empty())
            qFatal("configuration refused");
        state->linkPaused = 0;
        link = std::make_unique<LaneLink>(*state, events);
        cycle = std::make_unique<MatchCycle>(*state, events);
    }
    // Plays until `stop` says so or the match is over.
    template <class Stop> void playUntil(Stop stop) {
        for (int ticks = 0; !state->matchOver && !stop() && ticks < 2'000'000; ++ticks) {
            for (const std::string& body : sentBodies(cycle->tick())) {
                const std::string reply = alley->answer(body);
                if (!reply.empty()) link->onBytes(reply);
            }
        }
    }
};

} // namespace

class TestMatchJson : public QObject {
    Q_OBJECT

private slots:
    // Halfway and at the end: every player's throws as the alley drew them, the
    // totals and points as the engine holds them, the teams as the board shows them.
    void agreesWithTheEngineAndTheBoard() {
        PlayedMatch m(6, 1, 1, 4); // "40 Hs", 4 lanes, two blocks
        m.playUntil([&] { return m.state->player[1].throwCount >= 25; });
        QVERIFY(!m.state->matchOver);
        for (int round = 0; round < 2; ++round) {
            if (round == 1) m.playUntil([] { return false; });
            const MatchState& s = *m.state;
            const QJsonObject doc = parsed(matchJson(s, {"2026-12-10T10:00:00+01:00", "kuzelna test"}));
            QCOMPARE(doc["format"].toString(), QString("kuzelna-match"));
            QCOMPARE(doc["version"].toInt(), kMatchJsonVersion);
            QCOMPARE(doc["savedAt"].toString(), QString("2026-12-10T10:00:00+01:00"));
            QCOMPARE(doc["gameKindLabel"].toString(), QString("40 Hs"));
            QCOMPARE(doc["throwsPerPlayer"].toInt(), 40);
            QCOMPARE(doc["state"].toString(), QString(round == 0 ? "playing" : "finished"));
            QCOMPARE(doc["block"].toInt(), round == 0 ? 1 : 2);
            QCOMPARE(doc["blocks"].toInt(), 2);

            const QJsonArray players = doc["players"].toArray();
            QCOMPARE(players.size(), 8);
            for (int slot = 1; slot <= 8; ++slot) {
                const PlayerSlot& p = s.player[static_cast<std::size_t>(slot)];
                const QJsonObject j = players[slot - 1].toObject();
                QCOMPARE(j["slot"].toInt(), slot);
                QCOMPARE(j["team"].toString(), QString(slot % 2 ? "home" : "guest"));
                QCOMPARE(j["position"].toInt(), (slot + 1) / 2);
                const QJsonArray throws = j["throws"].toArray();
                QCOMPARE(throws.size(), int(p.throwCount));
                int misses = 0;
                for (int t = 1; t <= throws.size(); ++t) {
                    QCOMPARE(throws[t - 1].toInt(), m.alley->pins(slot, t));
                    misses += m.alley->pins(slot, t) == 0;
                }
                QCOMPARE(j["misses"].toInt(), misses);
                QCOMPARE(j["pins"].toInt(), int(p.total));
                QCOMPARE(j["full"].toInt(), int(p.fullTotal));
                QCOMPARE(j["clearing"].toInt(), int(p.clearingTotal));
                QCOMPARE(j["setPoints"].toDouble(), p.setPointsTotal / 2.0);
                QCOMPARE(j["duelPoints"].toDouble(), p.duelPoints / 2.0);
                const QJsonArray sets = j["sets"].toArray();
                QCOMPARE(sets.size(), 2);
                for (int k = 1; k <= 2; ++k) {
                    const QJsonObject set = sets[k - 1].toObject();
                    QCOMPARE(set["pins"].toInt(), int(p.laneTotal[static_cast<std::size_t>(k)]));
                    QCOMPARE(set["setPoints"].toDouble(), p.setPoints[static_cast<std::size_t>(k)] / 2.0);
                }
            }
            if (round == 1) {
                for (int slot = 1; slot <= 8; ++slot) {
                    QCOMPARE(players[slot - 1].toObject()["misses"].toInt(),
                             int(s.player[static_cast<std::size_t>(slot)].faults));
                }
            }

            const ResultsBoardTexts board = resultsBoardTexts(s, ",");
            for (const auto& [key, side] :
                 {std::pair{"home", &board.home}, std::pair{"guest", &board.guest}}) {
                const QJsonObject team = doc[key].toObject();
                QCOMPARE(team["pins"].toDouble(), boardNumber(side->total));
                QCOMPARE(team["setPoints"].toDouble(), boardNumber(side->setPoints));
                QCOMPARE(team["duelPoints"].toDouble(), boardNumber(side->duelPoints));
                QCOMPARE(team["matchPoints"].toDouble(), boardNumber(side->matchPoints));
            }
            const QJsonArray lanes = doc["lanes"].toArray();
            QCOMPARE(lanes.size(), 4);
            for (int lane = 1; lane <= 4; ++lane) {
                const QJsonObject j = lanes[lane - 1].toObject();
                QCOMPARE(j["lane"].toInt(), lane);
                const int counter = laneThrowNumber(s, lane);
                if (counter < 0)
                    QVERIFY(j["counter"].isNull());
                else
                    QCOMPARE(j["counter"].toInt(), counter);
                QCOMPARE(j["pins"].toInt(), int(s.laneStatus[static_cast<std::size_t>(lane)][4]));
            }
        }
    }

    // Match points, set points and duel points under each scoring mode, as the
    // board writes them, halves included.
    void pointsFollowTheScoringMode() {
        for (const bool score16 : {false, true}) {
            for (const bool wholeSets : {false, true}) {
                PlayedMatch m(6, 2, 1, 2);
                m.state->score16 = score16 ? 1 : 0;
                m.state->controls.tandem = wholeSets;
                m.playUntil([] { return false; });
                QVERIFY(m.state->matchOver);
                const QJsonObject doc = parsed(matchJson(*m.state));
                const ResultsBoardTexts board = resultsBoardTexts(*m.state, ".");
                QCOMPARE(doc["home"].toObject()["matchPoints"].toDouble(),
                         boardNumber(board.home.matchPoints));
                QCOMPARE(doc["guest"].toObject()["matchPoints"].toDouble(),
                         boardNumber(board.guest.matchPoints));
                const QJsonArray players = doc["players"].toArray();
                for (int row = 0; row < 2; ++row) {
                    const QJsonObject j = players[2 * row].toObject();
                    QCOMPARE(j["setPoints"].toDouble(),
                             boardNumber(board.home.rows[static_cast<std::size_t>(row)].setPoints));
                    QCOMPARE(j["duelPoints"].toDouble(),
                             boardNumber(board.home.rows[static_cast<std::size_t>(row)].duelPoints));
                }
            }
        }
    }

    // Equal pins give each side half the bonus: a half point in the document.
    void halvesAreNumbers() {
        auto state = std::make_unique<MatchState>();
        QCOMPARE(applyConfiguration(*state, {6, 2, 2, 1, 1}), std::string());
        const QJsonObject doc = parsed(matchJson(*state));
        QCOMPARE(doc["state"].toString(), QString("waiting"));
        QCOMPARE(doc["guest"].toObject()["name"].toString(), QString::fromUtf8("Hosté"));
        QCOMPARE(doc["home"].toObject()["matchPoints"].toDouble(), 1.0);
        state->player[1].duelPoints = 1;
        state->player[2].duelPoints = 1;
        const QJsonObject drawn = parsed(matchJson(*state));
        QCOMPARE(drawn["home"].toObject()["matchPoints"].toDouble(), 1.5);
        QCOMPARE(drawn["players"].toArray()[0].toObject()["duelPoints"].toDouble(), 0.5);
        // The match on lanes 3-4: the hall's lane numbers.
        const QJsonArray lanes = doc["lanes"].toArray();
        QCOMPARE(lanes.size(), 2);
        QCOMPARE(lanes[0].toObject()["lane"].toInt(), 3);
        QCOMPARE(lanes[1].toObject()["lane"].toInt(), 4);
    }

    // Windows-1250 names arrive as UTF-8, quotes and control characters escaped,
    // and nothing in the text can close a script element it is embedded in.
    void textsAreUtf8AndEscaped() {
        auto state = std::make_unique<MatchState>();
        QCOMPARE(applyConfiguration(*state, {6, 2, 1, 1, 1}), std::string());
        state->player[1].surname = cp1250::fromUtf8("Černý \"Pepa\"");
        state->player[1].firstName = cp1250::fromUtf8("Jiří\t</script>");
        state->homeTeamName = cp1250::fromUtf8("Sokol Újezd");
        state->homeLineupCount = 1;
        state->homeLineup[1] = cp1250::fromUtf8("Černý, Jiří, 1234");
        const std::string text = matchJson(*state, {"", "", MatchJsonView::Archive});
        QVERIFY(text.find("</script>") == std::string::npos);
        const QJsonObject doc = parsed(text);
        QCOMPARE(doc["players"].toArray()[0].toObject()["name"].toString(),
                 QString::fromUtf8("Černý \"Pepa\" Jiří\t</script>"));
        QCOMPARE(doc["home"].toObject()["name"].toString(), QString::fromUtf8("Sokol Újezd"));
        QCOMPARE(doc["setup"].toObject()["homeLineup"].toArray()[0].toString(),
                 QString::fromUtf8("Černý, Jiří, 1234"));
    }

    // A registry line is "regNumber - surname firstName, birthDate , note": the
    // public view keeps the name and the number, and nothing else of it.
    void thePublicViewCarriesNoRegistryLine() {
        auto state = std::make_unique<MatchState>();
        QCOMPARE(applyConfiguration(*state, {6, 2, 1, 1, 1}), std::string());
        const std::string line = cp1250::fromUtf8("10234 - Černý Jiří, 14.03.2011 , po operaci kolena");
        state->player[1].surname = cp1250::fromUtf8("Černý");
        state->player[1].firstName = cp1250::fromUtf8("Jiří");
        state->player[1].regNumber = "10234";
        state->player[1].registryLine = line;
        state->homeLineupCount = 1;
        state->homeLineup[1] = line;
        state->guestLineupCount = 1;
        state->guestLineup[1] = cp1250::fromUtf8("20777 - Malá Eva, 02.11.2009 , hostuje");

        const std::string shown = matchJson(*state);
        for (const char* secret :
             {"14.03.2011", "operaci", "02.11.2009", "hostuje", "registryLine", "homeLineup", "guestLineup"})
            QVERIFY2(shown.find(secret) == std::string::npos, secret);
        const QJsonObject doc = parsed(shown);
        QCOMPARE(doc["view"].toString(), QStringLiteral("public"));
        const QJsonObject player = doc["players"].toArray()[0].toObject();
        QCOMPARE(player["name"].toString(), QString::fromUtf8("Černý Jiří"));
        QCOMPARE(player["registration"].toString(), QStringLiteral("10234"));

        const QJsonObject archived = parsed(matchJson(*state, {"", "", MatchJsonView::Archive}));
        QCOMPARE(archived["view"].toString(), QStringLiteral("archive"));
        QCOMPARE(archived["players"].toArray()[0].toObject()["registryLine"].toString(),
                 QString::fromUtf8("10234 - Černý Jiří, 14.03.2011 , po operaci kolena"));
        QCOMPARE(archived["setup"].toObject()["guestLineup"].toArray()[0].toString(),
                 QString::fromUtf8("20777 - Malá Eva, 02.11.2009 , hostuje"));
    }
};

QTEST_GUILESS_MAIN(TestMatchJson)
#include "test_match_json.moc"
