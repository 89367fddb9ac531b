#include "lanes/lane_server_qt.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "core/timing.h"

#include <string_view>

namespace kuzelna {

LaneServer::LaneServer(MatchState& state, QObject* parent)
    : QObject(parent), state_(state), events_(*this), port_(this), link_(state, events_),
      cycle_(state, events_) {
    connect(&port_, &LanePort::bytesReceived, this, &LaneServer::onBytes);
    connect(&port_, &LanePort::linkLost, this, &LaneServer::linkLost);
    connect(&port_, &LanePort::linkRestored, this, &LaneServer::linkRestored);
    connect(&cycleTimer_, &QTimer::timeout, this, &LaneServer::tick);
    cycleTimer_.setTimerType(Qt::PreciseTimer);
}

LaneServer::~LaneServer() = default;

void LaneServer::openPort(const QString& deviceOverride) {
    port_.open(LanePort::chooseDevice(deviceOverride, state_.lanePortDevice));
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
    server_.cycleTimer_.stop();
    emit server_.matchEnded();
}

void LaneServer::Events::nameSwapSeconds(int seconds) {
    emit server_.nameSwapSeconds(seconds);
}

void LaneServer::Events::scoreDigit(int x, const std::string& text) {
    emit server_.scoreDigit(x, fromCp1250(text));
}

} // namespace kuzelna
