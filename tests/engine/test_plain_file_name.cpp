#include "core/plain_file_name.h"

#include <gtest/gtest.h>

using namespace kuzelna;

TEST(PlainFileName, OnlyANameInsideItsFolderPasses) {
    struct Case {
        std::string name;
        bool plain;
    };
    const Case cases[] = {
        {"turnaj.xls", true},
        {"Liga 2026 - jaro.xls", true},
        {"..turnaj.xls", true}, // dots inside a name lead nowhere
        {"turnaj..xls", true},
        {"Ku\x9E\x65lna.xls", true},
        {"", false},
        {".", false},
        {"..", false},
        {"../turnaj.xls", false},
        {"turnaj/../../x.xls", false},
        {"/etc/turnaj.xls", false},
        {"/", false},
        {"sub/turnaj.xls", false},
        {"..\\turnaj.xls", false},
        {"\\\\server\\share\\turnaj.xls", false},
        {"C:turnaj.xls", false},
        {"c:\\turnaj.xls", false},
        {"turnaj\n.xls", false},
        {std::string("turnaj\0.xls", 11), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isPlainFileName(c.name), c.plain) << c.name;
        if (c.plain) {
            EXPECT_NO_THROW(requirePlainFileName(c.name, "souboru"));
        } else {
            EXPECT_THROW(requirePlainFileName(c.name, "souboru"), OperatorError) << c.name;
        }
    }
}

TEST(PlainFileName, TheRefusalNamesWhatAndTheName) {
    try {
        requirePlainFileName("../x.xls", "souboru turnaje");
        FAIL() << "not refused";
    } catch (const OperatorError& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("souboru turnaje"), std::string::npos) << text;
        EXPECT_NE(text.find("\"../x.xls\""), std::string::npos) << text;
        EXPECT_TRUE(error.workAtRisk());
    }
}
