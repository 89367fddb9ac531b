#include "commercial/public_play_window.h"
#include "core/match_state.h"
#include "lanes/lane_server_qt.h"
#include "support/frames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace kuzelna;

class PublicPlayWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MatchState> state;
    std::unique_ptr<TForm_hry> window;

    template <class W> W* child(const QString& name) {
        W* w = window->findChild<W*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    void click(const QString& name) { child<QAbstractButton>(name)->click(); }
    QString text(const QString& name) { return child<QLineEdit>(name)->text(); }
    void type(const QString& name, const QString& text) {
        QLineEdit* edit = child<QLineEdit>(name);
        edit->clear();
        // Key by key, with the typed character as the key's text, so that
        // letters outside Latin-1 can be typed too.
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &press);
        }
    }

private slots:
    void init() {
        state = std::make_unique<MatchState>();
        window = std::make_unique<TForm_hry>(*state);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        state.reset();
    }

    void switchesPublicPlay() {
        click("publicPlayOn");
        QVERIFY(state->controls.publicPlayOn);
        click("publicPlayOn");
        QVERIFY(!state->controls.publicPlayOn);
    }

    void onlyTheFirstFourLanesCanBeChosen() {
        for (int l = 1; l <= 8; ++l)
            QCOMPARE(child<QRadioButton>(QStringLiteral("lane%1").arg(l))->isEnabled(), l <= 4);
    }

    // Choosing a lane loads every control from that lane's record.
    void choosingALaneLoadsItsRecord() {
        PublicPlayLane& g = state->publicLane[3];
        g.gameType = kRace;
        g.playerCount = 4;
        g.currentPlayer = 3;
        g.playerName[2] = "\x8Eofie"; // "Žofie" in Windows-1250
        g.gamePosition = {1, 2, 3, 4, 5, 6};
        g.auxPosition = {0, 1, 2, 0, 1, 2};
        click("lane3");
        QCOMPARE(window->chosenLane(), 3);
        QVERIFY(child<QRadioButton>("gameRace")->isChecked());
        QCOMPARE(child<QComboBox>("playerCount")->currentText(), QStringLiteral("4"));
        QVERIFY(child<QRadioButton>("turn4")->isChecked());
        QCOMPARE(text("name2"), QStringLiteral("Žofie"));
        QCOMPARE(text("name1"), QString());
        QCOMPARE(text("stage6"), QStringLiteral("6"));
        QCOMPARE(text("marks3"), QStringLiteral("2"));

        // Values the controls cannot show fall back to the first choice or stay.
        g.gameType = 7;
        g.currentPlayer = 6;
        g.playerCount = 0;
        click("lane1");
        click("lane3");
        QVERIFY(child<QRadioButton>("gameOff")->isChecked());
        QVERIFY(child<QRadioButton>("turn1")->isChecked());
        QCOMPARE(child<QComboBox>("playerCount")->currentText(), QStringLiteral("1"));
    }

    void controlsWriteTheChosenLane() {
        click("lane2");
        click("gameGallows");
        click("turn5");
        QComboBox* count = child<QComboBox>("playerCount");
        count->setFocus();
        QTest::keyClick(count, Qt::Key_Down);
        QTest::keyClick(count, Qt::Key_Down);
        const PublicPlayLane& g = state->publicLane[2];
        QCOMPARE(int(g.gameType), int(kGallows));
        QCOMPARE(int(g.currentPlayer), 4);
        QCOMPARE(int(g.playerCount), 3);
        QCOMPARE(int(state->publicLane[1].gameType), int(kNoGame));
        QCOMPARE(int(state->publicLane[1].playerCount), 1);
    }

    void namesAreStoredAtOnceInWindows1250() {
        click("lane4");
        type("name3", QStringLiteral("Čížek"));
        QCOMPARE(state->publicLane[4].playerName[3].str(), std::string("\xC8\xED\x9E\x65k"));
        type("name1", QString(90, QLatin1Char('a')));
        QCOMPARE(state->publicLane[4].playerName[1].str(), std::string(80, 'a'));
    }

    void positionsAreStoredOnlyBySaving() {
        type("stage1", "4");
        type("marks1", "2");
        QCOMPARE(int(state->publicLane[1].gamePosition[0]), 0);
        type("stage3", "x");
        click("saveChanges");
        QCOMPARE(int(state->publicLane[1].gamePosition[0]), 4);
        QCOMPARE(int(state->publicLane[1].auxPosition[0]), 0); // storing stopped at the third stage
        type("stage3", "7");
        click("saveChanges");
        QCOMPARE(int(state->publicLane[1].gamePosition[2]), 7);
        QCOMPARE(int(state->publicLane[1].auxPosition[0]), 2);
    }

    // "Nova hra" resets the lane; the game must be picked again though the radio
    // still shows the old choice.
    void newGameWithoutRedraw() {
        PublicPlayLane& g = state->publicLane[1];
        click("gameGallows");
        g.gamePosition[0] = 5;
        g.ignoreNext = 0;
        click("newGame");
        QCOMPARE(int(g.gameType), int(kNoGame));
        QCOMPARE(int(g.gamePosition[0]), 0);
        QCOMPARE(int(g.ignoreNext), 1);
        QVERIFY(child<QRadioButton>("gameGallows")->isChecked());
        click("gameGallows");
        QCOMPARE(int(g.gameType), int(kGallows));
    }

    void throwsByHandPlayTheChosenLane() {
        click("lane2");
        PublicPlayLane& g = state->publicLane[2];
        g.playerCount = 3;
        click("zeroThrow");
        QCOMPARE(int(g.gamePosition[0]), 1);
        QCOMPARE(int(g.currentPlayer), 1);
        QCOMPARE(text("diagnostic1"), QStringLiteral("0"));
        QCOMPARE(text("diagnostic4"), QStringLiteral("1"));
        QCOMPARE(text("stage1"), QStringLiteral("0")); // the window is not redrawn
        click("allNine");
        QCOMPARE(int(g.auxPosition[0]), 1);
        QCOMPARE(int(g.auxPosition[2]), 1);
        QCOMPARE(int(g.currentPlayer), 2);
        QCOMPARE(text("diagnostic1"), QStringLiteral("1"));
        QCOMPARE(text("diagnostic4"), QStringLiteral("2"));
        QCOMPARE(int(state->publicLane[1].gamePosition[0]), 0);
    }

    // The lane link plays the frame; the window shows what it read when told.
    void theLaneLinksIntakeShowsOnItsEvent() {
        state->controls.publicPlayOn = true;
        LaneServer server(*state);
        connect(&server, &LaneServer::publicPlayChanged, window.get(), &TForm_hry::showDiagnostics);
        server.link().onBytes(kuzelna::testing::statusFrame(3, kuzelna::testing::laneStatus(12, 6)));
        QCOMPARE(text("diagnostic1"), QStringLiteral("12"));
        QCOMPARE(text("diagnostic2"), QStringLiteral("6"));
        QCOMPARE(text("diagnostic3"), QStringLiteral("3"));
        QCOMPARE(int(state->publicLane[3].lastThrowCount), 12);
    }

    void closeHides() {
        click("close");
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(PublicPlayWindowTest)
#include "test_public_play_window.moc"
