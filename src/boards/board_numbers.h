#pragma once

// Number texts shared by the boards and their settings dialog.

#include "core/typed_number.h"

#include <string>
#include <string_view>

namespace kuzelna {

// A value kept on the doubled point scale, halved for display in its shortest
// form: 4 -> "2", 3 -> "1" + separator + "5".
std::string halvedText(long doubled, std::string_view decimalSeparator);

} // namespace kuzelna
