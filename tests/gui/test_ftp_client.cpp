// The FTP client against a real FTP server on loopback.

#include "reports/ftp_client_qt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace kuzelna;

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.serverPort();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

class FtpClientTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(serverRoot_.isValid());
        QVERIFY(QDir(serverRoot_.path()).mkpath(QStringLiteral("FTP/Velar")));
        port_ = freePort();
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral("-m"), QStringLiteral("pyftpdlib"), QStringLiteral("-i"),
                       QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_),
                       QStringLiteral("-d"), serverRoot_.path(), QStringLiteral("-w")});
        QVERIFY(server_.waitForStarted(5000));
        // Ready once it accepts connections.
        QTRY_VERIFY_WITH_TIMEOUT(
            [this] {
                QTcpSocket probe;
                probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
                return probe.waitForConnected(200);
            }(),
            10000);
    }

    void cleanupTestCase() {
        server_.terminate();
        if (!server_.waitForFinished(3000)) server_.kill();
        server_.waitForFinished(3000);
    }

    void uploadsTheChosenFileToTheFixedRemotePath() {
        QTemporaryDir local;
        const QString chosen = local.filePath(QStringLiteral("vysledky dne.txt"));
        const QByteArray content("Draha 1;Novak;412\r\nDraha 2;Kral;398\r\n\xC8\x65ska\r\n");
        writeFile(chosen, content);

        FtpClient ftp;
        ftp.connect(settings());
        QVERIFY(ftp.connected());
        ftp.upload(chosen.toStdString(), "FTP/Velar/az.txt");
        QCOMPARE(readFile(serverRoot_.filePath(QStringLiteral("FTP/Velar/az.txt"))), content);

        // A second upload over the same connection replaces it.
        writeFile(chosen, "second");
        ftp.upload(chosen.toStdString(), "FTP/Velar/az.txt");
        QCOMPARE(readFile(serverRoot_.filePath(QStringLiteral("FTP/Velar/az.txt"))), QByteArray("second"));
        ftp.disconnect();
        QVERIFY(!ftp.connected());
    }

    void failuresAreReportedNotSuccesses() {
        QTemporaryDir local;
        const QString chosen = local.filePath(QStringLiteral("a.txt"));
        writeFile(chosen, "x");

        FtpClient ftp;
        // Not connected yet, or no longer.
        QVERIFY_THROWS_EXCEPTION(FtpError, ftp.upload(chosen.toStdString(), "FTP/Velar/az.txt"));

        // Nobody listens on this port.
        FtpSettings nobody = settings();
        nobody.port = freePort();
        QVERIFY_THROWS_EXCEPTION(FtpError, ftp.connect(nobody));
        QVERIFY(!ftp.connected());

        ftp.connect(settings());
        // A missing local file and a remote folder that does not exist.
        QVERIFY_THROWS_EXCEPTION(
            FtpError,
            ftp.upload(local.filePath(QStringLiteral("none.txt")).toStdString(), "FTP/Velar/az.txt"));
        QVERIFY_THROWS_EXCEPTION(FtpError, ftp.upload(chosen.toStdString(), "FTP/Missing/az.txt"));
        QVERIFY(!QFile::exists(serverRoot_.filePath(QStringLiteral("FTP/Missing/az.txt"))));
        ftp.disconnect();
        QVERIFY_THROWS_EXCEPTION(FtpError, ftp.upload(chosen.toStdString(), "FTP/Velar/az.txt"));
    }

private:
    FtpSettings settings() const {
        FtpSettings s;
        s.host = "127.0.0.1";
        s.port = port_;
        s.timeoutMs = 5000;
        return s;
    }

    QTemporaryDir serverRoot_;
    QProcess server_;
    quint16 port_ = 0;
};

QTEST_GUILESS_MAIN(FtpClientTest)
#include "test_ftp_client.moc"
