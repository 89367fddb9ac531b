#include "console/main_window.h"
#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/frame_codec.h"
#include "lanes/match_cycle.h"
#include "support/frames.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace kuzelna;

namespace {

// Hands the cycle's notifications to the window, as the lane server does.
class ToWindow : public MatchEvents {
public:
    explicit ToWindow(TForm1& window) : window_(window) {}
    void scoreDigit(int x, const std::string& text) override {
        window_.scoreDigit(x, QString::fromStdString(text));
    }
    void nameSwapSeconds(int seconds) override { window_.nameSwapSeconds(seconds); }

private:
    TForm1& window_;
};

QRect placeOf(const TForm1& window, const char* name) {
    auto* widget = window.console()->findChild<QWidget*>(QString::fromLatin1(name));
    if (!widget) return {};
    return QRect(widget->mapTo(window.console(), QPoint(0, 0)), widget->size());
}

template <class W> W* child(const TForm1& window, const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name));
}

QColor pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void captionSizeAndControlPlaces() {
        MatchState state;
        TForm1 window(state);
        QCOMPARE(window.windowTitle(), QStringLiteral("Server - Domácí Hoste"));
        QCOMPARE(window.console()->size(), QSize(792, 550));
        QVERIFY(window.minimumSize() == window.maximumSize());

        struct Place {
            const char* name;
            QRect rect;
            const char* caption;
        };
        const Place places[] = {
            {"overviewButton", {8, 512, 89, 25}, "Výsledky - hráči"},
            {"boardButton", {104, 512, 97, 25}, "Výsledková tabule"},
            {"keypadButton", {208, 512, 75, 25}, "Klávesnice"},
            {"gameButton", {616, 512, 75, 25}, "Hra"},
            {"registryButton", {704, 512, 75, 25}, "Hráči"},
            {"startButton", {688, 456, 89, 41}, "Start"},
            {"reportFrame", {328, 456, 209, 81}, nullptr},
            {"monitorReport", {328, 424, 209, 25}, "Výsledky pro monitor"},
            {"nameSwapButton", {688, 408, 75, 25}, "Vymena jmen"},
            {"rankingButton", {96, 368, 75, 25}, "Zjisti pořadí"},
            {"tournamentFile", {184, 368, 121, 21}, nullptr},
            {"tournamentFileButton", {208, 400, 89, 25}, "Soubor turnaje"},
            {"statusLine", {672, 360, 97, 21}, nullptr},
            {"advertButton", {560, 456, 105, 41}, "Zobraz reklamu"},
            {"vysl1", {208, 256, 75, 25}, "Vysl1"},
            {"vysl2", {312, 256, 75, 25}, "Vysl2"},
            {"vysl3", {416, 256, 75, 25}, "Vysl3"},
            {"vysl4", {520, 256, 75, 25}, "Vysl4"},
        };
        for (const Place& p : places) {
            QCOMPARE(placeOf(window, p.name), p.rect);
            if (p.caption) QCOMPARE(child<QPushButton>(window, p.name)->text(), QString::fromUtf8(p.caption));
        }
        struct Corner {
            const char* name;
            QPoint at;
        };
        const Corner corners[] = {
            {"newReport", {336, 472}},        {"youthReport", {384, 472}},   {"oldReport", {432, 472}},
            {"specialReport", {480, 472}},    {"zlinReport", {336, 504}},    {"womenReport", {432, 504}},
            {"closeSpreadsheet", {480, 504}}, {"entrantNumber", {160, 400}}, {"tournament", {16, 424}},
            {"displayExtra", {80, 424}},      {"pairs", {16, 376}},          {"monitors", {200, 432}},
            {"monitorTwoLanes", {200, 456}},  {"monitorSums", {200, 480}},
        };
        for (const Corner& c : corners)
            QCOMPARE(placeOf(window, c.name).topLeft(), c.at);
        QCOMPARE(child<QLineEdit>(window, "tournamentFile")->text(), QStringLiteral("turnaj.xls"));
        QCOMPARE(child<QLineEdit>(window, "entrantNumber")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLineEdit>(window, "statusLine")->text(),
                 QStringLiteral("-----------------------------"));
        QVERIFY(!child<QLineEdit>(window, "statusLine")->isEnabled());
        QVERIFY(child<QRadioButton>(window, "setPoints0")->isChecked());

        window.show();
        for (const char* hidden : {"gamesButton", "suddenVictoryButton", "tandem"}) {
            QVERIFY2(!child<QWidget>(window, hidden)->isVisible(), hidden);
        }
        QVERIFY(child<QPushButton>(window, "startButton")->isVisible());
    }

    void menuHoldsItsItems() {
        MatchState state;
        TForm1 window(state);
        QStringList top;
        for (QAction* action : window.menuBar()->actions())
            top << action->text();
        QCOMPARE(top,
                 (QStringList{"Hra", "Výsledky", "Nastavení", "Nápověda", "Změny", "Manualni ovladani"}));
        QStringList settings;
        for (QAction* action : window.menuBar()->actions()[2]->menu()->actions())
            settings << action->text();
        QCOMPARE(settings, (QStringList{"Hráči", "Doprovodné texty", "Cesta k formulářům", "Ovládací prvky",
                                        "Výsledková tabule"}));

        int kindOfGame = 0, presets = 0;
        window.hooks.toggleKindOfGame = [&] { ++kindOfGame; };
        window.hooks.presetKindOfGame = [&] { ++presets; };
        window.menuBar()->actions()[0]->trigger();
        QCOMPARE(kindOfGame, 1);
        QCOMPARE(presets, 0);
        QTest::mouseClick(child<QPushButton>(window, "gameButton"), Qt::LeftButton);
        QCOMPARE(presets, 1);
    }

    void controlsKeepTheStateInStep() {
        MatchState state;
        state.tournamentDefault = 1;
        TForm1 window(state);
        QVERIFY(child<QCheckBox>(window, "tournament")->isChecked());
        QVERIFY(state.controls.tournament);
        QVERIFY(!state.controls.displayExtra);

        child<QCheckBox>(window, "displayExtra")->setChecked(true);
        child<QCheckBox>(window, "pairs")->setChecked(true);
        child<QRadioButton>(window, "setPoints3")->setChecked(true);
        child<QLineEdit>(window, "tournamentFile")->setText(QStringLiteral("liga.xls"));
        QTest::mouseClick(child<QWidget>(window, "entrantUp"), Qt::LeftButton);
        QVERIFY(state.controls.displayExtra);
        QVERIFY(state.controls.pairs);
        QCOMPARE(state.controls.setPointDisplay, SetPointDisplay::Chars15);
        QCOMPARE(state.controls.tournamentFile, std::string("liga.xls"));
        QCOMPARE(state.controls.entrantNumberText, std::string("2"));

        auto* twoLanes = child<QCheckBox>(window, "monitorTwoLanes");
        auto* sums = child<QCheckBox>(window, "monitorSums");
        QVERIFY(!twoLanes->isEnabled() && !sums->isEnabled());
        child<QCheckBox>(window, "monitors")->setChecked(true);
        QVERIFY(twoLanes->isEnabled() && sums->isEnabled());
        sums->setChecked(true);
        QVERIFY(state.controls.monitorsOn && state.controls.monitorSums && !state.controls.monitorTwoLanes);
        child<QCheckBox>(window, "monitors")->setChecked(false);
        QVERIFY(!twoLanes->isEnabled() && !sums->isEnabled());

        // What other windows write shows on the console when they report it.
        state.controls.statusLine = "Tisk OK";
        state.controls.entrantNumberText = "37";
        state.controls.systemRunningIndicator = true;
        window.statusLineChanged();
        window.entrantNumberChanged();
        window.runningIndicatorChanged();
        QCOMPARE(child<QLineEdit>(window, "statusLine")->text(), QStringLiteral("Tisk OK"));
        QCOMPARE(child<QLineEdit>(window, "entrantNumber")->text(), QStringLiteral("37"));
        QVERIFY(child<QRadioButton>(window, "runningIndicator")->isChecked());
    }

    // "2147483647" typed here once made the tournament workbook's rows overflow.
    void theEntrantNumberTakesOnlyNumbersOfItsRange() {
        MatchState state;
        TForm1 window(state);
        auto* entrant = child<QLineEdit>(window, "entrantNumber");
        entrant->clear();
        QTest::keyClicks(entrant, QStringLiteral("2147483647"));
        QCOMPARE(entrant->text(), QStringLiteral("214"));
        entrant->clear();
        QTest::keyClicks(entrant, QStringLiteral("4x0+2"));
        QCOMPARE(entrant->text(), QStringLiteral("40"));
        QCOMPARE(state.controls.entrantNumberText, std::string("40"));
        entrant->clear();
        QTest::keyClicks(entrant, QStringLiteral("+-7"));
        QCOMPARE(entrant->text(), QStringLiteral("+7"));
        entrant->clear();
        QTest::keyClicks(entrant, QStringLiteral("400"));
        QTest::mouseClick(child<QWidget>(window, "entrantUp"), Qt::LeftButton);
        QTest::mouseClick(child<QWidget>(window, "entrantUp"), Qt::LeftButton);
        QCOMPARE(state.controls.entrantNumberText, std::string("401"));
    }

    void startStopsAndStartsTheFramesOfTheCycle() {
        MatchState state;
        TForm1 window(state);
        ToWindow events(window);
        MatchCycle cycle(state, events);
        auto* start = child<QPushButton>(window, "startButton");
        auto sent = [&cycle](int ticks) {
            std::string bytes;
            for (int i = 0; i < ticks; ++i)
                bytes += cycle.tick();
            return bytes;
        };

        QVERIFY(sent(30).empty()); // nothing before Start
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("Pracuje"));
        const std::string first = cycle.tick();
        const auto body = decodeSentFrame(first);
        QVERIFY(body.has_value());
        QCOMPARE(static_cast<unsigned char>((*body)[0]), 0x90); // the score frame comes first
        QCOMPARE(static_cast<unsigned char>((*body)[1]), 0x94);
        QVERIFY(!sent(9).empty());

        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("Zastaveno"));
        QVERIFY(sent(30).empty());
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("Pracuje"));
        QVERIFY(!sent(3).empty());

        window.matchEnded();
        QCOMPARE(start->text(), QStringLiteral("konec"));
    }

    void nameSwapButtonReleasesTheHoldAndCountsDown() {
        MatchState state;
        TForm1 window(state);
        ToWindow events(window);
        MatchCycle cycle(state, events);
        auto* swap = child<QPushButton>(window, "nameSwapButton");
        state.nameSwapCountdown = 31;
        cycle.tick();
        QCOMPARE(swap->text(), QStringLiteral("3"));
        QTest::mouseClick(swap, Qt::LeftButton);
        QCOMPARE(state.nameSwapCountdown, 1);
        cycle.tick();
        QCOMPARE(swap->text(), QStringLiteral("0"));
    }

    void advertisingAndLanePrintButtons() {
        MatchState state;
        TForm1 window(state);
        auto* advert = child<QPushButton>(window, "advertButton");
        QTest::mouseClick(advert, Qt::LeftButton);
        QCOMPARE(advert->text(), QStringLiteral("Vypni reklamu"));
        QCOMPARE(state.advertNumber, 1);
        state.controls.advertCaption = "Vypni reklamu 4"; // the overview stepping the adverts
        window.advertCaptionChanged();
        QCOMPARE(advert->text(), QStringLiteral("Vypni reklamu 4"));
        QTest::mouseClick(advert, Qt::LeftButton);
        QCOMPARE(advert->text(), QStringLiteral("Zobraz reklamu"));
        QCOMPARE(state.advertNumber, 0);

        QList<QPair<int, bool>> exported;
        window.hooks.exportPlayer = [&](int slot, bool home) { exported.append({slot, home}); };
        QTest::mouseClick(child<QPushButton>(window, "vysl3"), Qt::LeftButton);
        QVERIFY(exported.isEmpty());
        QCOMPARE(child<QLineEdit>(window, "statusLine")->text(),
                 QStringLiteral("-----------------------------"));
        state.laneShownPlayer[3] = 6;
        QTest::mouseClick(child<QPushButton>(window, "vysl3"), Qt::LeftButton);
        QCOMPARE(exported, (QList<QPair<int, bool>>{{5, true}}));
        // The export runs on; it writes its outcome into the status line when done.
        QCOMPARE(child<QLineEdit>(window, "statusLine")->text(), QStringLiteral("Tisk 3 drahy"));

        QList<int> reports;
        window.hooks.writeMatchReport = [&](const MatchReportRequest& r) { reports << r.form << r.duels; };
        state.pairCount = 4;
        QTest::mouseClick(child<QPushButton>(window, "youthReport"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(window, "womenReport"), Qt::LeftButton);
        // "Dorost" asks for the duels played; the form takes what it has rows for.
        QCOMPARE(reports, (QList<int>{2, 4, 5, 4}));
    }

    void lanesAreDrawnWithTheirLampsDigitsAndPlayers() {
        MatchState state;
        state.laneCount = 2;
        state.laneLayout = 2;
        state.player[1].surname = "Nov\xE1k";
        state.player[1].firstName = "Jan";
        state.laneStatus[1] = kuzelna::testing::laneStatus(7, 3);
        state.laneStatus[1][7] = 0x01; // pin 1 lit
        state.laneStatus[1][8] = 0x04; // lamp 10 lit
        state.laneStatus[2] = kuzelna::testing::laneStatus(-1, 0);
        TForm1 window(state);
        const QImage image = window.console()->grab().toImage();
        const QColor background = window.console()->palette().color(QPalette::Window);

        // Two lanes centred: lane 1 at x0 = 281, lane 2 at 381.
        struct Lamp {
            int x0, lamp;
            QColor colour;
        };
        const Lamp lamps[] = {
            {281, 1, QColor(255, 0, 0)}, {281, 10, QColor(0, 128, 0)}, {281, 2, background},
            {281, 11, background},       {381, 1, background},
        };
        const int lampAt[15][2] = {{0, 0},   {30, 50}, {20, 40}, {40, 40}, {10, 30},
                                   {30, 30}, {50, 30}, {20, 20}, {30, 10}, {40, 20},
                                   {50, 60}, {34, 60}, {42, 60}, {10, 60}, {20, 60}};
        for (const Lamp& l : lamps) {
            const int cx = l.x0 + 2 * lampAt[l.lamp][0] + 5, cy = 2 * lampAt[l.lamp][1] + 5;
            QCOMPARE(pixel(image, cx, cy), l.colour);
        }
        // The grey frame around each lane, only where lanes are in play.
        QCOMPARE(pixel(image, 281 + 15, 100), QColor(128, 128, 128));
        QCOMPARE(pixel(image, 381 + 115, 100), QColor(128, 128, 128));
        QCOMPARE(pixel(image, 181 + 15, 100), background);

        // Text under each lane: a name or a slot number; something is drawn there.
        auto inked = [&image, &background](QRect area) {
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    if (image.pixelColor(x, y) != background) return true;
                }
            }
            return false;
        };
        QVERIFY(inked(QRect(281 + 20, 220, 90, 12)));
        QVERIFY(inked(QRect(381 + 20, 220, 10, 12)));
        QVERIFY(!inked(QRect(481 + 20, 220, 90, 12)));
        QVERIFY(inked(QRect(350, 350, 100, 12))); // the team line
    }

    void closeAsksFirst() {
        MatchState state;
        TForm1 window(state);
        bool answer = false;
        int asked = 0, disconnected = 0, quits = 0;
        window.hooks.confirmClose = [&] {
            ++asked;
            return answer;
        };
        window.hooks.beforeQuit = [&] { ++disconnected; };
        window.hooks.quit = [&] { ++quits; };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!window.close());
        QCOMPARE(asked, 1);
        QVERIFY(window.isVisible());
        QCOMPARE(disconnected, 0);
        QCOMPARE(quits, 0);

        answer = true;
        QVERIFY(window.close());
        QCOMPARE(asked, 2);
        QCOMPARE(disconnected, 1);
        QCOMPARE(quits, 1);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
