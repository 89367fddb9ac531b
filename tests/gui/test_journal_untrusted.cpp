// kuzelna --headless started over journals that pass their CRC but hold what
// this program never writes: it says once what it did with the journal, plays
// the match on the virtual alley to its end, and a second start in the same
// folder is clean. A journal of another version goes into the archive as
// "…_necitelne.jrn"; one that is readable up to a record resumes that far.

#include "core/match_journal.h"
#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "support/program_process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace kuzelna;

namespace {

using kuzelna::testing::program;
using kuzelna::testing::withoutDisplay;

// The set-up records of the match the program is started with.
std::vector<JournalRecord> setUpRecords() {
    auto state = std::make_unique<MatchState>();
    if (!applyConfiguration(*state, {6, 2, 1, 1, 1}).empty()) return {};
    JournalRecorder recorder("2026-12-10 19:30:00");
    return readJournal(recorder.sync(*state)).records;
}

std::string encoded(const std::vector<JournalRecord>& records) {
    std::string out;
    for (const JournalRecord& r : records)
        out += encodeJournalRecord(r);
    return out;
}

JournalRecord frameRecord(int lane, int counter, int pins) {
    std::string payload(17, '\0');
    payload[0] = static_cast<char>(lane);
    payload[4] = static_cast<char>(pins);
    payload[5] = static_cast<char>(counter % 10);
    payload[6] = static_cast<char>(counter / 10);
    return {JournalKind::Frame, payload};
}

struct Case {
    const char* name;
    const char* resume; // "--resume" or "--no-resume"
    // Changes the set-up records and gives what follows them.
    std::function<std::string(std::vector<JournalRecord>&)> make;
    const char* said; // in the line the program says once
    // "…_necitelne.jrn" in the archive holds the file as it was: moved there
    // unread, or copied before a resume cut off what could not be read.
    bool unreadableInArchive;
};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run start(const QString& folder, const char* resume) {
    QProcess kuzelna;
    kuzelna.setProcessEnvironment(withoutDisplay());
    kuzelna.setWorkingDirectory(folder);
    kuzelna.start(program("kuzelna"), {"--headless", "--simulate", resume, "--kind", "40", "--lanes", "2",
                                       "--duels", "1", "--pace", "0", "--speed", "100", "--seed", "5"});
    Run run;
    if (!kuzelna.waitForFinished(120000)) {
        kuzelna.kill();
        kuzelna.waitForFinished(10000);
        return run;
    }
    run.exitCode = kuzelna.exitStatus() == QProcess::NormalExit ? kuzelna.exitCode() : -1;
    run.out = QString::fromUtf8(kuzelna.readAllStandardOutput());
    run.err = QString::fromUtf8(kuzelna.readAllStandardError());
    return run;
}

} // namespace

class JournalUntrustedTest : public QObject {
    Q_OBJECT
private slots:
    void everyStartOverABadJournalPlaysItsMatchAndTheNextStartIsClean_data();
    void everyStartOverABadJournalPlaysItsMatchAndTheNextStartIsClean();
};

void JournalUntrustedTest::everyStartOverABadJournalPlaysItsMatchAndTheNextStartIsClean_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 6; ++i)
        QTest::addRow("%d", i) << i;
}

void JournalUntrustedTest::everyStartOverABadJournalPlaysItsMatchAndTheNextStartIsClean() {
    const std::vector<Case> cases = {
        {"an unknown kind", "--resume",
         [](std::vector<JournalRecord>&) {
             return encodeJournalRecord({static_cast<JournalKind>('Z'), "\x01\x02"}) +
                    encodeJournalRecord(frameRecord(1, 1, 7));
         },
         "journal version 1 (this program reads journal version 1)", true},
        {"a newer header version", "--no-resume",
         [](std::vector<JournalRecord>& r) {
             r[0].payload[19] = 2; // the version after the format name
             return std::string();
         },
         "journal version 2 (this program reads journal version 1)", true},
        {"200 lanes", "--resume",
         [](std::vector<JournalRecord>& r) {
             r[1].payload[2] = static_cast<char>(200);
             return encodeJournalRecord(frameRecord(1, 1, 7));
         },
         "laneCount 200", true},
        {"a line-up count of 255", "--no-resume",
         [](std::vector<JournalRecord>& r) {
             r[2].payload[0] = static_cast<char>(255);
             return std::string();
         },
         "line-up count 255", false},
        {"a text of 4 GB", "--resume",
         [](std::vector<JournalRecord>& r) {
             r[3].payload = std::string("\x00\x00\xFF\xFF\xFF\xFF", 6) + "1";
             return std::string();
         },
         "runs past the record's end", true},
        {"a frame shorter than its kind", "--resume",
         [](std::vector<JournalRecord>&) {
             return encodeJournalRecord(frameRecord(1, 1, 7)) +
                    encodeJournalRecord({JournalKind::Frame, std::string("\x01\x02\x03")});
         },
         "shorter than its kind", true},
    };
    QFETCH(int, index);
    const Case& c = cases[static_cast<std::size_t>(index)];
    qInfo("%s, %s", c.name, c.resume);

    QTemporaryDir dir;
    std::vector<JournalRecord> records = setUpRecords();
    QCOMPARE(records.size(), 4u);
    const std::string tail = c.make(records);
    const std::string bytes = encoded(records) + tail;
    const QString journal = dir.filePath(QString::fromLatin1(kJournalFileName));
    {
        QFile file(journal);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    const Run first = start(dir.path(), c.resume);
    QVERIFY2(first.exitCode == 0, qPrintable(first.err));
    QVERIFY2(first.out.contains(QLatin1String("match over")), qPrintable(first.out));
    QCOMPARE(first.err.count(QLatin1String(c.said)), 1);
    QVERIFY(!QFileInfo::exists(journal)); // the match played was archived with its journal

    const QDir archive(dir.filePath(QStringLiteral("archiv")));
    const QStringList unreadable = archive.entryList({QStringLiteral("*_necitelne.jrn")});
    if (c.unreadableInArchive) {
        QCOMPARE(unreadable.size(), 1);
        QCOMPARE(contentOf(archive.filePath(unreadable.front())),
                 QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    } else {
        QCOMPARE(unreadable.size(), 0);
    }

    // The journal of the match played rebuilds it, finished, with its set-up.
    const QStringList played = archive.entryList({QStringLiteral("*.jrn")})
                                   .filter(QRegularExpression("^(?!.*_(necitelne|nedohrano))"));
    QCOMPARE(played.size(), 1);
    const QByteArray playedBytes = contentOf(archive.filePath(played.front()));
    const JournalReading reading =
        readJournal(std::string_view(playedBytes.constData(), static_cast<std::size_t>(playedBytes.size())));
    QVERIFY(reading.finished);
    QCOMPARE(reading.stopReason, std::string());
    auto rebuilt = std::make_unique<MatchState>();
    replayJournal(*rebuilt, reading);
    QVERIFY(rebuilt->matchOver);
    QCOMPARE(rebuilt->gameKind, 6);
    QCOMPARE(rebuilt->laneCount, 2);
    QCOMPARE(rebuilt->player[1].throwCount, 40);

    const Run second = start(dir.path(), c.resume);
    QVERIFY2(second.exitCode == 0, qPrintable(second.err));
    QVERIFY2(second.out.contains(QLatin1String("match over")), qPrintable(second.out));
    for (const char* notice : {"cannot be read", "readable up to", "no match journal", "goes on"})
        QVERIFY2(!second.err.contains(QLatin1String(notice)), qPrintable(second.err));
}

QTEST_GUILESS_MAIN(JournalUntrustedTest)
#include "test_journal_untrusted.moc"
