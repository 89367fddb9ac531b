#pragma once

// The report operations as the windows call them: the match report and the
// tournament workbook, "Zavři", the ranking, the choice of the tournament file
// and the player sheets.
//
// The spreadsheet application runs on a thread of its own (SpreadsheetWorker):
// a click takes a snapshot of the match state, posts the operation and returns
// at once, so that the lane link and the displays never wait for the office.
// The outcome comes back here: the status line says what was written and
// where, or why not; a failure also shows a message box. From the click until
// then the cursor is busy and the status line reads "Připravuji …".

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"
#include "reports/tournament_entrants.h"

#include <QMessageBox>
#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace kuzelna {

struct MatchState;
class SpreadsheetWorker;

// The filter of the tournament file dialog, in the "text|pattern|..." form.
constexpr const char* kTournamentFileFilter =
    "Soubory sesitu excel |*.xls|Soubory sesitu excel XP a vyssi |*.xlsx  ";

// The same filter in Qt's "text (pattern);;..." form.
QString qtFileFilter(const QString& filter);

class ReportActions : public QObject {
    Q_OBJECT

public:
    // `interrupt` breaks off an office call that hangs when the program ends.
    ReportActions(MatchState& state, QWidget* window, SpreadsheetFactory factory,
                  std::function<ReportEnvironment()> environment, std::function<void()> interrupt = {});
    ~ReportActions() override;

    // vysledky(form, duels, prefix): the buttons "Nové" .. "Zeny" and the menu.
    void writeMatchReport(int form, int duels, const std::string& prefix);
    // "Zavři": every workbook of the session closes; unsaved changes are asked about first.
    void closeSpreadsheet();
    // "Zjisti pořadí".
    void rankTournament();
    // "Soubor turnaje": the open-file dialog; the chosen file's name (without
    // its folder) becomes the tournament file. `chooseFile` replaces the dialog
    // in tests.
    void chooseTournamentFile();
    std::function<QString(QWidget*, const QString& folder, const QString& filter)> chooseFile;
    // Vysledky_hraci: "TISK" and "Vysl1".."Vysl4".
    void exportPlayer(int slot, bool home);

    // Before the program ends: workbooks this program changed and did not save
    // are saved or left open for the operator, as the operator answers; false
    // when the operator chose to keep the program running.
    bool settleBeforeQuit();

    // The questions and the failure box; tests replace them. `ask` returns the
    // button pressed.
    std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons buttons,
                                              const QMap<QMessageBox::StandardButton, QString>& captions)>
        ask;
    std::function<void(const QString& text)> tell;

    // Operations posted and not yet shown.
    int pending() const { return pending_; }
    // Workbooks changed by this program and not saved, as last reported by the office.
    const std::vector<std::filesystem::path>& unsavedWorkbooks() const { return unsaved_; }
    SpreadsheetWorker& worker() { return *worker_; }

signals:
    // An operation's outcome has been shown.
    void finished();
    // "Soubor turnaje" chose a file: controls.tournamentFile names it.
    void tournamentFileChanged();

private:
    struct Result;
    using Operation = std::function<std::string(MatchState& snapshot, SpreadsheetSession& session)>;
    using Apply = std::function<void(const MatchState& snapshot)>;
    void run(const QString& preparing, Operation operation, Apply apply = {});
    void show(const std::shared_ptr<Result>& result);
    // Asks, from the worker thread, on the user-interface thread; waits for the answer.
    OverwriteAnswer askOverwrite(const EntrantOverwrite& overwrite);

    MatchState& state_;
    QWidget* window_;
    SpreadsheetFactory factory_;
    std::function<ReportEnvironment()> environment_;
    std::unique_ptr<SpreadsheetWorker> worker_;
    int pending_ = 0;
    std::vector<std::filesystem::path> unsaved_;
};

} // namespace kuzelna
