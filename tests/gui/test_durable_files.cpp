// Nothing the program saves is lost on a power cut. The program runs under
// strace; for every file it renames into place the trace must show the file
// synced after its last write and before the rename, and its folder synced
// after the rename; a journal it creates has its folder synced after the
// creation. The saves covered: a whole headless match with the virtual alley
// (journal start, result-file rewrites, the archive move and the export), a
// registry save and a settings save (this test itself, started again under
// strace with --save, clicks OK in the windows). An archive folder on another
// file system is a small tmpfs in a private mount namespace (needs root).

#include "boards/board_settings_dialog.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "registry/registry_window.h"
#include "support/program_process.h"
#include "support/scratch_folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

using kuzelna::testing::program;
using kuzelna::testing::withoutDisplay;

namespace {

// strace's quoting of a path or string ("\303\251", "\x41", "\\"), undone.
QByteArray unquote(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else if (next >= '0' && next <= '7') {
            qsizetype end = i;
            while (end < text.size() && end < i + 3 && text[end] >= '0' && text[end] <= '7')
                ++end;
            out += static_cast<char>(text.mid(i, end - i).toInt(nullptr, 8));
            i = end - 1;
        } else {
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        }
    }
    return out;
}

struct Call {
    QByteArray thread;
    QString name;    // openat, write, fsync, rename, ...
    QString file;    // the file written, synced or created; the old name of a rename
    QString target;  // the new name of a rename
    bool ok = false; // the call succeeded
};

// The calls of a trace written by `strace -f -y -o`, in the order they ended.
// A call interrupted by another thread's ("<unfinished ...>") counts where it
// resumed.
class Trace {
public:
    Trace(const QString& path, const QString& workFolder) : work_(workFolder) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return;
        QMap<QByteArray, QByteArray> unfinished;
        static const QRegularExpression line(QStringLiteral("^(\\d+)\\s+(.*)$"));
        while (!file.atEnd()) {
            QByteArray text = file.readLine().trimmed();
            const auto match = line.match(QString::fromLatin1(text));
            if (!match.hasMatch()) continue;
            const QByteArray pid = match.captured(1).toLatin1();
            QByteArray rest = match.captured(2).toLatin1();
            if (rest.endsWith("<unfinished ...>")) {
                unfinished[pid] = rest.chopped(16);
                continue;
            }
            if (rest.startsWith("<... ")) {
                const qsizetype resumed = rest.indexOf("resumed>");
                if (resumed < 0) continue;
                rest = unfinished.take(pid) + rest.mid(resumed + 8);
            }
            parse(pid, rest);
        }
        read_ = true;
    }

    bool read() const { return read_; }
    const QList<Call>& calls() const { return calls_; }

    // Where the trace fails the rules, one line each.
    QStringList faults(const QString& within) const {
        QStringList found;
        const auto inside = [&](const QString& path) { return path.startsWith(within + '/'); };
        const auto folderOf = [](const QString& path) { return QFileInfo(path).path(); };
        const auto synced = [&](const QString& path, qsizetype from, qsizetype to) {
            for (qsizetype i = from; i < to; ++i) {
                const Call& c = calls_[i];
                if ((c.name == "fsync" || c.name == "fdatasync") && c.ok && c.file == path) return true;
            }
            return false;
        };
        for (qsizetype r = 0; r < calls_.size(); ++r) {
            const Call& rename = calls_[r];
            if (!rename.name.startsWith("rename") || !rename.ok || !inside(rename.target)) continue;
            qsizetype lastWrite = -1;
            for (qsizetype i = 0; i < r; ++i) {
                const Call& c = calls_[i];
                if (c.name.contains("write") && c.file == rename.file) lastWrite = i;
            }
            if (!synced(rename.file, lastWrite + 1, r))
                found << QStringLiteral("%1 renamed to %2 without a sync after its last write")
                             .arg(rename.file, rename.target);
            // Before the thread goes on to anything else: the save is done only then.
            qsizetype next = r + 1;
            while (next < calls_.size() &&
                   (calls_[next].thread != rename.thread || calls_[next].name.contains("sync")))
                ++next;
            for (const QString& folder : {folderOf(rename.target), folderOf(rename.file)}) {
                if (!synced(folder, r + 1, next))
                    found << QStringLiteral("the folder %1 not synced after %2 was renamed to %3")
                                 .arg(folder, rename.file, rename.target);
            }
        }
        for (qsizetype i = 0; i < calls_.size(); ++i) {
            const Call& c = calls_[i];
            if (c.name != "create" || !inside(c.file) || c.file.endsWith(".tmp")) continue;
            // While the thread is still with the new file (its records and their sync).
            qsizetype next = i + 1;
            while (next < calls_.size() &&
                   (calls_[next].thread != c.thread || calls_[next].file == c.file ||
                    (calls_[next].name.contains("sync") && calls_[next].file != folderOf(c.file))))
                ++next;
            if (!synced(folderOf(c.file), i + 1, std::min(next + 1, calls_.size())))
                found << QStringLiteral("the folder of %1 not synced after it was created").arg(c.file);
        }
        return found;
    }

    // The successful renames onto a name matching `pattern`.
    int renamesTo(const QString& pattern) const {
        const QRegularExpression wanted(QRegularExpression::anchoredPattern(pattern));
        int count = 0;
        for (const Call& c : calls_)
            count += c.name.startsWith("rename") && c.ok && wanted.match(c.target).hasMatch();
        return count;
    }
    bool created(const QString& path) const {
        for (const Call& c : calls_)
            if (c.name == "create" && c.file == path) return true;
        return false;
    }

private:
    QString absolute(const QByteArray& quoted) const {
        const QString path = QFile::decodeName(unquote(quoted));
        return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : work_ + '/' + path);
    }

    void parse(const QByteArray& thread, const QByteArray& text) {
        static const QRegularExpression call(QStringLiteral("^(\\w+)\\((.*)\\)\\s+=\\s+(-?\\d+)(<(.*)>)?"));
        static const QRegularExpression firstFd(QStringLiteral("^\\d+<((?:[^>\\\\]|\\\\.)*)>"));
        static const QRegularExpression quoted(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
        const auto match = call.match(QString::fromLatin1(text));
        if (!match.hasMatch()) return;
        Call c;
        c.thread = thread;
        c.name = match.captured(1);
        const QString arguments = match.captured(2);
        c.ok = match.captured(3).toLongLong() >= 0;
        if (c.name.startsWith("rename")) {
            QStringList names;
            for (auto it = quoted.globalMatch(arguments); it.hasNext();)
                names << it.next().captured(1);
            if (names.size() < 2) return;
            c.file = absolute(names[0].toLatin1());
            c.target = absolute(names[1].toLatin1());
        } else if (c.name == "openat" || c.name == "open" || c.name == "creat") {
            if (!c.ok || (!arguments.contains(QLatin1String("O_CREAT")) && c.name != "creat")) return;
            c.name = QStringLiteral("create");
            c.file = absolute(match.captured(5).toLatin1());
        } else {
            const auto fd = firstFd.match(arguments);
            if (!fd.hasMatch()) return;
            c.file = absolute(fd.captured(1).toLatin1());
        }
        calls_ << c;
    }

    QString work_;
    QList<Call> calls_;
    bool read_ = false;
};

const char* const kTraced = "openat,open,creat,write,pwrite64,writev,pwritev,fsync,fdatasync,rename,renameat,"
                            "renameat2";

QStringList traced(const QString& trace, const QString& programPath, const QStringList& arguments) {
    return QStringList{
               "-f", "-y",  "-qq",      "--seccomp-bpf", "-e", QString::fromLatin1("trace=") + kTraced,
               "-o", trace, programPath} +
           arguments;
}

// The leak check of a sanitizer build stops the world by tracing it, which a
// process strace already traces cannot be; the other checks stay on.
QProcessEnvironment traceable(QProcessEnvironment env) {
    const QString options = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               (options.isEmpty() ? QString() : options + ':') + QStringLiteral("detect_leaks=0"));
    return env;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// zodided.ini of a run whose lane PCs are all on loopback.
QByteArray settings(const QString& archive) {
    QByteArray ini = "[Monitory]\r\n";
    for (int pc = 1; pc <= 6; ++pc)
        ini += "Host" + QByteArray::number(pc) + "=127.0.0." + QByteArray::number(pc) + "\r\n";
    ini += "Port=9\r\n[Archiv]\r\nSlozka=" + QFile::encodeName(archive) + "\r\n";
    return ini;
}

const QStringList kShortMatch = {"--simulate", "--headless", "--monitors", "--speed",    "100",
                                 "--kind",     "40",         "--lanes",    "2",          "--duels",
                                 "1",          "--pace",     "0",          "--web-port", "0"};

// A whole short match, the program under strace when `trace` is given.
bool playMatch(const QString& folder, const QString& trace = {}) {
    QProcess kuzelna;
    kuzelna.setWorkingDirectory(folder);
    kuzelna.setProcessEnvironment(trace.isEmpty() ? withoutDisplay() : traceable(withoutDisplay()));
    if (trace.isEmpty())
        kuzelna.start(program("kuzelna"), kShortMatch);
    else
        kuzelna.start(QStringLiteral("strace"), traced(trace, program("kuzelna"), kShortMatch));
    const bool done = kuzelna.waitForFinished(240000) && kuzelna.exitCode() == 0;
    if (!done) qWarning("%s", kuzelna.readAllStandardError().right(2000).constData());
    return done && kuzelna.readAllStandardOutput().endsWith("match over\n");
}

// In the child started with --save: the windows that save, as an operator clicks them.
int saveThroughTheWindows(const QString& folder) {
    if (!QDir::setCurrent(folder)) return 3;
    kuzelna::MatchState state;
    kuzelna::THraci_main registry(state);
    registry.toggle();
    registry.okButton()->click();
    kuzelna::BoardSettingsDialog boards(state);
    boards.openFromMenu();
    boards.saveButton()->click();
    return 0;
}

} // namespace

class DurableFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
            QFAIL("strace is not installed (scripts/setup.sh installs it)");
    }

    void aMatchSyncsEveryFileItWritesAndItsFolder() {
        QTemporaryDir dir;
        const QString work = QDir(dir.path()).canonicalPath();
        QVERIFY(writeFile(work + "/zodided.ini", settings(QStringLiteral("archiv"))));
        const QString trace = work + "/../" + QFileInfo(work).fileName() + ".trace";
        QVERIFY(playMatch(work, trace));
        const Trace calls(trace, work);
        QFile::remove(trace);
        QVERIFY(calls.read());

        QVERIFY(calls.created(work + "/utkani.jrn"));
        QVERIFY(calls.renamesTo(QRegularExpression::escape(work) + "/vyst_a\\.csv") >= 1);
        QVERIFY(calls.renamesTo(QRegularExpression::escape(work) + "/vyst_b\\.csv") >= 1);
        QCOMPARE(calls.renamesTo(QRegularExpression::escape(work) + "/archiv/.*\\.jrn"), 1);
        QCOMPARE(calls.renamesTo(QRegularExpression::escape(work) + "/archiv/.*\\.json"), 1);
        const QStringList faults = calls.faults(work);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void windowSavesSyncTheFileAndItsFolder() {
        QTemporaryDir dir;
        const QString work = QDir(dir.path()).canonicalPath();
        QVERIFY(writeFile(work + "/Hraci.dtb", "Sokol - \r\n"));
        QVERIFY(writeFile(work + "/zodided.ini", "[Kuzelna]\r\nNazev=Sokol\r\n"));
        const QString trace = work + "/../" + QFileInfo(work).fileName() + ".trace";
        QProcess child;
        child.setProcessEnvironment(traceable(QProcessEnvironment::systemEnvironment()));
        child.start(QStringLiteral("strace"),
                    traced(trace, QCoreApplication::applicationFilePath(), {"--save", work}));
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitCode(), 0);
        const Trace calls(trace, work);
        QFile::remove(trace);
        QVERIFY(calls.read());

        QCOMPARE(calls.renamesTo(QRegularExpression::escape(work) + "/Hraci\\.dtb"), 1);
        QCOMPARE(calls.renamesTo(QRegularExpression::escape(work) + "/Hraci\\.dtb\\.bak"), 1);
        QCOMPARE(calls.renamesTo(QRegularExpression::escape(work) + "/zodided\\.ini"), 1);
        const QStringList faults = calls.faults(work);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QCOMPARE(kuzelna::testing::temporariesIn(work.toStdString()), std::vector<std::string>{});
    }

    // The archive on another file system (a stick, a second drive): the
    // journal and the export arrive whole and the journal leaves the work folder.
    void anArchiveOnAnotherFileSystemGetsTheMatchWhole() {
        QTemporaryDir dir;
        const QString work = QDir(dir.path()).canonicalPath();
        const QString archive = work + "/stick";
        QVERIFY(QDir().mkpath(archive));
        if (::unshare(CLONE_NEWNS) != 0)
            QSKIP(qPrintable(QStringLiteral("a private mount namespace needs root (unshare -m): %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        QVERIFY2(::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0, std::strerror(errno));
        QVERIFY2(::mount("tmpfs", archive.toLocal8Bit().constData(), "tmpfs", 0, "size=1m") == 0,
                 std::strerror(errno));
        QVERIFY(writeFile(work + "/zodided.ini", settings(archive)));

        const bool played = playMatch(work);
        const QStringList journals = QDir(archive).entryList({"*.jrn"});
        const QStringList exports = QDir(archive).entryList({"*.json"});
        const std::vector<std::string> left = kuzelna::testing::temporariesIn(archive.toStdString());
        QByteArray journal, exported;
        if (journals.size() == 1) {
            QFile file(archive + '/' + journals.front());
            if (file.open(QIODevice::ReadOnly)) journal = file.readAll();
        }
        if (exports.size() == 1) {
            QFile file(archive + '/' + exports.front());
            if (file.open(QIODevice::ReadOnly)) exported = file.readAll();
        }
        ::umount(archive.toLocal8Bit().constData());

        QVERIFY(played);
        QCOMPARE(journals.size(), 1);
        QCOMPARE(exports.size(), 1);
        QCOMPARE(left, std::vector<std::string>{});
        QVERIFY(!QFileInfo::exists(work + "/utkani.jrn"));
        const kuzelna::JournalReading reading = kuzelna::readJournal(
            std::string_view(journal.constData(), static_cast<std::size_t>(journal.size())));
        QVERIFY2(reading.problem.empty(), reading.problem.c_str());
        QVERIFY(reading.finished);
        QCOMPARE(QJsonDocument::fromJson(exported).object().value("state").toString(),
                 QStringLiteral("finished"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--save") == 0)
        return saveThroughTheWindows(QString::fromLocal8Bit(argv[2]));
    DurableFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_durable_files.moc"
