#pragma once

// The lane port: the serial line to the lane controllers and displays, on
// QSerialPort, read on the user-interface thread. When the device goes away
// (a USB-serial adapter unplugged, the far end of a pseudo-terminal closed) the
// port closes, says so once, and reopens the same device every few seconds until
// it is back; the match state is untouched meanwhile. A device missing or busy
// when it is first opened is retried in the same way.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <string>
#include <string_view>

namespace kuzelna {

class LanePort : public QObject {
    Q_OBJECT
public:
    explicit LanePort(QObject* parent = nullptr);

    // "COM1" on Windows, /dev/ttyS0 elsewhere.
    static QString defaultDevice();
    // The device to open: the command line's (--port) when given, else the
    // configured one ([Linka] Port), else the default.
    static QString chooseDevice(const QString& commandLine, const std::string& configured);
    // How error texts name a device: "COM%d" for a numbered COM port, else the
    // device as given.
    static QString deviceLabel(const QString& device);

    // Opens `device` at 4800 baud, 8 data bits, no parity, 2 stop bits, no flow
    // control, and raises DTR and RTS (a device without modem lines, such as a
    // pseudo-terminal, is fine). Throws SerialPortError "Can't open device X:
    // <cause>" (for a COM port that does not exist "Invalid port number (COMn)"),
    // and keeps trying to open the device every kReopenMs until it opens.
    void open(const QString& device);
    // Whether the port waits for its device to come (back).
    bool reopening() const { return reopenTimer_.isActive(); }
    bool isOpen() const { return port_.isOpen(); }
    QString device() const { return device_; }

    // Sends bytes as they are; a send is not checked, and nothing is sent while
    // the port is closed.
    void write(std::string_view bytes);
    // Hands what was written to the device now (the last frames of a match).
    void flush();

    // Milliseconds between two attempts to reopen a lost device (before the
    // speed factor).
    static constexpr int kReopenMs = 3000;

signals:
    void bytesReceived(const QByteArray& bytes);
    // The device went away; the port is closed and is being reopened.
    void linkLost(const QString& message);
    // The device is back and the port open again.
    void linkRestored(const QString& message);
    // Another attempt to open the device failed (counted from 1).
    void reopenFailed(int attempt, const QString& reason);

private:
    void onError(QSerialPort::SerialPortError error);
    void onReadyRead();
    void tryReopen();
    QSerialPort::SerialPortError openDevice();
    // Why the device did not open, in the operator's words.
    QString openFailureCause(QSerialPort::SerialPortError error) const;

    QSerialPort port_;
    QTimer reopenTimer_;
    QString device_;
    QString lastErrorString_;
    int attempts_ = 0;
};

} // namespace kuzelna
