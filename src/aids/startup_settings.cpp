#include "aids/startup_settings.h"

#include "core/ini_file.h"
#include "core/match_state.h"

#include <exception>
#include <filesystem>

namespace kuzelna {

namespace {
int listIndex(int value, int items) {
    return value >= 0 && value < items ? value : -1;
}
} // namespace

StartupSettings startupSettingsFromState(const MatchState& state) {
    StartupSettings settings;
    settings.tournament = state.tournamentDefault != 0;
    settings.displayExtra = state.displayExtraDefault != 0;
    settings.laneLayout = listIndex(state.laneLayoutSetting, kStartupLaneItems);
    settings.gameKind = listIndex(state.gameKindSetting, kStartupKindItems);
    settings.transliterate = state.transliterateNames != 0;
    return settings;
}

bool saveStartupSettings(MatchState& state, const StartupSettings& settings, const std::string& iniPath) {
    state.tournamentDefault = settings.tournament ? 1 : 0;
    state.displayExtraDefault = settings.displayExtra ? 1 : 0;
    state.laneLayoutSetting = static_cast<u8>(settings.laneLayout);
    state.gameKindSetting = static_cast<u8>(settings.gameKind);
    state.transliterateNames = settings.transliterate ? 1 : 0;
    IniFile ini = IniFile::loadForUpdate(iniPath, state.settingsFileSeen);
    try {
        ini.writeBool("Default", "turnaj", settings.tournament);
        ini.writeBool("Default", "matdisp", settings.displayExtra);
        ini.writeInteger("Default", "drah", settings.laneLayout);
        ini.writeInteger("Default", "druh", settings.gameKind);
        ini.writeBool("Default", "d_vollmer", settings.transliterate);
        ini.save(iniPath);
        state.settingsFileSeen = true;
        return true;
    } catch (const std::exception&) {
        // A settings file that cannot be written leaves the running program as it is.
        return false;
    }
}

} // namespace kuzelna
