#include "boards/board_numbers.h"

#include <charconv>
#include <limits>

namespace kuzelna {

std::optional<int> parseInteger(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc{} || end != text.data() + text.size() || magnitude < 0) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

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
