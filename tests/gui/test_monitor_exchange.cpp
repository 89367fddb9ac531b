// The result datagrams over real UDP sockets on loopback: the result
// exchange sends, one receiving socket per lane PC address
// (127.0.0.1 .. 127.0.0.6).

#include "core/match_state.h"
#include "core/timing.h"
#include "reports/monitor_link_qt.h"
#include "reports/result_exchange_qt.h"

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <array>
#include <cstdlib>
#include <memory>

using namespace kuzelna;

namespace {

struct Received {
    int pc = 0; // 1..6, the receiving address 127.0.0.pc
    QByteArray bytes;
};

QByteArray label(int lane) {
    return QByteArray("Draha") + QByteArray::number(lane) + QByteArray(9, ' ');
}

} // namespace

class MonitorExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        workDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(workDir_->path()));
        for (int pc = 1; pc <= 6; ++pc) {
            auto& socket = receivers_[static_cast<std::size_t>(pc - 1)];
            socket = std::make_unique<QUdpSocket>();
            QVERIFY2(socket->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(pc)), port_),
                     qPrintable(socket->errorString()));
            if (pc == 1) port_ = socket->localPort();
        }
        state_ = std::make_unique<MatchState>();
        state_->gameKind = 2;
        state_->lanesPerPlayer = 4;
        state_->laneLayout = 1;
        state_->laneCount = 4;
        state_->monitorPort = port_;
        state_->monitorLocalPort = 0;
        for (std::size_t n = 1; n <= 6; ++n)
            state_->monitorHost[n] = "127.0.0." + std::to_string(n);
        exchange_ = std::make_unique<ResultExchange>(*state_);
    }

    void cleanup() {
        exchange_.reset();
        state_.reset();
        for (auto& socket : receivers_)
            socket.reset();
        port_ = 0;
        workDir_.reset();
        setSpeedFactor(1);
    }

    void onePcPerLaneServesEveryLaneInTurn() {
        QSignalSpy heartbeats(exchange_.get(), &ResultExchange::heartbeatChanged);
        const struct {
            int pc, first, second;
        } expected[] = {{1, 1, 2}, {2, 2, 1}, {3, 3, 4}, {4, 4, 3}, {1, 1, 2}};
        bool indicator = state_->controls.systemRunningIndicator;
        for (const auto& e : expected) {
            exchange_->utp_posilani();
            const Received got = next();
            QCOMPARE(got.pc, e.pc);
            QCOMPARE(got.bytes.size(), 270);
            QCOMPARE(got.bytes.mid(30, 1), QByteArray("1"));
            QCOMPARE(got.bytes.mid(180, 30), label(e.first) + label(e.second));
            QCOMPARE(QString::fromStdString(state_->controls.statusLine), QStringLiteral("poslano"));
            QVERIFY(state_->controls.systemRunningIndicator != indicator);
            indicator = state_->controls.systemRunningIndicator;
        }
        QCOMPARE(heartbeats.count(), 5);
        QVERIFY(nothingMore());
    }

    void onePcPerTwoLanes() {
        state_->controls.monitorTwoLanes = true;
        const struct { int pc, first, second; } expected[] = {{1, 1, 2}, {2, 3, 4}, {1, 1, 2}, {2, 3, 4}};
        for (const auto& e : expected) {
            exchange_->utp_posilani();
            const Received got = next();
            QCOMPARE(got.pc, e.pc);
            QCOMPARE(got.bytes.size(), 270);
            QCOMPARE(got.bytes.mid(30, 1), QByteArray(" "));
            QCOMPARE(got.bytes.mid(180, 30), label(e.first) + label(e.second));
        }
        QVERIFY(nothingMore());
    }

    void lengthsOfTheOtherLayouts() {
        state_->gameKind = 5;
        state_->lanesPerPlayer = 6;
        exchange_->utp_posilani();
        QCOMPARE(next().bytes.size(), 294);
        state_->advertNumber = 12;
        exchange_->utp_posilani();
        const Received advert = next();
        QCOMPARE(advert.bytes.size(), 38);
        QCOMPARE(int(advert.bytes.at(32)), 12);
        state_->advertNumber = 0;
        state_->controls.publicPlayOn = true;
        exchange_->utp_posilani();
        QCOMPARE(next().bytes.size(), 111);
        // Every pair's tie-break on: the fourth PC still gets public play, the
        // first, next in turn, its pair's tie-break.
        for (std::size_t pair = 1; pair <= 3; ++pair)
            state_->svState.svOn[pair] = 1;
        exchange_->utp_posilani();
        const Received fourth = next();
        QCOMPARE(fourth.pc, 4);
        QCOMPARE(fourth.bytes.size(), 111);
        exchange_->utp_posilani();
        const Received tieBreak = next();
        QCOMPARE(tieBreak.pc, 1);
        QCOMPARE(tieBreak.bytes.size(), 134);
    }

    void anUnusableHostIsReported() {
        for (const char* host : {"", "lane-pc-1", "300.1.2.3"}) {
            state_->monitorHost[1] = host;
            exchange_->utp_posilani(); // counter 1
            QCOMPARE(QString::fromStdString(state_->controls.statusLine), QStringLiteral("host"));
            for (int i = 0; i < 3; ++i)
                exchange_->utp_posilani(); // counters 2..4 reach their PCs
            for (int i = 0; i < 3; ++i)
                QVERIFY(next().pc != 1);
        }
        QVERIFY(nothingMore());
    }

    void receivedDatagramsAreShownSafely() {
        QSignalSpy status(exchange_.get(), &ResultExchange::statusLineChanged);
        QByteArray noise("OK\r\n");
        noise.append('\0');
        noise.append('\x07');
        noise.append(QByteArray(100, 'x'));
        receivers_[2]->writeDatagram(noise, QHostAddress(QStringLiteral("127.0.0.1")),
                                     exchange_->monitorLink().localPort());
        QTRY_VERIFY_WITH_TIMEOUT(status.count() > 0, 5000);
        QCOMPARE(QString::fromStdString(state_->controls.statusLine),
                 QStringLiteral("127.0.0.3106: OK....") + QString(58, QLatin1Char('x')));
    }

    void aSenderOutsideTheLanePcsIsDroppedAndCountedNeverShown() {
        QStringList shown;
        connect(exchange_.get(), &ResultExchange::statusLineChanged, this,
                [&] { shown << QString::fromStdString(state_->controls.statusLine); });
        QUdpSocket stray;
        QVERIFY(stray.bind(QHostAddress(QStringLiteral("127.0.0.9")), 0));
        const quint16 local = exchange_->monitorLink().localPort();
        for (int i = 0; i < 3; ++i)
            stray.writeDatagram("Zurnal nelze zapsat? ne", QHostAddress(QStringLiteral("127.0.0.1")), local);
        QTRY_COMPARE_WITH_TIMEOUT(exchange_->monitorLink().droppedDatagrams(), 3L, 5000);
        // A lane PC after it is still shown, and nothing of the stray one was.
        receivers_[3]->writeDatagram("OK", QHostAddress(QStringLiteral("127.0.0.1")), local);
        QTRY_VERIFY_WITH_TIMEOUT(shown.contains(QStringLiteral("127.0.0.42: OK")), 5000);
        for (const QString& text : shown)
            QVERIFY2(!text.contains(QStringLiteral("127.0.0.9")), qPrintable(text));
        QCOMPARE(exchange_->monitorLink().droppedDatagrams(), 3L);
    }

    void theLocalAddressSetsWhereThePortListens() {
        MatchState state;
        state.monitorLocalPort = 0;
        state.monitorLocalAddress = "127.0.0.7";
        QCOMPARE(MonitorLink(state).localAddress(), QHostAddress(QStringLiteral("127.0.0.7")));
        state.monitorLocalAddress = "not an address";
        QCOMPARE(MonitorLink(state).localAddress(), QHostAddress(QHostAddress::AnyIPv4));
    }

    void theTimerServesTheMonitorsAndWritesTheResultFiles() {
        exchange_.reset();
        setSpeedFactor(100); // ticks every 10 ms
        state_->controls.monitorsOn = true;
        exchange_ = std::make_unique<ResultExchange>(*state_);
        QCOMPARE(exchange_->timer()->interval(), 10);
        QSignalSpy refreshes(exchange_.get(), &ResultExchange::overviewRefreshDue);
        QVERIFY(!exchange_->timer()->isActive());
        exchange_->start();
        QVERIFY(exchange_->timer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("vyst_b.csv")), 5000);
        QVERIFY(QFile::exists(QStringLiteral("vyst_a.csv")));
        // Eleven ticks served lane PCs 1..4 in turn, and no others.
        std::array<int, 6> served{};
        for (int pc = 1; pc <= 6; ++pc) {
            QUdpSocket& socket = *receivers_[static_cast<std::size_t>(pc - 1)];
            while (socket.hasPendingDatagrams()) {
                QCOMPARE(socket.receiveDatagram().data().size(), 270);
                ++served[static_cast<std::size_t>(pc - 1)];
            }
        }
        QVERIFY(served[0] > 0 && served[1] > 0 && served[2] > 0 && served[3] > 0);
        QCOMPARE(served[4] + served[5], 0);
        // The overview's refreshes and the datagrams take turns.
        const int sent = served[0] + served[1] + served[2] + served[3];
        QVERIFY(refreshes.count() >= 6);
        QVERIFY2(std::abs(refreshes.count() - sent) <= 1,
                 qPrintable(QStringLiteral("%1 refreshes, %2 datagrams").arg(refreshes.count()).arg(sent)));
        // Switched off, the monitors receive nothing more.
        state_->controls.monitorsOn = false;
        QTest::qWait(100);
        for (auto& socket : receivers_) {
            while (socket->hasPendingDatagrams())
                socket->receiveDatagram();
        }
        QTest::qWait(100);
        QVERIFY(nothingMore());
    }

private:
    // The next datagram to arrive at any of the lane PC addresses.
    Received next() {
        Received got;
        // Idempotent: the wait evaluates it again after it first succeeds.
        const auto arrived = [&] {
            if (got.pc != 0) return true;
            for (int pc = 1; pc <= 6; ++pc) {
                QUdpSocket& socket = *receivers_[static_cast<std::size_t>(pc - 1)];
                if (socket.hasPendingDatagrams()) {
                    got = {pc, socket.receiveDatagram().data()};
                    return true;
                }
            }
            return false;
        };
        [&] { QTRY_VERIFY_WITH_TIMEOUT(arrived(), 5000); }();
        return got;
    }

    bool nothingMore() {
        QTest::qWait(50);
        for (auto& socket : receivers_) {
            if (socket->hasPendingDatagrams()) return false;
        }
        return true;
    }

    std::unique_ptr<QTemporaryDir> workDir_;
    std::array<std::unique_ptr<QUdpSocket>, 6> receivers_;
    quint16 port_ = 0;
    std::unique_ptr<MatchState> state_;
    std::unique_ptr<ResultExchange> exchange_;
};

QTEST_MAIN(MonitorExchangeTest)
#include "test_monitor_exchange.moc"
