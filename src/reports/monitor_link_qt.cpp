#include "reports/monitor_link_qt.h"

#include "core/match_state.h"
#include "reports/datagrams.h"

#include <QHostAddress>
#include <QNetworkDatagram>

namespace kuzelna {

MonitorLink::MonitorLink(MatchState& state, QObject* parent) : QObject(parent), state_(state) {
    // Without the local port the datagrams still go out from a free one; only
    // the lane PCs' answers are then not seen.
    QHostAddress local;
    if (!local.setAddress(QString::fromStdString(state_.monitorLocalAddress)) ||
        local.protocol() != QAbstractSocket::IPv4Protocol)
        local = QHostAddress(QHostAddress::AnyIPv4);
    socket_.bind(local, state_.monitorLocalPort);
    connect(&socket_, &QUdpSocket::readyRead, this, &MonitorLink::readPending);
}

void MonitorLink::setStatus(const std::string& text) {
    state_.controls.statusLine = text;
    emit statusChanged();
}

void MonitorLink::send(const std::string& host, const std::string& bytes) {
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(host)) ||
        address.protocol() != QAbstractSocket::IPv4Protocol) {
        setStatus("host");
        return;
    }
    if (bytes.empty()) {
        setStatus("stream");
        return;
    }
    const qint64 written = socket_.writeDatagram(
        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), address, state_.monitorPort);
    setStatus(written == static_cast<qint64>(bytes.size()) ? "poslano" : "buffer");
}

bool MonitorLink::fromLanePc(const QHostAddress& sender) const {
    for (std::size_t i = 1; i <= 6; ++i) {
        const QHostAddress host(QString::fromStdString(state_.monitorHost[i]));
        if (!host.isNull() && host.isEqual(sender, QHostAddress::ConvertV4MappedToIPv4)) return true;
    }
    return false;
}

void MonitorLink::readPending() {
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        QHostAddress sender = datagram.senderAddress();
        bool isIpv4 = false;
        const quint32 ipv4 = sender.toIPv4Address(&isIpv4);
        if (isIpv4) sender = QHostAddress(ipv4);
        if (!fromLanePc(sender)) {
            // A stray sender must not hide what the operator has to read there.
            ++dropped_;
            continue;
        }
        const QByteArray data = datagram.data();
        setStatus(receivedDatagramStatus(
            sender.toString().toStdString(),
            std::string_view(data.constData(), static_cast<std::size_t>(data.size()))));
    }
}

} // namespace kuzelna
