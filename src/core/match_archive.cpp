#include "core/match_archive.h"

#include "core/ini_file.h"
#include "core/match_state.h"
#include "reports/datagrams.h"
#include "scoring/slots.h"

namespace kuzelna {
namespace {

// Letters, digits and '-' stay; every run of anything else becomes one '_'.
std::string fileNamePart(const std::string& cp1250, const char* fallback) {
    const std::string plain = stripDiacritics(cp1250);
    std::string out;
    for (const char c : plain) {
        const bool keep =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        if (keep) {
            out.push_back(c);
        } else if (!out.empty() && out.back() != '_') {
            out.push_back('_');
        }
    }
    while (!out.empty() && out.back() == '_')
        out.pop_back();
    return out.empty() ? fallback : out.substr(0, 40);
}

} // namespace

std::string archiveFolderSetting(const IniFile& ini) {
    const std::string folder = ini.readString("Archiv", "Slozka", "");
    return folder.empty() ? kDefaultArchiveFolder : folder;
}

std::string archiveBaseName(const MatchState& state, const std::string& created) {
    std::string when;
    for (const char c : created) {
        if (c >= '0' && c <= '9') when.push_back(c);
    }
    when.resize(12, '0'); // YYYYMMDDhhmm
    const std::string stamp =
        when.substr(0, 4) + "-" + when.substr(4, 2) + "-" + when.substr(6, 2) + "_" + when.substr(8, 4);
    return stamp + "_" + fileNamePart(shownHomeName(state), "Domaci") + "_" +
           fileNamePart(shownGuestName(state), "Hoste");
}

} // namespace kuzelna
