// Failures the operator must act on reach the console: settings that cannot be
// written to a read-only zodided.ini are named in the status line and in a
// message box, and the file keeps what it had.

#include "aids/startup_settings_window.h"
#include "boards/board_settings_dialog.h"
#include "console/central_error_handler_qt.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kuzelna;

class OperatorNoticesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void settingsNotSavedToAReadOnlyIniSaySo() {
        const QByteArray original = "[Default]\r\nturnaj=0\r\n[Vysledkova_tabule]\r\npozicex=1024\r\n";
        {
            QFile ini(QStringLiteral("zodided.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(original);
        }
        QVERIFY(QFile::setPermissions(QStringLiteral("zodided.ini"), QFile::ReadOwner | QFile::ReadGroup));
        QStringList boxes;
        KuzelnaApplication::showOperatorError = [&boxes](const QString& text) { boxes << text; };
        MatchState state;
        WindowSet windows(state);
        auto* status = windows.mainWindow().findChild<QLineEdit*>(QStringLiteral("statusLine"));

        windows.startupSettings().open();
        QTest::mouseClick(windows.startupSettings().findChild<QPushButton*>(QStringLiteral("save")),
                          Qt::LeftButton);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains(QLatin1String("zodided.ini")) &&
                     boxes[0].contains(QStringLiteral("nepodařilo uložit")),
                 qPrintable(boxes[0]));
        QCOMPARE(status->text(), QStringLiteral("zodided.ini neuložen"));

        windows.boardSettings().openFromMenu();
        QPushButton* boardSave = nullptr;
        for (QPushButton* button : windows.boardSettings().findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Ulož")) boardSave = button;
        }
        QVERIFY(boardSave);
        QTest::mouseClick(boardSave, Qt::LeftButton);
        QCOMPARE(boxes.size(), 2);

        QFile ini(QStringLiteral("zodided.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), original);
        KuzelnaApplication::showOperatorError = nullptr;
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(OperatorNoticesTest)
#include "test_operator_notices.moc"
