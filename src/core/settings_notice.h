#pragma once

// What the operator is told when a settings window cannot write zodided.ini:
// the settings hold for this run only, so a message box says so.

#include "core/errors.h"

#include <exception>
#include <optional>
#include <string>

namespace kuzelna {

class IniFile;

OperatorError settingsNotSaved(const std::string& iniPath);
// The file could not be read whole, so it was left exactly as it is: a save
// would have lost every setting it did not read. `reason` is Windows-1250.
OperatorError settingsNotRead(const std::string& iniPath, const std::string& reason);
// Either of the two, for a save that raised `failure`.
OperatorError settingsNotSaved(const std::string& iniPath, const std::exception& failure);

// Told once at the start: `ini`, read from `iniPath`, holds the publishing
// password, yet other users of the PC may read the file.
std::optional<OperatorError> secretReadableNotice(const std::string& iniPath, const IniFile& ini);

} // namespace kuzelna
