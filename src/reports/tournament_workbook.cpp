#include "reports/tournament_workbook.h"

#include "core/match_state.h"
#include "core/plain_file_name.h"
#include "core/typed_number.h"
#include "reports/match_report.h"
#include "reports/set_tally.h"
#include "reports/spreadsheet.h"
#include "scoring/game_kinds.h"
#include "scoring/slots.h"

#include <algorithm>

namespace kuzelna {
namespace {

constexpr int kFirstRow = 3;                          // entrant n is on row n + 3
constexpr int kRankedEntries = kStandingsEntries - 1; // a 53rd entry only takes what is pushed down
constexpr const char* kSetColumns[6][3] = {{"F", "G", "H"}, {"J", "K", "L"}, {"N", "O", "P"},
                                           {"R", "S", "T"}, {"V", "W", "X"}, {"Z", "AA", "AB"}};

int entrantNumber(const MatchState& state) {
    const std::string& text = state.controls.entrantNumberText;
    const std::optional<int> value = parseEntrantNumber(text);
    if (!value) {
        throw SpreadsheetError("the entrant number \"" + text + "\" is not a number in " +
                               std::to_string(kFirstEntrantNumber) + ".." + std::to_string(kLastEntrantNumber));
    }
    return *value;
}

// The name comes from the console's edit or a journal: a file in the folder, nothing else.
std::filesystem::path tournamentWorkbookPath(const MatchState& state, const ReportEnvironment& env) {
    requirePlainFileName(state.controls.tournamentFile, operatorText("souboru turnaje"));
    return tournamentFolder(env) / pathFromText(state.controls.tournamentFile);
}

void openTournamentWorkbook(Spreadsheet& application, const MatchState& state, const ReportEnvironment& env,
                            bool copyWhenHeld = false) {
    const std::filesystem::path file = tournamentWorkbookPath(state, env);
    if (std::filesystem::exists(file)) {
        try {
            application.openWorkbook(file, OpenAs::Document);
        } catch (const WorkbookInUseError&) {
            if (!copyWhenHeld) throw; // results written into a copy would be lost
            application.openWorkbook(file, OpenAs::Template);
        }
    } else {
        requireTemplate(env.currentDirectory / kTournamentTemplate);
        application.openWorkbook(env.currentDirectory / kTournamentTemplate, OpenAs::Template);
    }
}

struct Keys {
    int total = 0, clearing = 0, faults = 0;
};

Keys keysOf(const StandingsEntry& entry) {
    return {entry.total, entry.clearing, entry.faults};
}

Keys keysOf(const StandingsEntry& first, const StandingsEntry& second) {
    return {first.total + second.total, first.clearing + second.clearing, first.faults + second.faults};
}

// Whether a stored competitor ranks below a new one: fewer pins, or as many
// with fewer clearing pins, or both equal with more faults.
bool ranksBelow(const Keys& stored, const Keys& incoming) {
    if (stored.total != incoming.total) return stored.total < incoming.total;
    if (stored.clearing != incoming.clearing) return stored.clearing < incoming.clearing;
    return stored.faults > incoming.faults;
}

u16 readCount(Worksheet& sheet, const char* column, int row) {
    return static_cast<u16>(sheet.readInteger(cellName(column, row)));
}

StandingsEntry readEntry(Worksheet& sheet, int row, const std::string& surname,
                         const std::string& firstName) {
    StandingsEntry entry;
    entry.name = playerName(surname, firstName);
    entry.total = readCount(sheet, "AD", row);
    entry.clearing = readCount(sheet, "AN", row);
    entry.faults = readCount(sheet, "AE", row);
    entry.full = readCount(sheet, "AO", row);
    return entry;
}

StandingsEntry readEntry(Worksheet& sheet, int row) {
    const std::string surname = sheet.readText(cellName("B", row));
    const std::string firstName = sheet.readText(cellName("C", row));
    return readEntry(sheet, row, surname, firstName);
}

} // namespace

ReportOutcome writeTournamentResults(MatchState& state, SpreadsheetSession& session, int form,
                                     const ReportEnvironment& env, const OverwriteQuestion& ask) {
    Spreadsheet& application = session.start();
    application.setVisible(true);
    application.setDisplayAlerts(true);

    if (form == kMonitorForm) {
        // The monitor workbook is only opened, for the operator to show.
        const std::filesystem::path monitor =
            env.currentDirectory / pathFromText(state.formsPath) / kTournamentMonitorWorkbook;
        if (std::filesystem::exists(monitor)) {
            application.openWorkbook(monitor, OpenAs::Document);
        } else {
            requireTemplate(env.currentDirectory / kTournamentMonitorTemplate);
            application.openWorkbook(env.currentDirectory / kTournamentMonitorTemplate, OpenAs::Template);
        }
        return {operatorText("Otevřen sešit pro monitor")};
    }

    openTournamentWorkbook(application, state, env);
    application.activateFirstSheet();
    Worksheet& sheet = application.activeSheet();
    int first = entrantNumber(state);
    const int slots = slotsInMatch(state);
    if (ask) {
        const EntrantOverwrite overwrite = entrantOverwrite(sheet, state, first, slots);
        if (!overwrite.holders.empty()) {
            switch (ask(overwrite)) {
            case OverwriteAnswer::StartAtFirstFree:
                first = overwrite.firstFree;
                break;
            case OverwriteAnswer::Overwrite:
                break;
            case OverwriteAnswer::Cancel:
                throw ReportCancelled();
            }
        }
        state.controls.entrantNumberText = std::to_string(first);
    }
    auto row = [&](int slot) { return slot + first + kFirstRow - 1; };

    sheet.writeText("AF1", env.today());
    for (int slot = 1; slot <= slots; ++slot)
        sheet.writeText(cellName("C", row(slot)), state.player[slot].firstName);
    for (int slot = 1; slot <= slots; ++slot)
        sheet.writeText(cellName("B", row(slot)), state.player[slot].surname);
    for (int slot = 1; slot <= slots; ++slot)
        sheet.writeText(cellName("D", row(slot)), state.player[slot].regNumber);
    for (int slot = 1; slot <= slots; ++slot)
        sheet.writeText(cellName("E", row(slot)), state.player[slot].birthDate);

    const int perHalf = throwsPerHalf(state.gameKind);
    const int sets = std::min<int>(state.lanesPerPlayer, std::size(kSetColumns));
    for (int slot = 1; slot <= slots; ++slot) {
        for (int set = 1; set <= sets; ++set) {
            const SetTally tally = tallySet(state.player[slot], set, perHalf);
            // A set not played yet stays empty, so a later write can fill it.
            if (tally.full == 0) continue;
            const auto& columns = kSetColumns[set - 1];
            sheet.writeInteger(cellName(columns[0], row(slot)), tally.full);
            sheet.writeInteger(cellName(columns[1], row(slot)), tally.clearing);
            sheet.writeInteger(cellName(columns[2], row(slot)), tally.faults());
        }
    }

    const std::filesystem::path file = tournamentWorkbookPath(state, env);
    const std::string written = operatorText("Turnaj zapsán od č. ") + std::to_string(first) + ": ";
    if (std::filesystem::exists(file)) return {written + textFromPath(file) + operatorText(" (neuloženo)")};
    sheet.saveAs(file);
    return {written + textFromPath(file)};
}

void insertRankedEntry(MatchState& state, int count, const StandingsEntry& entry) {
    auto& standings = state.standings;
    for (int j = 1; j < count; ++j) {
        if (ranksBelow(keysOf(standings[j]), keysOf(entry))) {
            for (int k = count - 1; k >= j; --k)
                standings[k + 1] = standings[k];
            standings[j] = entry;
            return;
        }
    }
    if (count <= kRankedEntries) standings[count] = entry;
}

void insertRankedPair(MatchState& state, int count, const StandingsEntry& first,
                      const StandingsEntry& second) {
    auto& standings = state.standings;
    const int pairs = count / 2;
    if (pairs < 1) return; // a count below 2 holds no pair
    const Keys incoming = keysOf(first, second);
    if (count > 3) {
        for (int j = 1; j < pairs; ++j) {
            if (ranksBelow(keysOf(standings[2 * j - 1], standings[2 * j]), incoming)) {
                for (int k = pairs - 1; k >= j; --k) {
                    standings[2 * k + 1] = standings[2 * k - 1];
                    standings[2 * k + 2] = standings[2 * k];
                }
                standings[2 * j - 1] = first;
                standings[2 * j] = second;
                return;
            }
        }
    }
    if (count <= kRankedEntries) {
        standings[2 * pairs - 1] = first;
        standings[2 * pairs] = second;
    }
}

ReportOutcome rankTournament(MatchState& state, SpreadsheetSession& session, const ReportEnvironment& env) {
    Spreadsheet& application = session.start();
    application.setVisible(true);
    application.setDisplayAlerts(false);
    // Reading only: a workbook another program holds is read from a copy.
    openTournamentWorkbook(application, state, env, true);
    // A workbook this program has open is ranked with what was written into it.
    const bool openHere = application.activeWorkbookWasOpen();
    application.activateFirstSheet();
    Worksheet& sheet = application.activeSheet();

    int count = 0;
    int last = 0;
    int pairs = 0;
    bool oddEntrantNamed = false; // the first member of the pair being read
    for (int entrant = 1; entrant <= kTournamentEntrants; ++entrant) {
        const int row = entrant + kFirstRow;
        const std::string surname = sheet.readText(cellName("B", row));
        const std::string firstName = sheet.readText(cellName("C", row));
        const bool named = !surname.empty() || !firstName.empty();
        if (named) last = entrant;
        if (!state.controls.pairs) {
            if (!named) continue;
            count = std::min(count + 1, kStandingsEntries);
            insertRankedEntry(state, count, readEntry(sheet, row, surname, firstName));
            continue;
        }
        // Pairs go by entrant number, 2q - 1 with 2q, whatever rows are blank
        // around them; a pair is ranked only once both its rows are named.
        if (entrant % 2 == 1) {
            oddEntrantNamed = named;
            continue;
        }
        if (!named || !oddEntrantNamed) continue;
        ++pairs;
        count = std::min(2 * pairs, kStandingsEntries);
        const StandingsEntry first = readEntry(sheet, row - 1);
        insertRankedPair(state, count, first, readEntry(sheet, row, surname, firstName));
    }
    session.quitCurrent();
    state.controls.entrantNumberText = std::to_string(last + 1);
    return {operatorText("Pořadí sestaveno z ") + std::to_string(last) + operatorText(" řádků") +
            (openHere ? operatorText(" otevřeného sešitu, i s neuloženými výsledky") : "")};
}

} // namespace kuzelna
