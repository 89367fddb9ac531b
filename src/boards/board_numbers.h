#pragma once

// Number texts shared by the boards and their settings dialog.

#include <optional>
#include <string>
#include <string_view>

namespace kuzelna {

// A whole decimal number as an operator types it: blanks around it, an optional
// sign, digits, within the range of a 32-bit integer. Anything else has no value.
std::optional<int> parseInteger(std::string_view text);

// A value kept on the doubled point scale, halved for display in its shortest
// form: 4 -> "2", 3 -> "1" + separator + "5".
std::string halvedText(long doubled, std::string_view decimalSeparator);

} // namespace kuzelna
