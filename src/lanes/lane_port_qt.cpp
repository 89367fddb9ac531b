#include "lanes/lane_port_qt.h"

#include "core/errors.h"
#include "core/timing.h"

#include <QRegularExpression>

namespace kuzelna {

LanePort::LanePort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &LanePort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &LanePort::onError);
    connect(&reopenTimer_, &QTimer::timeout, this, &LanePort::tryReopen);
}

QString LanePort::defaultDevice() {
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("/dev/ttyS0");
#endif
}

QString LanePort::chooseDevice(const QString& commandLine, const std::string& configured) {
    if (!commandLine.isEmpty()) return commandLine;
    const QString fromFile =
        QString::fromLocal8Bit(configured.data(), static_cast<qsizetype>(configured.size())).trimmed();
    return fromFile.isEmpty() ? defaultDevice() : fromFile;
}

QString LanePort::deviceLabel(const QString& device) {
    static const QRegularExpression numbered(QString::fromLatin1(R"(^(?:\\\\\.\\)?COM0*([0-9]+)$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = numbered.match(device);
    return match.hasMatch() ? QStringLiteral("COM%1").arg(match.captured(1).toInt()) : device;
}

QSerialPort::SerialPortError LanePort::openDevice() {
    port_.setPortName(device_);
    port_.setBaudRate(QSerialPort::Baud4800);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::TwoStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_.error();
        port_.clearError();
        return error;
    }
    // A device without modem lines refuses these; the line works without them.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
    return QSerialPort::NoError;
}

void LanePort::open(const QString& device) {
    reopenTimer_.stop();
    if (port_.isOpen()) port_.close();
    device_ = device;
    const QSerialPort::SerialPortError error = openDevice();
    if (error == QSerialPort::NoError) return;
    const QString label = deviceLabel(device);
    const QString text = error == QSerialPort::DeviceNotFoundError
                             ? QStringLiteral("Invalid port number (%1)").arg(label)
                             : QStringLiteral("Can't open device %1").arg(label);
    throw SerialPortError(text.toLocal8Bit().toStdString());
}

void LanePort::write(std::string_view bytes) {
    if (!port_.isOpen() || bytes.empty()) return;
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void LanePort::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

void LanePort::onError(QSerialPort::SerialPortError error) {
    // A vanished device keeps reporting these for as long as it stays open.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (!port_.isOpen()) return;
    const QString reason = port_.errorString();
    port_.close();
    port_.clearError();
    reopenTimer_.start(scaledInterval(kReopenMs));
    emit linkLost(QStringLiteral("Lane link lost: %1 (%2). Reopening it every %3 s.")
                      .arg(deviceLabel(device_), reason)
                      .arg(kReopenMs / 1000));
}

void LanePort::tryReopen() {
    if (openDevice() != QSerialPort::NoError) return;
    reopenTimer_.stop();
    emit linkRestored(QStringLiteral("Lane link restored: %1.").arg(deviceLabel(device_)));
}

} // namespace kuzelna
