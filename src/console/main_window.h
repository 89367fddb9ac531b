#pragma once

// The operator's console: a live picture of every lane in play with the team
// line and the score, the Start button, the switches the engine reads and the
// buttons and menu that open every other window.

#include "console/console_actions.h"

#include <QMainWindow>
#include <QMap>
#include <QString>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
class QRadioButton;
class QRegion;
class QWidget;

namespace kuzelna {

struct MatchState;

// What the console's buttons and menu items reach in the other windows. The
// window set fills these as it creates the windows; a hook left empty does
// nothing (the player export raises an error, which keeps "Tisk k drahy" in the
// status line).
struct ConsoleHooks {
    std::function<void()> toggleOverview;        // "Výsledky - hráči", menu Výsledky → Hráči
    std::function<void()> toggleResultsBoard;    // "Výsledková tabule" without "Turnaj"
    std::function<void()> toggleTournamentBoard; // "Výsledková tabule" with "Turnaj"
    std::function<void()> toggleKeypad;          // "Klávesnice"
    std::function<void()> presetKindOfGame;      // "Hra" button: preset, then toggle
    std::function<void()> toggleKindOfGame;      // menu "Hra"
    std::function<void()> toggleRegistry;        // "Hráči", menu Nastavení → Hráči
    std::function<void(const MatchReportRequest&)> writeMatchReport;
    std::function<void()> closeSpreadsheet;     // "Zavři"
    std::function<void()> rankTournament;       // "Zjisti pořadí"
    std::function<void()> chooseTournamentFile; // "Soubor turnaje"
    PlayerExport exportPlayer;                  // "Vysl1".."Vysl4"
    std::function<void()> openTexts;            // Nastavení → "Doprovodné texty"
    std::function<void()> openTemplatePath;     // Nastavení → "Cesta k formulářům"
    std::function<void()> openStartupSettings;  // Nastavení → "Ovládací prvky"
    std::function<void()> openBoardSettings;    // Nastavení → "Výsledková tabule"
    std::function<void()> openManualTeamNames;  // "Manualni ovladani" → "Jmena druzstev na displeji"
    std::function<void()> openHelp;             // "Nápověda", F1
    std::function<void()> openChanges;          // "Změny"
    std::function<void()> showPublicPlay;       // hidden "Hry"
    std::function<void()> toggleSuddenVictory;  // hidden "Sudden Victory"
    std::function<void()> beforeQuit;           // closes the FTP connection of the result exchange
    // After the close question: unsaved workbooks saved or left; false keeps running.
    std::function<bool()> settleWorkbooks;
    // The close question; answers whether to quit. Empty: the warning box.
    std::function<bool()> confirmClose;
    // Ends the program once closing was confirmed. Empty: QCoreApplication::quit.
    std::function<void()> quit;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // "Display extra" starts as [Default] matdisp says.
    explicit TForm1(MatchState& state, QWidget* parent = nullptr);
    // "Display extra" starts as `displayExtra` says (a simulated alley has
    // every display); the stored default stays as it is.
    TForm1(MatchState& state, bool displayExtra, QWidget* parent = nullptr);

    ConsoleHooks hooks;

    // Draws lane L with its origin at (x0, y0).
    void Kresli_drahu(QPainter& painter, int lane, int x0, int y0);
    // Redraws lane `lane`, or every lane in play and the team line when 0.
    void prekresly(int lane);

    // The client area that holds the lane picture and the controls (792 x 550).
    QWidget* console() const { return canvas_; }

    // The digit of the last score frame drawn at (x, 400), empty when none.
    QString scoreDigitAt(int x) const { return scoreDigits_.value(x); }

    // Paints the lanes, the team line and the score mirror (the paint handler).
    void paintConsole(QPainter& painter, const QRegion& dirty);

    // The menu "Utkání", created on first use; every window that adds an item
    // to it finds it here.
    QMenu* matchMenu();

    // The state was put in place whole (a resumed or a stored match): sets
    // "Turnaj" and "Tandem" as that match had them, without recalculating
    // anything, and the fields the engine and other windows write.
    void restoreScoringSwitches();

    // A stored match is shown instead of the one on the lanes: the caption says
    // which, and "Start" stays off.
    void showStoredMatch(const QString& name);

public slots:
    // Answers to the engine's notifications.
    void laneChanged(int lane);
    void blockChanged();
    void matchEnded();
    void nameSwapSeconds(int seconds);
    void scoreDigit(int x, const QString& text);

    // The fields the engine and other windows write, each brought onto its
    // control when they report a change: controls.statusLine, the "Systém
    // běží" indicator (heartbeat and lane link), the advertising caption, the
    // entrant number and the tournament file. Only the control repaints.
    void statusLineChanged();
    void runningIndicatorChanged();
    void advertCaptionChanged();
    void entrantNumberChanged();
    void tournamentFileChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void readControlsIntoState();
    void requestReport(ReportButton button);
    void printLane(int lane);
    void stepEntrantNumber(int delta);

    MatchState& state_;
    QWidget* canvas_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* nameSwapButton_ = nullptr;
    QPushButton* advertButton_ = nullptr;
    QCheckBox* tournament_ = nullptr;
    QCheckBox* displayExtra_ = nullptr;
    QCheckBox* pairs_ = nullptr;
    QCheckBox* monitors_ = nullptr;
    QCheckBox* monitorTwoLanes_ = nullptr;
    QCheckBox* monitorSums_ = nullptr;
    QCheckBox* tandem_ = nullptr;
    QButtonGroup* setPointGroup_ = nullptr;
    QRadioButton* runningIndicator_ = nullptr;
    QLineEdit* statusLine_ = nullptr;
    QLineEdit* entrantNumber_ = nullptr;
    QLineEdit* tournamentFile_ = nullptr;
    QMap<int, QString> scoreDigits_; // x -> digit text of the last score frame
};

} // namespace kuzelna
