#include "boards/board_numbers.h"

namespace kuzelna {

std::string halvedText(long doubled, std::string_view decimalSeparator) {
    const bool negative = doubled < 0;
    const unsigned long magnitude =
        negative ? static_cast<unsigned long>(-doubled) : static_cast<unsigned long>(doubled);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 2);
    if (magnitude % 2 != 0) {
        text += decimalSeparator;
        text += '5';
    }
    return text;
}

} // namespace kuzelna
