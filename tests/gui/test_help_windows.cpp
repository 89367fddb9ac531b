// "Nápověda" and "Změny" of the console's menu: the windows they open and what
// those show. The windows are saved into build/screenshots/ for a look.

#include "console/help_window.h"
#include "console/main_window.h"
#include "console/window_set_qt.h"
#include "core/match_state.h"
#include "core/program_version.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace kuzelna;

namespace {

QAction* menuItem(TForm1& window, const QString& text) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

void save(QWidget& window, const char* name) {
    const QString dir = QStringLiteral(KUZELNA_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    window.grab().save(dir + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void helpTellsTheVersionTheFoldersAndTheShortcuts() {
        QTemporaryDir hall;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(hall.path()));
        MatchState state;
        state.formsPath = "/srv/zapisy";
        WindowSet windows(state);
        windows.mainWindow().show();
        QVERIFY(!windows.help().isVisible());

        QAction* help = menuItem(windows.mainWindow(), QStringLiteral("Nápověda"));
        QVERIFY(help);
        QCOMPARE(help->shortcut(), QKeySequence(QKeySequence::HelpContents));
        help->trigger();
        QVERIFY(windows.help().isVisible());
        QCOMPARE(windows.help().windowTitle(), QStringLiteral("Nápověda"));
        const QString text = windows.help().text();
        QVERIFY2(text.contains(QString::fromUtf8(programVersion())), qPrintable(text));
        for (const QString& file : {hall.path(), hall.filePath("zodided.ini"), hall.filePath("Hraci.dtb"),
                                    hall.filePath("vyst_a.csv"), QStringLiteral("/srv/zapisy")})
            QVERIFY2(text.contains(QDir::toNativeSeparators(file)),
                     qPrintable(file + " missing in\n" + text));
        for (const char* shortcut : {"F1", "Alt+F4", "Tab"})
            QVERIFY2(text.contains(QLatin1String(shortcut)), shortcut);
        save(windows.help(), "help_window.png");

        // Opened again it shows the folders as they are now.
        windows.help().hide();
        state.formsPath = "/srv/jinde";
        help->trigger();
        QVERIFY(windows.help().isVisible());
        QVERIFY(windows.help().text().contains(QStringLiteral("/srv/jinde")));
        QVERIFY(QDir::setCurrent(before));
    }

    void changesShowTheChangelog() {
        MatchState state;
        WindowSet windows(state);
        windows.mainWindow().show();
        QAction* changes = menuItem(windows.mainWindow(), QStringLiteral("Změny"));
        QVERIFY(changes);
        changes->trigger();
        QVERIFY(windows.changes().isVisible());
        QCOMPARE(windows.changes().windowTitle(), QStringLiteral("Změny"));

        // The newest version's heading and every one of its lines are in the window.
        QFile file(QStringLiteral(KUZELNA_SOURCE_DIR "/CHANGELOG.md"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        const QString shown = windows.changes().text().simplified();
        int items = 0;
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("## ")) && items > 0) break;
            if (line.startsWith(QLatin1String("## "))) {
                QVERIFY2(shown.contains(line.mid(3).trimmed()), qPrintable(line));
            } else if (line.startsWith(QLatin1String("- "))) {
                ++items;
                // The first words of an item: markdown marks inside are gone from the text shown.
                const QString start = line.mid(2).section(QLatin1Char(' '), 0, 2).remove(QLatin1Char('`'));
                QVERIFY2(shown.contains(start), qPrintable(start));
            }
        }
        QVERIFY(items > 5);
        QVERIFY(!shown.contains(QLatin1String("## ")));
        save(windows.changes(), "changes_window.png");

        windows.changes().findChild<QPushButton*>(QStringLiteral("close"))->click();
        QVERIFY(!windows.changes().isVisible());
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "test_help_windows.moc"
