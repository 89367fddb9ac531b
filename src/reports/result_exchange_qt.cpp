#include "reports/result_exchange_qt.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "core/timing.h"
#include "reports/ftp_client_qt.h"
#include "reports/monitor_link_qt.h"

#include <QTimer>

#include <iostream>

namespace kuzelna {
namespace {

constexpr int kExchangeIntervalMs = 1000;
constexpr int kFtpPort = 21;
constexpr int kFtpTimeoutMs = 5000;
constexpr const char* kFtpRemotePath = "FTP/Velar/az.txt";

} // namespace

// What the exchange timer's ticks do.
class ResultExchange::Actions : public ExchangeActions {
public:
    explicit Actions(ResultExchange& exchange) : exchange_(exchange) {}
    void refreshOverview() override { emit exchange_.overviewRefreshDue(); }
    void sendDatagram() override { exchange_.utp_posilani(); }
    void writeResultFiles() override {
        const std::string before = exchange_.state_.controls.statusLine;
        resultFiles_.write(exchange_.state_, "."); // says so when the files can be written again
        if (exchange_.state_.controls.statusLine != before) emit exchange_.statusLineChanged();
    }
    void advertCaption(const std::string& caption) override {
        // Written here only: the console just shows it.
        exchange_.state_.controls.advertCaption = caption;
        emit exchange_.advertCaptionChanged(fromCp1250(caption));
    }

private:
    ResultExchange& exchange_;
    ResultFileWriter resultFiles_;
};

ResultExchange::ResultExchange(MatchState& state, QObject* parent)
    : QObject(parent), state_(state), actions_(std::make_unique<Actions>(*this)),
      monitor_(std::make_unique<MonitorLink>(state)), ftp_(std::make_unique<FtpClient>()) {
    setObjectName(QStringLiteral("ResultExchange"));
    connect(monitor_.get(), &MonitorLink::statusChanged, this, &ResultExchange::statusLineChanged);
    timer_ = new QTimer(this);
    timer_->setInterval(scaledInterval(kExchangeIntervalMs));
    connect(timer_, &QTimer::timeout, this, &ResultExchange::runTick);
}

ResultExchange::~ResultExchange() = default;

void ResultExchange::start() {
    timer_->start();
}

void ResultExchange::utp_posilani() {
    const OutgoingDatagram datagram = rotation_.next(state_);
    emit heartbeatChanged();
    monitor_->send(datagram.host, datagram.bytes);
}

void ResultExchange::Timer1Timer() {
    ticker_.tick(state_, *actions_);
}

void ResultExchange::runTick() {
    try {
        Timer1Timer();
    } catch (...) {
        if (!errorHandler) throw;
        errorHandler(std::current_exception());
    }
}

void ResultExchange::connectFtp() {
    FtpSettings settings;
    settings.host = state_.ftpHost;
    settings.port = kFtpPort;
    settings.timeoutMs = kFtpTimeoutMs;
    try {
        ftp_->connect(settings);
    } catch (const FtpError& error) {
        std::cout << error.what() << std::endl;
    }
}

void ResultExchange::sendToFtp(const std::string& localFile) {
    try {
        ftp_->upload(localFile, kFtpRemotePath);
    } catch (const FtpError& error) {
        std::cout << error.what() << std::endl;
    }
}

void ResultExchange::disconnectFtp() {
    ftp_->disconnect();
}

} // namespace kuzelna
