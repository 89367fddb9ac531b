#include "reports/report_settings.h"

#include "core/ini_file.h"
#include "core/match_state.h"

namespace kuzelna {
namespace {

// Loads the current file whole (or raises IniReadError) and saves it with
// `write` applied. A read-only file is left alone: it is saved through a new
// file renamed over it, which a writable folder would allow.
template <class Write> bool rewriteIni(MatchState& state, const std::filesystem::path& iniPath, Write write) {
    IniFile ini = IniFile::loadForUpdate(iniPath.string(), state.settingsFileSeen);
    try {
        namespace fs = std::filesystem;
        const fs::file_status status = fs::status(iniPath);
        if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return false;
        }
        write(ini);
        ini.save(iniPath.string());
        state.settingsFileSeen = true;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

AccompanyingTexts accompanyingTexts(const MatchState& state) {
    return {state.alleyName, state.alleyApproval, state.refereeName, state.refereeNumber};
}

bool saveAccompanyingTexts(MatchState& state, const AccompanyingTexts& texts,
                           const std::filesystem::path& iniPath) {
    const bool written = rewriteIni(state, iniPath, [&](IniFile& ini) {
        ini.writeString("Kuzelna", "Nazev", texts.alleyName);
        ini.writeString("Kuzelna", "Kolaudace", texts.alleyApproval);
        ini.writeString("Rozhodci", "Jmeno", texts.refereeName);
        ini.writeString("Rozhodci", "Cislo", texts.refereeNumber);
    });
    if (!written) return false;
    state.alleyName = texts.alleyName;
    state.alleyApproval = texts.alleyApproval;
    state.refereeName = texts.refereeName;
    state.refereeNumber = texts.refereeNumber;
    return true;
}

bool saveFormsPath(MatchState& state, const std::string& formsPath, const std::filesystem::path& iniPath) {
    state.formsPath = formsPath;
    return rewriteIni(state, iniPath,
                      [&](IniFile& ini) { ini.writeString("Formulare", "Cesta", formsPath); });
}

} // namespace kuzelna
