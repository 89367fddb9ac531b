#pragma once

// The report operations as the windows call them: the match report and the
// tournament workbook, "Zavři", the ranking, the choice of the tournament file
// and the player sheets. Errors of the spreadsheet application go on to the
// caller (the central error handler).

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace kuzelna {

struct MatchState;

// The filter of the tournament file dialog, in the "text|pattern|..." form.
constexpr const char* kTournamentFileFilter =
    "Soubory sesitu excel |*.xls|Soubory sesitu excel XP a vyssi |*.xlsx  ";

// The same filter in Qt's "text (pattern);;..." form.
QString qtFileFilter(const QString& filter);

class ReportActions {
public:
    ReportActions(MatchState& state, QWidget* window, SpreadsheetFactory factory,
                  std::function<ReportEnvironment()> environment);

    // vysledky(form, duels, prefix): the buttons "Nové" .. "Zeny" and the menu.
    void writeMatchReport(int form, int duels, const std::string& prefix);
    // "Zavři".
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

    SpreadsheetSession& session() { return session_; }

private:
    MatchState& state_;
    QWidget* window_;
    SpreadsheetFactory factory_;
    std::function<ReportEnvironment()> environment_;
    SpreadsheetSession session_;
};

} // namespace kuzelna
