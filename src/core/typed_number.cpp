#include "core/typed_number.h"

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
    // Digits only from here: a second sign is no digit.
    constexpr long long kLimit = -static_cast<long long>(std::numeric_limits<int>::min());
    long long magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit) return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> parseEntrantNumber(std::string_view text) {
    const std::optional<int> value = parseInteger(text);
    if (!value || *value < 0 || *value > kLastEntrantNumber) return std::nullopt;
    return *value == 0 ? kFirstEntrantNumber : *value;
}

} // namespace kuzelna
