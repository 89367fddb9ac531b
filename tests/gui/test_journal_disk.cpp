// A journal folder that cannot be written, read-only or full: one message on
// the status line, the match goes on in memory, and the journal on the disk is
// complete as soon as writing works again. The folder is a small tmpfs in a
// private mount namespace of this test, so this needs root (as in CI).

#include "console/match_keeper_qt.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "lanes/lane_server_qt.h"
#include "scoring/game_kinds.h"
#include "support/frames.h"
#include "support/match_compare.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sched.h>
#include <sys/mount.h>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

std::unique_ptr<MatchState> onDisk(const QString& path) {
    QFile file(path);
    auto state = std::make_unique<MatchState>();
    if (!file.open(QIODevice::ReadOnly)) return state;
    const QByteArray bytes = file.readAll();
    replayJournal(*state,
                  readJournal(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    return state;
}

// Fills the file system of `folder` to the last byte.
void fill(const QString& folder) {
    std::ofstream filler((folder + "/filler").toStdString(), std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
        filler.flush();
}

} // namespace

class JournalDiskTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void aFullDiskLosesNothing();
    void aReadOnlyFolderLosesNothing();

private:
    // Plays throws first..last on both lanes through the lane server, a tick
    // (which commits before it sends) after each frame.
    void play(LaneServer& server, int first, int last);

    QTemporaryDir base_;
    QString folder_;
    bool mounted_ = false;
};

void JournalDiskTest::initTestCase() {
    if (::unshare(CLONE_NEWNS) != 0)
        QSKIP(qPrintable(QStringLiteral("a private mount namespace needs root (unshare -m): %1")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    QVERIFY2(::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0, std::strerror(errno));
    folder_ = base_.filePath("hall");
    QVERIFY(QDir().mkpath(folder_));
    QVERIFY2(::mount("tmpfs", folder_.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0,
             std::strerror(errno));
    mounted_ = true;
}

void JournalDiskTest::cleanupTestCase() {
    if (mounted_) ::umount(folder_.toLocal8Bit().constData());
}

void JournalDiskTest::play(LaneServer& server, int first, int last) {
    for (int n = first; n <= last; ++n) {
        for (int lane = 1; lane <= 2; ++lane) {
            emit server.port().bytesReceived(
                QByteArray::fromStdString(statusFrame(lane, laneStatus(n, n % 9 + 1))));
            server.tick();
        }
    }
}

void JournalDiskTest::aFullDiskLosesNothing() {
    QDir(folder_).removeRecursively();
    fill(folder_);
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {6, 2, 1, 2, 1});
    state->linkPaused = 0;
    LaneServer server(*state);
    MatchKeeper keeper(*state, folder_, "archiv");
    keeper.takeOverJournal(MatchKeeper::Resume::No, {});
    keeper.attach(server);

    play(server, 1, 12);
    QVERIFY(!keeper.writing());
    QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Žurnál nelze zapsat"));
    QCOMPARE(state->player[1].throwCount, 12); // the match goes on
    QCOMPARE(state->player[2].throws[12], 4);

    QVERIFY(QFile::remove(folder_ + "/filler"));
    play(server, 13, 15);
    QVERIFY(keeper.writing());
    QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Žurnál zapsán"));
    QCOMPARE(matchDifferences(*onDisk(keeper.journalPath()), *state), std::vector<std::string>{});
}

void JournalDiskTest::aReadOnlyFolderLosesNothing() {
    QDir(folder_).removeRecursively();
    const QByteArray mountPoint = folder_.toLocal8Bit();
    QVERIFY2(::mount(nullptr, mountPoint.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0,
             std::strerror(errno));
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {6, 2, 1, 2, 1});
    state->linkPaused = 0;
    LaneServer server(*state);
    MatchKeeper keeper(*state, folder_, "archiv");
    keeper.takeOverJournal(MatchKeeper::Resume::No, {});
    keeper.attach(server);

    play(server, 1, 10);
    keeper.sync();
    QVERIFY(!keeper.writing());
    QCOMPARE(fromCp1250(state->controls.statusLine), QStringLiteral("Žurnál nelze zapsat"));
    QVERIFY(!QFileInfo::exists(keeper.journalPath()));
    QCOMPARE(state->player[1].throwCount, 10);

    QVERIFY2(::mount(nullptr, mountPoint.constData(), nullptr, MS_REMOUNT, nullptr) == 0,
             std::strerror(errno));
    keeper.sync(); // the half-second timer's turn
    QVERIFY(keeper.writing());
    QCOMPARE(matchDifferences(*onDisk(keeper.journalPath()), *state), std::vector<std::string>{});
}

QTEST_MAIN(JournalDiskTest)
#include "test_journal_disk.moc"
