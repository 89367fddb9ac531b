// The live results of the running program, on loopback: a match played through
// the lane link's byte interface against the simulated alley, its document and
// page served by the real server, read by real sockets and by a real browser.

// Before any Qt header: its "slots" keyword would take the alley's slots().
#include "support/frames.h"
#include "support/private_lines.h"
#include "support/recording_events.h"
#include "support/simulated_alley.h"

#include "console/main_window.h"
#include "console/simulation_lineup.h"
#include "console/window_set_qt.h"
#include "core/json_patch.h"
#include "core/match_state.h"
#include "core/timing.h"
#include "lanes/lane_link.h"
#include "lanes/lane_server_qt.h"
#include "lanes/match_cycle.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"
#include "web/live_page_qt.h"
#include "web/web_limits.h"
#include "web/web_results_dialog.h"
#include "web/web_results_qt.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace kuzelna;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

int portFree() {
    QTcpServer probe;
    probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.serverPort();
}

// Port 0 would switch the page off: a free port of loopback.
WebSettings loopback(int port = portFree()) {
    WebSettings settings;
    settings.listen = "127.0.0.1";
    settings.port = port;
    // Every page of these tests comes from one address; the share per address has a test of its own.
    settings.clientsPerAddress = web::kMaxClients;
    return settings;
}

QByteArray get(int port, const char* path) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(3000)) return {};
    socket.write(QByteArray("GET ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(3000))
        answer += socket.readAll();
    answer += socket.readAll();
    const bool ok = answer.startsWith("HTTP/1.") && answer.mid(9, 3) == "200";
    return ok ? answer.mid(answer.indexOf("\r\n\r\n") + 4) : QByteArray();
}

QJsonObject parsed(const QByteArray& text) {
    return QJsonDocument::fromJson(text).object();
}

int throwsIn(const QJsonObject& doc) {
    int sum = 0;
    for (const QJsonValue player : doc.value("players").toArray())
        sum += player.toObject().value("throwCount").toInt();
    return sum;
}

// The lane link of the program, fed by the simulated alley through its byte
// interface: the link's notifications are the program's own.
struct AlleyDriver {
    MatchState& state;
    LaneServer& server;
    testing::SimulatedAlley alley;
    testing::RecordingEvents cycleEvents;
    MatchCycle cycle{state, cycleEvents};

    AlleyDriver(MatchState& s, LaneServer& lanes, const GameConfiguration& config)
        : state(s), server(lanes), alley(testing::MatchPlan{config.gameKind, config.laneLayout,
                                                            config.lanePair, config.pairCount, 5u}) {
        state.linkPaused = 0;
        state.running = 1;
    }
    int recordedThrows() const {
        int sum = 0;
        for (int slot = 1; slot <= 2 * state.pairCount; ++slot)
            sum += state.player[static_cast<std::size_t>(slot)].throwCount;
        return sum;
    }
    // Plays until `more` further throws are recorded (or the match ends).
    void play(int more) {
        const int target = recordedThrows() + more;
        for (int ticks = 0; !state.matchOver && recordedThrows() < target && ticks < 1'000'000; ++ticks) {
            for (const std::string& body : testing::sentBodies(cycle.tick())) {
                const std::string reply = alley.answer(body);
                if (!reply.empty()) server.link().onBytes(reply);
            }
        }
    }
};

GameConfiguration configured(MatchState& state, const GameConfiguration& config) {
    if (!applyConfiguration(state, config).empty()) qFatal("configuration refused");
    fillSimulationLineups(state);
    return config;
}

// Page sockets on one thread of their own, each reading every message.
class PageSockets {
public:
    ~PageSockets() {
        ioc_.stop();
        if (thread_.joinable()) thread_.join();
    }
    // Opens `count` sockets; returns how many the server took. A refusal must be 503.
    int open(int port, int count) {
        int served = 0;
        for (int i = 0; i < count; ++i) {
            auto client = std::make_unique<Client>(ioc_);
            tcp::resolver resolver(ioc_);
            net::connect(client->ws.next_layer(), resolver.resolve("127.0.0.1", std::to_string(port)));
            websocket::response_type response;
            beast::error_code error;
            client->ws.handshake(response, "127.0.0.1", "/ws", error);
            if (error) {
                if (response.result_int() != 503) qWarning("refused with %u", response.result_int());
                ++refused503_;
                continue;
            }
            ++served;
            clients_.push_back(std::move(client));
        }
        return served;
    }
    int refusedWith503() const { return refused503_; }
    void read() {
        for (auto& client : clients_)
            readLoop(*client);
        thread_ = std::thread([this] { ioc_.run(); });
    }
    std::size_t size() const { return clients_.size(); }
    int messages(std::size_t i) const {
        std::lock_guard lock(mutex_);
        return clients_[i]->count;
    }
    // The document as the page has built it from the messages so far.
    QByteArray last(std::size_t i) const {
        std::lock_guard lock(mutex_);
        return QByteArray::fromStdString(clients_[i]->last);
    }
    // Whole documents, and patches that did not start from the document held.
    int documents(std::size_t i) const {
        std::lock_guard lock(mutex_);
        return clients_[i]->documents;
    }
    int brokenPatches(std::size_t i) const {
        std::lock_guard lock(mutex_);
        return clients_[i]->broken;
    }
    // Every message as it came, one after the other.
    std::string received(std::size_t i) const {
        std::lock_guard lock(mutex_);
        return clients_[i]->received;
    }

private:
    struct Client {
        explicit Client(net::io_context& ioc) : ws(ioc) {}
        websocket::stream<tcp::socket> ws;
        beast::flat_buffer incoming;
        int count = 0;
        int documents = 0;
        int broken = 0;
        JsonValue doc;
        std::string last;
        std::string received;
    };
    // As the page does it: a patch applies to the document of its base, else the page starts again.
    static void take(Client& client, const std::string& message) {
        client.received += message;
        JsonValue value = parseJson(message);
        const JsonValue* type = value.member("type");
        if (!type) {
            client.doc = std::move(value);
            ++client.documents;
        } else {
            const JsonValue* seq = client.doc.member("seq");
            if (!seq || !value.member("base") || value.member("base")->text != seq->text) {
                ++client.broken;
                return;
            }
            applyJsonChanges(client.doc, *value.member("changes"));
            *client.doc.member("seq") = *value.member("seq");
        }
        client.last = writeJson(client.doc);
    }
    void readLoop(Client& client) {
        client.ws.async_read(client.incoming, [this, &client](beast::error_code error, std::size_t) {
            if (error) return;
            {
                std::lock_guard lock(mutex_);
                ++client.count;
                take(client, beast::buffers_to_string(client.incoming.data()));
            }
            client.incoming.consume(client.incoming.size());
            readLoop(client);
        });
    }

    net::io_context ioc_;
    std::vector<std::unique_ptr<Client>> clients_;
    int refused503_ = 0;
    mutable std::mutex mutex_;
    std::thread thread_;
};

QStringList chromium(const QString& profile) {
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--user-data-dir=" + profile};
}

// Runs the browser on `url` with `extra` options; its standard output.
QByteArray runBrowser(const QStringList& extra, const QString& url) {
    QTemporaryDir profile; // a new empty profile for every run
    QProcess browser;
    browser.start(QStringLiteral("/usr/bin/chromium"), chromium(profile.path()) + extra + QStringList{url});
    if (!browser.waitForStarted(10000)) return {};
    // The event loop keeps running: the page's socket is fed from it.
    QElapsedTimer clock;
    clock.start();
    while (browser.state() != QProcess::NotRunning && clock.elapsed() < 90000)
        QTest::qWait(50);
    return browser.readAllStandardOutput();
}

// The text of the element whose data-k is `path`, as the DOM holds it.
QString figure(const QByteArray& dom, const QString& path) {
    const QRegularExpression element("data-k=\"" + QRegularExpression::escape(path) + "\"[^>]*>([^<]*)<");
    return element.match(QString::fromUtf8(dom)).captured(1);
}

// Every figure of a page: data-k and its text, in the order they stand.
QStringList figures(const QByteArray& dom) {
    static const QRegularExpression element("data-k=\"([^\"]*)\"[^>]*>([^<]*)<");
    QStringList list;
    for (const QRegularExpressionMatch& m : element.globalMatch(QString::fromUtf8(dom)))
        list << m.captured(1) + "=" + m.captured(2);
    return list;
}

// A browser that stays open on a page, read through its debugging socket on loopback.
class OpenBrowser {
public:
    explicit OpenBrowser(const QString& url) {
        browser_.start(QStringLiteral("/usr/bin/chromium"),
                       chromium(profile_.path()) + QStringList{"--remote-debugging-port=0", url});
    }
    ~OpenBrowser() {
        browser_.kill();
        browser_.waitForFinished(10000);
    }
    // The page's DOM as it stands, empty while the browser is not ready.
    QByteArray dom() {
        if (socketPath_.empty() && !findPage()) return {};
        const int port = port_;
        try {
            net::io_context ioc;
            websocket::stream<tcp::socket> ws(ioc);
            tcp::resolver resolver(ioc);
            net::connect(ws.next_layer(), resolver.resolve("127.0.0.1", std::to_string(port)));
            ws.handshake("127.0.0.1:" + std::to_string(port), socketPath_);
            ws.write(
                net::buffer(std::string(R"({"id":1,"method":"Runtime.evaluate","params":{"expression":)"
                                        R"("document.documentElement.outerHTML","returnByValue":true}})")));
            for (;;) {
                beast::flat_buffer incoming;
                ws.read(incoming);
                const QJsonObject answer =
                    QJsonDocument::fromJson(
                        QByteArray::fromStdString(beast::buffers_to_string(incoming.data())))
                        .object();
                if (answer.value("id").toInt() != 1) continue;
                return answer.value("result")
                    .toObject()
                    .value("result")
                    .toObject()
                    .value("value")
                    .toString()
                    .toUtf8();
            }
        } catch (const std::exception&) {
            return {};
        }
    }

private:
    // The debugging socket of the browser's page, once it has one. Its HTTP
    // answers keep the connection open, so this is asked once.
    bool findPage() {
        QFile active(profile_.filePath("DevToolsActivePort"));
        if (!active.open(QIODevice::ReadOnly)) return false;
        port_ = active.readLine().trimmed().toInt();
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port_));
        if (!socket.waitForConnected(3000)) return false;
        socket.write("GET /json/list HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray answer;
        // Until the list is whole: its last target closes the array.
        while (!answer.trimmed().endsWith(']') && socket.waitForReadyRead(3000))
            answer += socket.readAll();
        const QJsonArray targets =
            QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).array();
        for (const QJsonValue target : targets) {
            if (target.toObject().value("type").toString() != "page") continue;
            const QString url = target.toObject().value("webSocketDebuggerUrl").toString();
            const qsizetype path = url.indexOf(QLatin1Char('/'), url.indexOf(QLatin1String("//")) + 2);
            if (path > 0) socketPath_ = url.mid(path).toStdString();
        }
        return !socketPath_.empty();
    }

    QTemporaryDir profile_;
    QProcess browser_;
    int port_ = 0;
    std::string socketPath_;
};

} // namespace

class WebResultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir::setCurrent(dir_.path()));
    }

    void theDocumentAgreesWithTheEnginePlayerByPlayer() {
        auto state = std::make_unique<MatchState>();
        const GameConfiguration config = configured(*state, {4, 1, 1, 2, 1}); // "60 Hs", 4 lanes, 2 duels
        LaneServer lanes(*state);
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        QVERIFY(web.serving());
        AlleyDriver driver(*state, lanes, config);

        for (const int throwsMore : {37, 60, 1000}) {
            driver.play(throwsMore);
            QTRY_COMPARE(throwsIn(parsed(get(web.port(), "/api/match"))), driver.recordedThrows());
            const QJsonObject doc = parsed(get(web.port(), "/api/match"));
            const QJsonArray players = doc.value("players").toArray();
            QCOMPARE(players.size(), 4);
            for (int slot = 1; slot <= 4; ++slot) {
                const PlayerSlot& p = state->player[static_cast<std::size_t>(slot)];
                const QJsonObject player = players.at(slot - 1).toObject();
                QCOMPARE(player.value("slot").toInt(), slot);
                QCOMPARE(player.value("pins").toInt(), p.fullTotal + p.clearingTotal);
                QCOMPARE(player.value("full").toInt(), int(p.fullTotal));
                const QJsonArray throws = player.value("throws").toArray();
                QCOMPARE(throws.size(), int(p.throwCount));
                for (int t = 1; t <= p.throwCount; ++t)
                    QCOMPARE(throws.at(t - 1).toInt(), int(p.throws[static_cast<std::size_t>(t)]));
            }
            const TeamResult teams = teamResult(*state, 4);
            QCOMPARE(doc.value("home").toObject().value("pins").toInt(), teams.homePins);
            QCOMPARE(doc.value("guest").toObject().value("pins").toInt(), teams.guestPins);
            QCOMPARE(doc.value("home").toObject().value("matchPoints").toDouble(),
                     teams.homeMatchPoints / 2.0);
            QCOMPARE(doc.value("guest").toObject().value("matchPoints").toDouble(),
                     teams.guestMatchPoints / 2.0);

            // The page carries the same figures in its HTML, for a browser without scripts.
            const QByteArray page = get(web.port(), "/");
            QCOMPARE(figure(page, "home.pins"), QString::number(teams.homePins));
            QCOMPARE(figure(page, "guest.pins"), QString::number(teams.guestPins));
            QCOMPARE(figure(page, "players.2.pins"), QString::number(state->player[3].total));
            QVERIFY(page.contains("data-source=\"live\""));
        }
        QVERIFY(state->matchOver);
        QTRY_COMPARE(parsed(get(web.port(), "/api/match")).value("state").toString(),
                     QStringLiteral("finished"));
        // The published copy reads its document from beside it.
        QVERIFY(QByteArray::fromStdString(web.staticPage()).contains("data-source=\"published\""));
    }

    void aSocketGetsAPushForEveryRecordedThrow() {
        auto state = std::make_unique<MatchState>();
        const GameConfiguration config = configured(*state, {4, 1, 1, 2, 1});
        LaneServer lanes(*state);
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        AlleyDriver driver(*state, lanes, config);
        PageSockets sockets;
        QCOMPARE(sockets.open(web.port(), 1), 1);
        sockets.read();
        QTRY_COMPARE(sockets.messages(0), 1); // the match as it stands

        for (int i = 0; i < 25; ++i) {
            driver.play(1);
            const int pushes = sockets.messages(0);
            // Within a second of the frame that recorded it.
            QTRY_VERIFY_WITH_TIMEOUT(throwsIn(parsed(sockets.last(0))) == driver.recordedThrows(), 1000);
            QVERIFY(sockets.messages(0) > pushes);
        }
    }

    // Over a whole match, a page that took the patches shows what a page made
    // from the final document shows, figure by figure, and so does one opened
    // halfway, which starts from the whole document.
    void aBrowserBuiltFromPatchesShowsTheFinalDocument() {
        auto state = std::make_unique<MatchState>();
        const GameConfiguration config = configured(*state, {4, 1, 1, 2, 1}); // "60 Hs", 4 lanes, 2 duels
        LaneServer lanes(*state);
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        AlleyDriver driver(*state, lanes, config);
        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(web.port());

        OpenBrowser first(url);
        QTRY_VERIFY_WITH_TIMEOUT(first.dom().contains("data-documents=\"1\""), 30000);
        std::unique_ptr<OpenBrowser> second;
        PageSockets halfway;
        while (!state->matchOver) {
            driver.play(1);
            QTest::qWait(30); // the throw goes out before the next
            if (!second && driver.recordedThrows() >= 120) {
                second = std::make_unique<OpenBrowser>(url);
                QTRY_VERIFY_WITH_TIMEOUT(second->dom().contains("data-documents=\"1\""), 30000);
                QCOMPARE(halfway.open(web.port(), 1), 1);
                halfway.read();
            }
        }
        QTRY_COMPARE(parsed(get(web.port(), "/api/match")).value("state").toString(),
                     QStringLiteral("finished"));
        QVERIFY(second);
        const QStringList final = figures(get(web.port(), "/"));
        QVERIFY(final.contains("home.pins=" + QString::number(teamResult(*state, 4).homePins)));
        for (OpenBrowser* browser : {&first, second.get()}) {
            QTRY_COMPARE_WITH_TIMEOUT(figures(browser->dom()), final, 10000);
            const QByteArray dom = browser->dom();
            QVERIFY2(dom.contains("data-documents=\"1\""), "one whole document, at connect");
            const QRegularExpressionMatch patches =
                QRegularExpression("data-patches=\"(\\d+)\"").match(QString::fromUtf8(dom));
            QVERIFY2(patches.captured(1).toInt() > 50, qPrintable(patches.captured(0)));
        }
        QTRY_VERIFY(parsed(halfway.last(0)) == parsed(get(web.port(), "/api/match")));
        QCOMPARE(halfway.documents(0), 1);
        QCOMPARE(halfway.brokenPatches(0), 0);
        QVERIFY2(halfway.messages(0) > 50, qPrintable(QString::number(halfway.messages(0))));
    }

    // Names and registration numbers go out; birth dates, notes and line-ups do not.
    void whatThePagesCarryHoldsNoRegistryLine() {
        auto state = std::make_unique<MatchState>();
        const GameConfiguration config = configured(*state, {4, 1, 1, 2, 1});
        testing::givePrivateRegistryLines(*state);
        LaneServer lanes(*state);
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        AlleyDriver driver(*state, lanes, config);
        PageSockets sockets;
        QCOMPARE(sockets.open(web.port(), 1), 1);
        sockets.read();
        for (int i = 0; i < 20; ++i) {
            driver.play(3);
            QTest::qWait(30);
        }
        driver.play(1000);
        QTRY_COMPARE(throwsIn(parsed(sockets.last(0))), driver.recordedThrows());
        const std::string shown[] = {get(web.port(), "/").toStdString(),
                                     get(web.port(), "/api/match").toStdString(), sockets.received(0),
                                     web.staticPage(), *web.json()};
        for (const std::string& text : shown) {
            for (const std::string& part : testing::privateParts(*state))
                QVERIFY2(text.find(part) == std::string::npos, part.c_str());
        }
        const QJsonObject player =
            parsed(get(web.port(), "/api/match")).value("players").toArray().at(2).toObject();
        QCOMPARE(player.value("registration").toString(),
                 QString::fromStdString(state->player[3].regNumber.str()));
        QVERIFY(!player.value("name").toString().isEmpty());
    }

    void atMostTheLimitOfPagesAndTheLaneLinkKeepsItsPace() {
        setSpeedFactor(1);
        auto state = std::make_unique<MatchState>();
        QVERIFY(applyConfiguration(*state, {2, 3, 1, 6, 1}).empty()); // "120 Hs" on 6 lanes
        fillSimulationLineups(*state);
        SimulatedAlley alley(alleySetupFor(*state, 3, 2000, 0.0));
        alley.open();
        LaneServer lanes(*state);
        lanes.openPort(alley.devicePath());
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        state->running = 1;
        state->linkPaused = 0;
        lanes.startCycle();

        const auto pollsIn = [&](int ms) {
            const auto before = alley.alley().counters().polls;
            QTest::qWait(ms);
            return alley.alley().counters().polls - before;
        };
        const auto alone = pollsIn(3000);

        PageSockets sockets;
        QCOMPARE(sockets.open(web.port(), web::kMaxClients + 44), web::kMaxClients);
        QCOMPARE(sockets.refusedWith503(), 44);
        sockets.read();
        const auto crowded = pollsIn(3000);
        QVERIFY2(crowded * 10 >= alone * 9,
                 qPrintable(QStringLiteral("%1 polls, %2 alone").arg(crowded).arg(alone)));
        // Every page has been kept up to date.
        QTRY_VERIFY(throwsIn(parsed(sockets.last(0))) > 0);
        for (std::size_t i = 0; i < sockets.size(); ++i)
            QVERIFY(sockets.messages(i) >= 2);
        QCOMPARE(web.server().droppedSockets(), 0L);
    }

    void aBrowserShowsTheEnginesPins() {
        auto state = std::make_unique<MatchState>();
        const GameConfiguration config = configured(*state, {2, 3, 1, 6, 1}); // "120 Hs", 6 lanes, 6 duels
        LaneServer lanes(*state);
        WebResults web(*state, loopback());
        web.connectLaneServer(lanes);
        web.start();
        AlleyDriver driver(*state, lanes, config);
        driver.play(6 * 2 * 75); // the second block is on the lanes
        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(web.port());
        const TeamResult teams = teamResult(*state, 12);

        // With scripts: the page opens its socket and takes the pushed document.
        const QByteArray dom = runBrowser({"--virtual-time-budget=3000", "--dump-dom"}, url);
        QVERIFY2(dom.contains("data-updated="), "the script applied a pushed document");
        QCOMPARE(figure(dom, "home.pins"), QString::number(teams.homePins));
        QCOMPARE(figure(dom, "guest.pins"), QString::number(teams.guestPins));
        QCOMPARE(figure(dom, "players.6.pins"), QString::number(state->player[7].total));

        // Served by something that is not the program (its socket refused): the
        // figures stay and the page says it is cut off.
        QVERIFY(!dom.contains("id=\"spojeni\" class=\"spojeni\">"));
        QTemporaryDir copy;
        QFile saved(copy.filePath("index.html"));
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.write(web.page()->data(), static_cast<qint64>(web.page()->size()));
        saved.close();
        // The page's style and script beside it, as the program serves them.
        const LivePageParts parts = LivePageParts::fromResources();
        for (const auto& [name, text] : {std::pair{"live.css", &parts.css}, std::pair{"live.js", &parts.js}}) {
            QFile asset(copy.filePath(QLatin1String(name)));
            QVERIFY(asset.open(QIODevice::WriteOnly));
            asset.write(text->data(), static_cast<qint64>(text->size()));
        }
        const int port = portFree();
        QProcess plain;
        plain.start(QStringLiteral("/usr/bin/python3"), {"-m", "http.server", "--bind", "127.0.0.1",
                                                         "--directory", copy.path(), QString::number(port)});
        QVERIFY(plain.waitForStarted(5000));
        QTRY_VERIFY(!get(port, "/index.html").isEmpty());
        const QByteArray cut = runBrowser({"--virtual-time-budget=3000", "--dump-dom"},
                                          QStringLiteral("http://127.0.0.1:%1/").arg(port));
        plain.kill();
        plain.waitForFinished(3000);
        QVERIFY2(cut.contains("id=\"spojeni\" class=\"spojeni\">Spojení"), cut.right(300).constData());
        QCOMPARE(figure(cut, "home.pins"), QString::number(teams.homePins));

        QVERIFY(QDir().mkpath(QStringLiteral(KUZELNA_BINARY_DIR "/screenshots")));
        for (const auto& [name, size] :
             {std::pair{"web_phone", "360,780"}, std::pair{"web_tv", "1920,1080"}}) {
            const QString file = QStringLiteral(KUZELNA_BINARY_DIR "/screenshots/%1.png").arg(name);
            QFile::remove(file);
            runBrowser({"--virtual-time-budget=3000", QStringLiteral("--window-size=%1").arg(size),
                        "--hide-scrollbars", "--screenshot=" + file},
                       url);
            QVERIFY2(QFile(file).size() > 10000, qPrintable(file));
        }
    }

    void theConsoleShowsTheAddressAsTextAndCode() {
        auto state = std::make_unique<MatchState>();
        WindowSet windows(*state);
        WebResults web(*state, loopback());
        web.start();
        TForm1& console = windows.mainWindow();
        installWebResultsMenu(console, web);
        QMenu* menu = console.matchMenu();
        QCOMPARE(console.matchMenu(), menu); // one menu "Utkání", whoever asks first
        QAction* item = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Webové výsledky…")) item = action;
        QVERIFY(item);
        item->trigger();
        auto* dialog = console.findChild<WebResultsDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(web.port());
        QCOMPARE(dialog->findChild<QComboBox*>("webAddresses")->currentText(), address);
        const QPixmap code = dialog->findChild<QLabel*>("webCode")->pixmap();
        QVERIFY(!code.isNull() && code.width() == code.height());
        dialog->hide();

        // A port in use: one status line, the reason in the dialog, and the program goes on.
        WebResults second(*state, loopback(web.port()));
        installWebResultsMenu(console, second);
        second.start();
        QVERIFY(!second.serving());
        QCOMPARE(QString::fromStdString(state->controls.statusLine),
                 QStringLiteral("Web: port %1 obsazen").arg(web.port()));
        QVERIFY(second.failure().contains(QStringLiteral("obsazený")));
        QVERIFY(second.addresses().isEmpty());
    }

    void theWindowlessProgramServesThePageAndSurvivesABusyPort() {
        QTemporaryDir run;
        const int port = portFree();
        QFile ini(run.filePath("zodided.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Web]\r\nListen=127.0.0.1\r\nPort=" + QByteArray::number(port) + "\r\n");
        ini.close();
        const QStringList match{"--simulate", "--headless", "--speed", "100", "--kind", "60",
                                "--lanes",    "2",          "--duels", "2",   "--pace", "18000"};
        QProcess first;
        first.setWorkingDirectory(run.path());
        first.start(QStringLiteral(KUZELNA_BINARY_DIR "/kuzelna"), match);
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(throwsIn(parsed(get(port, "/api/match"))) > 0, 30000);

        // The same port again, given on the command line: one clear line, and the match is played.
        QProcess second;
        second.setWorkingDirectory(run.path());
        second.start(QStringLiteral(KUZELNA_BINARY_DIR "/kuzelna"),
                     match + QStringList{"--web-port", QString::number(port), "--pace", "0"});
        QVERIFY(second.waitForFinished(90000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().endsWith("match over\n"));
        const QString errors = QString::fromUtf8(second.readAllStandardError());
        QCOMPARE(errors.count(QStringLiteral("Webové výsledky neběží: port %1 je obsazený").arg(port)), 1);

        QVERIFY(first.waitForFinished(120000));
        QCOMPARE(first.exitCode(), 0);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(WebResultsTest)
#include "test_web_results.moc"
