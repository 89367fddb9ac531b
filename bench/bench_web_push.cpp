// Live results: the time from the lane frame that records a throw to a page's
// socket receiving the document with it, with 1 and with 256 pages open, and
// the program's CPU use meanwhile; then the bytes one page receives per
// recorded throw over a whole match. The whole program runs as it does in the
// hall: the lane link at its real cadence on the virtual alley's
// pseudo-terminal, the snapshots on the Qt thread, the server on its own.
// The pages are sockets on one thread of this process, whose CPU time is
// taken off the figure. Loopback only.
//
// The bytes are counted over a whole match played through the lane link's byte
// interface without a clock: a snapshot is taken after every lane frame that
// changed the match, so the figure is the most the coalescing timers can let
// through (they only merge snapshots). Counted on the wire: each WebSocket
// frame with its header.
//
//     bench_web_push [--seconds S] [--pace MS] [--bytes-only]
//     (defaults: 60 s per run, a throw every 3000 ms per lane; --bytes-only skips the latency runs)

// Before any Qt header: its "slots" keyword would take the alley's slots().
#include "support/frames.h"
#include "support/recording_events.h"
#include "support/simulated_alley.h"

#include "console/simulation_lineup.h"
#include "core/match_state.h"
#include "core/timing.h"
#include "lanes/lane_link.h"
#include "lanes/lane_server_qt.h"
#include "lanes/match_cycle.h"
#include "lanes/virtual_alley_pty_qt.h"
#include "scoring/game_kinds.h"
#include "web/web_limits.h"
#include "web/web_results_qt.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace kuzelna;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// When each throw (slot, throw number) was recorded, written on the Qt thread.
struct Recorded {
    std::mutex mutex;
    std::map<std::pair<int, int>, Clock::time_point> at;
};

class Pages {
public:
    Pages(Recorded& recorded, int count, int port) : recorded_(recorded) {
        for (int i = 0; i < count; ++i) {
            auto page = std::make_unique<Page>(ioc_);
            tcp::resolver resolver(ioc_);
            net::connect(page->ws.next_layer(), resolver.resolve("127.0.0.1", std::to_string(port)));
            page->ws.handshake("127.0.0.1", "/ws");
            pages_.push_back(std::move(page));
        }
        for (auto& page : pages_)
            read(*page);
        thread_ = std::thread([this] { ioc_.run(); });
    }
    ~Pages() { stop(); }
    void stop() {
        if (!thread_.joinable()) return;
        net::post(ioc_, [this] { ioc_.stop(); });
        thread_.join();
    }
    // CPU seconds the pages' thread has used so far.
    double cpu() {
        std::promise<double> seconds;
        net::post(ioc_, [&seconds] { seconds.set_value(threadCpuSeconds()); });
        return seconds.get_future().get();
    }
    // Start counting from now on.
    void measure() {
        std::lock_guard lock(mutex_);
        latencies_.clear();
        measuring_ = true;
    }
    std::vector<double> latencies() {
        std::lock_guard lock(mutex_);
        return latencies_;
    }

private:
    struct Page {
        explicit Page(net::io_context& ioc) : ws(ioc) {}
        websocket::stream<tcp::socket> ws;
        beast::flat_buffer incoming;
        std::vector<int> throws; // per slot, as last seen
        bool seen = false;       // the first document has come
    };

    // Throw counts per slot that a message gives: every slot for a whole
    // document, the slots whose count it changes for a patch (-1: unchanged).
    // Every page gets the same messages, so each is read once and known again
    // by comparing it whole.
    const std::vector<int>& countsOf(const std::string& text) {
        for (const auto& [known, counts] : parsed_)
            if (known == text) return counts;
        if (parsed_.size() >= 8) parsed_.pop_front();
        const QJsonObject message = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
        std::vector<int> counts(61, message.contains("type") ? -1 : 0);
        if (message.contains("type")) {
            const QJsonObject players = message.value("changes").toObject().value("players").toObject();
            for (auto player = players.begin(); player != players.end(); ++player) {
                const int slot = player.key().toInt() + 1;
                const QJsonValue count = player.value().toObject().value("throwCount");
                if (slot >= 1 && slot <= 60 && count.isDouble())
                    counts[static_cast<std::size_t>(slot)] = count.toInt();
            }
        } else {
            for (const QJsonValue player : message.value("players").toArray()) {
                const int slot = player.toObject().value("slot").toInt();
                if (slot >= 1 && slot <= 60)
                    counts[static_cast<std::size_t>(slot)] = player.toObject().value("throwCount").toInt();
            }
        }
        parsed_.emplace_back(text, std::move(counts));
        return parsed_.back().second;
    }

    void read(Page& page) {
        page.ws.async_read(page.incoming, [this, &page](beast::error_code error, std::size_t) {
            if (error) return;
            const Clock::time_point now = Clock::now();
            const std::vector<int>& counts = countsOf(beast::buffers_to_string(page.incoming.data()));
            page.incoming.consume(page.incoming.size());
            if (page.throws.empty()) page.throws.assign(61, 0);
            {
                std::lock_guard recordedLock(recorded_.mutex);
                std::lock_guard lock(mutex_);
                for (int slot = 1; slot <= 60; ++slot) {
                    const int count = counts[static_cast<std::size_t>(slot)];
                    if (count < 0) continue;
                    for (int t = page.throws[static_cast<std::size_t>(slot)] + 1; page.seen && t <= count;
                         ++t) {
                        const auto at = recorded_.at.find({slot, t});
                        if (measuring_ && at != recorded_.at.end())
                            latencies_.push_back(
                                std::chrono::duration<double, std::milli>(now - at->second).count());
                    }
                    page.throws[static_cast<std::size_t>(slot)] = count;
                }
            }
            page.seen = true;
            read(page);
        });
    }

    Recorded& recorded_;
    net::io_context ioc_;
    std::vector<std::unique_ptr<Page>> pages_;
    std::deque<std::pair<std::string, std::vector<int>>> parsed_; // newest last
    std::mutex mutex_;
    std::vector<double> latencies_;
    bool measuring_ = false;
    std::thread thread_;
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t i =
        std::min(values.size() - 1, static_cast<std::size_t>(p / 100.0 * (values.size() - 1) + 0.5));
    return values[i];
}

struct Run {
    int pages;
    std::size_t samples;
    double p50, p99, max, cpuPercent, pollsPerSecond;
};

Run runOnce(int pageCount, int seconds, int paceMs) {
    auto state = std::make_unique<MatchState>();
    // "120 Hs" on 6 lanes, six duels: the largest league match.
    if (!applyConfiguration(*state, {2, 3, 1, 6, 1}).empty())
        throw std::runtime_error("configuration refused");
    fillSimulationLineups(*state);
    SimulatedAlley alley(alleySetupFor(*state, 9, paceMs, 0.0));
    alley.open();
    LaneServer lanes(*state);
    lanes.openPort(alley.devicePath());
    WebSettings settings;
    settings.listen = "127.0.0.1";
    settings.clientsPerAddress = web::kMaxClients; // every page of the bench comes from one address
    QTcpServer probe; // a free port of loopback (0 would switch the page off)
    probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    settings.port = probe.serverPort();
    probe.close();
    WebResults web(*state, settings);
    web.connectLaneServer(lanes);
    web.start();

    Recorded recorded;
    QObject::connect(&lanes, &LaneServer::throwChanged, [&](int slot) {
        const int t = state->player[static_cast<std::size_t>(slot)].throwCount;
        std::lock_guard lock(recorded.mutex);
        recorded.at.emplace(std::make_pair(slot, t), Clock::now()); // the first frame that recorded it
    });
    std::unique_ptr<Pages> pages;
    if (pageCount > 0) pages = std::make_unique<Pages>(recorded, pageCount, web.port());

    state->running = 1;
    state->linkPaused = 0;
    lanes.startCycle();
    const auto wait = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    wait(5000); // the lanes start and every page has its first document
    if (pages) pages->measure();
    const double pagesCpuBefore = pages ? pages->cpu() : 0;
    const double cpuBefore = processCpuSeconds();
    const auto pollsBefore = alley.alley().counters().polls;
    QElapsedTimer clock;
    clock.start();
    wait(seconds * 1000);
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = processCpuSeconds() - cpuBefore;
    const double pagesCpu = pages ? pages->cpu() - pagesCpuBefore : 0;
    const auto polls = alley.alley().counters().polls - pollsBefore;
    std::vector<double> latencies;
    if (pages) latencies = pages->latencies();
    return {pageCount,
            latencies.size(),
            percentile(latencies, 50),
            percentile(latencies, 99),
            latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end()),
            100.0 * std::max(0.0, cpu - pagesCpu) / wall,
            polls / wall};
}

int freePort() {
    QTcpServer probe; // a free port of loopback (0 would switch the page off)
    probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.serverPort();
}

// One page's socket on a thread of its own, counting what reaches it.
class CountingPage {
public:
    explicit CountingPage(int port) : ws_(ioc_) {
        tcp::resolver resolver(ioc_);
        net::connect(ws_.next_layer(), resolver.resolve("127.0.0.1", std::to_string(port)));
        ws_.handshake("127.0.0.1", "/ws");
        read();
        thread_ = std::thread([this] { ioc_.run(); });
    }
    ~CountingPage() {
        net::post(ioc_, [this] { ioc_.stop(); });
        thread_.join();
    }
    long messages() const { return messages_.load(); }
    long bytes() const { return bytes_.load(); }

private:
    void read() {
        ws_.async_read(incoming_, [this](beast::error_code error, std::size_t size) {
            if (error) return;
            const long header = size < 126 ? 2 : size < 65536 ? 4 : 10; // unmasked, from the server
            bytes_ += static_cast<long>(size) + header;
            ++messages_;
            incoming_.consume(incoming_.size());
            read();
        });
    }

    net::io_context ioc_;
    websocket::stream<tcp::socket> ws_;
    beast::flat_buffer incoming_;
    std::atomic<long> messages_{0}, bytes_{0};
    std::thread thread_;
};

struct WholeMatch {
    int throws;
    long snapshots;
    long bytes;
};

WholeMatch playWholeMatch(const GameConfiguration& config) {
    auto state = std::make_unique<MatchState>();
    if (!applyConfiguration(*state, config).empty()) throw std::runtime_error("configuration refused");
    fillSimulationLineups(*state);
    LaneServer lanes(*state);
    WebSettings settings;
    settings.listen = "127.0.0.1";
    settings.port = freePort();
    WebResults web(*state, settings); // not connected to the lanes: snapshots are taken below
    web.start();
    testing::SimulatedAlley alley(
        testing::MatchPlan{config.gameKind, config.laneLayout, config.lanePair, config.pairCount, 5u});
    testing::RecordingEvents events;
    MatchCycle cycle(*state, events);
    state->linkPaused = 0;
    state->running = 1;

    CountingPage page(web.port());
    long published = 1; // the match as it stands, at connect
    const auto delivered = [&] {
        // One snapshot on the way at a time: the page is never the one that falls behind.
        for (int i = 0; i < 200000 && page.messages() < published; ++i)
            QThread::usleep(50);
        if (page.messages() < published) throw std::runtime_error("the page stopped receiving");
    };
    delivered();
    WebServer::Buffer last = web.json();
    for (long ticks = 0; !state->matchOver && ticks < 10'000'000; ++ticks) {
        for (const std::string& body : testing::sentBodies(cycle.tick())) {
            const std::string reply = alley.answer(body);
            if (!reply.empty()) lanes.link().onBytes(reply);
        }
        web.snapshotNow();
        if (web.json() == last) continue;
        last = web.json();
        ++published;
        delivered();
    }
    if (!state->matchOver) throw std::runtime_error("the match did not end");
    int throws = 0;
    for (int slot = 1; slot <= 2 * state->pairCount; ++slot)
        throws += state->player[static_cast<std::size_t>(slot)].throwCount;
    return {throws, published, page.bytes()};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int seconds = 60;
    int paceMs = 3000;
    bool bytesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--bytes-only") bytesOnly = true;
        if (i + 1 >= argc) continue;
        if (option == "--seconds") seconds = std::max(5, std::atoi(argv[++i]));
        if (option == "--pace") paceMs = std::max(0, std::atoi(argv[++i]));
    }
    setSpeedFactor(1); // the lane link's real cadence
    std::printf("live results push: 120 Hs, 6 lanes, 6 duels, a throw every %d ms per lane, %d s per run\n",
                paceMs, seconds);
    std::printf("%6s %8s %9s %9s %9s %12s %9s\n", "pages", "samples", "p50 ms", "p99 ms", "max ms",
                "CPU %core", "polls/s");
    for (const int count : {0, 1, 256}) {
        if (bytesOnly) break;
        const Run run = runOnce(count, seconds, paceMs);
        std::printf("%6d %8zu %9.1f %9.1f %9.1f %12.2f %9.1f\n", run.pages, run.samples, run.p50, run.p99,
                    run.max, run.cpuPercent, run.pollsPerSecond);
        std::fflush(stdout);
    }
    std::printf("\nbytes on the wire per recorded throw per page, over a whole match\n");
    std::printf("%-26s %8s %10s %12s %12s\n", "match", "throws", "snapshots", "bytes", "per throw");
    for (const auto& [label, config] :
         {std::pair{"120 Hs, 6 lanes, 6 duels", GameConfiguration{2, 3, 1, 6, 1}},
          std::pair{"200 Hs, 6 lanes, 30 duels", GameConfiguration{1, 3, 1, 30, 1}}}) {
        const WholeMatch match = playWholeMatch(config);
        std::printf("%-26s %8d %10ld %12ld %12.0f\n", label, match.throws, match.snapshots, match.bytes,
                    static_cast<double>(match.bytes) / std::max(1, match.throws));
        std::fflush(stdout);
    }
    return 0;
}
