#include "aids/keypad.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace kuzelna;

TEST(Keypad, EveryKeyCarriesItsMatrixCode) {
    // Caption and code of every key of the lane controller's keypad.
    const std::multimap<std::string, int> expected = {
        {"PLNE", 0x01}, {"DORAZ", 0x02}, {"NULO.", 0x04},  {"CHYBA", 0x08}, {"START", 0x11}, {"STOP", 0x12},
        {"x1", 0x14},   {"x10", 0x18},   {"Karty", 0x21},  {"x1", 0x22},    {"x10", 0x24},   {"x100", 0x28},
        {"0", 0x32},    {"1", 0x41},     {"2", 0x42},      {"3", 0x44},     {"4", 0x48},     {"5", 0x51},
        {"6", 0x52},    {"7", 0x54},     {"8", 0x58},      {"9", 0x61},     {"HRA", 0x62},   {"x1", 0x68},
        {"x10", 0x71},  {"x100", 0x72},  {"Nastav", 0x74}, {"S/S", 0x78},
    };
    std::multimap<std::string, int> actual;
    std::set<int> codes;
    std::set<std::pair<int, int>> places;
    for (const KeypadKey& key : kKeypadKeys) {
        actual.emplace(key.caption, key.code);
        codes.insert(key.code);
        places.emplace(key.halfColumn, key.row);
        // 16 x row + 2^column of a 8 x 4 matrix
        const int row = key.code >> 4, bits = key.code & 0x0F;
        EXPECT_LT(row, 8) << key.caption;
        EXPECT_TRUE(bits == 1 || bits == 2 || bits == 4 || bits == 8) << key.caption;
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(codes.size(), kKeypadKeys.size());
    EXPECT_EQ(places.size(), kKeypadKeys.size()) << "two keys on one place";
}
