// The office never holds up the lane link. A match runs on the virtual alley
// through the real lane port while the console writes reports with the real
// office: the first "Nové", a second "Nové" while the office does not answer
// (stopped, as it is while it waits for someone to answer one of its windows)
// and with the report still open in it, and "Zavři" on the rewritten report,
// whose question the operator takes seconds to answer. Meanwhile the alley is
// polled at the pace it is without any report.

#include "console/central_error_handler_qt.h"
#include "console/main_window.h"
#include "console/simulation_lineup.h"
#include "console/window_set_qt.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "lanes/lane_server_qt.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "reports/report_actions_qt.h"
#include "reports/spreadsheet_worker.h"
#include "scoring/game_kinds.h"
#include "support/scratch_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <future>
#include <sstream>

#include <unistd.h>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

// The office processes this test started (its children named soffice.bin).
std::vector<pid_t> officeChildren() {
    std::vector<pid_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        char processState = 0;
        pid_t parent = 0;
        rest >> processState >> parent;
        if (parent == getpid() && line.substr(open + 1, close - open - 1) == "soffice.bin")
            pids.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return pids;
}

// Watches the alley's poll counter and keeps the longest time without a poll.
class PollWatch : public QObject {
public:
    explicit PollWatch(const VirtualAlley& alley) : alley_(alley) {
        connect(&timer_, &QTimer::timeout, this, [this] { sample(); });
        timer_.start(10);
        clock_.start();
        last_ = alley_.counters().polls;
    }
    void restart() {
        longestGapMs = 0;
        lastPollMs_ = clock_.elapsed();
        first_ = alley_.counters().polls;
    }
    long polls() const { return alley_.counters().polls - first_; }
    qint64 elapsedMs() const { return clock_.elapsed() - startMs_; }
    void markStart() {
        startMs_ = clock_.elapsed();
        restart();
    }
    qint64 longestGapMs = 0;

private:
    void sample() {
        const long now = alley_.counters().polls;
        const qint64 at = clock_.elapsed();
        if (now != last_) {
            last_ = now;
            lastPollMs_ = at;
        }
        longestGapMs = std::max(longestGapMs, at - lastPollMs_);
    }
    const VirtualAlley& alley_;
    QTimer timer_;
    QElapsedTimer clock_;
    long last_ = 0, first_ = 0;
    qint64 lastPollMs_ = 0, startMs_ = 0;
};

} // namespace

class OfficeLaneLinkTest : public QObject {
    Q_OBJECT

private slots:
    void reportsDoNotStopThePolls() {
        ScratchFolder folder("office-link");
        const QString startDirectory = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(folder.path().string()));
        std::filesystem::copy_file(std::filesystem::path(KUZELNA_BINARY_DIR) / "templates" / "zapis.xls",
                                   folder.path() / "zapis.xls");

        MatchState state;
        // "60 Hs" on 4 lanes, two duels, a throw every two seconds: the match
        // outlasts the test.
        QVERIFY(applyConfiguration(state, {4, 1, 1, 2, 1}).empty());
        fillSimulationLineups(state);
        state.formsPath = folder.path().string();
        SimulatedAlley alley(alleySetupFor(state, 5, 2000, 0.0));
        alley.open();
        LaneServer server(state);
        {
            WindowSet windows(state);
            windows.connectLaneServer(server);
            server.openPort(alley.devicePath());
            server.startCycle();
            TForm1& window = windows.mainWindow();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            ReportActions& reports = windows.reports();
            auto click = [&](const char* name) {
                QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
            };
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("startButton")), Qt::LeftButton);

            PollWatch watch(alley.alley());
            QTest::qWait(3000);
            QVERIFY(watch.polls() > 0);
            const double idleRate = double(watch.polls()) / 3000.0;
            const qint64 idleGap = watch.longestGapMs;

            // The first report: the office starts and fills and saves it.
            watch.markStart();
            click("newReport");
            QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 90000);
            QVERIFY2(state.controls.statusLine.starts_with(cp1250::fromUtf8("Zápis uložen: ")),
                     state.controls.statusLine.c_str());
            const qint64 firstGap = watch.longestGapMs;
            const qint64 firstMs = watch.elapsedMs();

            // The second "Nové" while the office does not answer, with the
            // report open in it: it is taken as it is, and the polls go on.
            const std::vector<pid_t> offices = officeChildren();
            QVERIFY(!offices.empty());
            watch.markStart();
            for (pid_t pid : offices)
                kill(pid, SIGSTOP);
            click("newReport");
            QTest::qWait(5000);
            QCOMPARE(reports.pending(), 1); // still waiting for the office
            const double stoppedRate = double(watch.polls()) / double(watch.elapsedMs());
            const qint64 stoppedGap = watch.longestGapMs;
            for (pid_t pid : offices)
                kill(pid, SIGCONT);
            QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 60000);
            QVERIFY2(state.controls.statusLine.starts_with(cp1250::fromUtf8("Zápis přepsán (neuložen): ")),
                     state.controls.statusLine.c_str());
            QCOMPARE(int(reports.unsavedWorkbooks().size()), 1);

            // "Zavři" on the rewritten report: the program asks, the operator
            // takes his time, the polls go on; the office closes without a
            // question of its own.
            watch.markStart();
            int asked = 0;
            reports.ask = [&](const QString&, QMessageBox::StandardButtons,
                              const QMap<QMessageBox::StandardButton, QString>&) {
                ++asked;
                QTest::qWait(3000);
                return QMessageBox::No;
            };
            click("closeSpreadsheet");
            QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 60000);
            QCOMPARE(asked, 1);
            const qint64 closeGap = watch.longestGapMs;
            QTRY_VERIFY_WITH_TIMEOUT(officeChildren().empty(), 20000);

            qInfo("polls: idle %.1f/s, longest gap %lld ms; first report %lld ms, longest gap %lld ms; "
                  "office stopped 5 s: %.1f polls/s, longest gap %lld ms; Zavři with a 3 s question: "
                  "longest gap %lld ms",
                  idleRate * 1000, idleGap, firstMs, firstGap, stoppedRate * 1000, stoppedGap, closeGap);
            // A stall would be as long as the office took (seconds); the link
            // steps every 300 ms.
            for (qint64 gap : {firstGap, stoppedGap, closeGap})
                QVERIFY2(gap < 1500, qPrintable(QString::number(gap)));
            QVERIFY(stoppedRate > 0.5 * idleRate);
        }
        QDir::setCurrent(startDirectory);
    }
};

int main(int argc, char** argv) {
    KuzelnaApplication app(argc, argv);
    OfficeLaneLinkTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_office_lane_link.moc"
