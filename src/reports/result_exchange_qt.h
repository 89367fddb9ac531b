#pragma once

// The program's result exchange: the one-second timer that feeds the lane PCs
// over UDP, rewrites vyst_a.csv and vyst_b.csv and steps the advertisement,
// with the FTP client of the hidden test buttons. It lives beside the lane
// server, so a run without windows exchanges results as one with windows; the
// overview window only listens to it.

#include "reports/datagrams.h"
#include "reports/exchange_ticker.h"
#include "reports/result_files.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace kuzelna {

struct MatchState;
class FtpClient;
class MonitorLink;

class ResultExchange : public QObject {
    Q_OBJECT
public:
    explicit ResultExchange(MatchState& state, QObject* parent = nullptr);
    ~ResultExchange() override;

    // Starts the one-second timer (not before a resumed match is taken over:
    // a tick would write the result files of an empty match).
    void start();

    // Sends one datagram to the next lane PC.
    void utp_posilani();
    // One tick of the exchange timer (the QTimer calls it every second).
    void Timer1Timer();

    // "Connect FTP": the server of [Monitory] FtpHost; a failure's message goes
    // to the standard output.
    void connectFtp();
    // "Send to FTP": uploads a local file to the fixed remote path.
    void sendToFtp(const std::string& localFile);
    // Closes the FTP connection (the main window does so when the program ends).
    void disconnectFtp();

    // Where an error of a timer tick goes. Empty: it leaves the tick for the
    // application's central handler.
    std::function<void(std::exception_ptr)> errorHandler;

    QTimer* timer() const { return timer_; }
    MonitorLink& monitorLink() const { return *monitor_; }
    FtpClient& ftp() const { return *ftp_; }
    const ExchangeTicker& ticker() const { return ticker_; }
    const MonitorRotation& rotation() const { return rotation_; }

signals:
    // Every other tick: the overview shows the throws as they stand.
    void overviewRefreshDue();
    // controls.statusLine has a new text.
    void statusLineChanged();
    // controls.systemRunningIndicator flipped.
    void heartbeatChanged();
    // controls.advertCaption has a new text, the advertising button's caption
    // ("Vypni reklamu n").
    void advertCaptionChanged(const QString& caption);

private:
    class Actions;
    void runTick();

    MatchState& state_;
    ExchangeTicker ticker_;
    MonitorRotation rotation_;
    std::unique_ptr<Actions> actions_;
    std::unique_ptr<MonitorLink> monitor_;
    std::unique_ptr<FtpClient> ftp_;
    QTimer* timer_ = nullptr;
};

} // namespace kuzelna
