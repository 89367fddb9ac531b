#include "commercial/public_play_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "lanes/lane_server_qt.h"
#include "scoring/throw_recording.h"
#include "suddenvictory/sudden_victory_window.h"
#include "support/frames.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace kuzelna;

// With the extended features switched on in zodided.ini the console shows the
// openers of public play and the tie-break window and the "Tandem" switch.
class ExtendedFeaturesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MatchState> state;
    std::unique_ptr<WindowSet> windows;

    template <class W> W* control(const char* name) {
        W* w = windows->mainWindow().findChild<W*>(name);
        if (!w) qFatal("no control %s", name);
        return w;
    }

private slots:
    void init() {
        state = std::make_unique<MatchState>();
        state->extendedFeatures = 1;
        windows = std::make_unique<WindowSet>(*state);
        windows->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&windows->mainWindow()));
    }
    void cleanup() {
        windows.reset();
        state.reset();
    }

    void openersAreShown() {
        for (const char* name : {"gamesButton", "suddenVictoryButton", "tandem"})
            QVERIFY2(control<QWidget>(name)->isVisible(), name);
    }

    void gamesButtonBringsPublicPlayToTheFront() {
        TForm_hry& publicPlay = windows->publicPlay();
        state->publicLane[1].gamePosition[0] = 4;
        control<QPushButton>("gamesButton")->click();
        QVERIFY(publicPlay.isVisible());
        QCOMPARE(publicPlay.findChild<QLineEdit*>("stage1")->text(), QStringLiteral("4"));
        state->publicLane[1].gamePosition[0] = 6;
        control<QPushButton>("gamesButton")->click(); // shown again, so redrawn
        QVERIFY(publicPlay.isVisible());
        QCOMPARE(publicPlay.findChild<QLineEdit*>("stage1")->text(), QStringLiteral("6"));
    }

    void suddenVictoryButtonToggles() {
        control<QPushButton>("suddenVictoryButton")->click();
        QVERIFY(windows->suddenVictory().isVisible());
        control<QPushButton>("suddenVictoryButton")->click();
        QVERIFY(!windows->suddenVictory().isVisible());
    }

    void tandemSwitchesWholeSetScoring() {
        // A finished duel: the home player won set 1, which is 2 half-points,
        // or 1 whole point with whole-set scoring.
        state->player[1].throws[1] = 9;
        prepocitej(*state, 1);
        QCOMPARE(int(state->player[1].setPointsTotal), 2);
        control<QCheckBox>("tandem")->click();
        QVERIFY(state->controls.tandem);
        QCOMPARE(int(state->player[1].setPointsTotal), 1);
        control<QCheckBox>("tandem")->click();
        QVERIFY(!state->controls.tandem);
        QCOMPARE(int(state->player[1].setPointsTotal), 2);
    }

    // A lane frame reaches the public play window once its check box is on.
    void laneFramesReachPublicPlay() {
        LaneServer server(*state); // no port opened: the bytes are handed in below
        windows->connectLaneServer(server);
        LaneLink& link = server.link();
        TForm_hry& publicPlay = windows->publicPlay();
        const std::string frame = testing::statusFrame(2, testing::laneStatus(17, 5));

        link.onBytes(frame);
        QCOMPARE(int(state->publicLane[2].lastThrowCount), 0);
        publicPlay.findChild<QCheckBox*>("publicPlayOn")->click();
        link.onBytes(frame);
        QCOMPARE(int(state->publicLane[2].lastThrowCount), 17);
        QCOMPARE(publicPlay.findChild<QLineEdit*>("diagnostic1")->text(), QStringLiteral("17"));
        QCOMPARE(publicPlay.findChild<QLineEdit*>("diagnostic3")->text(), QStringLiteral("2"));
    }
};

QTEST_MAIN(ExtendedFeaturesTest)
#include "test_extended_features.moc"
