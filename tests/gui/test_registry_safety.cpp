// Hraci.dtb is never lost: a file that did not read whole is never written
// over, every save keeps the previous file as Hraci.dtb.bak, and a save that
// fails (a full disk, a read-only folder) says why and loses nothing.

#include "core/cp1250.h"
#include "core/errors.h"
#include "core/match_state.h"
#include "registry/name_note_dialog.h"
#include "registry/registry_file.h"
#include "registry/registry_window.h"
#include "support/scratch_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include <sys/statvfs.h>

using namespace kuzelna;

namespace {

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size() &&
           file.flush();
}

std::string manyLines(int count, int levelErrorAt) {
    std::string content;
    content.reserve(static_cast<std::size_t>(count) * 40);
    for (int i = 1; i <= count; ++i) {
        const int level = i == levelErrorAt ? 3 : (i - 1) % 3;
        content.append(static_cast<std::size_t>(level), '\t');
        content += std::to_string(i) + " - Hr\xE1\xE8 " + std::to_string(i) + ", 01.01.1900 , \r\n";
    }
    return content;
}

// The window with what it puts before the operator written down.
struct Registry {
    explicit Registry(MatchState& state)
        : window(state, [this](const std::exception& error) {
              if (const auto* notice = dynamic_cast<const OperatorError*>(&error)) {
                  if (notice->workAtRisk())
                      boxes.push_back(QString::fromStdString(cp1250::toUtf8(notice->what())));
                  status = QString::fromStdString(cp1250::toUtf8(notice->status()));
              }
          }) {
        window.chooseNewFile = [this](const std::string& reason) {
            questions.push_back(QString::fromStdString(cp1250::toUtf8(reason)));
            return newFile;
        };
        window.attachDialogs(&clubDialog, nullptr, nullptr);
        window.show();
    }
    NameNoteDialog clubDialog{NodeKind::Club};
    QStringList boxes;
    QString status;
    QStringList questions;
    std::string newFile; // the answer to "save to a new file?"; empty: no
    THraci_main window;
};

} // namespace

class RegistrySafetyTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    // The folder of the files: the test's own, or inside the private mount
    // namespace the 64 KB tmpfs mounted for it.
    QString dir_;
    QString previousDirectory_;
    std::unique_ptr<MatchState> state_ = std::make_unique<MatchState>();

    QString file(const char* name = "Hraci.dtb") const {
        return dir_ + QLatin1Char('/') + QLatin1String(name);
    }

private slots:
    void init() {
        QVERIFY(folder_.isValid());
        const QByteArray tmpfs = qgetenv("KUZELNA_TMPFS");
        dir_ = tmpfs.isEmpty() ? folder_.path() : QString::fromLocal8Bit(tmpfs);
        previousDirectory_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_));
    }
    void cleanup() {
        QDir::setCurrent(previousDirectory_);
        if (!qEnvironmentVariableIsSet("KUZELNA_TMPFS")) {
            QDir(dir_).removeRecursively();
            QDir().mkpath(dir_);
        }
    }

    void badFilesAreNeverWrittenOver_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("stopsAtLine"); // 0: reads whole
        QTest::newRow("level error") << bytes("K - \r\n\tT - \r\n\t\t\tdeep\r\nL - \r\n\tM - \r\n") << 3;
        QTest::newRow("no separators") << bytes("just a club\r\n\tno hyphen team\r\n\t\tplayer\r\nclub") << 0;
        QTest::newRow("garbage") << bytes("\x01\x02\xFF\xFE\r\r\n\x7F\t\x80\x81 - \n\n\r ,,,--\x05") << 0;
        QTest::newRow("garbage with a NUL") << QByteArray("K - \r\n\x03\xEE\0\x01rest\r\n", 16) << 2;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("100k lines") << bytes(manyLines(100000, 0)) << 0;
        QTest::newRow("100k lines, level error at 6") << bytes(manyLines(100221, 6)) << 6;
    }

    // "OK" without an edit: a file that read whole is written back no shorter,
    // with the old one kept as .bak; one that did not is left alone, and OK
    // asks for a new file instead.
    void badFilesAreNeverWrittenOver() {
        QFETCH(QByteArray, content);
        QFETCH(int, stopsAtLine);
        QVERIFY(writeFile(file(), content));
        Registry registry(*state_);
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        if (stopsAtLine == 0) {
            QVERIFY(registry.boxes.isEmpty());
            QVERIFY(registry.questions.isEmpty());
            QVERIFY(readFile(file()).size() >= content.size());
            QCOMPARE(readFile(file("Hraci.dtb.bak")), content);
            QVERIFY(!registry.window.isVisible());
            return;
        }
        // Said once, with the line, when the window was made; OK asks, and
        // the answer "no" writes nothing and keeps the window open.
        QCOMPARE(registry.boxes.size(), 1);
        QVERIFY2(registry.boxes[0].contains(QStringLiteral("řádek %1").arg(stopsAtLine)),
                 qPrintable(registry.boxes[0]));
        QCOMPARE(registry.questions.size(), 1);
        QCOMPARE(readFile(file()), content);
        QVERIFY(!QFile::exists(file("Hraci.dtb.bak")));
        QVERIFY(registry.window.isVisible());

        // Saved to a new file; later saves go there too, the old file stays.
        registry.newFile = file("Hraci-nove.dtb").toStdString();
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        QVERIFY(!registry.window.isVisible());
        const QByteArray saved = readFile(file("Hraci-nove.dtb"));
        QVERIFY(!saved.isEmpty() && content.startsWith(saved.left(6)));
        registry.window.show();
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        QCOMPARE(registry.questions.size(), 2);
        QCOMPARE(readFile(file("Hraci-nove.dtb")), saved);
        QCOMPARE(readFile(file()), content);
        QCOMPARE(registry.boxes.size(), 1);
    }

    // A 64 KB tmpfs of its own (a private mount namespace, as root) first
    // filled up, then read-only: each failed save says why, the file on the
    // disk stays as it was, and "Storno" does not drop the edits unasked.
    void failedSavesSayWhyAndLoseNothing() {
        const QByteArray inner = qgetenv("KUZELNA_TMPFS");
        if (inner.isEmpty()) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KUZELNA_TMPFS"), dir_);
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QStringLiteral("unshare"),
                        {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                         QStringLiteral(
                             "mount --make-rprivate / && mount -t tmpfs -o size=64k tmpfs \"$KUZELNA_TMPFS\" "
                             "|| exit 77; exec \"$0\" failedSavesSayWhyAndLoseNothing"),
                         QCoreApplication::applicationFilePath()});
            if (!child.waitForStarted(5000)) QSKIP("unshare is not installed: no private mount namespace");
            QVERIFY(child.waitForFinished(60000));
            const QString out = QString::fromUtf8(child.readAll());
            if (child.exitCode() == 77 || out.contains(QLatin1String("unshare failed")) ||
                out.contains(QLatin1String("Operation not permitted")))
                QSKIP(qPrintable(QStringLiteral("no private tmpfs here (needs root and mount namespaces): ") +
                                 out.trimmed()));
            QVERIFY2(child.exitCode() == 0, qPrintable(out));
            return;
        }
        // Inside the namespace, on the tmpfs; never fill a disk that is not it.
        struct statvfs disk {};
        QVERIFY(::statvfs(inner.constData(), &disk) == 0);
        QVERIFY2(static_cast<unsigned long long>(disk.f_blocks) * disk.f_frsize <= 1024 * 1024,
                 "not the 64 KB tmpfs");
        const std::string original = "K - \r\n\tT - \r\n\t\t1 - Novák Jan, 01.01.1990 , \r\n";
        QVERIFY(writeFile(file(), bytes(original)));
        Registry registry(*state_);
        emit registry.clubDialog.applied(DialogMode::New, std::string(300, 'x') + " - ");

        {
            QFile filler(file("filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(1024, 'f');
            for (int kb = 0; kb < 1024 && filler.write(block) == block.size() && filler.flush(); ++kb) {
            }
        }
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        QCOMPARE(registry.boxes.size(), 1);
        QVERIFY2(registry.boxes[0].contains(QLatin1String("No space left on device")),
                 qPrintable(registry.boxes[0]));
        QCOMPARE(registry.status, QStringLiteral("Hraci.dtb neuložen"));
        QVERIFY(registry.window.isVisible());
        QCOMPARE(readFile(file()), bytes(original));
        QCOMPARE(kuzelna::testing::temporariesIn(dir_.toStdString()), std::vector<std::string>{});

        QVERIFY(QFile::remove(file("filler")));
        QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir_}),
                 0);
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        QCOMPARE(registry.boxes.size(), 2);
        QVERIFY2(registry.boxes[1].contains(QLatin1String("Read-only file system")),
                 qPrintable(registry.boxes[1]));
        QCOMPARE(readFile(file()), bytes(original));
    }

    // "Storno" (or the window frame) after a failed save says the edits are not
    // saved before it lets the window go.
    void cancelAfterAFailedSaveWarnsFirst() {
        QVERIFY(writeFile(file(), bytes("K - \r\n")));
        Registry registry(*state_);
        QVERIFY(QDir(dir_).mkdir(QStringLiteral("Hraci.dtb.bak"))); // the save cannot write its backup
        emit registry.clubDialog.applied(DialogMode::New, "New - ");
        QTest::mouseClick(registry.window.okButton(), Qt::LeftButton);
        QCOMPARE(registry.boxes.size(), 1);
        registry.window.close(); // the window frame is "Storno" too
        QVERIFY(registry.window.isVisible());
        QCOMPARE(registry.boxes.size(), 2);
        QVERIFY2(registry.boxes[1].contains(QStringLiteral("nejsou uloženy")), qPrintable(registry.boxes[1]));
        QTest::mouseClick(registry.window.cancelButton(), Qt::LeftButton);
        QVERIFY(!registry.window.isVisible());
        QCOMPARE(readFile(file()), QByteArray("K - \r\n"));
    }
};

QTEST_MAIN(RegistrySafetyTest)
#include "test_registry_safety.moc"
