#include "core/startup.h"

#include "core/ini_file.h"
#include "core/match_state.h"
#include "scoring/game_kinds.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kuzelna {
namespace {

constexpr int kLayoutOfSixLanes = 3;

bool isFolder(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace

void readSettings(MatchState& state, const IniFile& ini) {
    state.alleyName = ini.readString("Kuzelna", "Nazev");
    state.alleyApproval = ini.readString("Kuzelna", "Kolaudace");
    state.refereeName = ini.readString("Rozhodci", "Jmeno");
    state.refereeNumber = ini.readString("Rozhodci", "Cislo");
    state.formsPath = ini.readString("Formulare", "Cesta");
    state.playerSheetsPath = ini.readString("Formulare", "Vypisy");
    state.tournamentDefault = ini.readBool("Default", "turnaj", false);
    state.displayExtraDefault = ini.readBool("Default", "matdisp", false);
    // Byte-wide settings, as the file has always held them.
    state.laneLayoutSetting = static_cast<u8>(ini.readInteger("Default", "drah", 0));
    state.gameKindSetting = static_cast<u8>(ini.readInteger("Default", "druh", 0));
    state.transliterateNames = ini.readBool("Default", "d_vollmer", false);
    state.extendedFeatures = ini.readBool("Default", "rozsirene", false);
    state.boardLeft = ini.readInteger("Vysledkova_tabule", "pozicex", 1024);
    state.boardTop = ini.readInteger("Vysledkova_tabule", "pozicey", 1);
    state.boardAutoPosition = ini.readBool("Vysledkova_tabule", "autopozice", true);
    state.score16 = ini.readBool("Vysledkova_tabule", "body16", false);

    state.lanePortDevice = ini.readString("Linka", "Port");
    for (int i = 1; i <= 6; ++i) {
        state.monitorHost[static_cast<std::size_t>(i)] =
            ini.readString("Monitory", "Host" + std::to_string(i), "192.168.0." + std::to_string(70 + i));
    }
    auto port = [&](const char* key, int fallback) {
        const int value = ini.readInteger("Monitory", key, fallback);
        return static_cast<u16>(value >= 1 && value <= 65535 ? value : fallback);
    };
    state.monitorPort = port("Port", 4665);
    state.monitorLocalPort = port("LocalPort", 4666);
    state.monitorLocalAddress = ini.readString("Monitory", "LocalAddress", "0.0.0.0");
    state.ftpHost = ini.readString("Monitory", "FtpHost", "192.168.1.80");
}

std::vector<std::string> settingsProblems(const IniFile& ini) {
    struct Number {
        const char* section;
        const char* key;
        int low, high, fallback;
    };
    // The same keys and defaults as readSettings.
    const Number numbers[] = {
        {"Default", "drah", 0, 2, 0},
        {"Default", "druh", 0, 5, 0},
        {"Vysledkova_tabule", "pozicex", -100000, 100000, 1024},
        {"Vysledkova_tabule", "pozicey", -100000, 100000, 1},
        {"Monitory", "Port", 1, 65535, 4665},
        {"Monitory", "LocalPort", 1, 65535, 4666},
    };
    const char* const switches[][2] = {{"Default", "turnaj"},
                                       {"Default", "matdisp"},
                                       {"Default", "d_vollmer"},
                                       {"Default", "rozsirene"},
                                       {"Vysledkova_tabule", "autopozice"},
                                       {"Vysledkova_tabule", "body16"}};
    std::vector<std::string> problems;
    auto named = [](const char* section, const char* key, const std::string& value) {
        return std::string("[") + section + "] " + key + "=" + value;
    };
    for (const Number& n : numbers) {
        const std::string value = ini.readString(n.section, n.key);
        if (value.empty()) continue;
        // A text that is no number reads as the fallback whatever it is.
        const bool number = ini.readInteger(n.section, n.key, 1) == ini.readInteger(n.section, n.key, 2);
        if (!number) {
            problems.push_back(named(n.section, n.key, value) + " is not a number; " +
                               std::to_string(n.fallback) + " is taken");
            continue;
        }
        const int v = ini.readInteger(n.section, n.key, n.fallback);
        if (v < n.low || v > n.high)
            problems.push_back(named(n.section, n.key, value) + " is outside " + std::to_string(n.low) +
                               ".." + std::to_string(n.high));
    }
    for (const auto& [section, key] : switches) {
        const std::string value = ini.readString(section, key);
        if (value.empty() || value == "0" || value == "1") continue;
        problems.push_back(named(section, key, value) + " is not 0 or 1; taken as " +
                           (ini.readBool(section, key, false) ? "1" : "0"));
    }
    return problems;
}

void ini_dat(MatchState& state) {
    for (int lane = 1; lane <= kMaxLanes; ++lane)
        state.laneStatus[static_cast<std::size_t>(lane)] = LaneStatus{};
}

void initialiseMatchState(MatchState& state, const IniFile& ini, const std::string& currentDirectory) {
    state.manualTeamNames = 0;
    state.manualHomeName.clear();
    state.manualGuestName.clear();
    state.svState = SuddenVictoryState{};
    state.advertTicks = 0;
    state.advertNumber = 0;
    for (int lane = 1; lane <= kMaxLanes; ++lane)
        state.publicLane[static_cast<std::size_t>(lane)] = PublicPlayLane{};
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        state.player[static_cast<std::size_t>(slot)].throwCount = 0;

    readSettings(state, ini);
    if (!isFolder(state.formsPath)) state.formsPath = currentDirectory;
    state.controls.tournament = state.tournamentDefault != 0;
    state.controls.displayExtra = state.displayExtraDefault != 0;

    // The file's kind and layout set up a consistent game until the kind-of-game
    // dialog is confirmed: lane count and lanes per player follow from them.
    // Both settings are bytes: the 255 of a list saved with no item chosen
    // wraps to 0 and means the first kind and the 4-lane layout.
    int kind = static_cast<u8>(state.gameKindSetting + 1);
    if (kind == 0) kind = 1;
    kind = std::min(kind, kGameKindCount);
    int layout = static_cast<u8>(state.laneLayoutSetting + 1);
    if (layout == 0) layout = 1;
    layout = std::min(layout, kLayoutOfSixLanes);
    if (!configurationProblem(kind, layout).empty()) layout = kLayoutOfSixLanes;
    state.gameKind = static_cast<u8>(kind);
    state.laneLayout = static_cast<u8>(layout);

    state.rxBuffer.clear();
    state.keyPending = 0;
    state.linkPaused = 1;
    state.laneCommand.fill(0);
    state.nameSwapCountdown = 0;
    state.homeLineupCount = 0;
    state.guestLineupCount = 0;
    state.pollDelay = 0;
    state.pairCount = 6;
    ini_dat(state);
    state.running = 0;
    state.firstPairOfBlock = 1;
    state.laneShownPlayer.fill(0);
    state.laneCount = laneCountFor(layout);
    state.lanePair = 1;
    state.lanesPerPlayer = static_cast<u8>(lanesPerPlayerFor(kind));
    state.laneActive.fill(0);
    state.laneLastCounter.fill(0);
    state.laneWrapped.fill(0);
    state.laneFinished.fill(0);
    state.matchOver = false;
    state.pollLane = 0;
    state.pollsBeforeDisplay = 1;
    state.displayStep = 1;
}

std::string Conv(int digitCode) {
    if (digitCode >= 0 && digitCode <= 9) return std::string(1, static_cast<char>('0' + digitCode));
    if (digitCode == 10 || digitCode == 11) return "P";
    if (digitCode == 12) return "r ";
    if (digitCode == 13 || digitCode == 14) return "  ";
    return "- ";
}

} // namespace kuzelna
