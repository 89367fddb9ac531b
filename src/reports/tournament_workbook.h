#pragma once

// The tournament workbook: one row per entrant (entrant n on row n + 3), filled
// game by game, and the ranking that reads it back into the standings of the
// tournament board.

#include "core/typed_number.h"
#include "reports/report_outcome.h"
#include "reports/report_paths.h"
#include "reports/tournament_entrants.h"

#include <string>

namespace kuzelna {

struct MatchState;
struct StandingsEntry;
class SpreadsheetSession;

constexpr const char* kTournamentTemplate = "turnaj_form_180HS.xls";
constexpr const char* kTournamentMonitorWorkbook = "turnaj_monitor.xls";
constexpr const char* kTournamentMonitorTemplate = "turnaj_form_180HS_monitor.xls";

// The report request with "Turnaj" checked: writes the running game's entrants
// from the entrant number in the console on. Form 5 only opens the monitor
// workbook. A new tournament file is saved; an existing one is left modified
// and unsaved for the operator. When the game's rows hold other entrants,
// `ask` decides (the entrant number then becomes where the game was written).
ReportOutcome writeTournamentResults(MatchState& state, SpreadsheetSession& session, int form,
                                     const ReportEnvironment& env, const OverwriteQuestion& ask = {});

// "Zjisti pořadí": ranks the entrants (or pairs of entrants with "Dvojice") of
// the tournament workbook into the standings, quits the application and sets
// the entrant number to the first free entrant.
ReportOutcome rankTournament(MatchState& state, SpreadsheetSession& session, const ReportEnvironment& env);

// The ranking's insertion steps, with `count` the running number of entrants
// (singles) or twice the running number of pairs (pairs), including the new
// one, capped as the ranking caps it. An entry that ranks after all stored ones is appended while there
// is room and dropped otherwise.
void insertRankedEntry(MatchState& state, int count, const StandingsEntry& entry);
void insertRankedPair(MatchState& state, int count, const StandingsEntry& first,
                      const StandingsEntry& second);

} // namespace kuzelna
