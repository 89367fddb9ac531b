#include "core/cp1250.h"
#include "registry/registry_file.h"
#include "registry/registry_tree.h"
#include "support/registry_outline.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kuzelna;
namespace fixture = kuzelna::testing;
using fixture::outline;

namespace {

// A registry as the alley keeps it: Czech letters in names and notes, an empty
// note, and a player nested under each team.
const std::string kAlleyFile = cp1250::fromUtf8("TJ Slavoj Plzeň - západ\r\n"
                                                "\tMuži A - Plzeň A\r\n"
                                                "\t\t1234 - Říha Jiří, 12.03.1975 , levák\r\n"
                                                "\t\t77 - Ďurčák Ľuboš, 01.01.1900 , \r\n"
                                                "\tŽeny - \r\n"
                                                "Kuželky Vřesová - \r\n");

} // namespace

TEST(RegistryFile, AlleyFileRoundTripsByteForByte) {
    ASSERT_NE(kAlleyFile.find('\xF8'), std::string::npos) << "fixture must hold Windows-1250 bytes (ř)";
    RegistryTree tree;
    parseRegistry(kAlleyFile, tree);
    EXPECT_EQ(outline(tree), cp1250::fromUtf8("0|TJ Slavoj Plzeň - západ\n"
                                              "1|Muži A - Plzeň A\n"
                                              "2|1234 - Říha Jiří, 12.03.1975 , levák\n"
                                              "2|77 - Ďurčák Ľuboš, 01.01.1900 , \n"
                                              "1|Ženy - \n"
                                              "0|Kuželky Vřesová - \n"));
    const std::string written = serializeRegistry(tree);
    EXPECT_EQ(written, kAlleyFile);

    RegistryTree again;
    parseRegistry(written, again);
    EXPECT_EQ(serializeRegistry(again), kAlleyFile);
}

TEST(RegistryFile, ReadingRules) {
    struct Case {
        const char* what;
        std::string content;
        std::string tree;
    };
    const Case cases[] = {
        {"tabs", "A\r\n\tB\r\n\t\tC\r\n", "0|A\n1|B\n2|C\n"},
        {"spaces count as levels", "A\r\n B\r\n  C\r\n", "0|A\n1|B\n2|C\n"},
        {"tabs and spaces mixed", "A\r\n\tB\r\n \tC\r\n\t D\r\n", "0|A\n1|B\n2|C\n2|D\n"},
        {"lone CR, lone LF, last line without end", "A\rB\n\tC", "0|A\n0|B\n1|C\n"},
        {"CR LF then a lone CR", "A\r\n\r", "0|A\n0|\n"},
        {"NULs at the end are padding", std::string("A\r\n\tB\r\n\0\0", 10), "0|A\n1|B\n"},
        {"empty line is an empty root", "A\r\n\r\n\tB\r\n", "0|A\n0|\n1|B\n"},
        {"indented first line is a root", "\t\tA\r\n\tB\r\n", "0|A\n1|B\n"},
        {"walking up to any ancestor", "A\r\n\tB\r\n\t\tC\r\n\tD\r\nE\r\n\tF\r\n\t\tG\r\nH\r\n",
         "0|A\n1|B\n2|C\n1|D\n0|E\n1|F\n2|G\n0|H\n"},
        {"deeper nodes are kept", "A\r\n\tB\r\n\t\tC\r\n\t\t\tD\r\n", "0|A\n1|B\n2|C\n3|D\n"},
        {"only the indentation is taken off", "A\r\n\tB - x\t y \r\n", "0|A\n1|B - x\t y \n"},
        {"empty file", "", ""},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        parseRegistry(c.content, tree);
        EXPECT_EQ(outline(tree), c.tree) << c.what;
    }
}

TEST(RegistryFile, WritingUsesTabsAndCrLf) {
    RegistryTree tree;
    parseRegistry("A - \n B - b\n  1 - X Y, d , \n\nC - \r", tree);
    EXPECT_EQ(serializeRegistry(tree), "A - \r\n\tB - b\r\n\t\t1 - X Y, d , \r\n\r\nC - \r\n");
}

TEST(RegistryFile, LevelJumpStopsReadingAndKeepsEarlierNodes) {
    RegistryTree tree;
    try {
        parseRegistry("A\r\n\tB\r\n\t\t\tDeep one\r\nC\r\n", tree);
        FAIL() << "a jump of two levels must raise";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Invalid level (3) for item \"Deep one\"");
    }
    EXPECT_EQ(outline(tree), "0|A\n1|B\n");
}

// A read that stops short says where, so that nothing writes the shorter tree
// over the file (the registry window refuses to).
TEST(RegistryFile, ReadsThatStopShortNameTheLine) {
    struct Case {
        const char* what;
        std::string content;
        std::string tree;
        int line;
    };
    const Case cases[] = {
        {"level jump", "A\r\n\tB\r\n\t\t\tC\r\nD\r\n", "0|A\n1|B\n", 3},
        {"NUL inside a line", std::string("A\r\n\tB\0\tC\r\n", 11), "0|A\n1|B\n", 2},
        {"NUL at the start of a line", std::string("A\r\n\0B\r\n", 7), "0|A\n", 2},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        try {
            parseRegistry(c.content, tree);
            ADD_FAILURE() << c.what << ": must raise";
        } catch (const RegistryError& error) {
            EXPECT_EQ(error.kind(), RegistryError::Kind::Incomplete) << c.what;
            EXPECT_TRUE(error.fileHoldsMore()) << c.what;
            EXPECT_EQ(error.line(), c.line) << c.what;
        }
        EXPECT_EQ(outline(tree), c.tree) << c.what;
    }
}

TEST(RegistryFile, EverySaveKeepsThePreviousFileAsBackup) {
    fixture::TempFolder folder;
    const std::string path = folder.file(kRegistryFileName);
    RegistryTree tree;
    tree.appendChild(nullptr, "First - ");
    saveRegistry(tree, path); // nothing to keep yet
    EXPECT_FALSE(std::filesystem::exists(registryBackupPath(path)));

    tree.appendChild(nullptr, "Second - ");
    saveRegistry(tree, path);
    EXPECT_EQ(fixture::readBytes(registryBackupPath(path)), "First - \r\n");
    tree.appendChild(nullptr, "Third - ");
    saveRegistry(tree, path);
    EXPECT_EQ(fixture::readBytes(registryBackupPath(path)), "First - \r\nSecond - \r\n");
    EXPECT_EQ(fixture::readBytes(path), "First - \r\nSecond - \r\nThird - \r\n");
}

TEST(RegistryFile, LoadAndSaveThroughTheFile) {
    fixture::TempFolder folder;
    const std::string path = folder.file(kRegistryFileName);
    fixture::writeBytes(path, kAlleyFile);

    RegistryTree tree;
    loadRegistry(path, tree);
    tree.appendChild(nullptr, "Nový - ");
    saveRegistry(tree, path);
    EXPECT_EQ(fixture::readBytes(path), kAlleyFile + "Nový - \r\n");
    EXPECT_EQ(fixture::temporariesIn(folder.path()), std::vector<std::string>{});

    RegistryTree reread;
    loadRegistry(path, reread);
    EXPECT_EQ(outline(reread), outline(tree));
}

TEST(RegistryFile, MissingFileRaisesAndKeepsTheTree) {
    fixture::TempFolder folder;
    RegistryTree tree;
    tree.appendChild(nullptr, "A - ");
    for (const std::string& path : {folder.file("Hraci.dtb"), folder.path()}) {
        try {
            loadRegistry(path, tree);
            FAIL() << "loading " << path << " must raise";
        } catch (const RegistryError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file " + path);
            EXPECT_EQ(error.kind(),
                      path == folder.path() ? RegistryError::Kind::Unreadable : RegistryError::Kind::Missing);
        }
        EXPECT_EQ(outline(tree), "0|A - \n");
    }
}

TEST(RegistryFile, FailedSaveLeavesTheOldFileIntact) {
    fixture::TempFolder folder;
    RegistryTree tree;
    tree.appendChild(nullptr, "Replacement - ");

    // The backup, written first, cannot replace the folder that stands in its place.
    const std::string path = folder.file(kRegistryFileName);
    fixture::writeBytes(path, kAlleyFile);
    std::filesystem::create_directory(registryBackupPath(path));
    // The target folder does not exist.
    const std::string missingFolder = folder.file("missing/Hraci.dtb");
    // The target itself is a folder, which no file may replace.
    const std::string folderTarget = folder.file("taken");
    std::filesystem::create_directory(folderTarget);

    for (const std::string& target : {path, missingFolder, folderTarget}) {
        try {
            saveRegistry(tree, target);
            FAIL() << "saving to " << target << " must raise";
        } catch (const RegistryError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
            EXPECT_EQ(error.kind(), RegistryError::Kind::Unwritable);
            EXPECT_FALSE(error.cause().empty());
        }
    }
    EXPECT_EQ(fixture::readBytes(path), kAlleyFile);
    EXPECT_TRUE(std::filesystem::is_directory(registryBackupPath(path)));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget));
    EXPECT_EQ(fixture::temporariesIn(folder.path()), std::vector<std::string>{});
}
