#include "reports/report_settings.h"

#include "core/ini_file.h"
#include "core/match_state.h"

namespace kuzelna {
namespace {

// Loads the current file and saves it with `write` applied. A file that exists
// but cannot be read is left alone: saving would drop every other setting. A
// read-only file is left alone too: it is saved through a new file renamed over
// it, which a writable folder would allow.
template <class Write> bool rewriteIni(const std::filesystem::path& iniPath, Write write) {
    try {
        namespace fs = std::filesystem;
        const fs::file_status status = fs::status(iniPath);
        if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            return false;
        }
        IniFile ini;
        if (!ini.load(iniPath.string()) && fs::exists(iniPath)) return false;
        write(ini);
        ini.save(iniPath.string());
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
    const bool written = rewriteIni(iniPath, [&](IniFile& ini) {
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
    return rewriteIni(iniPath, [&](IniFile& ini) { ini.writeString("Formulare", "Cesta", formsPath); });
}

} // namespace kuzelna
