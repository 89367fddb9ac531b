#include "reports/result_files.h"

#include "core/match_state.h"
#include "scoring/game_kinds.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace kuzelna {

std::string resultFileContent(const MatchState& state) {
    const int slots = std::min(2 * static_cast<int>(state.pairCount), kMaxSlots);
    const int throws = std::min(state.lanesPerPlayer * 2 * throwsPerHalf(state.gameKind), kMaxThrows);
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

void replaceFile(const std::string& path, const std::string& content) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + temporary.string());
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot replace " + path + ": " + error.message());
    }
}

void writeResultFiles(const MatchState& state, const std::string& directory) {
    const std::string content = resultFileContent(state);
    const std::filesystem::path folder(directory);
    replaceFile((folder / kResultFileA).string(), content);
    replaceFile((folder / kResultFileB).string(), content);
}

} // namespace kuzelna
