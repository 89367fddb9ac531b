#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

using namespace kuzelna;

class WindowSetTest : public QObject {
    Q_OBJECT

private slots:
    void windowsAreCreatedOnceInTheirOrderAndOnlyTheConsoleShows() {
        // The start-up order of every window of the program, by object name.
        const QStringList order = {
            "TForm1",
            "Tvysl1",
            "Klavesnice",
            "THraci_main",
            "Klub",
            "Druzstvo",
            "Hrac",
            "Druh_hry",
            "Zmena_hodu",
            "Vysledkova_tabule",
            "Texty",
            "Form_Ovl_prvky",
            "Cesta_k_formularum",
            "Nastaveni_tabule",
            "Komercni_provoz",
            "Turnaj",
            "Sudden_Victory",
            "Form_manual_druzstva",
            "Napoveda",
            "Zmeny",
        };
        MatchState state;
        WindowSet windows(state);
        QStringList created;
        for (QWidget* window : windows.windows()) {
            QVERIFY(window->isWindow());
            created << window->objectName();
        }
        QCOMPARE(created.first(), QStringLiteral("TForm1"));
        for (const char* built :
             {"Tvysl1", "Klavesnice", "THraci_main", "Klub", "Druzstvo", "Hrac", "Druh_hry", "Zmena_hodu",
              "Form_Ovl_prvky", "Komercni_provoz", "Sudden_Victory", "Form_manual_druzstva"}) {
            QVERIFY2(created.contains(built), built);
        }
        int last = -1;
        for (const QString& name : created) {
            const int at = order.indexOf(name);
            QVERIFY2(at > last, qPrintable(name + " out of order or unknown"));
            last = at;
        }
        QCOMPARE(created.removeDuplicates(), 0);

        windows.mainWindow().show();
        for (QWidget* window : windows.windows()) {
            QCOMPARE(window->isVisible(), window == &windows.mainWindow());
        }
    }

    void closingAWindowHidesItAndItStaysForTheNextOpening() {
        MatchState state;
        WindowSet windows(state);
        QWidget* keypad = windows.windows().at(2);
        QCOMPARE(keypad->objectName(), QStringLiteral("Klavesnice"));
        QPointer<QWidget> guard(keypad);
        WindowSet::toggle(*keypad);
        QVERIFY(keypad->isVisible());
        QVERIFY(keypad->close());
        QCoreApplication::processEvents();
        QVERIFY(!guard.isNull());
        QVERIFY(!keypad->isVisible());
        WindowSet::toggle(*keypad);
        QVERIFY(keypad->isVisible());
    }
};

QTEST_MAIN(WindowSetTest)
#include "test_window_set.moc"
