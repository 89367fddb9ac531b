#pragma once

// The UDP socket to the lane PCs: sends one datagram to (host, monitor port)
// from the local monitor port, and turns its events into the status words of the
// main window's status line.

#include <QObject>
#include <QUdpSocket>

#include <string>

namespace kuzelna {

struct MatchState;

class MonitorLink : public QObject {
    Q_OBJECT
public:
    // Binds the local port `state.monitorLocalPort` (0 = any free port) on
    // `state.monitorLocalAddress` (all addresses when it is none). Datagrams
    // from an address that is not one of the lane PCs (`state.monitorHost`) are
    // dropped and counted, never shown.
    explicit MonitorLink(MatchState& state, QObject* parent = nullptr);

    // Sends `bytes` as one datagram to `host` (dotted IPv4) and port
    // `state.monitorPort`; the outcome goes to the status line: "poslano",
    // "host" (not an address), "stream" (nothing to send) or "buffer" (the
    // socket refused the datagram).
    void send(const std::string& host, const std::string& bytes);

    quint16 localPort() const { return socket_.localPort(); }
    QHostAddress localAddress() const { return socket_.localAddress(); }
    bool bound() const { return socket_.state() == QAbstractSocket::BoundState; }
    long droppedDatagrams() const { return dropped_; }

signals:
    // controls.statusLine has a new text.
    void statusChanged();

private:
    void setStatus(const std::string& text);
    void readPending();
    bool fromLanePc(const QHostAddress& sender) const;

    MatchState& state_;
    QUdpSocket socket_;
    long dropped_ = 0;
};

} // namespace kuzelna
