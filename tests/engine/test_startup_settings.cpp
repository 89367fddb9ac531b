#include "aids/startup_settings.h"
#include "core/ini_file.h"
#include "core/match_state.h"
#include "core/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace kuzelna;
namespace fs = std::filesystem;

namespace {

class StartupSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kuzelna-startup-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "zodided.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }
    std::string read() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path dir_;
    std::string path_;
};

} // namespace

TEST_F(StartupSettingsFile, WritesItsKeysAndKeepsTheRestOfTheFile) {
    write("[Kuzelna]\r\nNazev=Kuzelna Vsetin\r\n[Default]\r\nturnaj=0\r\nrozsirene=1\r\n"
          "[Vysledkova_tabule]\r\npozicex=800\r\n");
    MatchState state;
    StartupSettings settings;
    settings.tournament = true;
    settings.displayExtra = true;
    settings.laneLayout = 2;
    settings.gameKind = 4;
    settings.transliterate = true;
    ASSERT_TRUE(saveStartupSettings(state, settings, path_));

    IniFile ini;
    ASSERT_TRUE(ini.load(path_));
    EXPECT_EQ(ini.readString("Kuzelna", "Nazev"), "Kuzelna Vsetin");
    EXPECT_EQ(ini.readInteger("Vysledkova_tabule", "pozicex", 0), 800);
    EXPECT_EQ(ini.readInteger("Default", "rozsirene", 0), 1);
    EXPECT_EQ(ini.readString("Default", "turnaj"), "1");
    EXPECT_EQ(ini.readString("Default", "matdisp"), "1");
    EXPECT_EQ(ini.readString("Default", "drah"), "2");
    EXPECT_EQ(ini.readString("Default", "druh"), "4");
    EXPECT_EQ(ini.readString("Default", "d_vollmer"), "1");
    EXPECT_EQ(state.tournamentDefault, 1);
    EXPECT_EQ(state.displayExtraDefault, 1);
    EXPECT_EQ(state.laneLayoutSetting, 2);
    EXPECT_EQ(state.gameKindSetting, 4);
    EXPECT_EQ(state.transliterateNames, 1);
}

TEST_F(StartupSettingsFile, NoLaneCountChosenIsWrittenAsMinusOneAndStartsOnFourLanes) {
    MatchState state;
    StartupSettings settings;
    settings.laneLayout = -1;
    ASSERT_TRUE(saveStartupSettings(state, settings, path_)); // creates the file
    EXPECT_EQ(state.laneLayoutSetting, 255);
    IniFile ini;
    ASSERT_TRUE(ini.load(path_));
    EXPECT_EQ(ini.readString("Default", "drah"), "-1");

    MatchState next;
    initialiseMatchState(next, ini, dir_.string());
    EXPECT_EQ(next.laneLayout, 1);
    EXPECT_EQ(startupSettingsFromState(state).laneLayout, -1) << "255 chooses no item of the list";
}

TEST_F(StartupSettingsFile, AFileThatCannotBeReadIsNotReplaced) {
    fs::create_directory(path_); // in the way of the file: exists, cannot be read as one
    MatchState state;
    StartupSettings settings;
    settings.gameKind = 3;
    EXPECT_THROW(saveStartupSettings(state, settings, path_), IniReadError);
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(state.gameKindSetting, 3) << "the fields follow the window even when the file was not written";
}
