#pragma once

// "Klavesnice": the lane controllers' keypad on the operator's screen, with the
// lane the keys go to and a start/stop button per lane. Keys wait in the match
// state until the match cycle sends them.

#include <QWidget>

class QButtonGroup;

namespace kuzelna {

struct MatchState;

class TKlavesnice : public QWidget {
    Q_OBJECT

public:
    explicit TKlavesnice(MatchState& state, QWidget* parent = nullptr);

    void toggle();

private:
    MatchState& state_;
    QButtonGroup* lanes_ = nullptr;
};

} // namespace kuzelna
