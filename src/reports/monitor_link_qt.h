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
    // Binds the local port `state.monitorLocalPort` (0 = any free port).
    explicit MonitorLink(MatchState& state, QObject* parent = nullptr);

    // Sends `bytes` as one datagram to `host` (dotted IPv4) and port
    // `state.monitorPort`; the outcome goes to the status line: "poslano",
    // "host" (not an address), "stream" (nothing to send) or "buffer" (the
    // socket refused the datagram).
    void send(const std::string& host, const std::string& bytes);

    quint16 localPort() const { return socket_.localPort(); }
    bool bound() const { return socket_.state() == QAbstractSocket::BoundState; }

signals:
    // controls.statusLine has a new text.
    void statusChanged();

private:
    void setStatus(const std::string& text);
    void readPending();

    MatchState& state_;
    QUdpSocket socket_;
};

} // namespace kuzelna
