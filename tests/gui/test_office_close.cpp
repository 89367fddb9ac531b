// Closing the program while the office shows a workbook that the program
// changed and did not save: the close asks, the answer is carried out, and the
// office window stays for the operator after the program has gone. The office
// here has windows, on a virtual screen of its own (Xvfb).

#include "console/central_error_handler_qt.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/report_actions_qt.h"
#include "reports/spreadsheet_factory_qt.h"
#include "reports/spreadsheet_uno.h"
#include "reports/spreadsheet_worker.h"
#include "support/scratch_folder.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

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

bool running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] != 'Z';
}

} // namespace

class OfficeCloseTest : public QObject {
    Q_OBJECT

    QProcess screen;

private slots:
    void initTestCase() {
        // Xvfb picks a free display and tells its number once it accepts
        // clients; without -noreset it restarts whenever its last client goes,
        // and the office's second start (after making its profile) finds no display.
        screen.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                              QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                                              QStringLiteral("tcp")});
        if (!screen.waitForStarted(5000)) QSKIP("Xvfb is not installed");
        QTRY_VERIFY_WITH_TIMEOUT(screen.canReadLine(), 20000);
        const QByteArray display = ":" + screen.readLine().trimmed();
        qputenv("DISPLAY", display);
    }
    void cleanupTestCase() {
        screen.terminate();
        screen.waitForFinished(5000);
    }

    void closeAsksAndTheOfficeWindowStays() {
        struct Case {
            QMessageBox::StandardButton answer;
            bool saved;
        };
        for (const Case c : {Case{QMessageBox::Yes, true}, Case{QMessageBox::No, false}}) {
            ScratchFolder folder("office-close");
            const QString startDirectory = QDir::currentPath();
            QDir::setCurrent(QString::fromStdString(folder.path().string()));
            std::filesystem::copy_file(std::filesystem::path(KUZELNA_BINARY_DIR) / "templates" / "zapis.xls",
                                       folder.path() / "zapis.xls");
            auto state = std::make_unique<MatchState>();
            state->pairCount = 1;
            state->lanesPerPlayer = 4;
            state->formsPath = folder.path().string();
            state->player[1].surname = "Prvn\xED";
            pid_t office = 0;
            std::filesystem::path report;
            {
                LibreOfficeOptions options;
                options.headless = false;
                ReportActions reports(*state, nullptr, [options] { return startLibreOffice(options); },
                                      currentReportEnvironment, [] { interruptLibreOffice(); });
                QStringList failures;
                reports.tell = [&](const QString& text) { failures << text; };
                reports.writeMatchReport(0, 1, "N ");
                QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 90000);
                QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
                const QStringList files = QDir::current().entryList({QStringLiteral("N *.xls")});
                QCOMPARE(files.size(), 1);
                report = folder.path() / files[0].toStdString();
                const auto saved = std::filesystem::last_write_time(report);
                // The second report of the day rewrites the open one and leaves it unsaved.
                state->player[1].surname = "Druh\xFD";
                reports.writeMatchReport(0, 1, "N ");
                QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 60000);
                QCOMPARE(int(reports.unsavedWorkbooks().size()), 1);
                QCOMPARE(std::filesystem::last_write_time(report), saved);
                const std::vector<pid_t> offices = officeChildren();
                QCOMPARE(int(offices.size()), 1);
                office = offices[0];

                QString question;
                reports.ask = [&](const QString& text, QMessageBox::StandardButtons,
                                  const QMap<QMessageBox::StandardButton, QString>&) {
                    question = text;
                    return c.answer;
                };
                QVERIFY(reports.settleBeforeQuit());
                QVERIFY2(question.contains(QString::fromStdString(files[0].toStdString())), qPrintable(question));
                QCOMPARE(std::filesystem::last_write_time(report) != saved, c.saved);
            } // the program ends
            QTest::qWait(1000);
            QVERIFY2(running(office), "the office window went with the program");
            // What the file holds: the rewrite when it was saved, else the first report.
            {
                SpreadsheetSession session([] {
                    LibreOfficeOptions options;
                    return startLibreOffice(options);
                });
                Spreadsheet& reader = session.start();
                std::filesystem::path copy = folder.path() / "kopie.xls";
                std::filesystem::copy_file(report, copy);
                reader.openWorkbook(copy, OpenAs::Document);
                reader.activateFirstSheet();
                QCOMPARE(reader.activeSheet().readText("A8"), std::string(c.saved ? "Druh\xFD" : "Prvn\xED"));
                session.quitAll();
            }
            // The office kept its profile for the operator; this one is the test's.
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(office));
            QVERIFY(cmdline.open(QIODevice::ReadOnly));
            QString profile;
            for (const QByteArray& argument : cmdline.readAll().split('\0')) {
                if (argument.startsWith("-env:UserInstallation=file://"))
                    profile = QString::fromUtf8(argument.mid(int(strlen("-env:UserInstallation=file://"))));
            }
            kill(office, SIGKILL);
            waitpid(office, nullptr, 0);
            QVERIFY(profile.startsWith(QStringLiteral("/tmp/kuzelna-office-")));
            QDir(profile).removeRecursively();
            QDir::setCurrent(startDirectory);
        }
    }
};

int main(int argc, char** argv) {
    KuzelnaApplication app(argc, argv);
    OfficeCloseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_office_close.moc"
