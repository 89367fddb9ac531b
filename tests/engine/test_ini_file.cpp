#include "core/ini_file.h"
#include "core/settings_notice.h"
#include "support/unprivileged_files.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

using namespace kuzelna;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const fs::path& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kuzelna_ini_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

} // namespace

TEST(IniFile, ReadsValuesWithWindowsRules) {
    IniFile ini;
    ini.parse("; alley settings\r\n"
              "[Kuzelna]\r\n"
              "Nazev = Kuzelna Vsetin \r\n"
              "Kolaudace=\"  2001 \"\r\n"
              "[DEFAULT]\r\n"
              "drah=2\r\n"
              "druh=12abc\r\n"
              "turnaj=ano\r\n"
              "matdisp=0\r\n"
              "d_vollmer=\r\n"
              "pozicex=-40\r\n"
              "Nazev=jina sekce\r\n"
              "[Kuzelna]\r\n"
              "Nazev=druhy vyskyt\r\n");
    EXPECT_EQ(ini.readString("kuzelna", "NAZEV"), "Kuzelna Vsetin"); // first section wins, any case
    EXPECT_EQ(ini.readString("Kuzelna", "Kolaudace"), "  2001 ");
    EXPECT_EQ(ini.readString("Kuzelna", "Chybi", "x"), "x");
    EXPECT_EQ(ini.readString("Nic", "Nazev", "y"), "y");
    EXPECT_EQ(ini.readInteger("Default", "drah", 0), 2);
    EXPECT_EQ(ini.readInteger("Default", "druh", 7), 7); // malformed integer
    EXPECT_EQ(ini.readInteger("Default", "pozicex", 0), -40);
    EXPECT_EQ(ini.readInteger("Default", "chybi", 9), 9);
    EXPECT_TRUE(ini.readBool("Default", "turnaj", false)); // any value but 0
    EXPECT_FALSE(ini.readBool("Default", "matdisp", true));
    EXPECT_TRUE(ini.readBool("Default", "d_vollmer", true)); // empty: the default
    EXPECT_FALSE(ini.readBool("Default", "chybi", false));
    EXPECT_TRUE(ini.readBool("Default", "drah", false));
    EXPECT_TRUE(ini.hasKey("default", "DRAH"));
    EXPECT_FALSE(ini.hasKey("Kuzelna", "drah"));
}

TEST(IniFile, WritingKeepsEverythingElseInPlace) {
    const std::string original = "; comment\r\n"
                                 "[Kuzelna]\r\n"
                                 "Nazev=Stara\r\n"
                                 "\r\n"
                                 "[Default]\r\n"
                                 "turnaj=0\r\n"
                                 "junk line without equals\r\n"
                                 "\r\n";
    IniFile ini;
    ini.parse(original);
    EXPECT_EQ(ini.content(), original);

    ini.writeString("KUZELNA", "nazev", "Nova");
    ini.writeString("Kuzelna", "Kolaudace", "2024");
    ini.writeBool("Default", "matdisp", true);
    ini.writeInteger("Vysledkova_tabule", "pozicex", 1280);
    ini.writeString("Default", "turnaj", "1\r\n[Hack]");
    EXPECT_EQ(ini.content(), "; comment\r\n"
                             "[Kuzelna]\r\n"
                             "nazev=Nova\r\n"
                             "Kolaudace=2024\r\n"
                             "\r\n"
                             "[Default]\r\n"
                             "turnaj=1  [Hack]\r\n"
                             "junk line without equals\r\n"
                             "matdisp=1\r\n"
                             "\r\n"
                             "[Vysledkova_tabule]\r\n"
                             "pozicex=1280\r\n");
}

TEST(IniFile, LfFilesStayLfAndAFinalLineWithoutBreakGetsOne) {
    IniFile ini;
    ini.parse("[A]\nx=1");
    ini.writeString("A", "y", "2");
    EXPECT_EQ(ini.content(), "[A]\nx=1\ny=2\n");
    ini.parse("[A]\nx=1");
    ini.writeString("B", "z", "3");
    EXPECT_EQ(ini.content(), "[A]\nx=1\n[B]\nz=3\n");
}

TEST_F(IniFileTest, BrokenFileLoadsWithoutLossAndSavesOnlyTheChange) {
    std::string junk = "\x01\x02[\xff\xfe\r\n=\r\n[Default\r\n";
    junk += std::string("\0\0binary\0", 9);
    junk += "\rstray cr\n[Default]\ndrah=2\n\xa0\xa1=\xa2\n";
    const fs::path file = dir / "zodided.ini";
    writeAll(file, junk);

    IniFile ini;
    ASSERT_TRUE(ini.load(file.string()));
    EXPECT_EQ(ini.content(), junk);
    ini.writeInteger("Default", "drah", 1);
    ini.save(file.string());

    std::string expected = junk;
    expected.replace(expected.find("drah=2"), 6, "drah=1");
    EXPECT_EQ(readAll(file), expected);
    EXPECT_EQ(kuzelna::testing::temporariesIn(dir), std::vector<std::string>{});
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndIsCreatedBySave) {
    const fs::path file = dir / "zodided.ini";
    IniFile ini;
    EXPECT_FALSE(ini.load(file.string()));
    EXPECT_EQ(ini.readInteger("Default", "drah", 5), 5);
    ini.writeString("Rozhodci", "Jmeno", "Nov\xE1k");
    ini.save(file.string());
    EXPECT_EQ(readAll(file), "[Rozhodci]\r\nJmeno=Nov\xE1k\r\n");
}

TEST_F(IniFileTest, FailedSaveThrowsAndLeavesTheOldFile) {
    const fs::path file = dir / "zodided.ini";
    writeAll(file, "[A]\r\nx=1\r\n");
    IniFile ini;
    ini.load(file.string());
    ini.writeString("A", "x", "2");

    EXPECT_THROW(ini.save((dir / "missing_folder" / "zodided.ini").string()), std::runtime_error);
    // A folder standing where the file should go cannot be replaced.
    fs::create_directories(dir / "taken" / "zodided.ini" / "inside");
    EXPECT_THROW(ini.save((dir / "taken" / "zodided.ini").string()), std::runtime_error);
    EXPECT_EQ(kuzelna::testing::temporariesIn(dir / "taken"), std::vector<std::string>{});
    EXPECT_EQ(readAll(file), "[A]\r\nx=1\r\n");
    // A file made read-only stays as it is, for root too.
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_THROW(ini.save(file.string()), std::runtime_error);
    EXPECT_EQ(readAll(file), "[A]\r\nx=1\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
}

// A save starts from the whole file or not at all: whatever stops the read
// leaves the file as it is, byte for byte.
TEST_F(IniFileTest, AnUpdateStartsOnlyFromAFileReadWhole) {
    const std::string settings = "; alley PC\r\n[Linka]\r\nPort=/dev/ttyS0\r\n[Web]\r\nPublishUser=klub\r\n";
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> spoil;
        bool refused;
    };
    const Case cases[] = {
        {"readable", [](const fs::path&) {}, false},
        {"no read permission", [](const fs::path& file) { fs::permissions(file, fs::perms::none); }, true},
        {"zeros a power cut left", [](const fs::path& file) { writeAll(file, std::string(4096, '\0')); },
         true},
        {"a folder in its place",
         [](const fs::path& file) {
             fs::remove(file);
             fs::create_directory(file);
         },
         true},
        {"gone after it was read", [](const fs::path& file) { fs::remove(file); }, true},
        {"junk around a section", [](const fs::path& file) { writeAll(file, "\x01\x02\r\n[A]\r\n\xff"); },
         false},
        {"empty", [](const fs::path& file) { writeAll(file, ""); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / (std::string(c.name) + ".ini");
        writeAll(file, settings);
        c.spoil(file);
        const std::string before = fs::is_regular_file(file) ? readAll(file) : "";
        const bool existed = fs::exists(file);
        std::optional<IniFile> ini;
        try {
            kuzelna::testing::UnprivilegedFiles asUser;
            ini = IniFile::loadForUpdate(file.string(), true);
        } catch (const IniReadError& error) {
            EXPECT_STRNE(error.what(), "");
        }
        const bool refused = !ini;
        if (ini) {
            ini->writeString("Default", "drah", "2");
            ini->save(file.string());
        }
        std::error_code ignored;
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ignored);
        EXPECT_EQ(refused, c.refused);
        if (!c.refused) continue;
        EXPECT_EQ(fs::exists(file), existed);
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(readAll(file), before);
        }
        for (const auto& entry : fs::directory_iterator(dir)) {
            EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
        }
    }
    // A file that never was is created by its first save.
    const fs::path fresh = dir / "fresh.ini";
    IniFile ini = IniFile::loadForUpdate(fresh.string(), false);
    ini.writeString("Default", "drah", "2");
    ini.save(fresh.string());
    EXPECT_EQ(readAll(fresh), "[Default]\r\ndrah=2\r\n");
}

// The publishing password is the owner's alone: a file is created so, re-saved
// so whatever it had, and one without a password keeps its permissions.
TEST_F(IniFileTest, AFileWithThePublishingPasswordIsTheOwnersAlone) {
    const auto mode = [](const fs::path& file) { return fs::status(file).permissions() & fs::perms::all; };
    const fs::perms shared =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
    const fs::perms own = fs::perms::owner_read | fs::perms::owner_write;

    const fs::path created = dir / "created.ini";
    IniFile secret;
    secret.writeString("Web", "PublishPassword", "heslo");
    secret.save(created.string());
    EXPECT_EQ(mode(created), own);

    const fs::path resaved = dir / "resaved.ini";
    writeAll(resaved, "[Web]\r\nPublishPassword=heslo\r\n");
    fs::permissions(resaved, shared);
    IniFile ini = IniFile::loadForUpdate(resaved.string(), true);
    ini.writeInteger("Default", "drah", 2);
    ini.save(resaved.string());
    EXPECT_EQ(mode(resaved), own);

    const fs::path plain = dir / "plain.ini";
    writeAll(plain, "[Web]\r\nPublishUser=klub\r\n");
    fs::permissions(plain, shared);
    IniFile open = IniFile::loadForUpdate(plain.string(), true);
    open.writeInteger("Default", "drah", 2);
    open.save(plain.string());
    EXPECT_EQ(mode(plain), shared);
}

// The start names a password that others may read, and only then.
TEST_F(IniFileTest, TheStartWarnsOfAPasswordOthersMayRead) {
    struct Case {
        const char* content;
        fs::perms mode;
        bool warned;
    };
    const fs::perms own = fs::perms::owner_read | fs::perms::owner_write;
    const Case cases[] = {
        {"[Web]\r\nPublishPassword=heslo\r\n", own | fs::perms::group_read | fs::perms::others_read, true},
        {"[Web]\r\nPublishPassword=heslo\r\n", own | fs::perms::group_read, true},
        {"[Web]\r\nPublishPassword=heslo\r\n", own, false},
        {"[Web]\r\nPublishUser=klub\r\n", own | fs::perms::others_read, false},
    };
    const fs::path file = dir / "zodided.ini";
    for (const Case& c : cases) {
        writeAll(file, c.content);
        fs::permissions(file, c.mode);
        IniFile ini;
        ASSERT_TRUE(ini.load(file.string()));
        const auto notice = secretReadableNotice(file.string(), ini);
        EXPECT_EQ(notice.has_value(), c.warned) << c.content << static_cast<int>(c.mode);
        if (notice) {
            EXPECT_NE(std::string(notice->what()).find("chmod 600"), std::string::npos);
        }
    }
}
