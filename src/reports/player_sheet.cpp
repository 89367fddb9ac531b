#include "reports/player_sheet.h"

#include "core/match_state.h"
#include "core/plain_file_name.h"
#include "reports/report_outcome.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"

#include <algorithm>

namespace kuzelna {
namespace {

constexpr int kCellsPerHalf = 25;
constexpr const char* kThrowColumns[10] = {"C", "D", "E", "F", "G", "H", "I", "J", "K", "L"};

// The lane rotation seen from the player: which table and which of its rows
// gives the lanes of this player's sets.
struct LaneSequence {
    int layout;
    int row;
};

LaneSequence laneSequence(const MatchState& state, bool homeSide, int slot) {
    if (state.laneLayout == 1) {
        const int row = slot % 4;
        return {1, row == 0 ? 4 : row};
    }
    return {state.laneLayout == 2 ? 2 : 3, homeSide ? 1 : 2};
}

std::string throwCell(int half, int throwNumber) {
    const int row = 5 * half - 1 + (throwNumber - 1) / 10;
    return cellName(kThrowColumns[(throwNumber - 1) % 10], row);
}

} // namespace

std::filesystem::path playerSheetPdf(const MatchState& state, int slot, const ReportEnvironment& env) {
    const PlayerSlot& player = state.player[static_cast<std::size_t>(std::clamp(slot, 0, kMaxSlots))];
    std::string name = compactPlayerName(player);
    if (name.empty()) name = operatorText("Hráč ") + std::to_string(slot);
    const std::string date = env.todayForFileName ? env.todayForFileName() : env.today();
    const std::string file = dateForFileName(name + " " + date) + ".pdf";
    requirePlainFileName(file, operatorText("výpisu hráče"));
    return playerSheetsFolder(state, env) / pathFromText(file);
}

PlayerSheetFiles playerSheetFiles(const MatchState& state, const ReportEnvironment& env) {
    const char* variant = state.lanesPerPlayer == 2 ? "2" : state.lanesPerPlayer == 4 ? "4" : "6";
    const std::filesystem::path folder = playerSheetsFolder(state, env);
    return {folder / (std::string("zVypis") + variant + ".xls"),
            folder / (std::string("Vypis") + variant + ".xls")};
}

void Vysledky_hraci(MatchState& state, const SpreadsheetFactory& startApplication, bool homeSide, int slot,
                    const ReportEnvironment& env) {
    if (slot > kMaxSlots || slot < 0) return;
    std::unique_ptr<Spreadsheet> application = startApplication();
    if (!application) throw SpreadsheetError("the spreadsheet application could not be started");
    application->setVisible(false);
    application->setDisplayAlerts(false);

    const PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
    const int perHalf = throwsPerHalf(state.gameKind);
    const LaneSequence lanes = laneSequence(state, homeSide, slot);
    const int halves = 2 * state.lanesPerPlayer;

    const PlayerSheetFiles files = playerSheetFiles(state, env);
    const bool copyExists = std::filesystem::exists(files.workingCopy);
    if (copyExists) {
        application->openWorkbook(files.workingCopy, OpenAs::Document);
    } else {
        application->openWorkbook(files.templateFile, OpenAs::Template);
    }
    Worksheet& sheet = application->activeSheet();

    sheet.writeText("C1", player.firstName.str() + " " + player.surname.str());
    sheet.writeText("K1", "r.\xE8.: " + player.regNumber.str());
    sheet.writeText("O1", homeSide ? "Dom\xE1\x63\xED" : "Host\xE9");
    for (int half = 1; half <= halves; ++half) {
        const int lane = laneOfSet(lanes.layout, lanes.row, (half + 1) / 2);
        sheet.writeText(cellName("I", 5 * half - 2), "\xE8. " + std::to_string(lane));
    }
    for (int half = 1; half <= halves; ++half) {
        int zeros = 0;
        for (int c = 1; c <= std::min(perHalf, kCellsPerHalf); ++c) {
            const int index = (half - 1) * perHalf + c;
            const int pins = index <= kMaxThrows ? player.throws[static_cast<std::size_t>(index)] : 0;
            zeros += pins == 0 ? 1 : 0;
            sheet.writeText(throwCell(half, c), std::string(1, static_cast<char>('0' + pins)));
        }
        sheet.writeText(cellName("P", 5 * half + 1), std::to_string(zeros));
        for (int c = perHalf + 1; c <= kCellsPerHalf; ++c)
            sheet.writeText(throwCell(half, c), " ");
    }

    // The first export makes the working copy; later ones start from it.
    if (!copyExists) sheet.saveAs(files.workingCopy);
    // Without a printer each player gets a PDF of his own.
    const PrintOutcome printed = application->printAllSheets(playerSheetPdf(state, slot, env));
    application->quit();
    if (!printed.onPrinter) {
        state.controls.statusLine = "Tisk do PDF: " + textFromPath(printed.pdf.filename());
        throw NotPrintedError(printed.pdf);
    }
    state.controls.statusLine = "Tisk OK";
}

} // namespace kuzelna
