// A server killed in the middle of a block and started again with --resume
// finishes the match with the same throws and totals as one that ran through:
// kuzelna --headless against kuzelna-lanesim, two processes as a user runs them.

#include "core/match_journal.h"
#include "core/match_state.h"
#include "support/program_process.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace kuzelna;

namespace {

using kuzelna::testing::program;

const QStringList kMatch = {"--kind", "60", "--lanes", "4", "--duels", "4"};

QStringList lanesimArguments(const QString& device) {
    return QStringList{
               "--link", device, "--pace", "0", "--speed", "100", "--seed", "12", "--exit-when-finished"} +
           kMatch;
}

QStringList serverArguments(const QString& device, const QStringList& extra = {}) {
    return QStringList{"--port", device, "--headless", "--speed", "100"} + kMatch + extra;
}

// The match rebuilt from the journal as it stands on the disk now.
std::unique_ptr<MatchState> journalNow(const QString& path) {
    QFile file(path);
    auto state = std::make_unique<MatchState>();
    if (!file.open(QIODevice::ReadOnly)) return state;
    const QByteArray bytes = file.readAll();
    replayJournal(*state,
                  readJournal(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    return state;
}

// The one match export in the archive, without the moment it was written.
QJsonObject archivedExport(const QString& folder) {
    const QStringList exports = QDir(folder + "/archiv").entryList({"*.json"});
    if (exports.size() != 1) return {};
    QFile file(folder + "/archiv/" + exports.front());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QJsonObject match = QJsonDocument::fromJson(file.readAll()).object();
    match.remove("savedAt");
    return match;
}

bool startLanesim(QProcess& lanesim, const QString& device) {
    lanesim.start(program("kuzelna-lanesim"), lanesimArguments(device));
    return lanesim.waitForReadyRead(10000) && QFileInfo(device).isSymLink();
}

} // namespace

class MatchResumeTest : public QObject {
    Q_OBJECT
private slots:
    void killedServerResumesAndFinishesAsAnUninterruptedOne();
};

void MatchResumeTest::killedServerResumesAndFinishesAsAnUninterruptedOne() {
    // The match without a stop.
    QTemporaryDir whole;
    {
        QProcess lanesim, kuzelna;
        QVERIFY(startLanesim(lanesim, whole.filePath("lanes")));
        kuzelna.setWorkingDirectory(whole.path());
        kuzelna.start(program("kuzelna"), serverArguments(whole.filePath("lanes")));
        QVERIFY(kuzelna.waitForFinished(120000));
        QCOMPARE(kuzelna.exitCode(), 0);
        QVERIFY(lanesim.waitForFinished(10000));
    }
    const QJsonObject expected = archivedExport(whole.path());
    QCOMPARE(expected.value("state").toString(), QStringLiteral("finished"));

    // The same seed, the server killed in the middle of the second block.
    QTemporaryDir cut;
    QProcess lanesim;
    QVERIFY(startLanesim(lanesim, cut.filePath("lanes")));
    const QString journal = cut.filePath(QString::fromLatin1(kJournalFileName));
    {
        QProcess kuzelna;
        kuzelna.setWorkingDirectory(cut.path());
        kuzelna.start(program("kuzelna"), serverArguments(cut.filePath("lanes")));
        QVERIFY(kuzelna.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            const auto state = journalNow(journal);
            if (state->firstPairOfBlock == 3 && state->player[5].throwCount >= 20) break;
            QVERIFY2(waited.elapsed() < 120000 && kuzelna.state() == QProcess::Running,
                     "the second block never got halfway");
            QTest::qWait(5);
        }
        ::kill(static_cast<pid_t>(kuzelna.processId()), SIGKILL);
        QVERIFY(kuzelna.waitForFinished(10000));
        QCOMPARE(kuzelna.exitStatus(), QProcess::CrashExit);
    }
    QVERIFY(QFileInfo::exists(journal));
    const auto atKill = journalNow(journal);
    QVERIFY(!atKill->matchOver);
    QVERIFY(atKill->player[1].throwCount == 60); // block 1 is in the journal whole

    QProcess kuzelna;
    kuzelna.setWorkingDirectory(cut.path());
    kuzelna.start(program("kuzelna"), serverArguments(cut.filePath("lanes"), {"--resume"}));
    QVERIFY(kuzelna.waitForFinished(120000));
    QCOMPARE(kuzelna.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(kuzelna.readAllStandardError()).contains("goes on"), "not resumed");
    QVERIFY(lanesim.waitForFinished(10000));
    QCOMPARE(lanesim.exitCode(), 0);

    QVERIFY(!QFileInfo::exists(journal)); // archived with the match
    QCOMPARE(QDir(cut.filePath("archiv")).entryList({"*.jrn"}).size(), 1);
    const QJsonObject resumed = archivedExport(cut.path());
    QCOMPARE(resumed.value("players").toArray().size(), 8);
    QCOMPARE(resumed.value("players"), expected.value("players"));
    QCOMPARE(resumed.value("home"), expected.value("home"));
    QCOMPARE(resumed.value("guest"), expected.value("guest"));
    QCOMPARE(resumed, expected);
}

QTEST_GUILESS_MAIN(MatchResumeTest)
#include "test_match_resume.moc"
