#include "reports/match_report.h"

#include "core/match_state.h"
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

} // namespace

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
    const std::string name =
        prefix + state.homeTeamTitle + " - " + state.guestTeamTitle + " " + dateForFileName(date) + ".xls";
    return env.currentDirectory / pathFromText(state.formsPath) / pathFromText(name);
}

void vysledky(MatchState& state, SpreadsheetSession& session, int form, int duels, const std::string& prefix,
              const ReportEnvironment& env) {
    if (state.controls.tournament) {
        writeTournamentResults(state, session, form, env);
        return;
    }
    // Player slots end at 60.
    duels = std::clamp(duels, 0, kMaxSlots / 2);

    Spreadsheet& application = session.start();
    application.setVisible(true);
    application.setDisplayAlerts(true);

    const std::string date = env.today();
    const std::filesystem::path report = matchReportPath(state, prefix, date, env);
    const bool reportExists = std::filesystem::exists(report);
    if (reportExists) {
        application.openWorkbook(report, OpenAs::Document);
    } else {
        application.openWorkbook(env.currentDirectory / reportTemplateName(form), OpenAs::Template);
    }
    application.activateFirstSheet();
    Worksheet& sheet = application.activeSheet();

    sheet.writeText("Q1", date);
    writeNames(sheet, state, duels);
    sheet.writeText("B3", state.homeTeamTitle);
    sheet.writeText("L3", state.guestTeamTitle);
    writeSets(sheet, state, form, duels);

    // A reopened report stays open unsaved: the operator decides about it.
    if (reportExists) return;
#ifdef _WIN32
    // A name ending in a dot keeps Excel from reading the date's dots as the
    // start of an extension; the file system drops the final dot.
    std::filesystem::path saveName = report;
    saveName += ".";
    sheet.saveAs(saveName);
#else
    sheet.saveAs(report);
#endif
}

} // namespace kuzelna
