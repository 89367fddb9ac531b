// The tournament's inputs: a workbook of any names and sums ranked with or
// without "Dvojice", the entrant number as typed, and the running game written
// into the workbook; then the tournament board over whatever that left. The
// board's list names only stored places and slots that exist.

#include "boards/tournament_board.h"
#include "core/match_state.h"
#include "core/typed_number.h"
#include "fuzz_input.h"
#include "reports/spreadsheet.h"
#include "reports/tournament_workbook.h"
#include "support/recording_spreadsheet.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

using namespace kuzelna;

namespace {

// One folder for the whole run, with the template and the tournament file, so
// that nothing is ever saved and each input sees the same files.
const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        const auto p = std::filesystem::temp_directory_path() / ("kuzelna-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        std::ofstream(p / kTournamentTemplate).put('\n');
        std::ofstream(p / "turnaj.xls").put('\n');
        std::atexit([] { std::filesystem::remove_all(folder()); });
        return p;
    }();
    return path;
}

testing::CellValue cellValue(fuzz::Input& in) {
    if (in.byte() % 4 == 0) return in.text();
    return in.number(-70000, -5536) + 70000 * (in.byte() % 2); // beyond 16 bits both ways
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    auto state = std::make_unique<MatchState>();
    MatchState& s = *state;
    s.controls.tournament = true;
    s.controls.pairs = in.flag();
    s.controls.entrantNumberText = in.text();
    s.pairCount = static_cast<u8>(in.number(0, 40));
    s.laneCount = in.number(0, 8);
    s.firstPairOfBlock = static_cast<u8>(in.number(0, 40));
    s.gameKind = static_cast<u8>(in.number(0, 7));
    s.lanesPerPlayer = static_cast<u8>(in.number(0, 7));

    testing::SpreadsheetRecorder recorder;
    testing::Cells& cells = recorder.workbooks[(folder() / "turnaj.xls").string()];
    for (int rows = in.byte() % 64; rows > 0 && !in.empty(); --rows) {
        const std::string row = std::to_string(in.number(1, kTournamentEntrants) + 3);
        cells["B" + row] = in.text();
        cells["C" + row] = in.text();
        for (const char* column : {"AD", "AN", "AE", "AO"})
            cells[column + row] = cellValue(in);
    }
    for (int slot = 1; slot <= kMaxSlots && !in.empty(); ++slot) {
        PlayerSlot& p = s.player[static_cast<std::size_t>(slot)];
        p.surname = in.text();
        p.fullTotal = static_cast<u16>(in.number(0, 65535));
        p.clearingTotal = static_cast<u16>(in.number(0, 65535));
        p.throws[static_cast<std::size_t>(in.number(1, kMaxThrows))] = in.byte() % 10;
    }

    SpreadsheetSession session(recorder.factory());
    const ReportEnvironment env{folder(), [] { return std::string("1.1.2025"); }};
    try {
        rankTournament(s, session, env);
        FUZZ_CHECK(parseEntrantNumber(s.controls.entrantNumberText).has_value());
    } catch (const SpreadsheetError&) {
    }
    try {
        writeTournamentResults(s, session, in.number(0, 5), env);
    } catch (const SpreadsheetError&) {
    }
    try {
        const TournamentBoardTexts texts = tournamentBoardTexts(s);
        for (int place = 1; place <= kStandingsPlaces; ++place) {
            const int value = s.standingsOrder[static_cast<std::size_t>(place)];
            FUZZ_CHECK(value <= kStandingsEntries || (value > kLiveCompetitorBase &&
                                                      value <= kLiveCompetitorBase + kMaxSlots));
        }
        for (const TournamentLine& line : texts.places)
            FUZZ_CHECK(line.name.size() <= 2 * 80 + 1);
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
