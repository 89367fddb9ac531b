// The overview window and the result exchange inside the program's window set:
// the console opens the overview, shows the exchange's status line, heartbeat
// and advertising caption, and its close ends the FTP connection.

#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "reports/ftp_client_qt.h"
#include "reports/overview_window.h"
#include "reports/result_exchange_qt.h"
#include "reports/throw_correction_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kuzelna;

class ExchangeConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        workDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(workDir_->path()));
        state_ = std::make_unique<MatchState>();
        state_->monitorLocalPort = 0;
        exchange_ = std::make_unique<ResultExchange>(*state_);
        windows_ = std::make_unique<WindowSet>(*state_);
        windows_->connectExchange(*exchange_);
        windows_->mainWindow().show();
    }

    void cleanup() {
        windows_.reset();
        exchange_.reset();
        state_.reset();
        workDir_.reset();
    }

    void theButtonAndTheMenuToggleTheOverview() {
        Tvysl1& overview = windows_->overview();
        QVERIFY(!overview.isVisible());
        auto* button =
            windows_->mainWindow().console()->findChild<QPushButton*>(QStringLiteral("overviewButton"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(overview.isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!overview.isVisible());

        // Menu "Výsledky" → "Hráči".
        QAction* players = nullptr;
        for (QAction* menu : windows_->mainWindow().menuBar()->actions()) {
            if (menu->text() != QStringLiteral("Výsledky") || !menu->menu()) continue;
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == QStringLiteral("Hráči")) players = item;
            }
        }
        QVERIFY(players);
        players->trigger();
        QVERIFY(overview.isVisible());
    }

    void theCorrectionDialogWorksOnTheOverviewsSelection() {
        state_->gameKind = 2;
        state_->lanesPerPlayer = 4;
        windows_->overview().playerCombo(false)->setCurrentIndex(1); // guest 2 = slot 4
        windows_->throwCorrection().valueEdit()->setText(QStringLiteral("7"));
        // No cell clicked yet: the label column names no throw.
        windows_->throwCorrection().Uloz();
        QCOMPARE(int(state_->player[4].throws[1]), 0);
        QTableWidget* grid = windows_->overview().grid();
        windows_->overview().show();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, 1)).center());
        QVERIFY(windows_->throwCorrection().isVisible());
        windows_->throwCorrection().valueEdit()->setText(QStringLiteral("7"));
        windows_->throwCorrection().Uloz();
        QCOMPARE(int(state_->player[4].throws[1]), 7);
        QCOMPARE(int(state_->player[4].total), 7);
    }

    void theConsoleShowsTheExchangeStatus() {
        TForm1& main = windows_->mainWindow();
        auto* status = main.findChild<QLineEdit*>(QStringLiteral("statusLine"));
        auto* indicator = main.findChild<QRadioButton*>(QStringLiteral("runningIndicator"));
        auto* advert = main.findChild<QPushButton*>(QStringLiteral("advertButton"));
        QVERIFY(status && indicator && advert);

        state_->monitorHost[1] = "not an address";
        const bool before = indicator->isChecked();
        exchange_->utp_posilani();
        QCOMPARE(status->text(), QStringLiteral("host"));
        QCOMPARE(indicator->isChecked(), !before);

        QTest::mouseClick(advert, Qt::LeftButton); // advertising on: number 1
        QCOMPARE(int(state_->advertNumber), 1);
        state_->advertTicks = 9;
        exchange_->Timer1Timer();
        QCOMPARE(int(state_->advertNumber), 2);
        QCOMPARE(advert->text(), QStringLiteral("Vypni reklamu 2"));
    }

    void closingTheProgramEndsTheFtpConnection() {
        QTemporaryDir root;
        QTcpServer probe;
        probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess server;
        server.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                      QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port),
                      QStringLiteral("-d"), root.path()});
        QVERIFY(server.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(
            [port] {
                QTcpSocket socket;
                socket.connectToHost(QStringLiteral("127.0.0.1"), port);
                return socket.waitForConnected(200);
            }(),
            10000);

        FtpSettings settings;
        settings.host = "127.0.0.1";
        settings.port = port;
        FtpClient& ftp = exchange_->ftp();
        ftp.connect(settings);
        QVERIFY(ftp.connected());

        TForm1& main = windows_->mainWindow();
        main.hooks.confirmClose = [] { return true; };
        int quits = 0;
        main.hooks.quit = [&] { ++quits; };
        main.close();
        QCOMPARE(quits, 1);
        QVERIFY(!ftp.connected());

        server.terminate();
        if (!server.waitForFinished(3000)) server.kill();
    }

private:
    std::unique_ptr<QTemporaryDir> workDir_;
    std::unique_ptr<MatchState> state_;
    std::unique_ptr<ResultExchange> exchange_;
    std::unique_ptr<WindowSet> windows_;
};

QTEST_MAIN(ExchangeConsoleTest)
#include "test_exchange_console.moc"
