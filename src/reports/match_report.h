#pragma once

// The official match report ("Zápis o utkání"): a workbook made from one of
// five templates, filled with the date, the team titles, every player's names
// and registration number and the sums of every set, and saved into the
// reports folder. With "Turnaj" checked the same request writes the tournament
// workbook instead.

#include "reports/report_outcome.h"
#include "reports/report_paths.h"
#include "reports/tournament_entrants.h"

#include <filesystem>
#include <string>

namespace kuzelna {

struct MatchState;
class SpreadsheetSession;

// The report forms: 0 "Nové", 1 "Staré", 2 "Dorost", 3 "Special",
// 4 "100H divize zlín", 5 the monitor and women's reports.
constexpr int kMonitorForm = 5;

// The duels a form has rows for: 3 on the youth form, 8 on the others.
int reportFormDuels(int form);

// The template of a form, in the current directory ("zapis.xls" above 4).
std::string reportTemplateName(int form);

// The report's file: the reports folder, then the prefix, the home team title,
// " - ", the guest team title, " ", the date and ".xls". Titles are used as
// they are, spaces included.
std::filesystem::path matchReportPath(const MatchState& state, const std::string& prefix,
                                      const std::string& date, const ReportEnvironment& env);

// vysledky: writes the report of `duels` duels with form `form` and file-name
// prefix `prefix`, or the tournament workbook when "Turnaj" is checked (`ask`
// is its overwrite question). An existing report of the same name is reopened,
// rewritten and left unsaved for the operator; a new one is saved; one that
// another program holds is filled as a copy. Duels beyond the form's rows are
// left out, and the outcome says so. The application stays open and visible.
// A missing template or reports folder raises ReportFailure before anything is
// shown.
ReportOutcome vysledky(MatchState& state, SpreadsheetSession& session, int form, int duels,
                       const std::string& prefix, const ReportEnvironment& env,
                       const OverwriteQuestion& ask = {});

} // namespace kuzelna
