#include "core/cp1250.h"
#include "core/match_state.h"
#include "registry/registry_lines.h"

#include <gtest/gtest.h>

using namespace kuzelna;

namespace {

std::string w(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

} // namespace

TEST(RegistryLines, CleaningAndComposing) {
    struct Case {
        const char* what;
        std::string composed, expected;
    };
    const Case cases[] = {
        {"club with empty note", composeTeamLine("Club A", ""), "Club A - "},
        {"team with note", composeTeamLine("Reserve", "RES"), "Reserve - RES"},
        {"empty name loses the leading space", composeTeamLine("", "x"), "- x"},
        {"leading blanks and controls go", composeTeamLine(" \t\x01 Sokol", "n"), "Sokol - n"},
        {"multi-line note joins its lines", composeTeamLine("A", "one\r\ntwo\nthree"), "A - onetwothree"},
        {"Czech letters stay", composeTeamLine(w("Žďár"), w("Šumperk")), w("Žďár - Šumperk")},
        {"player", composePlayerLine({"77", "Prijmeni", "Jmeno", "01.01.1900", ""}),
         "77 - Prijmeni Jmeno, 01.01.1900 , "},
        {"player with note", composePlayerLine({"5", w("Říha"), w("Jiří"), "1.2.1980", "a\nb"}),
         w("5 - Říha Jiří, 1.2.1980 , ab")},
        {"empty player", composePlayerLine({}), "-  ,  , "},
        {"inner control bytes", cleanLine("a\x1F b\x7F\x9A"), "a b\x7F\x9A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.composed, c.expected) << c.what;
}

TEST(RegistryLines, SplittingTeamLines) {
    struct Case {
        std::string line, name, note;
    };
    const Case cases[] = {
        {"Reserve - RES", "Reserve", "RES"},
        {"Club A - ", "Club A", ""},
        {"- x", "", "x"},
        {"A - b-c", "A", "b"},
        {w("Plzeň - Muži - A"), w("Plzeň"), w("Muži ")},
        {"NoSeparator", "NoSeparator", ""},
    };
    for (const auto& c : cases) {
        const auto fields = splitTeamLine(c.line);
        EXPECT_EQ(fields.name, c.name) << c.line;
        EXPECT_EQ(fields.note, c.note) << c.line;
    }
}

TEST(RegistryLines, SplittingPlayerLines) {
    struct Case {
        std::string line;
        PlayerLineFields fields;
    };
    const Case cases[] = {
        {"77 - Prijmeni Jmeno, 01.01.1900 , ", {"77", "Prijmeni", "Jmeno", "01.01.1900", ""}},
        {w("1234 - Říha Jiří, 12.03.1975 , levák - pozor, nový"),
         {"1234", w("Říha"), w("Jiří"), "12.03.1975", w("levák - pozor, nový")}},
        // Spaces beyond the separators stay in the fields: read so, the surname is
        // empty, as loading the line into a slot reads it too.
        {"9 -   Novak   Jan,   2000 ,   x", {"9", "", " Novak   Jan", "  2000", "  x"}},
        {"-  ,  , ", {"", "", "", "", ""}},
        {"77-Novak Jan,1.1.1990,x", {"77", "Novak", "Jan", "1.1.1990", "x"}},
        {"No separators at all", {"No separators at all", "", "", "", ""}},
    };
    for (const auto& c : cases) {
        const auto fields = splitPlayerLine(c.line);
        EXPECT_EQ(fields.regNumber, c.fields.regNumber) << c.line;
        EXPECT_EQ(fields.surname, c.fields.surname) << c.line;
        EXPECT_EQ(fields.firstName, c.fields.firstName) << c.line;
        EXPECT_EQ(fields.birthDate, c.fields.birthDate) << c.line;
        EXPECT_EQ(fields.note, c.fields.note) << c.line;
    }
}

TEST(RegistryLines, SplitThenComposeGivesTheLineBack) {
    for (const std::string& line : {std::string("77 - Prijmeni Jmeno, 01.01.1900 , "),
                                    w("1234 - Říha Jiří, 12.03.1975 , levák - pozor, nový"),
                                    w("0 - Ďurčák Ľuboš, neznámé datum , poznámka")}) {
        EXPECT_EQ(composePlayerLine(splitPlayerLine(line)), line);
    }
    for (const std::string& line : {std::string("Club A - "), w("Muži A - Plzeň A")}) {
        const auto fields = splitTeamLine(line);
        EXPECT_EQ(composeTeamLine(fields.name, fields.note), line);
    }
}

// An "OK" without an edit in the player dialog splits the line and composes it
// again: the line must come back as it was, however empty its fields are.
TEST(RegistryLines, PlayerLinesOfEmptyOrSpacedFieldsComeBackUnchanged) {
    const PlayerLineFields cases[] = {
        {},                                           // the line "-  ,  , " grew by ", " per "OK"
        {"", "", "Jan", "", ""},                      // no surname
        {"12", "", "", "1.1.1990", "n"},              // no names
        {"12", "Novak", "", "", ""},                  // no first name
        {"12", "Van Damme", "Jean", "d", "n"},        // a space in the surname
        {"12 ", " Novak", "  Jan ", " d ", "  n, - x"}, // spaces at the edges of every field
    };
    for (const PlayerLineFields& fields : cases) {
        const std::string line = composePlayerLine(fields);
        std::string again = line;
        for (int ok = 0; ok < 3; ++ok)
            again = composePlayerLine(splitPlayerLine(again));
        EXPECT_EQ(again, line);
    }
}

TEST(RegistryLines, LoadingIntoASlot) {
    struct Case {
        const char* what;
        std::string line;
        bool transliterate;
        std::string regNumber, surname, firstName, birthDate, displayName;
    };
    const std::string spaces18(18, ' ');
    const Case cases[] = {
        {"usual line", "77 - Prijmeni Jmeno, 01.01.1900 , note", false, "77 ", "Prijmeni", "Jmeno",
         " 01.01.1900 ", "Prijmeni Jmeno    "},
        {"empty place", "", false, "", "", "", "", spaces18},
        {"no hyphen", "Just a text, here", false, "Just a text, here", "", "", "", spaces18},
        {"no comma after the first name", "5 - Novak Jan", false, "5 ", "Novak", "Jan", "",
         "Novak Jan         "},
        {"long name is cut", "1 - Abcdefghijkl Mnopqrstuv, x , ", false, "1 ", "Abcdefghijkl", "Mnopqrstuv",
         " x ", "Abcdefghijkl Mnopq"},
        {"transliterated", w("8 - Šťáva Ďolík, 2.2.1990 , "), true, "8 ", w("Šťáva"), w("Ďolík"),
         " 2.2.1990 ", "S ava  olik       "},
        {"Czech kept without transliteration", w("8 - Šťáva Ďolík, d , "), false, "8 ", w("Šťáva"),
         w("Ďolík"), " d ", w("Šťáva Ďolík       ")},
        {"capital L with caron becomes small", w("3 - Ľupták Ľudo, d , "), false, "3 ", w("Ľupták"),
         w("Ľudo"), " d ", w("ľupták ľudo       ")},
        {"small l with caron is no table letter", w("3 - Ľupták Óla, d , "), true, "3 ", w("Ľupták"),
         w("Óla"), " d ", " uptak  la        "},
        {"every table letter", w("0 - ŠšŽžÁáČčÉéĚě ÍíŇňŘřŮůÚúÝý, d , "), true, "0 ", w("ŠšŽžÁáČčÉéĚě"),
         w("ÍíŇňŘřŮůÚúÝý"), " d ", "SsZzAaCcEeEe IiNnR"},
        {"euro sign and ASCII stay", "0 - \x80x~ Q, d , ", true, "0 ", "\x80x~", "Q", " d ",
         "\x80x~ Q             "},
    };
    for (const auto& c : cases) {
        PlayerSlot slot;
        loadPlayerIntoSlot(c.line, slot, c.transliterate);
        EXPECT_EQ(slot.registryLine.str(), c.line) << c.what;
        EXPECT_EQ(slot.regNumber.str(), c.regNumber) << c.what;
        EXPECT_EQ(slot.surname.str(), c.surname) << c.what;
        EXPECT_EQ(slot.firstName.str(), c.firstName) << c.what;
        EXPECT_EQ(slot.birthDate.str(), c.birthDate) << c.what;
        EXPECT_EQ(slot.displayName.str(), c.displayName) << c.what;
    }
}

TEST(RegistryLines, LoadingCutsLongFieldsAndKeepsThrows) {
    PlayerSlot slot;
    slot.throws[1] = 9;
    slot.total = 9;
    slot.duelPoints = 2;
    const std::string longSurname(90, 'S');
    const std::string line = "12 - " + longSurname + " Jan, d , note";
    loadPlayerIntoSlot(line, slot, false);
    EXPECT_EQ(slot.registryLine.str(), line.substr(0, 80));
    EXPECT_EQ(slot.surname.str(), longSurname.substr(0, 80));
    EXPECT_EQ(slot.firstName.str(), "Jan");
    EXPECT_EQ(slot.displayName.str(), std::string(18, 'S'));
    EXPECT_EQ(slot.throws[1], 9);
    EXPECT_EQ(slot.total, 9);
    EXPECT_EQ(slot.duelPoints, 2);
}
