#include "lanes/lane_port_qt.h"

#include "core/errors.h"
#include "core/timing.h"
#include "lanes/lane_lock_qt.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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

namespace {

const QRegularExpression& numberedComPort() {
    static const QRegularExpression numbered(QString::fromLatin1(R"(^(?:\\\\\.\\)?COM0*([0-9]+)$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    return numbered;
}

} // namespace

QString LanePort::deviceLabel(const QString& device) {
    const QRegularExpressionMatch match = numberedComPort().match(device);
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
        lastErrorString_ = port_.errorString();
        port_.clearError();
        return error;
    }
#ifdef Q_OS_UNIX
    // The office, started while the line is open, must not hold the device.
    const int fd = static_cast<int>(port_.handle());
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
#endif
    // A device without modem lines refuses these; the line works without them.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
    return QSerialPort::NoError;
}

QString LanePort::openFailureCause(QSerialPort::SerialPortError error) const {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("zařízení neexistuje");
    case QSerialPort::PermissionError: {
        // Qt reports a lock held by another process as a permission error.
        const QString holder = describeLaneLock(device_);
        return holder.isEmpty() ? QStringLiteral("přístup odepřen (%1)").arg(lastErrorString_) : holder;
    }
    case QSerialPort::OpenError:
        return QStringLiteral("zařízení už je otevřené");
    default:
        // A file that is no terminal ("Inappropriate ioctl for device").
        if (lastErrorString_ == QString::fromLocal8Bit(std::strerror(ENOTTY)))
            return QStringLiteral("není to sériové zařízení");
        return lastErrorString_.isEmpty() ? QStringLiteral("neznámá chyba") : lastErrorString_;
    }
}

void LanePort::open(const QString& device) {
    reopenTimer_.stop();
    if (port_.isOpen()) port_.close();
    device_ = device;
    attempts_ = 0;
    // A lock left by a lane link that was killed does not block this one.
    const QString reclaimed = reclaimStaleLaneLock(device);
    if (!reclaimed.isEmpty()) std::fprintf(stderr, "kuzelna: %s\n", qPrintable(reclaimed));
    const QSerialPort::SerialPortError error = openDevice();
    if (error == QSerialPort::NoError) return;
    // Missing or busy now, perhaps there in a moment: tried again like a lost one.
    reopenTimer_.start(scaledInterval(kReopenMs));
    const QString label = deviceLabel(device);
    const bool numberedPort = numberedComPort().match(device).hasMatch();
    const QString text = error == QSerialPort::DeviceNotFoundError && numberedPort
                             ? QStringLiteral("Invalid port number (%1)").arg(label)
                             : QStringLiteral("Can't open device %1: %2").arg(label, openFailureCause(error));
    throw SerialPortError(text.toLocal8Bit().toStdString());
}

void LanePort::write(std::string_view bytes) {
    if (!port_.isOpen() || bytes.empty()) return;
#ifdef Q_OS_UNIX
    // A poll of a few bytes fits the driver's buffer at once: written straight
    // to the (non-blocking) device it costs the event loop no write notifier
    // switched on and off with every poll. What does not go out now, and any
    // failure, takes the port's own buffered way, which reports errors.
    if (port_.bytesToWrite() == 0) {
        const ssize_t written = ::write(static_cast<int>(port_.handle()), bytes.data(), bytes.size());
        if (written > 0) bytes.remove_prefix(static_cast<std::size_t>(written));
        if (bytes.empty()) return;
    }
#endif
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void LanePort::flush() {
    if (port_.isOpen()) port_.flush();
}

void LanePort::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

void LanePort::onError(QSerialPort::SerialPortError error) {
    // A vanished device keeps reporting these for as long as it stays open.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (!port_.isOpen()) return;
    port_.close();
    port_.clearError();
    attempts_ = 0;
    reopenTimer_.start(scaledInterval(kReopenMs));
    // What the system says at this point comes from whatever call failed last
    // ("Inappropriate ioctl for device"); the cause is that the device went.
    const bool gone = !QFileInfo::exists(device_);
    const QString reason =
        gone ? QStringLiteral("zařízení zmizelo") : QStringLiteral("zařízení přestalo odpovídat (odpojeno?)");
    emit linkLost(QStringLiteral("Lane link lost: %1 (%2). Reopening it every %3 s.")
                      .arg(deviceLabel(device_), reason)
                      .arg(kReopenMs / 1000));
}

void LanePort::tryReopen() {
    const QSerialPort::SerialPortError error = openDevice();
    if (error != QSerialPort::NoError) {
        emit reopenFailed(++attempts_, openFailureCause(error));
        return;
    }
    reopenTimer_.stop();
    attempts_ = 0;
    emit linkRestored(QStringLiteral("Lane link restored: %1.").arg(deviceLabel(device_)));
}

} // namespace kuzelna
