#include "core/settings_notice.h"

#include "core/cp1250.h"
#include "core/ini_file.h"

#include <sys/stat.h>

namespace kuzelna {

OperatorError settingsNotSaved(const std::string& iniPath) {
    return OperatorError(cp1250::fromUtf8("Nastavení se nepodařilo uložit do ") + iniPath +
                             cp1250::fromUtf8(" (soubor jen pro čtení, nebo nelze zapisovat do složky). "
                                              "Platí jen do konce programu."),
                         cp1250::fromUtf8("zodided.ini neuložen"), true);
}

OperatorError settingsNotRead(const std::string& iniPath, const std::string& reason) {
    return OperatorError(cp1250::fromUtf8("Nastavení se neuložilo: ") + iniPath +
                             cp1250::fromUtf8(" nejde přečíst celý: ") + reason +
                             cp1250::fromUtf8(". Soubor zůstal, jak byl, aby nepřišla ostatní nastavení; "
                                              "nové platí jen do konce programu."),
                         cp1250::fromUtf8("zodided.ini nečitelný, neuložen"), true);
}

OperatorError settingsNotSaved(const std::string& iniPath, const std::exception& failure) {
    if (const auto* unread = dynamic_cast<const IniReadError*>(&failure))
        return settingsNotRead(iniPath, unread->what());
    return settingsNotSaved(iniPath);
}

std::optional<OperatorError> secretReadableNotice(const std::string& iniPath, const IniFile& ini) {
    struct stat status {};
    if (!ini.holdsSecret() || ::stat(iniPath.c_str(), &status) != 0) return std::nullopt;
    if ((status.st_mode & (S_IRGRP | S_IROTH)) == 0) return std::nullopt;
    return OperatorError(
        iniPath +
            cp1250::fromUtf8(" obsahuje heslo ke zveřejnění výsledků ([Web] PublishPassword) a "
                             "mohou ho číst i ostatní uživatelé počítače. Příkaz chmod 600 ") +
            iniPath + cp1250::fromUtf8(" to napraví; program ho tak ukládá i sám."),
        cp1250::fromUtf8("zodided.ini čitelný pro ostatní"), true);
}

} // namespace kuzelna
