#pragma once

// The one-second timer of the result exchange, without the clock: the
// exchange's QTimer calls tick() once a second, and the ticker decides what that
// second does.

#include <string>

namespace kuzelna {

struct MatchState;

// What a tick asks the shell to do. Any of them may throw.
class ExchangeActions {
public:
    virtual ~ExchangeActions() = default;
    virtual void refreshOverview() {}                             // Zobr_text
    virtual void sendDatagram() {}                                // utp_posilani
    virtual void writeResultFiles() {}                            // vyst_a.csv and vyst_b.csv
    virtual void advertCaption(const std::string& /*caption*/) {} // the main window's advert button
};

class ExchangeTicker {
public:
    // Alternate ticks refresh the overview and (with the monitors on) serve one
    // lane PC; every 11th tick rewrites the result files; every 10th tick with
    // advertising on steps the advertisement 1..21. A step that throws does not
    // keep the others from running: the first error is rethrown after the tick,
    // and a failed file write is tried again on the next tick.
    void tick(MatchState& state, ExchangeActions& actions);

    int tickToggle() const { return tickToggle_; }
    int fileTicks() const { return fileTicks_; }

private:
    int tickToggle_ = 0;
    int fileTicks_ = 0;
};

// "Vypni reklamu " and the advertisement number.
std::string advertButtonCaption(int advertNumber);

} // namespace kuzelna
