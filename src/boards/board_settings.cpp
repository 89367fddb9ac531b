#include "boards/board_settings.h"

#include "core/ini_file.h"
#include "core/match_state.h"

namespace kuzelna {

void saveBoardSettings(MatchState& state, const BoardSettings& settings, const std::string& iniPath) {
    constexpr const char* kSection = "Vysledkova_tabule";
    IniFile ini = IniFile::loadForUpdate(iniPath, state.settingsFileSeen);
    ini.writeInteger(kSection, "pozicex", settings.left);
    ini.writeInteger(kSection, "pozicey", settings.top);
    ini.writeBool(kSection, "autopozice", settings.autoPosition);
    ini.writeBool(kSection, "body16", settings.score16);
    ini.save(iniPath);
    state.settingsFileSeen = true;

    state.score16 = settings.score16 ? 1 : 0;
    state.boardLeft = settings.left;
    state.boardTop = settings.top;
    state.boardAutoPosition = settings.autoPosition ? 1 : 0;
}

} // namespace kuzelna
