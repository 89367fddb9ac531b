#include "core/settings_notice.h"

#include "core/cp1250.h"

namespace kuzelna {

OperatorError settingsNotSaved(const std::string& iniPath) {
    return OperatorError(cp1250::fromUtf8("Nastavení se nepodařilo uložit do ") + iniPath +
                             cp1250::fromUtf8(" (soubor jen pro čtení, nebo nelze zapisovat do složky). "
                                              "Platí jen do konce programu."),
                         cp1250::fromUtf8("zodided.ini neuložen"), true);
}

} // namespace kuzelna
