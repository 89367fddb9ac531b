#pragma once

// The lane link of the running program: the lane port, the receive loop and
// the 100 ms match cycle, with the engine's notifications as Qt signals.
//
// Use (the main window owns one, with the one MatchState):
//     LaneServer server(state);
//     connect(&server, &LaneServer::laneChanged, ...);      // and the other signals
//     try { server.openPort(commandLinePort); }              // --port, else [Linka] Port
//     catch (const SerialPortError&) { ... central handler: message box ... }
//     server.startCycle();                                   // runs from start-up
// The Start button then only sets state.linkPaused / state.running; the cycle
// sends nothing while linkPaused is set. When the last block finishes the cycle
// sends the final score and match points once more, stops for good and
// matchEnded is emitted.

#include "core/match_events.h"
#include "lanes/lane_link.h"
#include "lanes/lane_port_qt.h"
#include "lanes/match_cycle.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace kuzelna {

struct MatchState;

class LaneServer : public QObject {
    Q_OBJECT
public:
    explicit LaneServer(MatchState& state, QObject* parent = nullptr);
    ~LaneServer() override;

    // Opens the lane port on `deviceOverride` when given, else on the device of
    // [Linka] Port, else on the platform's default. Throws SerialPortError; the
    // program then runs on and the port keeps trying to open the device.
    void openPort(const QString& deviceOverride = {});

    // Starts the match cycle timer (100 ms, divided by the speed factor).
    void startCycle();
    bool cycleRunning() const { return cycleTimer_.isActive(); }

    // One tick of the match cycle, as the timer makes it: the bytes are written
    // to the port.
    void tick();

    MatchState& state() { return state_; }
    LanePort& port() { return port_; }
    LaneLink& link() { return link_; }
    // What the engine reports through here reaches the signals below.
    MatchEvents& events() { return events_; }

    static constexpr int kCycleMs = 100;

    // Called before bytes go out on the lane line (the journal makes sure the
    // throws it recorded are on the disk first).
    std::function<void()> beforeSend;

    // Stops the lane link for good: no more polls, received bytes are dropped
    // (while a stored match is shown instead of the one on the lanes).
    void switchOff();
    bool switchedOff() const { return switchedOff_; }

signals:
    // A lane's status bytes were stored: redraw that lane (0 = all).
    void laneChanged(int lane);
    // A recorded throw of `slot` changed; totals are already recalculated.
    void throwChanged(int slot);
    // The configuration or the block on the lanes changed.
    void blockChanged();
    // The last block finished and the final frames went out; the cycle has
    // stopped for good.
    void matchEnded();
    // Seconds left of the name-swap hold, for the "Vymena jmen" caption.
    void nameSwapSeconds(int seconds);
    // One digit of a score frame, mirrored on the main window at (x, 400).
    void scoreDigit(int x, const QString& text);
    // controls.statusLine has a new text.
    void statusLineChanged();
    // The "Systém běží" indicator changed (the lane link's state).
    void runningIndicatorChanged();
    // Public play took a frame of `lane`; state.publicPlayDiagnostics shows it.
    void publicPlayChanged(int lane);
    // The lane port lost its device / has it back (see LanePort).
    void linkLost(const QString& message);
    void linkRestored(const QString& message);

private:
    class Events : public MatchEvents {
    public:
        explicit Events(LaneServer& server) : server_(server) {}
        void laneChanged(int lane) override;
        void throwChanged(int slot) override;
        void blockChanged() override;
        void matchEnded() override;
        void nameSwapSeconds(int seconds) override;
        void scoreDigit(int x, const std::string& text) override;
        void statusLineChanged() override;
        void runningIndicatorChanged() override;
        void publicPlayChanged(int lane) override;

    private:
        LaneServer& server_;
    };

    void onBytes(const QByteArray& bytes);

    MatchState& state_;
    Events events_;
    LanePort port_;
    LaneLink link_;
    MatchCycle cycle_;
    QTimer cycleTimer_;
    bool switchedOff_ = false;
};

} // namespace kuzelna
