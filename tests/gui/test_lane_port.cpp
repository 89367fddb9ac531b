// The real lane port and lane server on a pseudo-terminal, against the virtual
// alley: whole matches with line noise, a far end that vanishes and comes back,
// and the operator's texts for devices that cannot be opened.

#include "core/errors.h"
#include "core/ini_file.h"
#include "core/match_state.h"
#include "core/startup.h"
#include "core/timing.h"
#include "lanes/lane_port_qt.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kuzelna;

namespace {

// Counts socket-notifier activations, the events a port spinning on a dead
// device would flood the event loop with.
class SocketActivity : public QObject {
public:
    SocketActivity() { QCoreApplication::instance()->installEventFilter(this); }
    ~SocketActivity() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::SockAct) ++count;
        return false;
    }
};

std::unique_ptr<MatchState> configuredState(int gameKind, int laneLayout, int lanePair, int duels) {
    auto state = std::make_unique<MatchState>();
    initialiseMatchState(*state, IniFile{}, QDir::currentPath().toStdString());
    const std::string problem = applyConfiguration(*state, {gameKind, laneLayout, lanePair, duels, 1});
    if (!problem.empty()) qFatal("%s", problem.c_str());
    return state;
}

void pressStart(MatchState& state) {
    state.running = 1;
    state.linkPaused = 0;
}

} // namespace

class LanePortTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setSpeedFactor(100); }
    void cleanup() { setSpeedFactor(1); }

    void wholeMatchWithNoiseLosesNoThrow_data();
    void wholeMatchWithNoiseLosesNoThrow();
    void survivesTheFarEndVanishing();
    void openFailuresNameTheDevice_data();
    void openFailuresNameTheDevice();
    void deviceChoiceAndLabels();
};

void LanePortTest::wholeMatchWithNoiseLosesNoThrow_data() {
    QTest::addColumn<int>("gameKind");
    QTest::addColumn<int>("laneLayout");
    QTest::addColumn<int>("lanePair");
    QTest::addColumn<int>("duels");
    QTest::newRow("60 Hs, 2 lanes, 2 duels") << 4 << 2 << 1 << 2;
    QTest::newRow("40 Hs, 4 lanes, 2 duels") << 6 << 1 << 1 << 2;
    QTest::newRow("40 Hs, lanes 3-4, 2 duels") << 6 << 2 << 2 << 2;
}

void LanePortTest::wholeMatchWithNoiseLosesNoThrow() {
    QFETCH(int, gameKind);
    QFETCH(int, laneLayout);
    QFETCH(int, lanePair);
    QFETCH(int, duels);
    auto state = configuredState(gameKind, laneLayout, lanePair, duels);

    SimulatedAlley simulated(alleySetupFor(*state, 2024, 0, 0.15));
    QTemporaryDir dir;
    simulated.open(dir.filePath("lanes"));
    LaneServer server(*state);
    QSignalSpy ended(&server, &LaneServer::matchEnded);
    QSignalSpy lost(&server, &LaneServer::linkLost);
    server.openPort(simulated.devicePath());
    server.startCycle();
    pressStart(*state);

    QVERIFY2(ended.wait(60000) || ended.count() == 1, "the match did not end");
    QCOMPARE(ended.count(), 1);
    QVERIFY(state->matchOver);
    QVERIFY(!server.cycleRunning());
    QCOMPARE(lost.count(), 0);
    QVERIFY(simulated.alley().finished());

    const VirtualAlley& alley = simulated.alley();
    const int throwsPerPlayer = 2 * throwsPerHalf(gameKind) * lanesPerPlayerFor(gameKind);
    QVERIFY(alley.counters().answersLost > 0);
    QVERIFY(alley.counters().answersDamaged > 0);
    QVERIFY(alley.counters().answersNoisy > 0);
    QCOMPARE(static_cast<int>(alley.played().size()), 2 * duels * throwsPerPlayer);

    for (int slot = 1; slot <= 2 * duels; ++slot) {
        const std::vector<int> played = alley.throwsOf(slot);
        QCOMPARE(static_cast<int>(played.size()), throwsPerPlayer + 1);
        int sum = 0;
        for (int t = 1; t <= throwsPerPlayer; ++t) {
            if (state->player[slot].throws[t] != played[t]) {
                QFAIL(qPrintable(QStringLiteral("slot %1 throw %2: recorded %3, played %4")
                                     .arg(slot)
                                     .arg(t)
                                     .arg(state->player[slot].throws[t])
                                     .arg(played[t])));
            }
            sum += played[t];
        }
        QCOMPARE(static_cast<int>(state->player[slot].total), sum);
        QCOMPARE(static_cast<int>(state->player[slot].throwCount), throwsPerPlayer);
    }
    // Nothing recorded beyond the players of the match.
    for (int slot = 2 * duels + 1; slot <= kMaxSlots; ++slot)
        QCOMPARE(int(state->player[slot].total), 0);
}

void LanePortTest::survivesTheFarEndVanishing() {
    auto state = configuredState(4, 2, 1, 2);
    // At the real pace, sped up: the match goes on for longer than the test.
    SimulatedAlley simulated(alleySetupFor(*state, 7, 18000, 0.0));
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyLanes");
    simulated.open(device);

    LaneServer server(*state);
    QSignalSpy lost(&server, &LaneServer::linkLost);
    QSignalSpy restored(&server, &LaneServer::linkRestored);
    QSignalSpy throws(&server, &LaneServer::throwChanged);
    server.openPort(device);
    server.startCycle();
    pressStart(*state);
    QTRY_VERIFY_WITH_TIMEOUT(throws.count() >= 3, 20000);

    simulated.close();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
    QVERIFY(!server.port().isOpen());
    QVERIFY(lost.at(0).at(0).toString().contains(device));

    // Closed and waiting: no storm of read events, no second report, while the
    // reopen attempts (every 30 ms at this speed) keep failing.
    {
        SocketActivity activity;
        QTest::qWait(400);
        QVERIFY2(activity.count < 50, qPrintable(QString::number(activity.count)));
    }
    QCOMPARE(lost.count(), 1);
    QCOMPARE(restored.count(), 0);
    QVERIFY(server.cycleRunning());

    // The device comes back at the same path: the link carries on with the same match.
    const int recordedBefore = state->player[1].throwCount + state->player[2].throwCount;
    const int throwsBefore = throws.count();
    simulated.open(device);
    QTRY_COMPARE_WITH_TIMEOUT(restored.count(), 1, 5000);
    QVERIFY(server.port().isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(throws.count() >= throwsBefore + 3, 20000);
    QVERIFY(state->player[1].throwCount + state->player[2].throwCount > recordedBefore);
    QCOMPARE(lost.count(), 1);
}

void LanePortTest::openFailuresNameTheDevice_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing device") << "/nonexistent/ttyUSB0"
                                    << "Can't open device /nonexistent/ttyUSB0: zařízení neexistuje";
    QTest::newRow("missing COM port") << "COM7"
                                      << "Invalid port number (COM7)";
    QTest::newRow("not a serial device") << "/dev/null"
                                         << "Can't open device /dev/null: není to sériové zařízení";
}

void LanePortTest::openFailuresNameTheDevice() {
    QFETCH(QString, device);
    QFETCH(QString, text);
    LanePort port;
    try {
        port.open(device);
        QFAIL("the port opened");
    } catch (const SerialPortError& error) {
        QCOMPARE(QString::fromLocal8Bit(error.what()), text);
    }
    QVERIFY(!port.isOpen());
}

void LanePortTest::deviceChoiceAndLabels() {
    QCOMPARE(LanePort::chooseDevice({}, ""), LanePort::defaultDevice());
    QCOMPARE(LanePort::chooseDevice({}, " /dev/ttyUSB1 "), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(LanePort::chooseDevice(QStringLiteral("/dev/ttyS3"), "/dev/ttyUSB1"),
             QStringLiteral("/dev/ttyS3"));
    const std::pair<const char*, const char*> labels[] = {{"COM1", "COM1"},
                                                          {"com3", "COM3"},
                                                          {"COM03", "COM3"},
                                                          {"\\\\.\\COM12", "COM12"},
                                                          {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                                          {"COMX", "COMX"}};
    for (const auto& [device, label] : labels)
        QCOMPARE(LanePort::deviceLabel(QString::fromLatin1(device)), QString::fromLatin1(label));
}

QTEST_MAIN(LanePortTest)
#include "test_lane_port.moc"
