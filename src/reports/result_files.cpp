#include "reports/result_files.h"

#include "core/cp1250.h"
#include "core/errors.h"
#include "core/file_replace.h"
#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/slots.h"

#include <filesystem>

namespace kuzelna {

std::string resultFileContent(const MatchState& state) {
    const int slots = slotsInMatch(state);
    const int throws = throwsPerPlayer(state);
    std::string out;
    for (int s = 1; s <= slots; ++s) {
        const PlayerSlot& slot = state.player[static_cast<std::size_t>(s)];
        out += slot.regNumber.str();
        out += ',';
        out += std::to_string(slot.throwCount);
        out += ',';
        for (int j = 1; j <= throws; ++j) {
            const u8 pins = slot.throws[static_cast<std::size_t>(j)];
            if (pins >= 1 && pins <= 9) {
                out += static_cast<char>('0' + pins);
            } else {
                out += j <= slot.throwCount ? '0' : '-';
            }
            out += ',';
        }
        out += "\r\n";
    }
    return out;
}

void writeResultFiles(const MatchState& state, const std::string& directory) {
    const std::string content = resultFileContent(state);
    const std::filesystem::path folder(directory);
    replaceFile((folder / kResultFileA).string(), content);
    replaceFile((folder / kResultFileB).string(), content);
}

} // namespace kuzelna

namespace kuzelna {

void ResultFileWriter::write(MatchState& state, const std::string& directory) {
    try {
        writeResultFiles(state, directory);
    } catch (const std::runtime_error& failure) {
        if (failing_) return; // said once; tried again at the next write
        failing_ = true;
        throw OperatorError(cp1250::fromUtf8("Výsledkové soubory vyst_a.csv a vyst_b.csv nelze zapsat: ") +
                                failure.what(),
                            cp1250::fromUtf8("vyst_*.csv nezapsány"), false);
    }
    if (failing_) {
        failing_ = false;
        state.controls.statusLine = cp1250::fromUtf8("vyst_*.csv zapsány");
    }
}

} // namespace kuzelna
