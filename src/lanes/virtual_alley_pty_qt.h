#pragma once

// The virtual alley behind a pseudo-terminal: the lane port opens its device
// like any serial line, and the alley answers on the other side, driven from
// the event loop (a socket notifier on the terminal and a clock timer). Used by
// kuzelna --simulate, kuzelna-lanesim and the tests of the real lane port.
// POSIX systems only.

#include "lanes/virtual_alley.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>

namespace kuzelna {

struct MatchState;

// The alley that plays the match a state is configured for: its kind of game,
// lanes, lane pair and duels.
AlleySetup alleySetupFor(const MatchState& state, std::uint32_t seed, int throwMs, double noise);

class SimulatedAlley : public QObject {
    Q_OBJECT
public:
    explicit SimulatedAlley(const AlleySetup& setup, QObject* parent = nullptr);
    ~SimulatedAlley() override;

    // Opens a new pseudo-terminal in raw mode and starts answering on it. With a
    // `linkPath`, a symbolic link there points at the terminal's device
    // (replacing whatever was there). Throws std::runtime_error.
    void open(const QString& linkPath = {});
    // Closes the pseudo-terminal: for the lane port the device has gone away.
    // The symbolic link stays, dangling, until the next open.
    void close();
    bool isOpen() const { return master_ >= 0; }

    // The device for the lane port: the link when one was made, else the
    // terminal's own device.
    QString devicePath() const { return linkPath_.isEmpty() ? slavePath_ : linkPath_; }
    QString slavePath() const { return slavePath_; }

    // A new game on the same terminal.
    void restart(const AlleySetup& setup);
    VirtualAlley& alley() { return *alley_; }
    const VirtualAlley& alley() const { return *alley_; }
    const AlleySetup& setup() const { return setup_; }

    // Simulated milliseconds since the game started (real time times the speed factor).
    std::int64_t simulatedMs() const;

signals:
    // Frames from the server were handled (the displays may have changed).
    void framesHandled();
    // The alley has played every block.
    void finished();

private:
    void onReadable();
    void onClock();
    void writeAll(const std::string& bytes);

    AlleySetup setup_;
    std::unique_ptr<VirtualAlley> alley_;
    int master_ = -1;
    // The alley keeps the terminal's device open itself, so that the terminal
    // stays up while the lane port closes and reopens it.
    int slaveKeep_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer clockTimer_;
    QElapsedTimer elapsed_;
    QString slavePath_;
    QString linkPath_;
    bool finishedSignalled_ = false;
};

} // namespace kuzelna
