#include "aids/manual_team_names_window.h"
#include "aids/startup_settings_window.h"
#include "console/lane_drawing.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/ini_file.h"
#include "core/match_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kuzelna;

namespace {

template <class W> W* child(QWidget& window, const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name));
}

// Triggers Nastavení or "Manualni ovladani" items of the console by their text.
void menuItem(TForm1& window, const QString& menu, const QString& item) {
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* action : top->menu()->actions()) {
            if (action->text() == item) {
                action->trigger();
                return;
            }
        }
    }
    QFAIL(qPrintable(menu + " / " + item + " not found"));
}

} // namespace

class SettingsWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path()));
    }
    void cleanup() { QDir::setCurrent(previous_); }

    void startupSettingsOpenFromTheStateAndSaveIntoTheCurrentFile() {
        QFile file(QStringLiteral("zodided.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Kuzelna]\r\nNazev=Kuzelna Zlin\r\n[Default]\r\ndrah=1\r\nturnaj=0\r\n"
                   "[Vysledkova_tabule]\r\nbody16=1\r\n");
        file.close();

        MatchState state;
        state.displayExtraDefault = 1;
        state.laneLayoutSetting = 1;
        state.gameKindSetting = 255; // outside the list: no item chosen
        WindowSet windows(state);
        TForm_Ovl_prvky& settings = windows.startupSettings();
        menuItem(windows.mainWindow(), QStringLiteral("Nastavení"), QStringLiteral("Ovládací prvky"));
        QVERIFY(settings.isVisible());
        QCOMPARE(settings.windowTitle(), QStringLiteral("Nastavení ovládacích prvků po spuštění"));
        QVERIFY(child<QCheckBox>(settings, "displayExtra")->isChecked());
        QVERIFY(!child<QCheckBox>(settings, "tournament")->isChecked());
        QCOMPARE(child<QComboBox>(settings, "laneLayout")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(settings, "gameKind")->currentIndex(), -1);
        // Five kinds only: the 40-throw game is not offered as a start-up default.
        auto items = [](QComboBox* list) {
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
            return texts;
        };
        QCOMPARE(items(child<QComboBox>(settings, "laneLayout")), (QStringList{"4 ", "2", "6"}));
        QCOMPARE(items(child<QComboBox>(settings, "gameKind")),
                 (QStringList{"200 Hs", "120 Hs", "100 Hs", "  60 Hs", "180 Hs"}));

        // Opening again while open keeps what the operator has changed.
        child<QCheckBox>(settings, "tournament")->setChecked(true);
        menuItem(windows.mainWindow(), QStringLiteral("Nastavení"), QStringLiteral("Ovládací prvky"));
        QVERIFY(child<QCheckBox>(settings, "tournament")->isChecked());

        child<QComboBox>(settings, "gameKind")->setCurrentIndex(4);
        child<QCheckBox>(settings, "transliterate")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(settings, "save"), Qt::LeftButton);
        QVERIFY(!settings.isVisible());

        IniFile ini;
        QVERIFY(ini.load("zodided.ini"));
        QCOMPARE(ini.readString("Kuzelna", "Nazev"), std::string("Kuzelna Zlin"));
        QCOMPARE(ini.readString("Vysledkova_tabule", "body16"), std::string("1"));
        QCOMPARE(ini.readString("Default", "turnaj"), std::string("1"));
        QCOMPARE(ini.readString("Default", "matdisp"), std::string("1"));
        QCOMPARE(ini.readString("Default", "drah"), std::string("1"));
        QCOMPARE(ini.readString("Default", "druh"), std::string("4"));
        QCOMPARE(ini.readString("Default", "d_vollmer"), std::string("1"));
        QCOMPARE(int(state.tournamentDefault), 1);
        QCOMPARE(int(state.gameKindSetting), 4);
        QCOMPARE(int(state.transliterateNames), 1);
        // The running match keeps its configuration and console switches.
        QCOMPARE(int(state.gameKind), 1);
        QVERIFY(!state.controls.tournament);

        // Storno hides without writing.
        menuItem(windows.mainWindow(), QStringLiteral("Nastavení"), QStringLiteral("Ovládací prvky"));
        child<QComboBox>(settings, "gameKind")->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(settings, "cancel"), Qt::LeftButton);
        QVERIFY(!settings.isVisible());
        QVERIFY(ini.load("zodided.ini"));
        QCOMPARE(ini.readString("Default", "druh"), std::string("4"));
        QCOMPARE(int(state.gameKindSetting), 4);
    }

    void manualTeamNamesReplaceTheRegistryNamesWhileSwitchedOn() {
        MatchState state;
        state.homeTeamName = "Sokol";
        state.guestTeamName = "Slavia";
        WindowSet windows(state);
        TForm_manual_druzstva& manual = windows.manualTeamNames();
        menuItem(windows.mainWindow(), QStringLiteral("Manualni ovladani"),
                 QStringLiteral("Jmena druzstev na displeji"));
        QVERIFY(manual.isVisible());

        child<QLineEdit>(manual, "home")->setText(QStringLiteral("Kuželky Vsetín"));
        child<QCheckBox>(manual, "manual")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(manual, "save"), Qt::LeftButton);
        QVERIFY(!manual.isVisible());
        QCOMPARE(int(state.manualTeamNames), 1);
        QCOMPARE(state.manualHomeName, std::string("Ku\x9E\x65lky Vset\xEDn"));
        QCOMPARE(state.manualGuestName, std::string());
        QCOMPARE(teamLine(state), std::string("Ku\x9E\x65lky V -       "));

        child<QCheckBox>(manual, "manual")->setChecked(false);
        QTest::mouseClick(child<QPushButton>(manual, "save"), Qt::LeftButton);
        QCOMPARE(teamLine(state), std::string("Sokol     - Slavia"));
        menuItem(windows.mainWindow(), QStringLiteral("Manualni ovladani"),
                 QStringLiteral("Jmena druzstev na displeji"));
        QCOMPARE(child<QLineEdit>(manual, "home")->text(), QStringLiteral("Kuželky Vsetín"));
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

QTEST_MAIN(SettingsWindowsTest)
#include "test_settings_windows.moc"
