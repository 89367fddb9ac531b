#pragma once

// What the engine tells the shell while it works: the windows redraw, refresh
// and change captions in answer. Every method has an empty default so that a
// test listens only to what it checks.

#include <string>

namespace kuzelna {

class MatchEvents {
public:
    virtual ~MatchEvents() = default;
    // A lane's status bytes were stored: redraw that lane (0 = all lanes).
    virtual void laneChanged(int /*lane*/) {}
    // A recorded throw of `slot` changed (the overview refreshes; totals were recalculated).
    virtual void throwChanged(int /*slot*/) {}
    // The game configuration or the block on the lanes changed: repaint everything.
    virtual void blockChanged() {}
    // The last block finished: the match cycle has stopped; the Start button reads "konec".
    virtual void matchEnded() {}
    // Seconds left of the name-swap hold, for the "Vymena jmen" caption.
    virtual void nameSwapSeconds(int /*seconds*/) {}
    // One digit of a score frame, mirrored on the main window at (x, 400).
    virtual void scoreDigit(int /*x*/, const std::string& /*text*/) {}
    // controls.statusLine has a new text.
    virtual void statusLineChanged() {}
    // The "Systém běží" indicator changed: controls.systemRunningIndicator or
    // the lane link's state in controls.linkIndicator.
    virtual void runningIndicatorChanged() {}
    // Public play took a frame of `lane`; what it read is in
    // state.publicPlayDiagnostics.
    virtual void publicPlayChanged(int /*lane*/) {}
};

} // namespace kuzelna
