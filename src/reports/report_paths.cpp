#include "reports/report_paths.h"

#include "core/cp1250.h"
#include "core/match_state.h"

namespace kuzelna {

std::filesystem::path pathFromText(const std::string& text) {
    const std::string utf8 = cp1250::toUtf8(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string textFromPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return cp1250::fromUtf8(std::string(utf8.begin(), utf8.end()));
}

std::string dateForFileName(const std::string& date) {
    std::string name = date;
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':') c = '-';
    }
    return name;
}

std::filesystem::path tournamentFolder(const ReportEnvironment& env) {
    const std::filesystem::path folder = env.currentDirectory / "turnaj";
    return std::filesystem::is_directory(folder) ? folder : env.currentDirectory;
}

std::filesystem::path playerSheetsFolder(const MatchState& state, const ReportEnvironment& env) {
#ifdef _WIN32
    (void)state;
    (void)env;
    return std::filesystem::path("c:\\zodided");
#else
    if (state.playerSheetsPath.empty()) return env.currentDirectory;
    return env.currentDirectory / pathFromText(state.playerSheetsPath);
#endif
}

} // namespace kuzelna
