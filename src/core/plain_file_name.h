#pragma once

// A file name that comes from a file or a setting (a journal, zodided.ini, a
// team title, the console's edit) names a file inside the folder the program
// joins it to, never a path of its own: "../x.xls" or "/etc/x" would make a
// report write wherever they point.

#include "core/errors.h"

#include <string>
#include <string_view>

namespace kuzelna {

// Not empty, no '/' or '\', not "." or "..", no drive letter ("C:"), no
// control character. Texts are Windows-1250 bytes.
bool isPlainFileName(std::string_view name);

// Throws the refusal unless `name` is a plain file name; `what` says what it
// names ("souboru turnaje"), Windows-1250.
void requirePlainFileName(const std::string& name, const std::string& what);

} // namespace kuzelna
