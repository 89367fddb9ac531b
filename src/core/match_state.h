#pragma once

// The one in-memory record of the match in progress. Plain data: every window
// and handler reads and writes its fields directly on the user-interface thread.
// Texts are Windows-1250 bytes. Arrays are indexed from 1 unless a comment says
// otherwise; element 0 exists and is never used.

#include "core/bounded_string.h"
#include "lanes/lane_status.h" // LaneStatus: the 16 status bytes of one lane display

#include <array>
#include <cstdint>
#include <string>

namespace kuzelna {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using i16 = std::int16_t;
using i32 = std::int32_t;

// An array indexed 1..N (element 0 is present and unused).
template <class T, std::size_t N> using OneBased = std::array<T, N + 1>;

constexpr int kMaxLanes = 8;
constexpr int kMaxSlots = 60;
constexpr int kMaxThrows = 600;
constexpr int kMaxSets = 6;
constexpr int kLineupPlaces = 30;
constexpr int kStandingsEntries = 53;
constexpr int kStandingsPlaces = 113;

struct PlayerSlot {
    BoundedString<80> registryLine;
    BoundedString<80> surname;
    BoundedString<80> firstName;
    BoundedString<80> regNumber;
    BoundedString<80> birthDate;
    BoundedString<20> displayName;
    OneBased<u8, kMaxThrows> throws{};
    u16 fullTotal = 0;
    u16 clearingTotal = 0;
    u16 faults = 0;
    u16 total = 0;
    std::array<u16, kMaxSets + 1> laneTotal{}; // [1..6], set k
    std::array<u16, kMaxSets + 1> setPoints{}; // doubled scale
    std::array<u8, kMaxSets + 1> tieBreak{};   // tie-break mark of set k
    std::array<u16, kMaxSets + 1> laneFull{};
    std::array<u16, kMaxSets + 1> laneClearing{};
    std::array<u16, kMaxSets + 1> laneFaults{};
    u16 setPointsTotal = 0; // doubled scale (2 = one set point) unless whole-set scoring
    u16 duelPoints = 0;     // 2 won, 1 drawn, 0 lost
    u16 throwCount = 0;     // last throw number recorded
    // Throws the lane played while none of its frames reached the server (its
    // counter jumped, as after a restart): their pins are unknown until the
    // referee corrects them or a frame reports them.
    OneBased<u8, kMaxThrows> throwUnseen{};
    // What the unseen throws of set k hold together, from the lane display's
    // own total when the jump was seen (-1: not known).
    std::array<i16, kMaxSets + 1> unseenPins{-1, -1, -1, -1, -1, -1, -1};
};

struct PublicPlayLane {
    u8 gameType = 0; // 0 none, 1 "Sibenice", 2 "Dostihy"
    OneBased<BoundedString<80>, 6> playerName{};
    u8 playerCount = 1;
    u8 currentPlayer = 0;             // 0-based
    std::array<u8, 6> gamePosition{}; // 0-based players, capped at 10
    std::array<u8, 6> auxPosition{};
    std::array<u8, 6> playerOut{};
    u8 lastThrowCount = 0;
    OneBased<u8, 8> countHistory{}; // oldest first
    u8 allNineLit = 0;
    u8 lastPins = 0;
    u8 ignoreNext = 1;
    u8 rackPending = 1;
};

// The four caption-less edits of the public play window: the throw count, the
// pins and the lane of the last frame that got past the settling rule, and the
// turn. The buttons that play a throw by hand show the old turn in the first
// and the new one in the fourth. Shared by every lane, as the window has one row.
struct PublicPlayDiagnostics {
    std::array<std::string, 4> edit;
};

struct StandingsEntry {
    BoundedString<50> name;
    u16 full = 0;
    u16 clearing = 0;
    u16 total = 0;
    u16 faults = 0;
};

// The tie-break state of the three lane pairs (21 bytes in the stored order:
// svOn[1..3], then per pair the first side's three throws and the second's).
struct SuddenVictoryState {
    OneBased<u8, 3> svOn{};
    OneBased<OneBased<u8, 3>, 3> svFirst{};
    OneBased<OneBased<u8, 3>, 3> svSecond{};
};

// How set points reach the lane displays (radio group "Zobrazování dílčích bodů").
enum class SetPointDisplay : u8 { Off = 0, Display = 1, Chars12 = 2, Chars15 = 3, Chars18 = 4 };

// Operator controls of the windows that the engine reads. The windows keep
// these in step with their check boxes and fields; the engine never touches a
// widget.
struct ConsoleControls {
    bool tournament = false;   // "Turnaj"
    bool displayExtra = false; // "Display extra"
    bool pairs = false;        // "Dvojice"
    SetPointDisplay setPointDisplay = SetPointDisplay::Off;
    bool monitorsOn = false;             // "Zap/vyp monitory"
    bool monitorTwoLanes = false;        // "Monitor na 2 drahy"
    bool monitorSums = false;            // "Součty"
    bool tandem = false;                 // whole-set scoring, hidden check box "Tandem"
    int keypadLane = 1;                  // lane chosen on the on-screen keyboard (0 = none)
    bool publicPlayOn = false;           // "Komercni provoz zapnut"
    OneBased<bool, 3> svSwapLanes{};     // "Prohod drahy" of each tie-break pair
    std::string entrantNumberText = "1"; // "Tato hra začíná hráčem č.:"
    std::string tournamentFile = "turnaj.xls";
    std::string statusLine = "-----------------------------";
    std::string advertCaption = "Zobraz reklamu"; // "Vypni reklamu" and its number while advertising
    bool systemRunningIndicator = false;          // radio button "Systém běží"
    // The lane link's state shown on "Systém běží" while the link is not up
    // ("Linka ztracena", ...); empty while it is up.
    std::string linkIndicator;
    std::string linkDevice; // the lane device as the texts name it
};

struct MatchState {
    // 1. Game configuration
    u8 gameKind = 1;   // 1 "200 Hs" .. 6 "40   Hs"
    u8 laneLayout = 1; // 1 = 4 lanes, 2 = 2 lanes, 3 = 6 lanes
    i32 laneCount = 4;
    u8 lanesPerPlayer = 6;
    u8 pairCount = 6;
    u8 lanePair = 1; // with 2 lanes: 1 = lanes 1-2, 2 = lanes 3-4
    u8 firstPairOfBlock = 1;

    // 2. Lane link state
    std::string rxBuffer;
    OneBased<LaneStatus, kMaxLanes> laneStatus{};
    OneBased<u8, kMaxLanes> laneActive{};
    OneBased<u8, 4> laneShownPlayer{}; // slot + 1, 0 = none yet
    u8 pollLane = 0;
    u8 pollDelay = 0;
    u8 pollsBeforeDisplay = 1;
    u8 displayStep = 1;
    u8 displayToggle = 0;
    u8 linkPaused = 1;
    u8 running = 0;
    u8 keyCode = 0;
    u8 keyPending = 0;
    OneBased<u8, kMaxLanes> laneCommand{};
    i32 nameSwapCountdown = 0;
    OneBased<i16, kMaxLanes> lanePlayerOnDisplay{};
    OneBased<i16, kMaxLanes> laneDisplayThrows{};
    OneBased<std::string, kMaxLanes> laneFrameCache{};
    bool matchOver = false; // the last block has finished: the match cycle is stopped for good
    // Per-lane memory of throw recording: the last settled counter of the lane
    // (0 while blank), and whether the counter has wrapped to 0 for the game's
    // last throw ("100 Hs": 99 to 0), so that frames at 0 belong to that throw.
    OneBased<u8, kMaxLanes> laneLastCounter{};
    OneBased<u8, kMaxLanes> laneWrapped{};
    // The lane's part of the current block is over (it went blank after its
    // throws) while other lanes still play: its display keeps the last player.
    OneBased<u8, kMaxLanes> laneFinished{};

    // 3. Teams and line-ups
    u8 homeLineupCount = 0;
    u8 guestLineupCount = 0;
    OneBased<std::string, kLineupPlaces> homeLineup{};
    OneBased<std::string, kLineupPlaces> guestLineup{};
    std::string homeClubLine, homeTeamLine, homeTeamName;
    std::string guestClubLine, guestTeamLine, guestTeamName;
    u8 manualTeamNames = 0;
    std::string manualHomeName, manualGuestName;
    // Titles of the two line-up panels of the registry window (club line, space,
    // team name), printed by the results board and the match report.
    std::string homeTeamTitle = " Dom\xE1\x63\xED ";
    std::string guestTeamTitle = " Host\xE9 ";

    // 4. Player slots 0..60 (slot 0 unused)
    std::array<PlayerSlot, kMaxSlots + 1> player{};

    // 5. Public play
    OneBased<PublicPlayLane, kMaxLanes> publicLane{};
    PublicPlayDiagnostics publicPlayDiagnostics{};

    // 6. Tournament standings
    OneBased<StandingsEntry, kStandingsEntries> standings{};
    OneBased<u16, kStandingsPlaces> standingsOrder{};

    // 7. Sudden victory
    SuddenVictoryState svState{};

    // 8. Settings from zodided.ini
    std::string alleyName, alleyApproval;
    std::string refereeName, refereeNumber;
    std::string formsPath;
    u8 tournamentDefault = 0;
    u8 displayExtraDefault = 0;
    u8 laneLayoutSetting = 0;
    u8 gameKindSetting = 0;
    u8 transliterateNames = 0;
    i32 boardLeft = 1024;
    i32 boardTop = 1;
    u8 boardAutoPosition = 1;
    u8 score16 = 0;
    // Site settings of this port of the server (see README: configuration).
    std::string lanePortDevice;                  // [Linka] Port; empty = platform default
    OneBased<std::string, 6> monitorHost{};      // [Monitory] Host1..Host6
    u16 monitorPort = 4665;                      // [Monitory] Port
    u16 monitorLocalPort = 4666;                 // [Monitory] LocalPort
    std::string monitorLocalAddress = "0.0.0.0"; // [Monitory] LocalAddress: where LocalPort listens
    std::string ftpHost;                         // [Monitory] FtpHost
    std::string playerSheetsPath;                // [Formulare] Vypisy
    u8 extendedFeatures = 0;                     // [Default] rozsirene
    // zodided.ini was read at the start or saved since: one that is gone then
    // (a stick pulled out, a folder moved) is no first start to save into.
    bool settingsFileSeen = false;

    // 9. Advertising
    i16 advertTicks = 0;
    u8 advertNumber = 0; // 0 = off

    // Operator controls read by the engine
    ConsoleControls controls{};
};

} // namespace kuzelna
