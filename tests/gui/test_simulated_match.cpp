// A short match on the virtual alley, played through the real lane port and
// the console as the operator runs it: Start, the lanes fill with throws and
// names, the score mirror follows the score board, the match ends at "konec".

#include "console/main_window.h"
#include "console/simulation_lineup.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "core/timing.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kuzelna;

class SimulatedMatchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void startPlaysAMatchOnTheConsole() {
        setSpeedFactor(50);
        MatchState state;
        // "60   Hs" on 4 lanes, two duels: one block, two lanes per player.
        QVERIFY(applyConfiguration(state, {4, 1, 1, 2, 1}).empty());
        fillSimulationLineups(state);
        SimulatedAlley alley(alleySetupFor(state, 11, 0, 0.0));
        alley.open();
        LaneServer server(state);
        WindowSet windows(state);
        windows.connectLaneServer(server);
        server.openPort(alley.devicePath());
        server.startCycle();
        TForm1& window = windows.mainWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::qWait(300);
        QVERIFY2(alley.alley().counters().polls == 0, "nothing is sent before Start");
        auto* start = window.findChild<QPushButton*>(QStringLiteral("startButton"));
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("Pracuje"));

        // Mid-match, on the second lane of every player.
        QTRY_VERIFY_WITH_TIMEOUT(state.player[1].throwCount >= 35 && state.player[4].throwCount >= 35, 60000);
        QVERIFY(window.grab().save(QStringLiteral(KUZELNA_BINARY_DIR "/console_simulated_match.png")));

        // "konec" once the final score and match points have gone out.
        QTRY_COMPARE_WITH_TIMEOUT(start->text(), QStringLiteral("konec"), 60000);
        QVERIFY(state.matchOver);
        QVERIFY(!server.cycleRunning());
        QVERIFY(window.grab().save(QStringLiteral(KUZELNA_BINARY_DIR "/console_simulated_match_end.png")));

        // Every throw the alley played was recorded for its player.
        for (int slot = 1; slot <= 4; ++slot) {
            const std::vector<int> played = alley.alley().throwsOf(slot);
            QCOMPARE(int(played.size()) - 1, 60);
            for (int t = 1; t <= 60; ++t) {
                QCOMPARE(int(state.player[slot].throws[t]), played[static_cast<std::size_t>(t)]);
            }
        }
        // The console mirrors the score frame the board shows: the final result.
        const auto mirrored = [&window] {
            QString text;
            for (int x : {370, 380, 390, 400, 0, 470, 480, 490, 500, 0, 570, 580, 590, 600})
                text += x == 0 ? QStringLiteral(" ") : window.scoreDigitAt(x);
            return text;
        };
        QTRY_COMPARE_WITH_TIMEOUT(mirrored(), QString::fromStdString(alley.alley().displays().scoreBoard),
                                  2000);
        const TeamResult result = teamResult(state, 4);
        QCOMPARE(mirrored().left(4), QStringLiteral("%1").arg(result.homePins, 4, 10, QLatin1Char('0')));
        QCOMPARE(mirrored().right(4), QStringLiteral("%1").arg(result.guestPins, 4, 10, QLatin1Char('0')));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(SimulatedMatchTest)
#include "test_simulated_match.moc"
