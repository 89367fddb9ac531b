// kuzelna started as a user starts it: --help and --version on a machine
// without a display, and --home, which works in the hall's folder and fills it
// with the template workbooks it lacks without touching the operator's copies.

#include "core/program_version.h"
#include "support/program_process.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using kuzelna::testing::program;
using kuzelna::testing::withoutDisplay;

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run run(const QString& name, const QStringList& arguments, const QProcessEnvironment& env,
        const QString& workingDirectory = QString()) {
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
    process.start(name, arguments);
    Run result;
    if (!process.waitForFinished(90000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("did not finish");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList templatesOfTheBuild() {
    return QDir(QStringLiteral(KUZELNA_BINARY_DIR "/templates"))
        .entryList({"*.xls"}, QDir::Files, QDir::Name);
}

// No live results page: a test never listens beyond loopback.
const QStringList kShortMatch = {"--simulate", "--headless", "--speed", "100", "--pace",  "0",
                                 "--kind",     "40",         "--lanes", "2",   "--duels", "1", "--web-port", "0"};

} // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT

private slots:
    void helpAndVersionNeedNoDisplay() {
        const Run help = run(program("kuzelna"), {"--help"}, withoutDisplay());
        QCOMPARE(help.exitCode, 0);
        // Every option, and the range of every one that takes a value (the
        // text is wrapped to the terminal: compare it with its spaces collapsed).
        for (const char* expected : {"--simulate",      "--port <DEVICE>",
                                     "--headless",      "--home",
                                     "--version",       "--help",
                                     "--speed <N>",     "1..100",
                                     "--kind <K>",      "200, 120, 100, 60, 180 or 40",
                                     "--lanes <N>",     "2, 4 or 6",
                                     "--lane-pair <P>", "1 = lanes 1-2, 2 = lanes 3-4",
                                     "--duels <D>",     "1..30",
                                     "--seed <S>",      "0..4294967295",
                                     "--pace <MS>",     "0..600000",
                                     "--noise <P>",     "(0..1)",
                                     "--web-port <N>",  "0..65535",
                                     "KUZELNA_HOME"})
            QVERIFY2(help.out.simplified().contains(QLatin1String(expected)),
                     qPrintable(QString(expected) + "\n" + help.out));

        const QString version = QString::fromUtf8(kuzelna::programVersion());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+(\\.\\d+)?( \\(git [0-9a-f]{7}[^)]*\\))?$"))
                    .match(version)
                    .hasMatch());
        for (const char* name : {"kuzelna", "kuzelna-lanesim"}) {
            const Run shown = run(program(name), {"--version"}, withoutDisplay());
            QCOMPARE(shown.exitCode, 0);
            QCOMPARE(shown.out, QLatin1String(name) + QLatin1Char(' ') + version + QLatin1Char('\n'));
        }

        const Run wrong = run(program("kuzelna"), {"--speed", "101", "--headless"}, withoutDisplay());
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY2(wrong.err.contains(QLatin1String("--speed takes a number from 1 to 100")),
                 qPrintable(wrong.err));
    }

    void homeFolderIsMadeOnceAndKeepsTheOperatorsFiles() {
        const QStringList templates = templatesOfTheBuild();
        QCOMPARE(templates.size(), 10);
        QTemporaryDir root;
        const QString hall = root.filePath("hall/Kuzelna");
        QProcessEnvironment env = withoutDisplay();
        env.insert(QStringLiteral("KUZELNA_HOME"), hall);

        // First start: the folder does not exist yet.
        const Run first = run(program("kuzelna"), QStringList{"--home"} + kShortMatch, env, root.path());
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.out.endsWith(QLatin1String("match over\n")), qPrintable(first.out.right(300)));
        QCOMPARE(QDir(hall).entryList({"*.xls"}, QDir::Files, QDir::Name), templates);
        for (const QString& name : templates) {
            QCOMPARE(contentOf(hall + QLatin1Char('/') + name),
                     contentOf(QStringLiteral(KUZELNA_BINARY_DIR "/templates/") + name));
        }

        // The operator edits one template and deletes another; the hall's
        // zodided.ini names the lane port, which only a program working in the
        // hall's folder reads.
        const QByteArray edited("the hall's own match report");
        {
            QFile zapis(hall + QStringLiteral("/zapis.xls"));
            QVERIFY(zapis.open(QIODevice::WriteOnly | QIODevice::Truncate));
            zapis.write(edited);
        }
        QVERIFY(QFile::remove(hall + QStringLiteral("/Vypis4.xls")));
        const QString device = root.filePath("lanes");
        {
            QFile ini(hall + QStringLiteral("/zodided.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(QStringLiteral("[Linka]\r\nPort=%1\r\n").arg(device).toUtf8());
        }
        QProcess lanesim;
        lanesim.start(program("kuzelna-lanesim"),
                      {"--link", device, "--kind", "40", "--lanes", "2", "--duels", "1", "--pace", "0",
                       "--speed", "100", "--exit-when-finished"});
        QVERIFY(lanesim.waitForReadyRead(10000));
        const Run second =
            run(program("kuzelna"),
                {"--home", "--headless", "--speed", "100", "--kind", "40", "--lanes", "2", "--duels", "1",
                 "--web-port", "0"},
                env, root.path());
        QVERIFY(lanesim.waitForFinished(20000));
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.out.endsWith(QLatin1String("match over\n")),
                 qPrintable(second.out.right(300) + second.err));
        QCOMPARE(contentOf(hall + QStringLiteral("/zapis.xls")), edited);
        QCOMPARE(contentOf(hall + QStringLiteral("/Vypis4.xls")),
                 contentOf(QStringLiteral(KUZELNA_BINARY_DIR "/templates/Vypis4.xls")));
        QVERIFY2(second.err.contains(QStringLiteral("templates copied into %1: Vypis4.xls\n").arg(hall)),
                 qPrintable(second.err));
    }

    void withoutHomeTheCurrentDirectoryStays() {
        QTemporaryDir root;
        QProcessEnvironment env = withoutDisplay();
        env.insert(QStringLiteral("KUZELNA_HOME"), root.filePath("Kuzelna"));
        env.insert(QStringLiteral("HOME"), root.filePath("home"));
        const Run plain = run(program("kuzelna"), kShortMatch, env, root.path());
        QCOMPARE(plain.exitCode, 0);
        QVERIFY(!QFileInfo::exists(root.filePath("Kuzelna")));
        QVERIFY(!QFileInfo::exists(root.filePath("home/Kuzelna")));

        // A hall's folder that cannot be made ends the program with a message.
        QFile blocker(root.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        env.insert(QStringLiteral("KUZELNA_HOME"), root.filePath("file"));
        const Run blocked = run(program("kuzelna"), QStringList{"--home"} + kShortMatch, env, root.path());
        QCOMPARE(blocked.exitCode, 2);
        QVERIFY2(blocked.err.contains(QStringLiteral("kuzelna: ")) &&
                     blocked.err.contains(root.filePath("file")),
                 qPrintable(blocked.err));
    }
};

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "test_program_start.moc"
