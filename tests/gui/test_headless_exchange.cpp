// kuzelna --headless exchanges results as a run with windows does: with the
// monitors on, it rewrites vyst_a.csv and vyst_b.csv and serves the lane PCs in
// turn. The lane PCs are receiving sockets on 127.0.0.1 .. 127.0.0.6, named in
// the scratch folder's zodided.ini.

#include "support/program_process.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <memory>

namespace {

using kuzelna::testing::program;
using kuzelna::testing::withoutDisplay;

QByteArray label(int lane) {
    return QByteArray("Draha") + QByteArray::number(lane) + QByteArray(9, ' ');
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class HeadlessExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void writesTheResultFilesAndServesTheLanePcsInTurn() {
        std::array<std::unique_ptr<QUdpSocket>, 6> pcs;
        quint16 port = 0;
        for (int pc = 1; pc <= 6; ++pc) {
            auto& socket = pcs[static_cast<std::size_t>(pc - 1)];
            socket = std::make_unique<QUdpSocket>();
            QVERIFY2(socket->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(pc)), port),
                     qPrintable(socket->errorString()));
            if (pc == 1) port = socket->localPort();
        }
        QTemporaryDir dir;
        QFile ini(dir.filePath(QStringLiteral("zodided.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Monitory]\r\n");
        for (int pc = 1; pc <= 6; ++pc)
            ini.write(QStringLiteral("Host%1=127.0.0.%1\r\n").arg(pc).toLatin1());
        ini.write(QStringLiteral("Port=%1\r\n").arg(port).toLatin1());
        ini.close();

        // Ten times real pace: a tick every 100 ms, a lane PC served every 200 ms,
        // and throws far apart enough that the match outlasts the test.
        QProcess kuzelna;
        kuzelna.setWorkingDirectory(dir.path());
        kuzelna.setProcessEnvironment(withoutDisplay());
        kuzelna.start(program("kuzelna"),
                      {"--simulate", "--headless", "--monitors", "--speed", "10", "--kind", "60", "--lanes",
                       "4", "--duels", "2", "--web-port", "0"});
        QVERIFY(kuzelna.waitForStarted(10000));

        // One monitor per lane on 4 lanes: PCs 1, 2, 3, 4, 1, ... with the lane
        // pairs (1,2), (2,1), (3,4), (4,3). Datagrams that arrived between two
        // looks are taken in the order the rotation must have sent them; one at a
        // PC out of turn, or at PC 5 or 6, is a fault.
        const std::pair<int, int> pairs[] = {{1, 2}, {2, 1}, {3, 4}, {4, 3}};
        int expected = 1;
        int received = 0;
        QString fault;
        const auto collect = [&] {
            for (;;) {
                QUdpSocket& next = *pcs[static_cast<std::size_t>(expected - 1)];
                if (next.hasPendingDatagrams()) {
                    const QByteArray bytes = next.receiveDatagram().data();
                    const auto [first, second] = pairs[expected - 1];
                    if (bytes.size() != 270 || bytes.mid(180, 30) != label(first) + label(second))
                        fault = QStringLiteral("PC %1 got %2").arg(expected).arg(QString::fromLatin1(bytes));
                    ++received;
                    expected = expected % 4 + 1;
                    continue;
                }
                for (int pc = 1; pc <= 6; ++pc) {
                    if (pc != expected && pcs[static_cast<std::size_t>(pc - 1)]->hasPendingDatagrams() &&
                        fault.isEmpty())
                        fault = QStringLiteral("PC %1 served while PC %2 was due").arg(pc).arg(expected);
                }
                return;
            }
        };
        const QString fileA = dir.filePath(QStringLiteral("vyst_a.csv"));
        const QString fileB = dir.filePath(QStringLiteral("vyst_b.csv"));
        QTRY_VERIFY_WITH_TIMEOUT((collect(), !fault.isEmpty() || kuzelna.state() != QProcess::Running ||
                                                 (received >= 9 && QFile::exists(fileB))),
                                 20000);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY2(kuzelna.state() == QProcess::Running, qPrintable(kuzelna.readAllStandardError()));
        kuzelna.terminate();
        QVERIFY(kuzelna.waitForFinished(10000));

        // Both files whole, alike, one line per player slot of the two duels.
        const QByteArray a = contentOf(fileA);
        QCOMPARE(a.count("\r\n"), 4);
        QCOMPARE(contentOf(fileB), a);
    }

    // A program the operator's PC starts (the office) inherits nothing: every
    // socket and file of a running match is close-on-exec, the listening and the
    // accepted sockets of the page, the lane PCs' socket and the journal included.
    void everyDescriptorOfARunningMatchIsCloseOnExec() {
        quint16 webPort = 0;
        {
            QTcpServer probe; // a free port for the page
            QVERIFY(probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
            webPort = probe.serverPort();
        }
        QTemporaryDir dir;
        QFile ini(dir.filePath(QStringLiteral("zodided.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Monitory]\r\nHost1=127.0.0.1\r\nLocalPort=0\r\nLocalAddress=127.0.0.1\r\n"
                  "[Web]\r\nListen=127.0.0.1\r\n");
        ini.close();
        QProcess kuzelna;
        kuzelna.setWorkingDirectory(dir.path());
        kuzelna.setProcessEnvironment(withoutDisplay());
        kuzelna.start(program("kuzelna"),
                      {"--simulate", "--headless", "--monitors", "--speed", "10", "--kind", "60", "--lanes",
                       "4", "--duels", "2", "--web-port", QString::number(webPort)});
        QVERIFY(kuzelna.waitForStarted(10000));
        // A page that stays: an accepted socket in the program.
        QTcpSocket page;
        QTRY_VERIFY_WITH_TIMEOUT((page.abort(), page.connectToHost(QStringLiteral("127.0.0.1"), webPort),
                                  page.waitForConnected(500)),
                                 10000);
        page.write("GET /api/match HTTP/1.1\r\nHost: h\r\n\r\n");
        QTRY_VERIFY_WITH_TIMEOUT((page.waitForReadyRead(100), page.bytesAvailable() > 0), 10000);

        const QString fds = QStringLiteral("/proc/%1/fd").arg(kuzelna.processId());
        int sockets = 0;
        bool journal = false;
        QStringList inherited;
        // The journal is opened with the first throw; the match runs ten times real pace.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                sockets = 0;
                journal = false;
                inherited.clear();
                for (const QString& name : QDir(fds).entryList(QDir::Files | QDir::System)) {
                    if (name.toInt() <= STDERR_FILENO) continue;
                    QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(kuzelna.processId()).arg(name));
                    if (!info.open(QIODevice::ReadOnly)) continue; // closed meanwhile
                    const QByteArray text = info.readAll();
                    const qsizetype at = text.indexOf("flags:");
                    const long flags =
                        text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().toLong(nullptr, 8);
                    char link[4096] = {};
                    const QByteArray path = QFile::encodeName(fds + QLatin1Char('/') + name);
                    const ssize_t length = ::readlink(path.constData(), link, sizeof link - 1);
                    const QString shown = QString::fromLocal8Bit(link, length > 0 ? length : 0);
                    // What the test's own runner left open is not the program's.
                    const bool socket = shown.startsWith(QLatin1String("socket:"));
                    const bool own = socket || shown.startsWith(dir.path());
                    if (own && !(flags & O_CLOEXEC)) inherited << name + QStringLiteral(" -> ") + shown;
                    if (socket) ++sockets;
                    if (shown == dir.filePath(QStringLiteral("utkani.jrn"))) journal = true;
                }
                return sockets >= 3 && journal;
            }(),
            20000);
        QVERIFY2(inherited.isEmpty(), qPrintable(inherited.join(QStringLiteral(", "))));
        QVERIFY2(kuzelna.state() == QProcess::Running, qPrintable(kuzelna.readAllStandardError()));
        kuzelna.terminate();
        QVERIFY(kuzelna.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(HeadlessExchangeTest)
#include "test_headless_exchange.moc"
