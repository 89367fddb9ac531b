#include "boards/board_settings_dialog.h"
#include "boards/results_board_window.h"
#include "boards/tournament_board_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kuzelna;

// The console's "Výsledková tabule" button and menu item reach the boards.
class BoardWiringTest : public QObject {
    Q_OBJECT
private slots:
    void boardButtonTogglesTheBoardOfTheMode() {
        MatchState state;
        WindowSet windows(state);
        TForm1& main = windows.mainWindow();
        main.show();
        auto* button = main.findChild<QPushButton*>("boardButton");
        auto* tournament = main.findChild<QCheckBox*>("tournament");
        QVERIFY(button && tournament);
        QCOMPARE(button->text(), QStringLiteral("Výsledková tabule"));

        button->click();
        QVERIFY(windows.resultsBoard().isVisible());
        QVERIFY(windows.tournamentBoard().isHidden());
        button->click();
        QVERIFY(windows.resultsBoard().isHidden());

        tournament->click();
        QVERIFY(state.controls.tournament);
        button->click();
        QVERIFY(windows.tournamentBoard().isVisible());
        QVERIFY(windows.tournamentBoard().repaintTimer().isActive());
        QVERIFY(windows.resultsBoard().isHidden());
        button->click();
        QVERIFY(windows.tournamentBoard().isHidden());
    }

    void settingsMenuItemOpensTheBoardSettings() {
        MatchState state;
        state.boardAutoPosition = 0;
        state.boardLeft = 1440;
        WindowSet windows(state);
        QAction* item = nullptr;
        for (QAction* action : windows.mainWindow().findChildren<QAction*>())
            if (action->text() == QStringLiteral("Výsledková tabule")) item = action;
        QVERIFY(item);
        item->trigger();
        QVERIFY(windows.boardSettings().isVisible());
        QCOMPARE(windows.boardSettings().xEdit()->text(), QStringLiteral("1440"));
    }
};

QTEST_MAIN(BoardWiringTest)
#include "test_board_wiring.moc"
