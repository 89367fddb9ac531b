#include "lanes/lane_server_qt.h"

#include "core/errors.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "core/timing.h"
#include "lanes/link_status.h"

#include <string_view>

namespace kuzelna {

LaneServer::LaneServer(MatchState& state, QObject* parent)
    : QObject(parent), state_(state), events_(*this), port_(this), link_(state, events_),
      cycle_(state, events_) {
    connect(&port_, &LanePort::bytesReceived, this, &LaneServer::onBytes);
    // The console shows the link's state: the status line and the indicator.
    connect(&port_, &LanePort::linkLost, this, [this](const QString& message) {
        noteLinkLost(state_, events_, toCp1250(LanePort::deviceLabel(port_.device())));
        emit linkLost(message);
    });
    connect(&port_, &LanePort::reopenFailed, this, [this](int attempt, const QString&) {
        noteLinkRetrying(state_, events_, toCp1250(LanePort::deviceLabel(port_.device())), attempt);
    });
    connect(&port_, &LanePort::linkRestored, this, [this](const QString& message) {
        noteLinkBack(state_, events_, toCp1250(LanePort::deviceLabel(port_.device())));
        emit linkRestored(message);
    });
    connect(&cycleTimer_, &QTimer::timeout, this, &LaneServer::tick);
    cycleTimer_.setTimerType(Qt::PreciseTimer);
}

LaneServer::~LaneServer() = default;

void LaneServer::openPort(const QString& deviceOverride) {
    const QString device = LanePort::chooseDevice(deviceOverride, state_.lanePortDevice);
    try {
        port_.open(device);
    } catch (const SerialPortError&) {
        noteLinkLost(state_, events_, toCp1250(LanePort::deviceLabel(device)));
        throw;
    }
}

void LaneServer::startCycle() {
    if (state_.matchOver || switchedOff_) return;
    cycleTimer_.start(scaledInterval(kCycleMs));
}

void LaneServer::tick() {
    if (switchedOff_) return;
    const std::string bytes = cycle_.tick();
    if (!bytes.empty() && beforeSend) beforeSend();
    port_.write(bytes);
    if (state_.matchOver && cycle_.finished()) {
        // The final score and match points are on the line: the cycle stops
        // for good, and only now does the match count as ended.
        cycleTimer_.stop();
        port_.flush();
        emit matchEnded();
    }
}

void LaneServer::switchOff() {
    switchedOff_ = true;
    cycleTimer_.stop();
}

void LaneServer::onBytes(const QByteArray& bytes) {
    if (switchedOff_) return;
    link_.onBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void LaneServer::Events::laneChanged(int lane) {
    emit server_.laneChanged(lane);
}

void LaneServer::Events::throwChanged(int slot) {
    emit server_.throwChanged(slot);
}

void LaneServer::Events::blockChanged() {
    emit server_.blockChanged();
}

void LaneServer::Events::matchEnded() {
    // The cycle still sends the final frames; tick() reports the end after them.
}

void LaneServer::Events::nameSwapSeconds(int seconds) {
    emit server_.nameSwapSeconds(seconds);
}

void LaneServer::Events::scoreDigit(int x, const std::string& text) {
    emit server_.scoreDigit(x, fromCp1250(text));
}

void LaneServer::Events::statusLineChanged() {
    emit server_.statusLineChanged();
}

void LaneServer::Events::runningIndicatorChanged() {
    emit server_.runningIndicatorChanged();
}

void LaneServer::Events::publicPlayChanged(int lane) {
    emit server_.publicPlayChanged(lane);
}

} // namespace kuzelna
