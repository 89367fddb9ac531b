#pragma once

// What the operator is told when a settings window cannot write zodided.ini:
// the settings hold for this run only, so a message box says so.

#include "core/errors.h"

#include <string>

namespace kuzelna {

OperatorError settingsNotSaved(const std::string& iniPath);

} // namespace kuzelna
