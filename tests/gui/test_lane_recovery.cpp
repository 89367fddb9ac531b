// The lane link always comes back: a device missing when the program starts is
// tried again every few seconds, as one lost in the middle of a match, and the
// console says so (status line and the "Systém běží" indicator). Locks left by
// a killed lane link do not block the next one; a live holder is named.

#include "console/central_error_handler_qt.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/errors.h"
#include "core/match_state.h"
#include "core/timing.h"
#include "lanes/lane_lock_qt.h"
#include "lanes/lane_port_qt.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"
#include "support/program_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace kuzelna;

namespace {

using kuzelna::testing::program;

// A process id that no process has any more.
qint64 endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

class LaneRecoveryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void missingAtStartComesBackAndTheConsoleSaysSo() {
        setSpeedFactor(1); // the real retry period
        MatchState state;
        QVERIFY(applyConfiguration(state, {6, 2, 1, 1, 1}).empty());
        QStringList boxes;
        KuzelnaApplication::showSerialPortError = [&boxes](const QString& text) { boxes << text; };
        WindowSet windows(state);
        LaneServer server(state);
        windows.connectLaneServer(server);
        TForm1& window = windows.mainWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* status = window.findChild<QLineEdit*>(QStringLiteral("statusLine"));
        auto* indicator = window.findChild<QRadioButton*>(QStringLiteral("runningIndicator"));
        auto* start = window.findChild<QPushButton*>(QStringLiteral("startButton"));
        QStringList seen;
        connect(status, &QLineEdit::textChanged, this, [&seen](const QString& text) { seen << text; });

        const QString device = dir_.filePath(QStringLiteral("lanes"));
        try {
            server.openPort(device);
            QFAIL("a missing device opened");
        } catch (...) {
            KuzelnaApplication::handleError(std::current_exception());
        }
        server.startCycle();
        QCOMPARE(boxes, QStringList{QStringLiteral("Can't open device %1: zařízení neexistuje").arg(device)});
        QTRY_COMPARE(indicator->text(), QStringLiteral("Linka ztracena"));
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("Pracuje"));
        QTRY_COMPARE(status->text(), QStringLiteral("Start bez linky: %1").arg(device));

        // Tried again every 3 s while it is missing.
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QLatin1String("Linka: pokus ")), 4000);
        QCOMPARE(indicator->text(), QStringLiteral("Linka: zkouším"));
        QTest::qWait(5000 - 3000);

        SimulatedAlley alley(alleySetupFor(state, 3, 0, 0.0));
        alley.open(device);
        QElapsedTimer sinceThere;
        sinceThere.start();
        QTRY_VERIFY_WITH_TIMEOUT(alley.alley().counters().polls > 0, 5000);
        QVERIFY2(sinceThere.elapsed() <= LanePort::kReopenMs + 500,
                 qPrintable(QString::number(sinceThere.elapsed())));
        QTRY_COMPARE(status->text(), QStringLiteral("Linka obnovena: %1").arg(device));
        QTRY_COMPARE(indicator->text(), QStringLiteral("Systém běží"));
        QVERIFY(server.port().isOpen());
        QCOMPARE(boxes.size(), 1); // the retries put up no more boxes

        // Lost, then back, in that order.
        const qsizetype lost = seen.indexOf(QStringLiteral("Linka ztracena: %1").arg(device));
        const qsizetype back = seen.indexOf(QStringLiteral("Linka obnovena: %1").arg(device));
        QVERIFY2(lost >= 0 && back > lost, qPrintable(seen.join(QLatin1String(" | "))));

        // The match goes on to its end on the device that came late.
        setSpeedFactor(50);
        server.startCycle();
        QTRY_COMPARE_WITH_TIMEOUT(start->text(), QStringLiteral("konec"), 60000);
        KuzelnaApplication::showSerialPortError = nullptr;
        setSpeedFactor(1);
    }

    // kuzelna --headless waits for a device that appears 5 s after it started.
    void headlessWaitsForTheDevice() {
        const QString device = dir_.filePath(QStringLiteral("late"));
        QProcess kuzelna;
        kuzelna.setWorkingDirectory(dir_.path());
        kuzelna.start(program("kuzelna"), {"--port", device, "--headless", "--kind", "40", "--lanes", "2",
                                           "--duels", "1", "--speed", "20", "--web-port", "0"});
        QVERIFY(kuzelna.waitForStarted(10000));
        QTest::qWait(5000);
        QVERIFY2(kuzelna.state() == QProcess::Running, "kuzelna gave up on the missing device");
        QProcess lanesim;
        lanesim.start(program("kuzelna-lanesim"),
                      {"--link", device, "--kind", "40", "--lanes", "2", "--duels", "1", "--pace", "0",
                       "--speed", "20", "--exit-when-finished"});
        QVERIFY(kuzelna.waitForFinished(90000));
        QCOMPARE(kuzelna.exitCode(), 0);
        const QString out = QString::fromUtf8(kuzelna.readAllStandardOutput());
        const QString err = QString::fromUtf8(kuzelna.readAllStandardError());
        QVERIFY2(out.endsWith(QLatin1String("match over\n")), qPrintable(out.right(300)));
        QVERIFY2(err.contains(QStringLiteral("Can't open device %1: zařízení neexistuje").arg(device)),
                 qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("Lane link restored: %1.").arg(device)), qPrintable(err));
        QVERIFY(lanesim.waitForFinished(10000));
        QCOMPARE(lanesim.exitCode(), 0);
    }

    // A lock left by a killed lane link is reclaimed; one held by a running
    // link names its process, and the port keeps trying.
    void locksOfEndedAndRunningLinks() {
        SimulatedAlley alley(AlleySetup{});
        alley.open();
        const QString device = alley.devicePath();
        const QString lock = laneLockPath(device);
        QVERIFY2(!lock.isEmpty(), "no lock folder");
        QFile::remove(lock);

        {
            QFile stale(lock);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write(QByteArray::number(endedProcessId()) + "\nkuzelna\n" +
                        QSysInfo::machineHostName().toUtf8() + "\n");
        }
        LanePort first;
        first.open(device);
        QVERIFY(first.isOpen());

        LanePort second;
        try {
            second.open(device);
            QFAIL("a device in use opened twice");
        } catch (const SerialPortError& error) {
            const QString text = QString::fromLocal8Bit(error.what());
            QVERIFY2(
                text.contains(QStringLiteral("používá ho proces %1").arg(QCoreApplication::applicationPid())),
                qPrintable(text));
        }
        QVERIFY(second.reopening());
    }

    // Ended by SIGTERM, a lane link lets go of its lock as closing it does.
    void terminatedRunLeavesNoLock() {
        const QString device = dir_.filePath(QStringLiteral("term"));
        QProcess lanesim;
        lanesim.start(program("kuzelna-lanesim"), {"--link", device, "--kind", "200", "--lanes", "4"});
        QVERIFY(lanesim.waitForReadyRead(10000));
        QProcess kuzelna;
        kuzelna.setWorkingDirectory(dir_.path());
        kuzelna.start(program("kuzelna"), {"--port", device, "--headless", "--kind", "200", "--lanes", "4", "--web-port", "0"});
        const QString lock = laneLockPath(device);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);
        kuzelna.terminate(); // SIGTERM
        QVERIFY(kuzelna.waitForFinished(10000));
        QCOMPARE(kuzelna.exitStatus(), QProcess::NormalExit);
        QVERIFY2(!QFile::exists(lock), qPrintable(lock));
        lanesim.terminate();
        QVERIFY(lanesim.waitForFinished(10000));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(LaneRecoveryTest)
#include "test_lane_recovery.moc"
