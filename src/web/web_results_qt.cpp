#include "web/web_results_qt.h"

#include "core/json_patch.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "lanes/lane_server_qt.h"
#include "reports/match_json.h"
#include "web/web_limits.h"

#include <QDateTime>
#include <QHostAddress>
#include <QNetworkInterface>

#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kuzelna {

void addWebOptions(QCommandLineParser& parser) {
    parser.addOption(
        {"web-port",
         "TCP port of the live results page, 0..65535 (else [Web] Port of zodided.ini, 8080; 0 = no page).",
         "N"});
}

void readWebOptions(const QCommandLineParser& parser, WebSettings& settings) {
    if (!parser.isSet("web-port")) return;
    bool number = false;
    const int port = parser.value("web-port").toInt(&number);
    if (!number || port < 0 || port > 65535)
        throw std::invalid_argument("--web-port takes a port 0..65535, not " +
                                    parser.value("web-port").toStdString());
    settings.port = port;
}

WebResults::WebResults(MatchState& state, const WebSettings& settings, QObject* parent)
    : QObject(parent), state_(state), settings_(settings), parts_(LivePageParts::fromResources()) {
    coalesce_.setSingleShot(true);
    connect(&coalesce_, &QTimer::timeout, this, &WebResults::snapshot);
    connect(&refresh_, &QTimer::timeout, this, &WebResults::changed);
    connect(&publish_, &QTimer::timeout, this, &WebResults::publishTick);
    sinceSnapshot_.start();
    snapshot();
}

WebResults::~WebResults() = default;

void WebResults::start() {
    if (!settings_.publishUrl.empty()) {
        publisher_ = std::make_unique<WebPublisher>(PublishTarget{settings_.publishUrl, settings_.publishUser,
                                                                  settings_.publishPassword,
                                                                  settings_.publishInsecure});
        connect(publisher_.get(), &WebPublisher::finished, this, &WebResults::published);
        publish_.start(settings_.publishSeconds * 1000);
        refresh_.start(1000);
    }
    if (settings_.port == 0) return;
    server_.setClientsPerAddress(settings_.clientsPerAddress);
    // The page's script and style are files of their own: the page allows no inline code.
    server_.serveAsset(kLivePageStyle, std::make_shared<const std::string>(parts_.css),
                       "text/css; charset=utf-8");
    server_.serveAsset(kLivePageScript, std::make_shared<const std::string>(parts_.js),
                       "text/javascript; charset=utf-8");
    try {
        server_.start(settings_.listen, settings_.port);
        refresh_.start(1000);
    } catch (const WebServerError& error) {
        failure_ = error.addressInUse()
                       ? QStringLiteral("port %1 je obsazený jiným programem").arg(settings_.port)
                       : QString::fromStdString(error.what());
        setStatusLine(error.addressInUse() ? QStringLiteral("Web: port %1 obsazen").arg(settings_.port)
                                           : QStringLiteral("Web: stránka neběží"));
        std::fprintf(stderr, "kuzelna: Webové výsledky neběží: %s (%s)\n", qPrintable(failure_),
                     error.what());
    }
}

void WebResults::connectLaneServer(LaneServer& server) {
    connect(&server, &LaneServer::throwChanged, this, &WebResults::throwRecorded);
    connect(&server, &LaneServer::laneChanged, this, &WebResults::changed);
    connect(&server, &LaneServer::blockChanged, this, &WebResults::changed);
    connect(&server, &LaneServer::matchEnded, this, &WebResults::changed);
}

void WebResults::changed() {
    scheduleWithin(web::kSnapshotInterval);
}

void WebResults::throwRecorded() {
    scheduleWithin(web::kThrowSnapshotInterval);
}

void WebResults::scheduleWithin(std::chrono::milliseconds interval) {
    // With no page and no uploads every lane frame would wake the loop for nothing.
    if (!listening()) return;
    const qint64 wait = std::max<qint64>(0, interval.count() - sinceSnapshot_.elapsed());
    // A snapshot already due sooner covers this change too.
    if (coalesce_.isActive() && coalesce_.remainingTime() <= wait) return;
    coalesce_.start(static_cast<int>(wait));
}

bool WebResults::listening() const {
    return !json_ || server_.running() || publisher_;
}

void WebResults::snapshot() {
    if (!listening()) return; // nobody to show it to
    sinceSnapshot_.restart();
    MatchJsonContext context;
    context.program = "kuzelna";
    const std::string json = matchJson(state_, context);
    if (json == document_) return;
    JsonValue tree = parseJson(json);
    // Computed once here for every page: the server only picks, per page, this or the whole document.
    const std::optional<JsonValue> changes = json_ ? jsonChanges(tree_, tree) : std::nullopt;
    ++seq_;
    const std::string seq = std::to_string(seq_);
    WebServer::Buffer patch;
    if (changes)
        patch = std::make_shared<const std::string>(R"({"type":"patch","v":1,"base":)" +
                                                    std::to_string(seq_ - 1) + R"(,"seq":)" + seq +
                                                    R"(,"changes":)" + writeJson(*changes) + "}");
    json_ = std::make_shared<const std::string>(R"({"seq":)" + seq + "," + json.substr(1));
    document_ = json;
    tree_ = std::move(tree);
    page_ = std::make_shared<const std::string>(
        renderLivePage(parts_, *json_, LivePageSource::Live, settings_.publishSeconds));
    server_.publish(page_, json_, patch);
}

std::string WebResults::staticPage() const {
    return renderLivePage(parts_, *json_, LivePageSource::Published, settings_.publishSeconds);
}

void WebResults::publishTick() {
    // Only while a match runs, and only what is new.
    if (!publisher_ || matchPhase(state_) == "waiting") return;
    if (json_ == publishedJson_ || publisher_->busy()) return;
    if (publisher_->upload(json_, std::make_shared<const std::string>(staticPage()))) uploadingJson_ = json_;
}

void WebResults::published(const QString& error) {
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    if (error.isEmpty()) {
        publishedJson_ = uploadingJson_;
        publishState_ = QStringLiteral("naposledy zveřejněno v %1").arg(time);
        if (publishFailing_) std::fprintf(stderr, "kuzelna: Zveřejnění výsledků opět funguje.\n");
        publishFailing_ = false;
    } else {
        publishState_ = QStringLiteral("zveřejnění selhalo v %1: %2").arg(time, error);
        setStatusLine(QStringLiteral("Web: zveřejnění selhalo"));
        // One line when the failures begin, not one every period.
        if (!publishFailing_)
            std::fprintf(stderr, "kuzelna: Zveřejnění výsledků selhalo: %s\n", qPrintable(error));
        publishFailing_ = true;
    }
    emit publishStateChanged();
}

void WebResults::setStatusLine(const QString& text) {
    state_.controls.statusLine = toCp1250(text);
    emit statusLineChanged();
}

QStringList WebResults::addresses() const {
    if (!serving()) return {};
    const auto url = [this](const QHostAddress& address) {
        const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                                 : address.toString();
        return QStringLiteral("http://%1:%2/").arg(host).arg(port());
    };
    const QHostAddress listen(QString::fromStdString(settings_.listen));
    if (listen != QHostAddress::AnyIPv4 && listen != QHostAddress::AnyIPv6) return {url(listen)};
    QStringList list;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            list << url(address);
    }
    list << url(QHostAddress::LocalHost); // this PC itself, last
    return list;
}

} // namespace kuzelna
