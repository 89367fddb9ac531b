// Publishing over sftp:// to a real sshd on loopback, started here with its
// own host key, configuration and authorized key in a scratch folder: a host
// whose key the user's known_hosts holds takes the files; an unknown or a
// changed key is refused, naming the host, before anything is sent.

#include "web/web_publisher_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using namespace kuzelna;

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.serverPort();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(content) == content.size();
}

bool makeKey(const QString& path, const char* type) {
    QProcess keygen;
    keygen.start(QStringLiteral("ssh-keygen"),
                 {"-q", "-t", type, "-m", "PEM", "-N", "", "-C", "", "-f", path});
    return keygen.waitForFinished(30000) && keygen.exitStatus() == QProcess::NormalExit &&
           keygen.exitCode() == 0;
}

WebPublisher::Buffer buffer(const char* text) {
    return std::make_shared<const std::string>(text);
}

} // namespace

class SftpHostKeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        const QString sshd = QStringLiteral("/usr/sbin/sshd");
        if (!QFileInfo(sshd).isExecutable()) QSKIP("openssh-server is not installed (scripts/setup.sh)");
        // sshd started by root separates its privileges into this folder.
        if (geteuid() == 0) QVERIFY(QDir().mkpath(QStringLiteral("/run/sshd")));
        QDir folder(root_.path());
        QVERIFY(folder.mkpath(QStringLiteral("home/.ssh")));
        QVERIFY(folder.mkpath(QStringLiteral("upload")));
        QVERIFY(makeKey(folder.filePath("host_key"), "ed25519"));
        QVERIFY(makeKey(folder.filePath("other_host_key"), "ed25519"));
        QVERIFY(makeKey(folder.filePath("home/.ssh/id_rsa"), "rsa"));
        QVERIFY(QFile::copy(folder.filePath("home/.ssh/id_rsa.pub"), folder.filePath("authorized_keys")));
        port_ = freePort();
        const QString config = QStringLiteral("ListenAddress 127.0.0.1\n"
                                              "HostKey %1/host_key\n"
                                              "PidFile %1/sshd.pid\n"
                                              "AuthorizedKeysFile %1/authorized_keys\n"
                                              "StrictModes no\n"
                                              "UsePAM no\n"
                                              "PasswordAuthentication no\n"
                                              "KbdInteractiveAuthentication no\n"
                                              "PubkeyAuthentication yes\n"
                                              "PubkeyAcceptedAlgorithms +ssh-rsa\n"
                                              "PermitRootLogin prohibit-password\n"
                                              "Subsystem sftp internal-sftp\n")
                                   .arg(root_.path());
        QVERIFY(writeFile(folder.filePath("sshd_config"), config.toUtf8()));
        sshd_.setProcessChannelMode(QProcess::MergedChannels);
        sshd_.start(sshd, {"-D", "-e", "-f", folder.filePath("sshd_config"), "-p", QString::number(port_)});
        QVERIFY(sshd_.waitForStarted(5000));
        QTRY_VERIFY2_WITH_TIMEOUT(
            [this] {
                QTcpSocket probe;
                probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
                return probe.waitForConnected(200);
            }(),
            qPrintable(QString::fromLocal8Bit(sshd_.readAll())), 10000);
        // libcurl takes the user's key and known_hosts from this home.
        home_ = qgetenv("HOME");
        qputenv("HOME", folder.filePath("home").toLocal8Bit());
        const passwd* user = getpwuid(geteuid());
        QVERIFY(user);
        user_ = QString::fromLocal8Bit(user->pw_name);
    }
    void cleanupTestCase() {
        qputenv("HOME", home_);
        sshd_.terminate();
        if (!sshd_.waitForFinished(3000)) sshd_.kill();
        sshd_.waitForFinished(3000);
    }

    void onlyAKnownHostKeyTakesTheFiles_data() {
        QTest::addColumn<QString>("knownKey"); // file whose key known_hosts holds for the host, "" = none
        QTest::addColumn<QString>("refusal");  // in the error, "" = uploaded
        QTest::newRow("known key") << "host_key.pub"
                                   << "";
        QTest::newRow("unknown host") << "" << QStringLiteral("není v");
        QTest::newRow("changed key") << "other_host_key.pub" << QStringLiteral("jiný klíč");
    }
    void onlyAKnownHostKeyTakesTheFiles() {
        QFETCH(QString, knownKey);
        QFETCH(QString, refusal);
        QDir folder(root_.path());
        QByteArray knownHosts;
        if (!knownKey.isEmpty())
            knownHosts = QStringLiteral("[127.0.0.1]:%1 ").arg(port_).toLatin1() +
                         readFile(folder.filePath(knownKey)).trimmed() + "\n";
        QVERIFY(writeFile(folder.filePath("home/.ssh/known_hosts"), knownHosts));
        const QString target = folder.filePath(
            QStringLiteral("upload/") + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        const QString url = QStringLiteral("sftp://%1@127.0.0.1:%2%3/").arg(user_).arg(port_).arg(target);

        WebPublisher publisher({url.toStdString(), "", ""});
        QSignalSpy finished(&publisher, &WebPublisher::finished);
        QVERIFY(publisher.upload(buffer(R"({"version":1})"), buffer("<p>Utkání</p>")));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        const QString error = finished.at(0).at(0).toString();

        if (refusal.isEmpty()) {
            QVERIFY2(error.isEmpty(), qPrintable(error + "\n" + QString::fromLocal8Bit(sshd_.readAll())));
            QCOMPARE(readFile(target + "/match.json"), QByteArray(R"({"version":1})"));
            QCOMPARE(readFile(target + "/index.html"), QByteArray("<p>Utkání</p>"));
        } else {
            QVERIFY2(error.contains(refusal) && error.contains(QStringLiteral("127.0.0.1:%1").arg(port_)) &&
                         error.contains(QStringLiteral("known_hosts")),
                     qPrintable(error));
            QVERIFY(!QFileInfo::exists(target));
        }
    }

private:
    QTemporaryDir root_;
    QProcess sshd_;
    quint16 port_ = 0;
    QByteArray home_;
    QString user_;
};

QTEST_GUILESS_MAIN(SftpHostKeyTest)
#include "test_sftp_host_key.moc"
