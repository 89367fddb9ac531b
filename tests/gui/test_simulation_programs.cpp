// The two programs of the virtual alley, run as a user runs them: kuzelna
// --simulate on its own (on a machine without a display), and kuzelna-lanesim
// with kuzelna opening its device.

#include "support/program_process.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using kuzelna::testing::program;
using kuzelna::testing::withoutDisplay;

} // namespace

class SimulationProgramsTest : public QObject {
    Q_OBJECT
private slots:
    void simulatePlaysAWholeMatch();
    void lanesimServesAnotherProcess();
};

void SimulationProgramsTest::simulatePlaysAWholeMatch() {
    QTemporaryDir dir;
    QProcess kuzelna;
    kuzelna.setWorkingDirectory(dir.path());
    // As on a server without a screen: no display and no platform chosen.
    kuzelna.setProcessEnvironment(withoutDisplay());
    kuzelna.start(program("kuzelna"), {"--simulate", "--headless", "--speed", "100", "--kind", "40",
                                       "--lanes", "2", "--duels", "2", "--pace", "0", "--noise", "0.1", "--web-port", "0"});
    QVERIFY(kuzelna.waitForFinished(60000));
    const QString out = QString::fromUtf8(kuzelna.readAllStandardOutput());
    QCOMPARE(kuzelna.exitCode(), 0);
    QVERIFY2(out.endsWith("match over\n"), qPrintable(out.right(400)));
    // 4 players of 40 throws; the score board shows four-digit pin counts.
    QVERIFY2(out.contains("block 2/2 finished  throws 160"), qPrintable(out.right(400)));
    QVERIFY(QRegularExpression(QStringLiteral("score board    \\d{4} .{4} \\d{4}\n")).match(out).hasMatch());
    // The sample line-ups reach the team-name and lane name displays.
    QVERIFY2(QRegularExpression(QStringLiteral("team names     \\|\\w.{17}\\|\n")).match(out).hasMatch(),
             qPrintable(out.left(600)));
    QVERIFY(QRegularExpression(QStringLiteral("lane 1 .* name \\|\\w")).match(out).hasMatch());
}

void SimulationProgramsTest::lanesimServesAnotherProcess() {
    QTemporaryDir dir;
    const QString device = dir.filePath("lanes");
    QProcess lanesim;
    lanesim.start(program("kuzelna-lanesim"), {"--link", device, "--kind", "60", "--lanes", "4", "--duels",
                                               "2", "--pace", "0", "--speed", "100", "--exit-when-finished"});
    QVERIFY(lanesim.waitForReadyRead(10000));
    QVERIFY(QString::fromUtf8(lanesim.readLine()).startsWith("lanes on /dev/"));
    QVERIFY(QFileInfo(device).isSymLink());

    QProcess kuzelna;
    kuzelna.setWorkingDirectory(dir.path());
    kuzelna.start(program("kuzelna"), {"--port", device, "--headless", "--speed", "100", "--kind", "60",
                                       "--lanes", "4", "--duels", "2", "--web-port", "0"});
    QVERIFY(kuzelna.waitForFinished(60000));
    QCOMPARE(kuzelna.exitCode(), 0);
    const QString out = QString::fromUtf8(kuzelna.readAllStandardOutput());
    QVERIFY2(out.endsWith("match over\n"), qPrintable(out.right(400)));

    QVERIFY(lanesim.waitForFinished(10000));
    QCOMPARE(lanesim.exitCode(), 0);
    QVERIFY(QString::fromUtf8(lanesim.readAllStandardOutput()).contains("every block played"));
    QVERIFY(!QFileInfo::exists(device) && !QFileInfo(device).isSymLink()); // the link goes with the program
}

QTEST_GUILESS_MAIN(SimulationProgramsTest)
#include "test_simulation_programs.moc"
