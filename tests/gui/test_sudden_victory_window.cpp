#include "core/match_state.h"
#include "suddenvictory/sudden_victory_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <array>
#include <memory>

using namespace kuzelna;

class SuddenVictoryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MatchState> state;
    std::unique_ptr<TForm_SV> window;

    template <class W> W* child(const QString& name) {
        W* w = window->findChild<W*>(name);
        if (!w) qFatal("no control %s", qPrintable(name));
        return w;
    }
    void click(const QString& name) { child<QAbstractButton>(name)->click(); }
    QLineEdit* edit(int pair, const char* side, int row) {
        return child<QLineEdit>(QStringLiteral("pair%1%2%3").arg(pair).arg(side).arg(row));
    }
    QString sum(int pair, const char* side) {
        return child<QLabel>(QStringLiteral("pair%1%2Sum").arg(pair).arg(side))->text();
    }
    void typeThrows(int pair, const std::array<QString, 3>& first, const std::array<QString, 3>& second) {
        for (int k = 0; k < 3; ++k) {
            edit(pair, "First", k + 1)->setText(first[static_cast<std::size_t>(k)]);
            edit(pair, "Second", k + 1)->setText(second[static_cast<std::size_t>(k)]);
        }
    }
    std::array<u8, 4> firstSide(int pair) const {
        return state->svState.svFirst[static_cast<std::size_t>(pair)];
    }
    std::array<u8, 4> secondSide(int pair) const {
        return state->svState.svSecond[static_cast<std::size_t>(pair)];
    }

private slots:
    void init() {
        state = std::make_unique<MatchState>();
        window = std::make_unique<TForm_SV>(*state);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        state.reset();
    }

    void storingShowsTheSums() {
        QCOMPARE(sum(2, "First"), QStringLiteral("S1"));
        typeThrows(2, {"7", "x", ""}, {"10", "0", "9"});
        QCOMPARE(firstSide(2), (std::array<u8, 4>{})); // nothing is stored before uloz
        click("pair2Store");
        QCOMPARE(firstSide(2), (std::array<u8, 4>{0, 7, 0, 0}));
        QCOMPARE(secondSide(2), (std::array<u8, 4>{0, 1, 0, 9}));
        QCOMPARE(sum(2, "First"), QStringLiteral("7"));
        QCOMPARE(sum(2, "Second"), QStringLiteral("10"));
        QCOMPARE(edit(2, "First", 2)->text(), QStringLiteral("x")); // the edits keep the typed text
        QCOMPARE(sum(1, "First"), QStringLiteral("S1"));
    }

    void clearingTouchesOnePairOnly() {
        for (int q = 1; q <= 3; ++q) {
            click(QStringLiteral("pair%1On").arg(q));
            click(QStringLiteral("pair%1Swap").arg(q));
            typeThrows(q, {"1", "2", "3"}, {"4", "5", "6"});
            click(QStringLiteral("pair%1Store").arg(q));
        }
        click("pair2Clear");
        QCOMPARE(firstSide(2), (std::array<u8, 4>{}));
        QCOMPARE(secondSide(2), (std::array<u8, 4>{}));
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(edit(2, "Second", k)->text(), QStringLiteral("0"));
        QCOMPARE(sum(2, "First"), QStringLiteral("0"));
        QCOMPARE(sum(2, "Second"), QStringLiteral("0"));
        for (int q : {1, 3}) {
            QCOMPARE(firstSide(q), (std::array<u8, 4>{0, 1, 2, 3}));
            QCOMPARE(sum(q, "Second"), QStringLiteral("15"));
            QCOMPARE(edit(q, "First", 3)->text(), QStringLiteral("3"));
        }
        QCOMPARE(state->svState.svOn, (std::array<u8, 4>{0, 1, 1, 1}));
        QCOMPARE(state->controls.svSwapLanes, (std::array<bool, 4>{false, true, true, true}));
        QVERIFY(child<QCheckBox>("pair2On")->isChecked());
    }

    void pairSwitchesWriteTheState() {
        click("pair3On");
        QCOMPARE(state->svState.svOn, (std::array<u8, 4>{0, 0, 0, 1}));
        click("pair3On");
        click("pair1Swap");
        QCOMPARE(state->svState.svOn, (std::array<u8, 4>{}));
        QCOMPARE(state->controls.svSwapLanes, (std::array<bool, 4>{false, true, false, false}));
    }

    void firstThrowOfPairOneHoldsTheLastKey() {
        QTest::keyClicks(edit(1, "First", 1), "73");
        QCOMPARE(edit(1, "First", 1)->text(), QStringLiteral("3"));
        QTest::keyClick(edit(1, "First", 1), Qt::Key_Tab);
        QCOMPARE(edit(1, "First", 1)->text(), QStringLiteral("3"));
        QTest::keyClick(edit(1, "First", 1), Qt::Key_Backspace);
        QCOMPARE(edit(1, "First", 1)->text(), QString());
        QTest::keyClicks(edit(1, "First", 2), "73");
        QCOMPARE(edit(1, "First", 2)->text(), QStringLiteral("73"));
        QTest::keyClicks(edit(2, "First", 1), "73");
        QCOMPARE(edit(2, "First", 1)->text(), QStringLiteral("73"));
    }

    void marksWriteTheTieBreakOfTheRowsSlot() {
        click("mark5_2");
        QCOMPARE(int(state->player[5].tieBreak[2]), 1);
        QCOMPARE(int(state->player[5].tieBreak[1]), 0);
        click("mark5_2");
        QCOMPARE(int(state->player[5].tieBreak[2]), 0);
        click("mark16_1");
        QCOMPARE(int(state->player[16].tieBreak[1]), 1);
    }

    void playerCaptionsComeFromTheRegistry() {
        for (int r = 1; r <= 16; ++r)
            QCOMPARE(child<QLabel>(QStringLiteral("player%1").arg(r))->text(), QStringLiteral("Label27"));
        std::vector<std::string> lines(16);
        lines[0] = "\x8Akoda Petr"; // "Škoda Petr" in Windows-1250
        lines[15] = "Novak Jan";
        window->setPlayerCaptions(lines);
        QCOMPARE(child<QLabel>("player1")->text(), QStringLiteral("Škoda Petr"));
        QCOMPARE(child<QLabel>("player16")->text(), QStringLiteral("Novak Jan"));
        QCOMPARE(child<QLabel>("player2")->text(), QString());
    }
};

QTEST_MAIN(SuddenVictoryWindowTest)
#include "test_sudden_victory_window.moc"
