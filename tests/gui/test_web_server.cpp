// The live results server on loopback: what it serves, what it refuses, and
// how it holds up against bad, slow and too many clients.

#include "web/web_limits.h"
#include "web/web_server_qt.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>
#include <vector>

using namespace kuzelna;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

const QString kLoopback = QStringLiteral("127.0.0.1");

WebServer::Buffer buffer(std::string text) {
    return std::make_shared<const std::string>(std::move(text));
}

// Whether `answer` holds a whole response (headers and Content-Length bytes).
bool complete(const QByteArray& answer) {
    const qsizetype end = answer.indexOf("\r\n\r\n");
    if (end < 0) return false;
    const qsizetype field = answer.indexOf("Content-Length: ");
    if (field < 0 || field > end) return false;
    const qsizetype length = answer.mid(field + 16, answer.indexOf("\r\n", field) - field - 16).toLongLong();
    return answer.size() >= end + 4 + length;
}

// Sends `request` on a new connection and reads one response, until the server
// closes the connection or `waitMs` passes.
QByteArray exchange(int port, const QByteArray& request, int waitMs = 5000) {
    QTcpSocket socket;
    socket.connectToHost(kLoopback, static_cast<quint16>(port));
    if (!socket.waitForConnected(3000)) return "not connected";
    socket.write(request);
    socket.waitForBytesWritten(3000);
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (socket.state() == QAbstractSocket::ConnectedState && clock.elapsed() < waitMs) {
        socket.waitForReadyRead(100);
        answer += socket.readAll();
        if (complete(answer) && !request.contains("Connection: close")) break;
    }
    answer += socket.readAll();
    return answer;
}

int statusOf(const QByteArray& answer) {
    // "HTTP/1.1 404 Not Found"
    return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : -1;
}

QByteArray bodyOf(const QByteArray& answer) {
    const qsizetype end = answer.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : answer.mid(end + 4);
}

// A page's socket, as a browser opens it.
struct SocketClient {
    net::io_context ioc;
    websocket::stream<tcp::socket> ws{ioc};

    // Opens the socket; false with the answer's status when the server refuses.
    bool open(int port, int* refusedStatus = nullptr) {
        tcp::resolver resolver(ioc);
        net::connect(ws.next_layer(), resolver.resolve("127.0.0.1", std::to_string(port)));
        websocket::response_type response;
        beast::error_code error;
        ws.handshake(response, "127.0.0.1", "/ws", error);
        if (refusedStatus) *refusedStatus = static_cast<int>(response.result_int());
        return !error;
    }
    std::string next() {
        beast::flat_buffer incoming;
        ws.read(incoming);
        return beast::buffers_to_string(incoming.data());
    }
};

} // namespace

class WebServerTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        server_ = std::make_unique<WebServer>();
        server_->publish(buffer("<!doctype html><title>Utkání</title>"), buffer(R"({"version":1,"pins":0})"));
        server_->start("127.0.0.1", 0);
        QVERIFY(server_->port() > 0);
    }
    void cleanup() { server_.reset(); }

    void servesThePageAndTheDocument() {
        const QByteArray page = exchange(port(), "GET / HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n");
        QCOMPARE(statusOf(page), 200);
        QVERIFY(page.contains("Content-Type: text/html; charset=utf-8"));
        QCOMPARE(bodyOf(page), QByteArray("<!doctype html><title>Utkání</title>"));

        // A query string does not change what is served; a new state replaces the old at once.
        server_->publish(buffer("<p>2</p>"), buffer(R"({"version":1,"pins":9})"));
        QTRY_COMPARE(
            bodyOf(exchange(port(), "GET /api/match?x=1 HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n")),
            QByteArray(R"({"version":1,"pins":9})"));

        // Keep-alive: two requests on one connection.
        const QByteArray two = exchange(port(), "GET /api/match HTTP/1.1\r\nHost: h\r\n\r\n"
                                                "GET / HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n");
        QCOMPARE(two.count("HTTP/1.1 200 OK"), 2);
    }

    void badRequestsGetAClearAnswerAndTheServerGoesOn_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::newRow("POST") << QByteArray(
                                     "POST /api/match HTTP/1.1\r\nHost: h\r\nContent-Length: 3\r\n\r\nabc")
                              << 405;
        QTest::newRow("PUT") << QByteArray("PUT / HTTP/1.1\r\nHost: h\r\nContent-Length: 1\r\n\r\nx") << 405;
        QTest::newRow("DELETE") << QByteArray("DELETE / HTTP/1.1\r\nHost: h\r\n\r\n") << 405;
        QTest::newRow("HEAD") << QByteArray("HEAD / HTTP/1.1\r\nHost: h\r\n\r\n") << 405;
        QTest::newRow("unknown path") << QByteArray("GET /index.php HTTP/1.1\r\nHost: h\r\n\r\n") << 404;
        QTest::newRow("traversal") << QByteArray("GET /../../../../etc/passwd HTTP/1.1\r\nHost: h\r\n\r\n")
                                   << 404;
        QTest::newRow("encoded traversal")
            << QByteArray("GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\nHost: h\r\n\r\n") << 404;
        QTest::newRow("traversal under api")
            << QByteArray("GET /api/../../etc/passwd HTTP/1.1\r\nHost: h\r\n\r\n") << 404;
        QTest::newRow("absolute form")
            << QByteArray("GET file:///etc/passwd HTTP/1.1\r\nHost: h\r\n\r\n") << 404;
        QTest::newRow("socket path without upgrade")
            << QByteArray("GET /ws HTTP/1.1\r\nHost: h\r\n\r\n") << 426;
        QTest::newRow("huge header") << (QByteArray("GET / HTTP/1.1\r\nHost: h\r\nX-Pad: ") +
                                         QByteArray(20000, 'a') + "\r\n\r\n")
                                     << 431;
        QTest::newRow("many headers")
            << (QByteArray("GET / HTTP/1.1\r\n") + QByteArray("X-A: b\r\n").repeated(2000) + "\r\n") << 431;
        QTest::newRow("huge body") << (QByteArray(
                                           "GET / HTTP/1.1\r\nHost: h\r\nContent-Length: 100000\r\n\r\n") +
                                       QByteArray(100000, 'b'))
                                   << 413;
        QTest::newRow("garbage bytes")
            << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15) << 400;
        QTest::newRow("bad version") << QByteArray("GET / HTTP/9.7\r\nHost: h\r\n\r\n") << 400;
        QTest::newRow("no line end") << QByteArray("GET / HTTP/1.1\nHost: h\n\n") << 400;
    }
    void badRequestsGetAClearAnswerAndTheServerGoesOn() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        const QByteArray answer = exchange(port(), request);
        QCOMPARE(statusOf(answer), status);
        QVERIFY(!answer.contains("root:"));
        if (status == 405) QVERIFY(answer.contains("Allow: GET"));
        QCOMPARE(statusOf(exchange(port(), "GET / HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n")), 200);
    }

    void aHalfOpenRequestHoldsUpNobodyAndIsClosed() {
        QTcpSocket stalled;
        stalled.connectToHost(kLoopback, static_cast<quint16>(port()));
        QVERIFY(stalled.waitForConnected(3000));
        stalled.write("GET / HTTP/1.1\r\nHost: h\r\nX-Half: ");
        QVERIFY(stalled.waitForBytesWritten(3000));
        QTRY_COMPARE(server_->openClients(), 1);

        QCOMPARE(
            statusOf(exchange(port(), "GET /api/match HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n")),
            200);
        // Given up once the request time is over.
        QElapsedTimer clock;
        clock.start();
        while (stalled.state() == QAbstractSocket::ConnectedState &&
               clock.elapsed() < std::chrono::milliseconds(web::kRequestTimeout).count() + 5000)
            stalled.waitForReadyRead(200);
        QCOMPARE(stalled.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(server_->openClients(), 0);
    }

    void aSocketGetsTheDocumentAndEveryChange() {
        SocketClient client;
        QVERIFY(client.open(port()));
        QCOMPARE(client.next(), std::string(R"({"version":1,"pins":0})"));
        for (int pins = 1; pins <= 5; ++pins) {
            server_->publish(buffer("<p></p>"),
                             buffer(R"({"version":1,"pins":)" + std::to_string(pins) + "}"));
            QCOMPARE(client.next(), R"({"version":1,"pins":)" + std::to_string(pins) + "}");
        }
        // What a page sends is ignored: the socket stays and the next change arrives.
        client.ws.write(net::buffer(std::string("{\"pins\":999}")));
        server_->publish(buffer("<p></p>"), buffer(R"({"version":1,"pins":6})"));
        QCOMPARE(client.next(), std::string(R"({"version":1,"pins":6})"));
        QCOMPARE(server_->openSockets(), 1);
    }

    void atMostTheLimitOfClientsIsServed() {
        std::vector<std::unique_ptr<SocketClient>> clients;
        int served = 0;
        int refused = 0;
        for (int i = 0; i < web::kMaxClients + 44; ++i) {
            auto client = std::make_unique<SocketClient>();
            int status = 0;
            if (client->open(port(), &status)) {
                ++served;
                clients.push_back(std::move(client));
            } else {
                QCOMPARE(status, 503);
                ++refused;
            }
        }
        QCOMPARE(served, web::kMaxClients);
        QCOMPARE(refused, 44);
        QCOMPARE(server_->openSockets(), web::kMaxClients);
        // A page request beyond the limit is refused the same way.
        QCOMPARE(statusOf(exchange(port(), "GET / HTTP/1.1\r\nHost: h\r\n\r\n")), 503);

        // Every served socket gets the change.
        server_->publish(buffer("<p></p>"), buffer(R"({"version":1,"pins":42})"));
        for (auto& client : clients) {
            QCOMPARE(client->next(), std::string(R"({"version":1,"pins":0})"));
            QCOMPARE(client->next(), std::string(R"({"version":1,"pins":42})"));
        }
        // A closed socket frees its place.
        clients.pop_back();
        QTRY_COMPARE(server_->openClients(), web::kMaxClients - 1);
        SocketClient late;
        QVERIFY(late.open(port()));
    }

    void aClientThatReadsNothingIsDroppedNotWaitedFor() {
        SocketClient stalled; // never reads
        QVERIFY(stalled.open(port()));
        SocketClient reader;
        QVERIFY(reader.open(port()));
        QCOMPARE(reader.next(), std::string(R"({"version":1,"pins":0})"));
        // Large snapshots fill the stalled client's socket buffers, then its queue.
        // The reader has at most two in the queue: the one it has just read, until
        // the server sees that write complete, and the next; together they stay
        // under the queue's byte bound, so only the stalled client can be dropped.
        const std::string padding(web::kMaxQueuedBytes * 3 / 8, ' ');
        for (int i = 1; i <= 100 && server_->droppedSockets() == 0; ++i) {
            const std::string head = R"({"version":1,"pins":)" + std::to_string(i) + "}";
            server_->publish(buffer("<p></p>"), buffer(head + padding));
            QCOMPARE(reader.next().substr(0, head.size()), head);
        }
        QCOMPARE(server_->droppedSockets(), 1L);
        QTRY_COMPARE(server_->openSockets(), 1);
    }

    void aPortInUseIsReportedWithTheReason() {
        WebServer second;
        try {
            second.start("127.0.0.1", port());
            QFAIL("a second server bound a port in use");
        } catch (const WebServerError& error) {
            QVERIFY2(QByteArray(error.what()).contains("in use"), error.what());
        }
        QVERIFY(!second.running());
        QVERIFY_THROWS_EXCEPTION(WebServerError, WebServer().start("hala", 0));
    }

private:
    int port() const { return server_->port(); }
    std::unique_ptr<WebServer> server_;
};

QTEST_GUILESS_MAIN(WebServerTest)
#include "test_web_server.moc"
