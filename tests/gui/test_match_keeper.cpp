// The journal as the operator meets it: the question at start-up and what
// "Ano" and "Ne" do, a throw on the disk before the next frame goes out, a
// stored match opened read-only with the lane link off, and the export.

#include "console/lane_drawing.h"
#include "console/main_window.h"
#include "console/match_keeper_qt.h"
#include "console/window_set_qt.h"
#include "core/errors.h"
#include "core/match_events.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "lanes/lane_link.h"
#include "lanes/lane_server_qt.h"
#include "reports/overview_window.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/scratch_folder.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

// A "40 Hs" match on lanes 1-2 with `throws` throws on each lane, written the
// way the program writes it.
std::string playedJournal(int throws, bool tandem = false) {
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {6, 2, 1, 2, 1});
    state->homeTeamName = "Sokol";
    state->guestTeamName = "Slavoj";
    state->player[1].displayName = "Dvorak Petr";
    state->player[2].displayName = "Cerny Jan";
    state->player[2].surname = "Cerny";
    state->player[2].firstName = "Jan";
    MatchEvents quiet;
    LaneLink link(*state, quiet);
    JournalRecorder recorder("2026-12-03 18:05:00");
    std::string journal = recorder.sync(*state);
    link.beforeRecording = [&](int lane, const LaneStatus& status) {
        journal += recorder.frame(*state, lane, status);
    };
    if (tandem) state->controls.tandem = true;
    journal += recorder.sync(*state);
    for (int n = 1; n <= throws; ++n) {
        for (int lane = 1; lane <= 2; ++lane)
            link.onBytes(statusFrame(lane, laneStatus(n, (n + lane) % 10)));
    }
    return journal;
}

void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the question box that opens next with the button captioned `answer`.
void answerQuestion(const QString& answer, QString* seenText) {
    QTimer::singleShot(0, [answer, seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *seenText = box->text();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == answer) button->click();
        }
    });
}

QAction* matchMenuItem(TForm1& main, const QString& caption) {
    for (QAction* action : main.matchMenu()->actions()) {
        if (action->text() == caption) return action;
    }
    return nullptr;
}

} // namespace

class MatchKeeperTest : public QObject {
    Q_OBJECT
private slots:
    void anoRestoresTheMatchOnEveryWindow();
    void neArchivesTheUnfinishedJournalAndStartsANewMatch();
    void aThrowIsOnTheDiskBeforeTheNextFrameGoesOut();
    void aStoredMatchOpensReadOnlyWithTheLaneLinkOff();
    void aStoredJournalIsReadAsUntrustedInput();
    void aFinishedMatchIsArchivedAndACorrectionAfterTheEndFollowsIt();
};

void MatchKeeperTest::anoRestoresTheMatchOnEveryWindow() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    writeFile(work + "/utkani.jrn", playedJournal(7, true));
    auto state = std::make_unique<MatchState>();
    state->extendedFeatures = 1; // "Tandem" is shown
    WindowSet windows(*state);
    MatchKeeper keeper(*state, work, "archiv");

    QString asked;
    answerQuestion("Ano", &asked);
    QVERIFY(
        keeper.takeOverJournal(MatchKeeper::Resume::Ask, [&] { return askToResume(&windows.mainWindow()); }));
    QCOMPARE(asked, QStringLiteral("Pokračovat v rozehraném utkání?"));
    windows.mainWindow().restoreScoringSwitches();

    QCOMPARE(state->gameKind, 6);
    QCOMPARE(state->laneCount, 2);
    QCOMPARE(state->player[1].throwCount, 7);
    QCOMPARE(state->player[2].throws[7], 9); // (7 + 2) % 10
    QCOMPARE(state->player[1].total, 2 + 3 + 4 + 5 + 6 + 7 + 8);
    QCOMPARE(laneCounter(state->laneStatus[1]), 7);
    QVERIFY(fromCp1250(teamLine(*state)).contains("Sokol"));
    QVERIFY(fromCp1250(laneCaption(*state, 2)).contains("Cerny"));
    QVERIFY(windows.mainWindow().findChild<QCheckBox*>("tandem")->isChecked());
    QVERIFY(state->controls.tandem);

    windows.overview().Zobr_text();
    QTableWidget* grid = windows.overview().grid();
    QCOMPARE(grid->item(1, 7)->text(), QStringLiteral("8")); // slot 1, throw 7: (7 + 1) % 10
    QVERIFY(QFileInfo::exists(work + "/utkani.jrn"));        // the match goes on in the same journal

    // The lane played on while the server was down: its first frame shows throw 10.
    LaneServer server(*state);
    windows.connectLaneServer(server);
    keeper.attach(server);
    emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(1, laneStatus(10, 1))));
    windows.overview().Zobr_text();
    QCOMPARE(grid->item(1, 10)->text(), QStringLiteral("1"));
    for (int column : {8, 9}) {
        QCOMPARE(grid->item(1, column)->background().color(), QColor(255, 170, 60));
        QVERIFY(
            grid->item(1, column)->toolTip().startsWith(QStringLiteral("Nezaznamenané hody k opravě: 8, 9")));
    }
    for (int column : {7, 10})
        QCOMPARE(grid->item(1, column)->background().style(), Qt::NoBrush);
}

void MatchKeeperTest::neArchivesTheUnfinishedJournalAndStartsANewMatch() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    const std::string journal = playedJournal(5);
    writeFile(work + "/utkani.jrn", journal);
    auto state = std::make_unique<MatchState>();
    WindowSet windows(*state);
    MatchKeeper keeper(*state, work, "archiv");

    QString asked;
    answerQuestion("Ne", &asked);
    QVERIFY(!keeper.takeOverJournal(MatchKeeper::Resume::Ask,
                                    [&] { return askToResume(&windows.mainWindow()); }));
    QVERIFY(!asked.isEmpty());
    QCOMPARE(state->player[1].throwCount, 0);
    QVERIFY(!QFileInfo::exists(work + "/utkani.jrn"));
    const QString stored = work + "/archiv/2026-12-03_1805_Sokol_Slavoj_nedohrano.jrn";
    QCOMPARE(keeper.lastArchived(), stored);
    QCOMPARE(readFile(stored), QByteArray::fromStdString(journal)); // moved whole, nothing lost
    QVERIFY(QFileInfo::exists(work + "/archiv/2026-12-03_1805_Sokol_Slavoj_nedohrano.json"));

    // --no-resume the same, without a question; a second one gets a name of its own.
    writeFile(work + "/utkani.jrn", journal);
    QVERIFY(!keeper.takeOverJournal(MatchKeeper::Resume::No, [] {
        qFatal("asked although --no-resume");
        return true;
    }));
    QCOMPARE(keeper.lastArchived(), work + "/archiv/2026-12-03_1805_Sokol_Slavoj_nedohrano-2.jrn");
}

void MatchKeeperTest::aThrowIsOnTheDiskBeforeTheNextFrameGoesOut() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {6, 2, 1, 2, 1});
    LaneServer server(*state);
    MatchKeeper keeper(*state, work, "archiv");
    QVERIFY(!keeper.takeOverJournal(MatchKeeper::Resume::Ask, [] { return true; }));
    keeper.attach(server);
    QVERIFY(!QFileInfo::exists(keeper.journalPath())); // nothing happened, no journal
    state->linkPaused = 0;

    std::vector<std::string> sent;
    server.beforeSend = [&, commit = server.beforeSend] {
        commit();
        const QByteArray onDisk = readFile(keeper.journalPath());
        const JournalReading reading =
            readJournal(std::string_view(onDisk.constData(), static_cast<std::size_t>(onDisk.size())));
        auto rebuilt = std::make_unique<MatchState>();
        replayJournal(*rebuilt, reading);
        sent.push_back(std::to_string(rebuilt->player[1].throws[1]) + "@" +
                       std::to_string(rebuilt->player[1].throwCount));
    };
    emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(1, laneStatus(1, 6))));
    server.tick();
    QCOMPARE(sent, std::vector<std::string>{"6@1"});
}

void MatchKeeperTest::aStoredMatchOpensReadOnlyWithTheLaneLinkOff() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    QDir(work).mkpath("archiv");
    const QString storedPath = work + "/archiv/2026-12-03_1805_Sokol_Slavoj.jrn";
    writeFile(storedPath, playedJournal(20));

    auto state = std::make_unique<MatchState>();
    WindowSet windows(*state);
    LaneServer server(*state);
    windows.connectLaneServer(server);
    MatchKeeper keeper(*state, work, "archiv");
    keeper.takeOverJournal(MatchKeeper::Resume::No, {});
    keeper.attach(server);
    keeper.attachWindows(windows);
    server.startCycle();
    // The match on the lanes has begun when the operator looks at last week's.
    emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(1, laneStatus(1, 4))));
    QCOMPARE(state->player[1].throws[1], 4);

    keeper.chooseStoredMatch = [&] { return storedPath; };
    QAction* open = matchMenuItem(windows.mainWindow(), QStringLiteral("Otevřít uložené utkání…"));
    QVERIFY(open);
    open->trigger();
    QCOMPARE(state->gameKind, 6);
    QCOMPARE(state->player[1].throwCount, 20);
    QCOMPARE(state->player[1].throws[1], 2);
    QVERIFY(fromCp1250(teamLine(*state)).contains("Slavoj"));
    QVERIFY(windows.mainWindow().windowTitle().contains("2026-12-03_1805_Sokol_Slavoj"));
    QVERIFY(!windows.mainWindow().findChild<QPushButton*>("startButton")->isEnabled());
    QVERIFY(!server.cycleRunning());
    const LaneStatus shown = state->laneStatus[1];
    emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(1, laneStatus(2, 9))));
    server.tick();
    QCOMPARE(state->laneStatus[1].bytes, shown.bytes); // the lanes are not listened to
    QCOMPARE(state->player[1].throwCount, 20);
    windows.overview().Zobr_text();
    QCOMPARE(windows.overview().grid()->item(1, 1)->text(), QStringLiteral("2"));

    // The running match's journal keeps its throw and nothing of the stored one.
    const QByteArray live = readFile(keeper.journalPath());
    auto rebuilt = std::make_unique<MatchState>();
    replayJournal(*rebuilt,
                  readJournal(std::string_view(live.constData(), static_cast<std::size_t>(live.size()))));
    QCOMPARE(rebuilt->player[1].throws[1], 4);
    QCOMPARE(rebuilt->player[1].throwCount, 1);

    // The export of the match shown.
    const QString exportPath = work + "/vyvoz.json";
    keeper.chooseExportPath = [&] { return exportPath; };
    state->homeLineupCount = 1;
    state->homeLineup[1] = "10234 - Novak Jan, 14.03.2011 , nemocny";
    QAction* exportItem = matchMenuItem(windows.mainWindow(), QStringLiteral("Exportovat utkání…"));
    QVERIFY(exportItem);
    exportItem->trigger();
    const QJsonObject match = QJsonDocument::fromJson(readFile(exportPath)).object();
    QCOMPARE(match.value("format").toString(), QStringLiteral("kuzelna-match"));
    QCOMPARE(match.value("home").toObject().value("name").toString(), QStringLiteral("Sokol"));
    const QJsonArray throws = match.value("players").toArray().at(0).toObject().value("throws").toArray();
    QCOMPARE(throws.size(), 20);
    QCOMPARE(throws.at(0).toInt(), 2);
    QCOMPARE(match.value("home").toObject().value("pins").toInt(), state->player[1].total);
    // What reopening the match needs, line-ups with birth dates included: for the owner's eyes only.
    QCOMPARE(match.value("view").toString(), QStringLiteral("archive"));
    QCOMPARE(match.value("setup").toObject().value("homeLineup").toArray().at(0).toString(),
             QStringLiteral("10234 - Novak Jan, 14.03.2011 , nemocny"));
    QVERIFY(match.value("players").toArray().at(0).toObject().contains("registryLine"));
    const auto mode = std::filesystem::status(exportPath.toStdString()).permissions();
    QCOMPARE(static_cast<int>(mode & std::filesystem::perms::all), 0600);
}

void MatchKeeperTest::aStoredJournalIsReadAsUntrustedInput() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    QDir(work).mkpath("archiv");
    const std::string played = playedJournal(20);
    // Of a newer version: the header's version after the format name.
    const JournalRecord header = readJournal(played).records.front();
    JournalRecord newerHeader = header;
    newerHeader.payload[19] = 2;
    const std::string newer =
        encodeJournalRecord(newerHeader) + played.substr(encodeJournalRecord(header).size());
    const QString newerPath = work + "/archiv/novejsi.jrn";
    writeFile(newerPath, newer);
    // Readable up to a correction of 12 pins, with frames after it.
    const std::string cut =
        played + encodeJournalRecord({JournalKind::Correction, std::string("\x01\x03\x00\x0C", 4)});
    const QString cutPath = work + "/archiv/2026-12-03_1805_Sokol_Slavoj.jrn";
    writeFile(cutPath, cut + played.substr(played.rfind("KJF")));

    auto state = std::make_unique<MatchState>();
    WindowSet windows(*state);
    LaneServer server(*state);
    windows.connectLaneServer(server);
    MatchKeeper keeper(*state, work, "archiv");
    keeper.takeOverJournal(MatchKeeper::Resume::No, {});
    keeper.attach(server);
    keeper.attachWindows(windows);
    server.startCycle();
    emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(1, laneStatus(1, 4))));
    QCOMPARE(state->player[1].throws[1], 4);

    // Refused with a message; the match on the lanes goes on.
    try {
        keeper.openStored(newerPath);
        QFAIL("a journal of version 2 was opened");
    } catch (const OperatorError& refused) {
        QVERIFY2(QString::fromLatin1(refused.what())
                     .contains("journal version 2 (this program reads journal version 1)"),
                 refused.what());
    }
    QVERIFY(server.cycleRunning());
    QCOMPARE(state->player[1].throws[1], 4);

    keeper.openStored(cutPath);
    QCOMPARE(state->player[1].throwCount, 20);
    QCOMPARE(state->player[1].throws[3], (3 + 1) % 10); // not the 12 pins
    QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Žurnál čten jen zčásti"));
}

void MatchKeeperTest::aFinishedMatchIsArchivedAndACorrectionAfterTheEndFollowsIt() {
    ScratchFolder folder("keeper");
    const QString work = QString::fromStdString(folder.path().string());
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {6, 2, 1, 1, 1}); // one duel: one block
    state->homeTeamName = "Sokol";
    state->guestTeamName = "Slavoj";
    state->linkPaused = 0;
    LaneServer server(*state);
    MatchKeeper keeper(*state, work, "archiv");
    keeper.takeOverJournal(MatchKeeper::Resume::No, {});
    keeper.attach(server);
    for (int n = 1; n <= 40; ++n) {
        for (int lane = 1; lane <= 2; ++lane) {
            emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(lane, laneStatus(n, 5))));
            server.tick();
        }
    }
    for (int lane = 1; lane <= 2; ++lane)
        emit server.port().bytesReceived(QByteArray::fromStdString(statusFrame(lane, laneStatus(-1, 0))));
    QVERIFY(state->matchOver);
    // The match ends ("konec") once the final score has gone out to the displays.
    QSignalSpy ended(&server, &LaneServer::matchEnded);
    for (int i = 0; i < 20 && ended.isEmpty(); ++i)
        server.tick();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!QFileInfo::exists(work + "/utkani.jrn"));
    const QString stored = keeper.lastArchived();
    QVERIFY2(QFileInfo(stored).fileName().endsWith("_Sokol_Slavoj.jrn"), qPrintable(stored));
    const QString exported = stored.chopped(4) + ".json";
    QCOMPARE(QJsonDocument::fromJson(readFile(exported)).object().value("state").toString(),
             QStringLiteral("finished"));

    // The referee corrects a throw before printing the report.
    state->player[1].throws[3] = 9;
    prepocitej(*state, 1);
    keeper.sync();
    QVERIFY(!QFileInfo::exists(work + "/utkani.jrn"));
    const QByteArray bytes = readFile(stored);
    const JournalReading reading =
        readJournal(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QVERIFY(reading.finished);
    auto rebuilt = std::make_unique<MatchState>();
    replayJournal(*rebuilt, reading);
    QCOMPARE(rebuilt->player[1].throws[3], 9);
    QCOMPARE(rebuilt->player[1].total, 5 * 39 + 9);
    const QJsonObject match = QJsonDocument::fromJson(readFile(exported)).object();
    QCOMPARE(match.value("home").toObject().value("pins").toInt(), 5 * 39 + 9);
}

QTEST_MAIN(MatchKeeperTest)
#include "test_match_keeper.moc"
