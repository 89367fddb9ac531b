// The console's report buttons and settings menu reach the workbooks and the
// settings dialogs, with the real spreadsheet application (headless here).

#include "console/central_error_handler_qt.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "reports/accompanying_texts_dialog.h"
#include "reports/forms_path_dialog.h"
#include "reports/overview_window.h"
#include "core/cp1250.h"
#include "core/text_qt.h"
#include "reports/report_actions_qt.h"
#include "reports/spreadsheet_factory_qt.h"
#include "reports/spreadsheet_uno.h"
#include "reports/spreadsheet_worker.h"
#include "support/scratch_folder.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <future>

#include <unistd.h>
#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

class ReportWiringTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchFolder> folder;
    std::unique_ptr<MatchState> state;
    std::unique_ptr<WindowSet> windows;
    QString startDirectory;

    void click(const char* name) {
        auto* button = windows->mainWindow().findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        // As the operator clicks: through the event loop, where the central
        // error handler catches what a handler raises.
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The office processes this test started (its children named soffice.bin).
    static std::vector<pid_t> officeChildren() {
        std::vector<pid_t> pids;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            QFile stat(QString::fromStdString((entry.path() / "stat").string()));
            if (!stat.open(QIODevice::ReadOnly)) continue;
            const QString line = QString::fromUtf8(stat.readAll());
            const qsizetype open = line.indexOf(QLatin1Char('(')), close = line.lastIndexOf(QLatin1Char(')'));
            if (open < 0 || close < 0) continue;
            const QStringList rest = line.mid(close + 2).split(QLatin1Char(' '));
            if (rest.size() > 1 && rest[1].toInt() == getpid() && line.mid(open + 1, close - open - 1) == "soffice.bin")
                pids.push_back(static_cast<pid_t>(std::stol(name)));
        }
        return pids;
    }
    // Whether the session holds an office now (asked on the office's thread).
    bool officeRunning() {
        auto running = std::make_shared<std::promise<bool>>();
        std::future<bool> answer = running->get_future();
        windows->reports().worker().post(
            [running](SpreadsheetSession& session) { running->set_value(session.current() != nullptr); });
        return answer.get();
    }
    void trigger(const QString& menu, const QString& item) {
        for (QAction* top : windows->mainWindow().menuBar()->actions()) {
            if (top->text() != menu || !top->menu()) continue;
            for (QAction* action : top->menu()->actions()) {
                if (action->text() == item) return action->trigger();
            }
        }
        QFAIL(qPrintable("no menu item " + item));
    }

private slots:
    void init() {
        folder = std::make_unique<ScratchFolder>("wiring");
        startDirectory = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(folder->path().string()));
        for (const char* name : {"zapis.xls", "Vypis4.xls"}) {
            std::filesystem::copy_file(std::filesystem::path(KUZELNA_BINARY_DIR) / "templates" / name,
                                       folder->path() / name);
        }
        state = std::make_unique<MatchState>();
        state->formsPath = folder->path().string();
        state->pairCount = 1;
        state->lanesPerPlayer = 4;
        windows = std::make_unique<WindowSet>(*state);
        windows->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&windows->mainWindow()));
    }
    void cleanup() {
        windows.reset();
        state.reset();
        QDir::setCurrent(startDirectory);
        folder.reset();
    }

    void settingsMenuOpensTheTwoDialogs() {
        state->refereeName = "Ji\xF8\xED";
        trigger(QStringLiteral("Nastavení"), QStringLiteral("Doprovodné texty"));
        QVERIFY(windows->accompanyingTexts().isVisible());
        QCOMPARE(windows->accompanyingTexts().refereeNameEdit()->text(), QStringLiteral("Jiří"));
        trigger(QStringLiteral("Nastavení"), QStringLiteral("Cesta k formulářům"));
        QVERIFY(windows->formsPath().isVisible());
        QCOMPARE(windows->formsPath().pathEdit()->text(), QString::fromStdString(folder->path().string()));
    }

    // The office works on its own thread: the click returns at once, the
    // outcome follows in the status line.
    void reportButtonWritesTheReportAndZavriEndsTheOffice() {
        state->player[1].surname = "Dvo\xF8\xE1k";
        click("newReport");
        QVERIFY(state->controls.statusLine.starts_with("P\xF8ipravuji"));
        QTRY_COMPARE_WITH_TIMEOUT(windows->reports().pending(), 0, 90000);
        QStringList reports = QDir(QDir::currentPath()).entryList({QStringLiteral("N *.xls")});
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral("N  Domácí  -  Hosté  ")));
        QVERIFY(reports[0].endsWith(QDate::currentDate().toString(Qt::ISODate) + QStringLiteral(".xls")));
        QCOMPARE(QString::fromStdString(cp1250::toUtf8(state->controls.statusLine)),
                 QStringLiteral("Zápis uložen: ") + QDir::current().filePath(reports[0]));
        QVERIFY(officeRunning());
        click("closeSpreadsheet");
        QTRY_COMPARE_WITH_TIMEOUT(windows->reports().pending(), 0, 60000);
        QVERIFY(!officeRunning());
    }

    // An office the operator closes is collected at once, not left as a
    // zombie until the program ends; the next report starts a new one.
    void officeClosedByTheOperatorIsCollected() {
        click("newReport");
        QTRY_COMPARE_WITH_TIMEOUT(windows->reports().pending(), 0, 90000);
        const std::vector<pid_t> offices = officeChildren();
        QCOMPARE(int(offices.size()), 1);
        kill(offices[0], SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("/proc/%1").arg(offices[0])), 10000);
        click("newReport");
        QTRY_COMPARE_WITH_TIMEOUT(windows->reports().pending(), 0, 90000);
        QVERIFY2(state->controls.statusLine.starts_with("Z\xE1pis"), state->controls.statusLine.c_str());
        QVERIFY(officeRunning());
    }

    // Each failure ends in the status line and a message box with its reason.
    void failuresShowTheirReason() {
        struct Case {
            const char* name;
            const char* templateToRemove;
            const char* formsFolder;
            const char* officeProgram;
            QString reason;
        };
        const QString here = QDir::currentPath();
        const Case cases[] = {
            {"missing template", "zapis.xls", nullptr, nullptr,
             QStringLiteral("Chybí šablona zapis.xls ve složce ") + here},
            {"missing folder", nullptr, "chybi", nullptr,
             QStringLiteral("Složka ") + here + QStringLiteral("/chybi neexistuje (Nastavení – Cesta k formulářům)")},
            {"no office installed", nullptr, nullptr, "/nonexistent/soffice.bin",
             QStringLiteral("Tabulkový procesor LibreOffice není nainstalován (chybí /nonexistent/soffice.bin)")},
        };
        for (const Case& c : cases) {
            if (c.templateToRemove) QFile::rename(QLatin1String(c.templateToRemove), QStringLiteral("odlozena.xls"));
            state->formsPath = c.formsFolder ? (folder->path() / c.formsFolder).string() : folder->path().string();
            LibreOfficeOptions options;
            if (c.officeProgram) options.program = c.officeProgram;
            ReportActions reports(*state, &windows->mainWindow(), [options] { return startLibreOffice(options); },
                                  currentReportEnvironment);
            QStringList told;
            reports.tell = [&](const QString& text) { told << text; };
            reports.writeMatchReport(0, 1, "N ");
            QTRY_COMPARE_WITH_TIMEOUT(reports.pending(), 0, 90000);
            QCOMPARE(told, QStringList{c.reason});
            QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Chyba: ") + c.reason);
            QVERIFY2(QDir(here).entryList({QStringLiteral("N *.xls")}).isEmpty(), c.name);
            if (c.templateToRemove) QFile::rename(QStringLiteral("odlozena.xls"), QLatin1String(c.templateToRemove));
        }
    }

    // No printer here: "Vysl1" leaves the PDF's name in the status line, not
    // "Tisk OK"; the PDF is named after the player and the day.
    void laneButtonExportsThePlayerSeenOnTheLane() {
        state->playerSheetsPath = folder->path().string();
        state->player[2].surname = "Nov\xE1kov\xE1";
        state->player[2].firstName = "Jana";
        state->laneShownPlayer[1] = 3; // slot 2, a guest
        click("vysl1");
        QTRY_COMPARE_WITH_TIMEOUT(windows->reports().pending(), 0, 90000);
        const QString pdf = QStringLiteral("Nováková Jana ") + QDate::currentDate().toString(Qt::ISODate) +
                            QStringLiteral(".pdf");
        QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Tisk do PDF: ") + pdf);
        QVERIFY(QFile::exists(pdf));
    }
};

int main(int argc, char** argv) {
    KuzelnaApplication app(argc, argv);
    ReportWiringTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_report_wiring.moc"
