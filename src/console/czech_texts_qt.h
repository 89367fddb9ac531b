#pragma once

// Qt's own texts (file and folder dialogs, message box buttons) in Czech, like
// every text of the program.

class QCoreApplication;

namespace kuzelna {

// Installs Qt's Czech translations when they are installed (Debian package
// qt6-translations-l10n); false when they are not there.
bool installCzechTranslations(QCoreApplication& app);

} // namespace kuzelna
