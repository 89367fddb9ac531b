#include "boards/results_board_art.h"
#include "boards/results_board_window.h"
#include "boards/tournament_board_window.h"
#include "console/main_window.h"
#include "console/simulation_lineup.h"
#include "console/window_set_qt.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "core/timing.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>
#include <tuple>

using namespace kuzelna;
namespace art = kuzelna::boardart;

namespace {

QString screenshotPath(const QString& name) {
    const QString dir = QStringLiteral(KUZELNA_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + '/' + name;
}

int screenWidth() {
    return QGuiApplication::primaryScreen()->geometry().width();
}

QLabel* labelOf(const QWidget& window, const QString& name) {
    auto* label = window.findChild<QLabel*>(name);
    if (!label) qFatal("no label %s", qPrintable(name));
    return label;
}

// The ink of the label's text where it is drawn, before the label clips it.
QRect textRect(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    const QRect line = metrics.boundingRect(label->geometry(), int(label->alignment()), label->text());
    return metrics.tightBoundingRect(label->text()).translated(line.left(), line.top() + metrics.ascent());
}

QRect regionRect(art::Span x, art::Span y) {
    return QRect(x.from, y.from, x.to - x.from, y.to - y.from);
}

// Every text of the results board lies inside its region of the picture, for
// the player rows 1..`rows`; numbers are never cut.
void checkResultsBoardRegions(const ResultsBoardWindow& board, int rows) {
    const auto check = [&](const QString& name, QRect region, bool mayClip) {
        const QLabel* label = labelOf(board, name);
        QVERIFY2(!label->text().isEmpty(), qPrintable(name));
        const QRect text = textRect(label);
        const QRect drawn = text & label->geometry();
        QVERIFY2(region.contains(drawn), qPrintable(QStringLiteral("%1: text %2,%3 %4x%5 outside %6,%7 %8x%9")
                                                        .arg(name)
                                                        .arg(drawn.x())
                                                        .arg(drawn.y())
                                                        .arg(drawn.width())
                                                        .arg(drawn.height())
                                                        .arg(region.x())
                                                        .arg(region.y())
                                                        .arg(region.width())
                                                        .arg(region.height())));
        if (!mayClip)
            QVERIFY2(label->geometry().contains(text), qPrintable(QStringLiteral("%1 is cut: %2 in %3 at %4")
                                                                      .arg(name)
                                                                      .arg(text.width())
                                                                      .arg(label->width())
                                                                      .arg(label->x())));
    };
    const std::array<const char*, 6> columns = {"name",     "total",     "full",
                                                "clearing", "setPoints", "duelPoints"};
    for (int side : {art::kHome, art::kGuest}) {
        const QString prefix = side == art::kHome ? "home." : "guest.";
        const auto& spans = art::kColumnSpans[static_cast<std::size_t>(side)];
        check(prefix + "title", regionRect(art::kTitlePlates[side].x, art::kTitlePlates[side].y), true);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            check(prefix + "header." + columns[c], regionRect(spans[c], art::kHeaderCells), false);
            for (int row = 1; row <= rows; ++row)
                check(prefix + QStringLiteral("row%1.").arg(row) + columns[c],
                      regionRect(spans[c], art::kRowSpans[static_cast<std::size_t>(row - 1)]), c == 0);
        }
        for (std::size_t c = 0; c < art::kTotalsColumns; ++c)
            check(prefix + "totals." + columns[c + 1],
                  regionRect(art::kTotalsSpans[static_cast<std::size_t>(side)][c], art::kTotalsCells), false);
        const int frame = art::kSquareFrameWidth;
        check(prefix + "matchPoints",
              regionRect(art::kMatchSquareSpans[static_cast<std::size_t>(side)], art::kMatchSquareRows)
                  .adjusted(frame, frame, -frame, -frame),
              false);
    }
}

void setSlot(MatchState& state, int slot, const char* surname, const char* firstName, int full, int clearing,
             int setPoints = 0, int duelPoints = 0, int faults = 0) {
    PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
    p.surname = cp1250::fromUtf8(surname);
    p.firstName = cp1250::fromUtf8(firstName);
    p.fullTotal = static_cast<u16>(full);
    p.clearingTotal = static_cast<u16>(clearing);
    p.total = static_cast<u16>(full + clearing);
    p.setPointsTotal = static_cast<u16>(setPoints);
    p.duelPoints = static_cast<u16>(duelPoints);
    p.faults = static_cast<u16>(faults);
}

// A league match in its fifth duel: four duels done, the fifth half played.
void midMatch(MatchState& state) {
    state.homeTeamTitle = cp1250::fromUtf8("TJ Sokol Kuželky Přerov A");
    state.guestTeamTitle = cp1250::fromUtf8("KK Slavoj Česká Třebová B");
    setSlot(state, 1, "Novák", "Jaroslav", 362, 171, 5, 2);
    setSlot(state, 2, "Dvořák", "Petr", 371, 150, 3, 0);
    setSlot(state, 3, "Procházková-Šťastná", "Bohumila", 355, 162, 4, 1);
    setSlot(state, 4, "Černý", "Miloš", 349, 168, 4, 1);
    setSlot(state, 5, "Kratochvíl", "Zdeněk", 388, 201, 6, 2);
    setSlot(state, 6, "Svoboda", "Jiří", 360, 144, 2, 0);
    setSlot(state, 7, "Horák", "Tomáš", 340, 131, 1, 0);
    setSlot(state, 8, "Wagner", "Ondřej", 379, 190, 7, 2);
    setSlot(state, 9, "Malý", "Pavel", 178, 80, 3, 2);
    setSlot(state, 10, "Veselý", "Luboš", 170, 79, 1, 0);
    setSlot(state, 11, "Jelínek", "Radek", 0, 0, 0, 1);
    setSlot(state, 12, "Pokorný", "Vít", 0, 0, 0, 1);
}

} // namespace

class BoardsTest : public QObject {
    Q_OBJECT
private slots:
    void resultsBoardBackgroundIsTheDecodedArtwork();
    void resultsBoardToggleSequence();
    void boardsPlaceThemselves_data();
    void boardsPlaceThemselves();
    void resultsBoardRepaintsOnPaintAndTimer();
    void resultsBoardScreenshotTextsSitInTheirRegions();
    void longerNamesAndTitlesAreSetSmallerBeforeTheyAreCut();
    void tournamentBoardToggleSequence();
    void tournamentBoardKeepsItsTextsWhenTheEntrantNumberIsNoInteger();
    void tournamentBoardScreenshot();
    void boardsDuringASimulatedMatch();
};

void BoardsTest::resultsBoardBackgroundIsTheDecodedArtwork() {
    MatchState state;
    ResultsBoardWindow board(state);
    const QImage image = board.background().toImage();
    QCOMPARE(image.size(), QSize(art::kWidth, art::kHeight));

    struct Probe {
        const char* what;
        QPoint at;
        std::uint32_t colour;
    };
    const auto& home = art::kColumnSpans[art::kHome];
    const auto& guest = art::kColumnSpans[art::kGuest];
    const Probe probes[] = {
        {"background", {512, 745}, art::colour::kBackground},
        {"title plate",
         {art::kTitlePlates[1].x.middle(), art::kTitlePlates[1].y.middle()},
         art::colour::kPlate},
        {"header cell", {home[0].middle(), art::kHeaderCells.middle()}, art::colour::kRedCell},
        {"header band between cells", {home[5].to + 6, art::kHeaderBand.middle()}, art::colour::kBand},
        {"row cell", {guest[3].middle(), art::kRowSpans[7].middle()}, art::colour::kRowCell},
        {"totals cell",
         {art::kTotalsSpans[1][4].middle(), art::kTotalsCells.middle()},
         art::colour::kRedCell},
        {"match square frame",
         {art::kMatchSquareSpans[0].from + 3, art::kMatchSquareRows.middle()},
         art::colour::kSquareFrame},
        {"match square",
         {art::kMatchSquareSpans[1].middle(), art::kMatchSquareRows.middle()},
         art::colour::kSquareFill},
    };
    for (const Probe& probe : probes) {
        const QColor got = image.pixelColor(probe.at);
        const QColor want = QColor::fromRgb(static_cast<QRgb>(probe.colour));
        const int distance = std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()),
                                       std::abs(got.blue() - want.blue())});
        QVERIFY2(distance <= 24,
                 qPrintable(QStringLiteral("%1: %2 instead of %3").arg(probe.what, got.name(), want.name())));
    }
}

void BoardsTest::resultsBoardToggleSequence() {
    MatchState state;
    ResultsBoardWindow board(state);
    QVERIFY(board.isHidden());
    QVERIFY(!board.repaintTimer().isActive());
    QCOMPARE(board.repaintTimer().interval(), 4000);
    QVERIFY(board.windowFlags() & Qt::FramelessWindowHint);

    board.toggleFromButton();
    QVERIFY(board.isVisible());
    QVERIFY(board.repaintTimer().isActive());
    QCOMPARE(board.size(), QSize(1024, 768));
    for (const char* side : {"home", "guest"}) {
        for (const char* column : {"name", "total", "full", "clearing", "setPoints", "duelPoints"}) {
            for (int row = 1; row <= 8; ++row) {
                const QLabel* label =
                    labelOf(board, QStringLiteral("%1.row%2.%3").arg(side).arg(row).arg(column));
                QCOMPARE(label->isHidden(), row >= 7);
            }
        }
    }

    board.toggleFromButton();
    QVERIFY(board.isHidden());
    QVERIFY(!board.repaintTimer().isActive());

    // A double click on the picture hides the board but leaves its timer running.
    board.toggleFromButton();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QTest::mouseDClick(&board, Qt::LeftButton, {}, QPoint(512, 740));
    QVERIFY(board.isHidden());
    QVERIFY(board.repaintTimer().isActive());
    board.toggleFromButton();
    QVERIFY(board.isVisible());
    QVERIFY(board.repaintTimer().isActive());

    // A double click on a text does not.
    QTest::mouseDClick(labelOf(board, "home.matchPoints"), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(board.isVisible());
}

void BoardsTest::boardsPlaceThemselves_data() {
    QTest::addColumn<bool>("tournament");
    QTest::addColumn<bool>("automatic");
    QTest::newRow("results board, automatic") << false << true;
    QTest::newRow("results board, stored position") << false << false;
    QTest::newRow("tournament board, automatic") << true << true;
    QTest::newRow("tournament board, stored position") << true << false;
}

void BoardsTest::boardsPlaceThemselves() {
    QFETCH(bool, tournament);
    QFETCH(bool, automatic);
    MatchState state;
    state.boardAutoPosition = automatic ? 1 : 0;
    state.boardLeft = 300;
    state.boardTop = 20;
    std::unique_ptr<QWidget> board;
    const auto toggle = [&] {
        if (tournament)
            static_cast<TournamentBoardWindow*>(board.get())->toggleFromButton();
        else
            static_cast<ResultsBoardWindow*>(board.get())->toggleFromButton();
    };
    if (tournament)
        board = std::make_unique<TournamentBoardWindow>(state);
    else
        board = std::make_unique<ResultsBoardWindow>(state);

    toggle();
    const QPoint expected = automatic ? QPoint(screenWidth(), 0) : QPoint(300, 20);
    QCOMPARE(board->pos(), expected);

    // A visible board stays where it is; the new settings apply when it is shown again.
    state.boardAutoPosition = 0;
    state.boardLeft = 40;
    state.boardTop = 50;
    QCOMPARE(board->pos(), expected);
    toggle();
    toggle();
    QCOMPARE(board->pos(), QPoint(40, 50));
    QCOMPARE(board->height(), 768);
}

void BoardsTest::resultsBoardRepaintsOnPaintAndTimer() {
    MatchState state;
    ResultsBoardWindow board(state);
    board.toggleFromButton();
    QLabel* matchPoints = labelOf(board, "home.matchPoints");

    setSlot(state, 1, "A", "B", 100, 50, 4, 2);
    board.grab();
    QCOMPARE(matchPoints->text(), QStringLiteral("3"));

    state.score16 = 1;
    QMetaObject::invokeMethod(const_cast<QTimer*>(&board.repaintTimer()), "timeout");
    QCOMPARE(matchPoints->text(), QStringLiteral("6"));
}

void BoardsTest::resultsBoardScreenshotTextsSitInTheirRegions() {
    MatchState state;
    midMatch(state);
    ResultsBoardWindow board(state);
    board.toggleFromButton();
    const QImage shot = board.grab().toImage();
    QVERIFY(shot.save(screenshotPath("results_board.png")));

    QCOMPARE(QFontInfo(labelOf(board, "home.row1.name")->font()).family(), QStringLiteral("Liberation Sans"));

    checkResultsBoardRegions(board, 6);
    if (QTest::currentTestFailed()) return;
    // The long name is cut at its column, not drawn over the numbers.
    const QLabel* longName = labelOf(board, "home.row2.name");
    QVERIFY(textRect(longName).width() > longName->width());
}

// A team title with its letter and a name a little longer than its place are
// set smaller and shown whole; only a name far too long is cut.
void BoardsTest::longerNamesAndTitlesAreSetSmallerBeforeTheyAreCut() {
    MatchState state;
    state.homeTeamTitle = cp1250::fromUtf8("TJ Slavoj Český Krumlov A");
    setSlot(state, 1, "Pospíšilová", "Zdeňka", 100, 50);
    setSlot(state, 3, "Procházková-Dvořáková", "Marie Magdalena", 100, 50);
    ResultsBoardWindow board(state);
    board.toggleFromButton();
    board.grab();
    for (const char* name : {"home.title", "home.row1.name"}) {
        const QLabel* label = labelOf(board, name);
        QVERIFY2(textRect(label).width() <= label->width(), name);
        QVERIFY2(label->font().pixelSize() < QFont(label->property("boardDesignFont").value<QFont>()).pixelSize() ||
                     label == labelOf(board, "home.title"),
                 name);
    }
    const QLabel* tooLong = labelOf(board, "home.row2.name");
    QVERIFY(textRect(tooLong).width() > tooLong->width());
}

void BoardsTest::tournamentBoardToggleSequence() {
    MatchState state;
    state.laneCount = 4;
    TournamentBoardWindow board(state);
    QVERIFY(board.isHidden());
    QVERIFY(!board.repaintTimer().isActive());
    QCOMPARE(board.repaintTimer().interval(), 5000);
    QVERIFY(board.windowFlags() & Qt::FramelessWindowHint);
    board.toggleFromButton();
    QVERIFY(board.isVisible());
    QVERIFY(board.repaintTimer().isActive());
    board.grab();
    for (int position = 1; position <= 6; ++position)
        QCOMPARE(labelOf(board, QStringLiteral("live%1.number").arg(position))->isHidden(), position > 4);

    state.laneCount = 2;
    QMetaObject::invokeMethod(const_cast<QTimer*>(&board.repaintTimer()), "timeout");
    for (int position = 1; position <= 6; ++position)
        QCOMPARE(labelOf(board, QStringLiteral("live%1.number").arg(position))->isHidden(), position > 2);

    board.toggleFromButton();
    QVERIFY(board.isHidden());
    QVERIFY(!board.repaintTimer().isActive());
}

void BoardsTest::tournamentBoardKeepsItsTextsWhenTheEntrantNumberIsNoInteger() {
    MatchState state;
    state.pairCount = 1;
    setSlot(state, 1, "Kos", "Ota", 300, 120);
    TournamentBoardWindow board(state);
    board.refresh();
    QCOMPARE(labelOf(board, "place1.name")->text(), QStringLiteral("Kos Ota"));

    setSlot(state, 2, "Sova", "Eva", 400, 100);
    state.controls.entrantNumberText = "x";
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, board.refresh());
    QCOMPARE(labelOf(board, "place1.name")->text(), QStringLiteral("Kos Ota"));
    QCOMPARE(labelOf(board, "place1.total")->text(), QStringLiteral("420"));

    // From a paint request the error reaches the event loop, not the painting code.
    board.grab();
    QCOMPARE(labelOf(board, "place1.name")->text(), QStringLiteral("Kos Ota"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, QCoreApplication::processEvents());

    state.controls.entrantNumberText = "1";
    board.refresh();
    QCOMPARE(labelOf(board, "place1.name")->text(), QStringLiteral("Sova Eva"));
}

void BoardsTest::tournamentBoardScreenshot() {
    MatchState state;
    state.controls.tournament = true;
    state.controls.entrantNumberText = "15";
    state.pairCount = 6;
    state.laneCount = 4;
    state.firstPairOfBlock = 3;
    const char* stored[] = {
        "Nováková Jana", "Šťastný Vojtěch", "Kratochvílová Bohumila", "Říha Karel",  "Dušek Petr",
        "Müller Hans",   "Černá Lucie",     "Zelenka Jiří",           "Vávra Luboš", "Ondráček Přemysl",
        "Holá Eva",      "Beneš Aleš",      "Procházka Oldřich",      "Malá Iveta"};
    for (int k = 1; k <= 14; ++k) {
        StandingsEntry& e = state.standings[static_cast<std::size_t>(k)];
        e.name = cp1250::fromUtf8(stored[k - 1]);
        e.full = static_cast<u16>(380 + 7 * k % 40);
        e.clearing = static_cast<u16>(k == 5 ? 0 : 150 + 11 * k % 60);
        e.total = static_cast<u16>(e.full + e.clearing);
        e.faults = static_cast<u16>(k % 5);
    }
    const char* live[][2] = {{"Novotný", "Martin"}, {"Král", "David"},      {"Pokorná", "Věra"},
                             {"Fiala", "Zbyněk"},   {"Jelínek", "Radek"},   {"Růžička", "Štěpán"},
                             {"Beneš", "Ivo"},      {"Kolář", "Miroslav"},  {"Pospíšil", "Aleš"},
                             {"Marek", "Jan"},      {"Sýkora", "Vladimír"}, {"Doležal", "Roman"}};
    for (int s = 1; s <= 12; ++s)
        setSlot(state, s, live[s - 1][0], live[s - 1][1], s <= 4 ? 370 + 9 * s : (s <= 8 ? 180 + 5 * s : 0),
                s <= 4 ? 160 + 3 * s : (s <= 8 ? 70 + 2 * s : 0), 0, 0, s % 3);

    TournamentBoardWindow board(state);
    board.toggleFromButton();
    QVERIFY(board.grab().toImage().save(screenshotPath("tournament_board.png")));

    QCOMPARE(QFontInfo(labelOf(board, "place1.total")->font()).family(), QStringLiteral("Liberation Sans"));
    QVERIFY(QFontInfo(labelOf(board, "place1.total")->font()).bold());
    // Within each line the texts stay apart and on the screen.
    const QRect screen(0, 0, 1024, 768);
    const auto line = [&](const QString& prefix) {
        QRect previous;
        for (const char* part : {"number", "name", "full", "clearing", "total"}) {
            const QLabel* label = labelOf(board, prefix + part);
            if (label->isHidden() || label->text().isEmpty()) continue;
            const QRect drawn = textRect(label) & label->geometry();
            QVERIFY2(screen.contains(drawn), qPrintable(prefix + part));
            QVERIFY2(previous.isNull() || drawn.left() > previous.right(), qPrintable(prefix + part));
            previous = drawn;
        }
    };
    for (int place = 1; place <= 24; ++place)
        line(QStringLiteral("place%1.").arg(place));
    for (int position = 1; position <= 6; ++position)
        line(QStringLiteral("live%1.").arg(position));
    for (const char* footer : {"footer1", "footer2"})
        QVERIFY(screen.contains(textRect(labelOf(board, footer))));
    QCOMPARE(labelOf(board, "live1.name")->text(), QStringLiteral("Jelínek Radek"));
}

// A match on the virtual alley through the real lane port: halfway through,
// the console's button shows the results board, and both boards show the
// players' running pins.
void BoardsTest::boardsDuringASimulatedMatch() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    setSpeedFactor(50);
    struct Restore {
        QString dir;
        ~Restore() {
            setSpeedFactor(1);
            QDir::setCurrent(dir);
        }
    } restore{previousDir};

    MatchState state;
    // "60   Hs" on 4 lanes, two duels: one block, two lanes per player.
    QVERIFY(applyConfiguration(state, {4, 1, 1, 2, 1}).empty());
    fillSimulationLineups(state);
    SimulatedAlley alley(alleySetupFor(state, 7, 0, 0.0));
    alley.open();
    LaneServer server(state);
    WindowSet windows(state);
    windows.connectLaneServer(server);
    server.openPort(alley.devicePath());
    server.startCycle();
    TForm1& console = windows.mainWindow();
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    QTest::mouseClick(console.findChild<QPushButton*>(QStringLiteral("startButton")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(state.player[1].throwCount >= 35 && state.player[4].throwCount >= 35, 60000);

    QTest::mouseClick(console.findChild<QPushButton*>(QStringLiteral("boardButton")), Qt::LeftButton);
    ResultsBoardWindow& results = windows.resultsBoard();
    QVERIFY(results.isVisible());
    QVERIFY(results.grab().toImage().save(screenshotPath("results_board_simulated_match.png")));
    const auto name = [&](int slot) {
        const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
        return QString::fromStdString(cp1250::toUtf8(p.surname.str() + ' ' + p.firstName.str()));
    };
    const auto pins = [&](int slot) {
        const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
        return p.fullTotal + p.clearingTotal;
    };
    for (int slot = 1; slot <= 4; ++slot) {
        const QString row = QStringLiteral("%1.row%2.").arg(slot % 2 ? "home" : "guest").arg((slot + 1) / 2);
        QVERIFY(pins(slot) > 0);
        QCOMPARE(labelOf(results, row + "name")->text(), name(slot));
        QCOMPARE(labelOf(results, row + "total")->text(), QString::number(pins(slot)));
    }
    QCOMPARE(labelOf(results, "home.totals.total")->text(), QString::number(pins(1) + pins(3)));
    checkResultsBoardRegions(results, 2);
    if (QTest::currentTestFailed()) return;

    TournamentBoardWindow& tournament = windows.tournamentBoard();
    tournament.toggleFromButton();
    QVERIFY(tournament.grab().toImage().save(screenshotPath("tournament_board_simulated_match.png")));
    // The leader: most pins, then most clearing pins, fewest faults, lowest slot.
    const auto key = [&](int slot) {
        const PlayerSlot& p = state.player[static_cast<std::size_t>(slot)];
        return std::tuple(pins(slot), int(p.clearingTotal), -int(p.faults), -slot);
    };
    int best = 1;
    for (int slot = 2; slot <= 4; ++slot)
        if (key(slot) > key(best)) best = slot;
    QCOMPARE(labelOf(tournament, "place1.name")->text(), name(best));
    QCOMPARE(labelOf(tournament, "place1.total")->text(), QString::number(pins(best)));
    for (int position = 1; position <= 4; ++position) {
        QCOMPARE(labelOf(tournament, QStringLiteral("live%1.name").arg(position))->text(), name(position));
        QCOMPARE(labelOf(tournament, QStringLiteral("live%1.total").arg(position))->text(),
                 QString::number(pins(position)));
    }
}

QTEST_MAIN(BoardsTest)
#include "test_boards.moc"
