#include "core/ini_file.h"
#include "core/match_state.h"
#include "core/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace kuzelna;

namespace {

std::unique_ptr<MatchState> startedWith(const std::string& iniContent, const std::string& cwd = "/cwd") {
    IniFile ini;
    ini.parse(iniContent);
    auto state = std::make_unique<MatchState>();
    initialiseMatchState(*state, ini, cwd);
    return state;
}

} // namespace

TEST(Startup, MissingFileGivesEveryDefault) {
    const auto s = startedWith("");
    EXPECT_EQ(s->alleyName, "");
    EXPECT_EQ(s->refereeNumber, "");
    EXPECT_EQ(s->formsPath, "/cwd");
    EXPECT_EQ(s->playerSheetsPath, "");
    EXPECT_EQ(s->boardLeft, 1024);
    EXPECT_EQ(s->boardTop, 1);
    EXPECT_EQ(s->boardAutoPosition, 1);
    EXPECT_EQ(s->score16, 0);
    EXPECT_EQ(s->tournamentDefault, 0);
    EXPECT_FALSE(s->controls.tournament);
    EXPECT_FALSE(s->controls.displayExtra);
    EXPECT_EQ(s->transliterateNames, 0);
    EXPECT_EQ(s->extendedFeatures, 0);
    EXPECT_EQ(s->lanePortDevice, "");
    // Shipped lane PC addresses end in .71 .. .76 and the FTP host in .1.80.
    for (int i = 1; i <= 6; ++i) {
        const std::string& host = s->monitorHost[static_cast<std::size_t>(i)];
        EXPECT_EQ(host.substr(host.rfind('.')), ".7" + std::to_string(i));
    }
    EXPECT_EQ(s->ftpHost.substr(s->ftpHost.size() - 5), ".1.80");
    EXPECT_EQ(s->monitorPort, 4665);
    EXPECT_EQ(s->monitorLocalPort, 4666);
    EXPECT_EQ(s->monitorLocalAddress, "0.0.0.0");
    // "200 Hs" on 4 lanes
    EXPECT_EQ(s->gameKind, 1);
    EXPECT_EQ(s->laneLayout, 1);
    EXPECT_EQ(s->laneCount, 4);
    EXPECT_EQ(s->lanesPerPlayer, 4);
    EXPECT_EQ(s->pairCount, 6);
    EXPECT_EQ(s->lanePair, 1);
    EXPECT_EQ(s->firstPairOfBlock, 1);
    EXPECT_EQ(s->linkPaused, 1);
    EXPECT_EQ(s->running, 0);
    EXPECT_EQ(s->pollDelay, 0);
    EXPECT_EQ(s->pollLane, 0);
    EXPECT_EQ(s->pollsBeforeDisplay, 1);
    EXPECT_EQ(s->displayStep, 1);
}

TEST(Startup, ReadsEverySettingOfTheFile) {
    const auto cwd = std::filesystem::temp_directory_path();
    const auto s =
        startedWith("[Kuzelna]\nNazev=Vsetin\nKolaudace=K-12\n"
                    "[Rozhodci]\nJmeno=Nov\xE1k\nCislo=77\n"
                    "[Formulare]\nCesta=" +
                        cwd.string() +
                        "\nVypisy=sheets\n"
                        "[Default]\nturnaj=1\nmatdisp=5\ndrah=2\ndruh=4\nd_vollmer=1\nrozsirene=1\n"
                        "[Vysledkova_tabule]\npozicex=-1280\npozicey=20\nautopozice=0\nbody16=1\n"
                        "[Linka]\nPort=/dev/ttyUSB1\n"
                        "[Monitory]\nHost1=127.0.0.5\nHost6=127.0.0.9\nPort=5000\nLocalPort="
                        "5001\nLocalAddress=127.0.0.5\n"
                        "FtpHost=127.0.0.2\n",
                    "/elsewhere");
    EXPECT_EQ(s->alleyName, "Vsetin");
    EXPECT_EQ(s->alleyApproval, "K-12");
    EXPECT_EQ(s->refereeName, "Nov\xE1k");
    EXPECT_EQ(s->refereeNumber, "77");
    EXPECT_EQ(s->formsPath, cwd.string());
    EXPECT_EQ(s->playerSheetsPath, "sheets");
    EXPECT_TRUE(s->controls.tournament);
    EXPECT_TRUE(s->controls.displayExtra);
    EXPECT_EQ(s->transliterateNames, 1);
    EXPECT_EQ(s->extendedFeatures, 1);
    EXPECT_EQ(s->boardLeft, -1280);
    EXPECT_EQ(s->boardTop, 20);
    EXPECT_EQ(s->boardAutoPosition, 0);
    EXPECT_EQ(s->score16, 1);
    EXPECT_EQ(s->lanePortDevice, "/dev/ttyUSB1");
    EXPECT_EQ(s->monitorHost[1], "127.0.0.5");
    EXPECT_EQ(s->monitorHost[6], "127.0.0.9");
    EXPECT_EQ(s->monitorHost[2].substr(s->monitorHost[2].rfind('.')), ".72");
    EXPECT_EQ(s->monitorPort, 5000);
    EXPECT_EQ(s->monitorLocalPort, 5001);
    EXPECT_EQ(s->monitorLocalAddress, "127.0.0.5");
    EXPECT_EQ(s->ftpHost, "127.0.0.2");
    // drah 2 = 6 lanes, druh 4 = "180 Hs"
    EXPECT_EQ(s->laneLayoutSetting, 2);
    EXPECT_EQ(s->gameKindSetting, 4);
    EXPECT_EQ(s->gameKind, 5);
    EXPECT_EQ(s->laneLayout, 3);
    EXPECT_EQ(s->laneCount, 6);
    EXPECT_EQ(s->lanesPerPlayer, 6);
}

TEST(Startup, KindAndLayoutAlwaysGiveAServableGame) {
    struct Case {
        const char* file;
        int kind, layout, lanes, lanesPerPlayer;
    };
    const Case cases[] = {
        {"drah=255\ndruh=1", 2, 1, 4, 4}, // 255 + 1 wraps to 0: 4 lanes
        {"drah=1\ndruh=3", 4, 2, 2, 2},   // "60 Hs" on 2 lanes
        {"drah=1\ndruh=4", 5, 3, 6, 6},   // "180 Hs" cannot rotate on 2 lanes: 6 lanes
        {"drah=0\ndruh=4", 5, 3, 6, 6},   // nor on 4
        {"drah=9\ndruh=99", 6, 3, 6, 2},  // out of range: clamped
        {"drah=x\ndruh=-1", 1, 1, 4, 4},  // no kind chosen (byte 255) wraps to the first kind
        {"drah=2\ndruh=2", 3, 3, 6, 2},
    };
    for (const Case& c : cases) {
        const auto s = startedWith(std::string("[Default]\n") + c.file);
        EXPECT_EQ(s->gameKind, c.kind) << c.file;
        EXPECT_EQ(s->laneLayout, c.layout) << c.file;
        EXPECT_EQ(s->laneCount, c.lanes) << c.file;
        EXPECT_EQ(s->lanesPerPlayer, c.lanesPerPlayer) << c.file;
    }
}

TEST(Startup, ClearsTheStateOfAPreviousRun) {
    IniFile ini;
    auto s = std::make_unique<MatchState>();
    s->manualTeamNames = 1;
    s->manualHomeName = "X";
    s->svState.svOn[2] = 1;
    s->advertNumber = 3;
    s->publicLane[4].gameType = 2;
    s->publicLane[4].ignoreNext = 0;
    s->player[7].throwCount = 55;
    s->player[7].throws[3] = 9;
    s->rxBuffer = "abc";
    s->keyPending = 1;
    s->laneCommand[8] = 1;
    s->laneStatus[8][5] = 4;
    s->laneActive[2] = 1;
    s->laneShownPlayer[3] = 5;
    s->nameSwapCountdown = 40;
    s->firstPairOfBlock = 4;
    s->matchOver = true;
    s->formsPath = "/definitely/not/a/folder";
    initialiseMatchState(*s, ini, "/cwd");
    EXPECT_EQ(s->manualTeamNames, 0);
    EXPECT_EQ(s->manualHomeName, "");
    EXPECT_EQ(s->svState.svOn[2], 0);
    EXPECT_EQ(s->advertNumber, 0);
    EXPECT_EQ(s->publicLane[4].gameType, 0);
    EXPECT_EQ(s->publicLane[4].ignoreNext, 1);
    EXPECT_EQ(s->publicLane[4].rackPending, 1);
    EXPECT_EQ(s->publicLane[4].playerCount, 1);
    EXPECT_EQ(s->player[7].throwCount, 0);
    EXPECT_EQ(s->player[7].throws[3], 9); // throws are never cleared
    EXPECT_EQ(s->rxBuffer, "");
    EXPECT_EQ(s->keyPending, 0);
    EXPECT_EQ(s->laneCommand[8], 0);
    EXPECT_EQ(s->laneStatus[8][5], 0);
    EXPECT_EQ(s->laneActive[2], 0);
    EXPECT_EQ(s->laneShownPlayer[3], 0);
    EXPECT_EQ(s->nameSwapCountdown, 0);
    EXPECT_EQ(s->firstPairOfBlock, 1);
    EXPECT_FALSE(s->matchOver);
    EXPECT_EQ(s->formsPath, "/cwd");
}

TEST(Startup, ConvGivesTheDisplayTextOfADigitCode) {
    const std::pair<int, const char*> cases[] = {{0, "0"},   {7, "7"},   {9, "9"},   {10, "P"},  {11, "P"},
                                                 {12, "r "}, {13, "  "}, {14, "  "}, {15, "- "}, {127, "- "}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(Conv(code), text) << code;
}

// Values that do not read as written are named (and still taken as always).
TEST(Startup, SettingsThatDoNotReadAsWrittenAreNamed) {
    IniFile ini;
    ini.parse("[Default]\r\ndrah=abc\r\ndruh=9\r\nturnaj=yes\r\nmatdisp=1\r\nd_vollmer=0\r\n"
              "[Vysledkova_tabule]\r\npozicex=+1280\r\npozicey=12px\r\n"
              "[Monitory]\r\nPort=70000\r\nLocalPort=4666\r\n");
    const std::vector<std::string> expected = {
        "[Default] drah=abc is not a number; 0 is taken",
        "[Default] druh=9 is outside 0..5",
        "[Vysledkova_tabule] pozicey=12px is not a number; 1 is taken",
        "[Monitory] Port=70000 is outside 1..65535",
        "[Default] turnaj=yes is not 0 or 1; taken as 1",
    };
    EXPECT_EQ(settingsProblems(ini), expected);

    IniFile clean;
    clean.parse("[Default]\r\ndrah=2\r\nturnaj=0\r\n");
    EXPECT_TRUE(settingsProblems(clean).empty());
}
