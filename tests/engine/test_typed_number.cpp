#include "commercial/public_play.h"
#include "core/ini_file.h"
#include "core/match_state.h"
#include "core/typed_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace kuzelna;

namespace {

struct Case {
    const char* text;
    std::optional<int> value;
};

// Every number the operator types, in a window or in zodided.ini.
const Case kTypedNumbers[] = {
    {"0", 0},
    {"42", 42},
    {"+42", 42},
    {"-42", -42},
    {"-0", 0},
    {"007", 7},
    {" \t12\t ", 12},
    {"2147483647", 2147483647},
    {"-2147483648", -2147483647 - 1},
    {"", {}},
    {"  ", {}},
    {"+", {}},
    {"-", {}},
    {"--0", {}},
    {"+-0", {}},
    {"-+0", {}},
    {"++1", {}},
    {"- 1", {}},
    {"1-", {}},
    {"1 2", {}},
    {"12a", {}},
    {"0x10", {}},
    {"1e3", {}},
    {"1.0", {}},
    {"1,0", {}},
    {"2147483648", {}},
    {"-2147483649", {}},
    {"99999999999999999999", {}},
    {"\xA0" "1", {}}, // a non-breaking space is no blank
};

} // namespace

TEST(TypedNumbers, OneRuleForEveryField) {
    for (const Case& c : kTypedNumbers) {
        SCOPED_TRACE('"' + std::string(c.text) + '"');
        EXPECT_EQ(parseInteger(c.text), c.value);

        IniFile ini;
        ini.parse(std::string("[Default]\r\nklic=") + c.text + "\r\n");
        EXPECT_EQ(ini.readInteger("Default", "klic", -7), c.value.value_or(-7));

        // Public play stores the low byte; storing stops at the first refused text.
        PublicPlayLane game;
        game.gamePosition.fill(9);
        std::array<std::string, 6> positions;
        positions.fill("1");
        positions[2] = c.text;
        storePositions(game, positions, positions);
        EXPECT_EQ(game.gamePosition[2], c.value ? static_cast<u8>(*c.value) : 9);
        EXPECT_EQ(game.gamePosition[3], c.value ? 1 : 9);
    }
}

TEST(TypedNumbers, EntrantNumbersHaveOneRange) {
    const Case cases[] = {
        {"1", 1},           {"401", 401}, {" 37 ", 37}, {"0", 1},     {"402", {}},
        {"65537", {}},      {"-1", {}},   {"--0", {}},  {"+-0", {}}, {"2147483647", {}},
        {"-2147483648", {}}, {"x", {}},   {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseEntrantNumber(c.text), c.value) << '"' << c.text << '"';
}
