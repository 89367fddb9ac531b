#include "reports/match_report.h"

#include "core/match_state.h"
#include "core/plain_file_name.h"
#include "reports/overview.h"
#include "reports/referee_figures.h"
#include "reports/set_tally.h"
#include "reports/spreadsheet.h"
#include "reports/tournament_workbook.h"
#include "scoring/game_kinds.h"

#include <algorithm>

namespace kuzelna {
namespace {

// The form holds four sets per player: the rows of a fifth would be those of
// the next duel.
constexpr int kFormSets = 4;
constexpr int kZlinForm = 4;
constexpr int kOldRulesForm = 1;
constexpr int kYouthForm = 2;

void writeNames(Worksheet& sheet, const MatchState& state, int duels) {
    auto column = [](int slot) { return slot % 2 == 1 ? "A" : "K"; };
    auto duel = [](int slot) { return (slot + 1) / 2; };
    for (int slot = 1; slot <= 2 * duels; ++slot) {
        sheet.writeText(cellName(column(slot), 5 + 5 * duel(slot)), state.player[slot].firstName);
    }
    for (int slot = 1; slot <= 2 * duels; ++slot) {
        sheet.writeText(cellName(column(slot), 3 + 5 * duel(slot)), state.player[slot].surname);
    }
    for (int slot = 1; slot <= 2 * duels; ++slot) {
        sheet.writeText(cellName(column(slot), 7 + 5 * duel(slot)), state.player[slot].regNumber);
    }
}

void writeSets(Worksheet& sheet, const MatchState& state, int form, int duels) {
    const int perHalf = throwsPerHalf(state.gameKind);
    const bool twoRowsPerSet = form == kZlinForm && state.lanesPerPlayer == 2;
    const int sets = std::min<int>(state.lanesPerPlayer, kFormSets);
    for (int slot = 1; slot <= 2 * duels; ++slot) {
        const bool home = slot % 2 == 1;
        const std::string full = home ? "D" : "N";
        const std::string clearing = home ? "E" : "O";
        const std::string faults = home ? "F" : "P";
        const int duel = (slot + 1) / 2;
        for (int set = 1; set <= sets; ++set) {
            const SetTally tally = tallySet(state.player[slot], set, perHalf);
            if (twoRowsPerSet) {
                const int row = 3 + 5 * duel + 2 * (set - 1);
                sheet.writeInteger(cellName(full, row), tally.full);
                sheet.writeInteger(cellName(clearing, row + 1), tally.clearing);
                sheet.writeInteger(cellName(faults, row), tally.fullFaults);
                sheet.writeInteger(cellName(faults, row + 1), tally.clearingFaults);
            } else {
                const int row = 2 + 5 * duel + set;
                sheet.writeInteger(cellName(full, row), tally.full);
                sheet.writeInteger(cellName(clearing, row), tally.clearing);
                sheet.writeInteger(cellName(faults, row), tally.faults());
            }
        }
    }
}

// The referee's part of the form: the lane of every set, set points and duel
// points, the match result, the alley and the referee. The form adds up the
// team's set and duel points itself.
void writeRefereeFigures(Worksheet& sheet, const MatchState& state, int form, int duels) {
    const bool twoRowsPerSet = form == kZlinForm && state.lanesPerPlayer == 2;
    const bool setPointsOnForm = form != kOldRulesForm;
    const int sets = std::min<int>(state.lanesPerPlayer, kFormSets);
    for (int slot = 1; slot <= 2 * duels; ++slot) {
        const bool home = slot % 2 == 1;
        const int duel = (slot + 1) / 2;
        const int top = 3 + 5 * duel;
        for (int set = 1; set <= sets; ++set) {
            const int row = twoRowsPerSet ? top + 2 * (set - 1) : top + set - 1;
            sheet.writeInteger(cellName(home ? "C" : "M", row), overviewLaneOfSet(state, slot, set));
            if (!setPointsOnForm) continue;
            const std::string cell = cellName(home ? "H" : "R", row);
            if (setPlayed(state, slot, set)) {
                sheet.writeNumber(cell, setPointsOf(state, slot, set));
            } else {
                sheet.writeText(cell, ""); // not played yet: no points, not a lost set
            }
        }
        sheet.writeNumber(cellName(home ? (setPointsOnForm ? "I" : "H") : (setPointsOnForm ? "S" : "R"), top),
                          duelPointsOf(state, slot));
    }
    const int footer = 3 + 5 * (reportFormDuels(form) + 1) + 1;
    const MatchFigures match = matchFigures(state, duels);
    sheet.writeInteger(cellName("C", footer + 2), match.homePins);
    sheet.writeInteger(cellName("F", footer + 2), match.guestPins);
    sheet.writeNumber(cellName("L", footer + 2), match.homeMatchPoints);
    sheet.writeNumber(cellName("P", footer + 2), match.guestMatchPoints);
    sheet.writeText(cellName("B", footer + 4), state.refereeName);
    sheet.writeText(cellName("I", footer + 4), state.refereeNumber);
    sheet.writeText("L4", state.alleyName);
    sheet.writeText("Q2", state.alleyApproval);
}

} // namespace

int reportFormDuels(int form) {
    return form == kYouthForm ? 3 : 8;
}

std::string reportTemplateName(int form) {
    switch (form) {
    case 1:
        return "zapis2.xls";
    case 2:
        return "zapis_dorost.xls";
    case 3:
        return "zapis_special.xls";
    case 4:
        return "zapis_zlin.xls";
    default:
        return "zapis.xls";
    }
}

std::filesystem::path matchReportPath(const MatchState& state, const std::string& prefix,
                                      const std::string& date, const ReportEnvironment& env) {
    const std::string name = prefix + state.homeTeamTitle + " - " + state.guestTeamTitle + " " +
                             (env.todayForFileName ? env.todayForFileName() : dateForFileName(date)) + ".xls";
    // Team titles come from the registry and the journal.
    requirePlainFileName(name, operatorText("zápisu utkání"));
    return env.currentDirectory / pathFromText(state.formsPath) / pathFromText(name);
}

ReportOutcome vysledky(MatchState& state, SpreadsheetSession& session, int form, int duels,
                       const std::string& prefix, const ReportEnvironment& env, const OverwriteQuestion& ask) {
    if (state.controls.tournament) return writeTournamentResults(state, session, form, env, ask);
    // The form has rows for so many duels; the rows below belong to the totals.
    const int formDuels = reportFormDuels(form);
    const int leftOut = std::max(0, duels - formDuels);
    duels = std::clamp(duels, 0, formDuels);

    Spreadsheet& application = session.start();
    application.setVisible(true);
    application.setDisplayAlerts(true);

    const std::string date = env.today();
    const std::filesystem::path report = matchReportPath(state, prefix, date, env);
    requireFolder(report.parent_path());
    bool reportExists = std::filesystem::exists(report);
    bool copy = false;
    if (reportExists) {
        try {
            application.openWorkbook(report, OpenAs::Document);
        } catch (const WorkbookInUseError&) {
            // Another program holds the report: the operator gets a filled copy.
            application.openWorkbook(report, OpenAs::Template);
            copy = true;
        }
    } else {
        const std::filesystem::path templateFile = env.currentDirectory / reportTemplateName(form);
        requireTemplate(templateFile);
        application.openWorkbook(templateFile, OpenAs::Template);
    }
    application.activateFirstSheet();
    Worksheet& sheet = application.activeSheet();

    sheet.writeText("Q1", date);
    writeNames(sheet, state, duels);
    sheet.writeText("B3", state.homeTeamTitle);
    sheet.writeText("L3", state.guestTeamTitle);
    writeSets(sheet, state, form, duels);
    writeRefereeFigures(sheet, state, form, duels);

    const std::string name = textFromPath(report.filename());
    std::string note;
    if (leftOut > 0) {
        note = operatorText("; formulář má jen ") + std::to_string(formDuels) +
               operatorText(" dvojice, dvojice ") + std::to_string(formDuels + 1) + operatorText("–") +
               std::to_string(formDuels + leftOut) + operatorText(" nezapsány");
    }
    if (copy) {
        return {operatorText("Zápis ") + name + operatorText(" má otevřen jiný program, vyplněna kopie ") +
                application.activeWorkbookTitle() + note};
    }
    // A reopened report stays open unsaved: the operator decides about it.
    if (reportExists) return {operatorText("Zápis přepsán (neuložen): ") + name + note};
#ifdef _WIN32
    // A name ending in a dot keeps Excel from reading the date's dots as the
    // start of an extension; the file system drops the final dot.
    std::filesystem::path saveName = report;
    saveName += ".";
    sheet.saveAs(saveName);
#else
    sheet.saveAs(report);
#endif
    return {operatorText("Zápis uložen: ") + textFromPath(report) + note};
}

} // namespace kuzelna
