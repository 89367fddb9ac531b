#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "scoring/kind_of_game_dialog.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace kuzelna;

namespace {

QListWidget* list(KindOfGameDialog& dialog, const char* name) {
    return dialog.findChild<QListWidget*>(QString::fromLatin1(name));
}

void click(QWidget& parent, const char* name) {
    QTest::mouseClick(parent.findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

class KindOfGameDialogTest : public QObject {
    Q_OBJECT

private slots:
    void createdAtItsFirstItemsAndPresetByTheHraButton() {
        MatchState state;
        WindowSet windows(state);
        KindOfGameDialog& dialog = windows.kindOfGame();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Druh_hry"));
        QCOMPARE(dialog.size(), QSize(292, 390));
        for (const char* name :
             {"gameKind", "laneLayout", "lanePair", "leaguePlayers", "tournamentPlayers", "currentDuel"}) {
            QCOMPARE(list(dialog, name)->currentRow(), 0);
        }
        QCOMPARE(list(dialog, "tournamentPlayers")->count(), 30);
        QCOMPARE(list(dialog, "leaguePlayers")->item(1)->text(), QStringLiteral("4 Hráči"));

        state.gameKind = 4;
        state.laneLayout = 3;
        state.firstPairOfBlock = 7;
        state.controls.tournament = true;
        click(windows.mainWindow(), "gameButton");
        QVERIFY(dialog.isVisible());
        QCOMPARE(list(dialog, "gameKind")->currentRow(), 3);
        QCOMPARE(list(dialog, "laneLayout")->currentRow(), 2);
        QCOMPARE(list(dialog, "currentDuel")->currentRow(), 6);
        QVERIFY(!list(dialog, "leaguePlayers")->isEnabled());
        QVERIFY(list(dialog, "tournamentPlayers")->isEnabled());
        click(windows.mainWindow(), "gameButton");
        QVERIFY(!dialog.isVisible());

        // The menu item toggles without presetting.
        list(dialog, "gameKind")->setCurrentRow(0);
        state.controls.tournament = false;
        windows.mainWindow().hooks.toggleKindOfGame();
        QVERIFY(dialog.isVisible());
        QCOMPARE(list(dialog, "gameKind")->currentRow(), 0);
        QVERIFY(list(dialog, "tournamentPlayers")->isEnabled());
    }

    // "Řízení hry - aktualní hráč" shows whole, on two lines.
    void currentDuelCaptionShowsWhole() {
        MatchState state;
        KindOfGameDialog dialog(state, nullptr);
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->text().startsWith(QStringLiteral("Řízení hry"))) continue;
            const QRect needed = QFontMetrics(label->font())
                                     .boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= label->height(), qPrintable(QString::number(needed.height())));
            QVERIFY(needed.width() <= label->width());
            return;
        }
        QFAIL("no caption");
    }

    void okAppliesTheChosenGame() {
        struct Case {
            bool tournament;
            int kind, layout, pair, league, entrants, duel;
            int gameKind, lanesPerPlayer, laneCount, lanePair, pairCount, firstPair;
        };
        const Case cases[] = {
            // "120 Hs" on "2 Dráhy", lanes 3-4, "8 Hráčů", duel 3
            {false, 1, 1, 1, 2, 0, 2, 2, 4, 2, 2, 8, 3},
            // "180 Hs" on "6 Drah", a tournament of 60 entrants
            {true, 4, 2, 0, 1, 29, 0, 5, 6, 6, 1, 30, 1},
            // "40   Hs" on 4 lanes, "4 Hráči"
            {false, 5, 0, 0, 1, 3, 0, 6, 2, 4, 1, 4, 1},
        };
        for (const Case& c : cases) {
            MatchState state;
            WindowSet windows(state);
            windows.mainWindow()
                .findChild<QCheckBox*>(QStringLiteral("tournament"))
                ->setChecked(c.tournament);
            KindOfGameDialog& dialog = windows.kindOfGame();
            dialog.toggle();
            dialog.setChoice({c.kind, c.layout, c.pair, c.league, c.entrants, c.duel});
            click(dialog, "ok");
            QVERIFY(!dialog.isVisible());
            QCOMPARE(int(state.gameKind), c.gameKind);
            QCOMPARE(int(state.lanesPerPlayer), c.lanesPerPlayer);
            QCOMPARE(state.laneCount, c.laneCount);
            QCOMPARE(int(state.lanePair), c.lanePair);
            QCOMPARE(int(state.pairCount), c.pairCount);
            QCOMPARE(int(state.firstPairOfBlock), c.firstPair);
        }
    }

    void confirmingRepaintsTheConsoleWithTheNewLanes() {
        MatchState state;
        WindowSet windows(state);
        TForm1& console = windows.mainWindow();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        QTest::qWait(50);
        PaintCounter counter;
        console.console()->installEventFilter(&counter);

        // Confirmed without showing the dialog, so that no change of the
        // active window repaints the console on its own.
        KindOfGameDialog& dialog = windows.kindOfGame();
        dialog.setChoice({0, 1, 0, 0, 0, 0}); // "2 Dráhy"
        dialog.confirm();
        QCOMPARE(state.laneCount, 2);
        QTRY_VERIFY(counter.paints > 0);

        // Two lanes centred: the grey frame of lane 1 stands at x0 = 281, no longer at 181.
        const QImage image = console.console()->grab().toImage();
        QCOMPARE(image.pixelColor(281 + 15, 100), QColor(128, 128, 128));
        QCOMPARE(image.pixelColor(181 + 15, 100), console.console()->palette().color(QPalette::Window));
    }

    void theTournamentCaptionActsAsOkAndStornoChangesNothing() {
        MatchState state;
        WindowSet windows(state);
        KindOfGameDialog& dialog = windows.kindOfGame();
        dialog.toggle();
        dialog.setChoice({2, 0, 0, 0, 0, 4});
        click(dialog, "cancel");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(int(state.gameKind), 1);
        QCOMPARE(int(state.firstPairOfBlock), 1);

        dialog.toggle();
        click(dialog, "tournamentCaption");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(int(state.gameKind), 3);
        QCOMPARE(int(state.firstPairOfBlock), 5);
    }

    void aGameTheRotationCannotServeIsRefusedWithItsReason() {
        for (int layout : {0, 1}) { // "180 Hs" on 4 and on 2 lanes
            MatchState state;
            state.gameKind = 2;
            state.lanesPerPlayer = 4;
            WindowSet windows(state);
            KindOfGameDialog& dialog = windows.kindOfGame();
            dialog.toggle();
            dialog.setChoice({4, layout, 0, 1, 0, 2});
            click(dialog, "ok");
            QVERIFY(dialog.isVisible());
            auto* reason = dialog.findChild<QLabel*>(QStringLiteral("refusal"));
            QVERIFY(reason->text().contains(QStringLiteral("180 Hs")));
            QVERIFY2(reason->text().contains(QStringLiteral("na hráče")), qPrintable(reason->text()));
            QCOMPARE(int(state.gameKind), 2);
            QCOMPARE(int(state.lanesPerPlayer), 4);
            QCOMPARE(state.laneCount, 4);
            QCOMPARE(int(state.pairCount), 6);
            QCOMPARE(int(state.firstPairOfBlock), 1);

            // Choosing 6 lanes then goes through and clears the reason.
            dialog.setChoice({4, 2, 0, 1, 0, 2});
            click(dialog, "ok");
            QVERIFY(!dialog.isVisible());
            QCOMPARE(state.laneCount, 6);
            QVERIFY(reason->text().isEmpty());
        }
    }

    // "Řízení hry - aktualní hráč" 17 in a match of 6 duels: its throws would
    // count for nobody, so the dialog refuses it and says why.
    void aCurrentDuelBeyondTheMatchIsRefused() {
        MatchState state;
        WindowSet windows(state);
        KindOfGameDialog& dialog = windows.kindOfGame();
        dialog.toggle();
        dialog.setChoice({3, 0, 0, 0, 0, 16});
        click(dialog, "ok");
        QVERIFY(dialog.isVisible());
        auto* reason = dialog.findChild<QLabel*>(QStringLiteral("refusal"));
        QVERIFY2(reason->text().contains(QStringLiteral("17")), qPrintable(reason->text()));
        QCOMPARE(int(state.firstPairOfBlock), 1);
        QCOMPARE(int(state.gameKind), 1);

        dialog.setChoice({3, 0, 0, 0, 0, 5});
        click(dialog, "ok");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(int(state.firstPairOfBlock), 6);
    }
};

QTEST_MAIN(KindOfGameDialogTest)
#include "test_kind_of_game_dialog.moc"
