#pragma once

// "Komerncny program": the operator's window of public play. Every control acts
// on the lane chosen in "Draha c.: "; redrawing loads that lane's record.

#include "commercial/public_play.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kuzelna {

struct MatchState;

class TForm_hry : public QWidget {
    Q_OBJECT
public:
    explicit TForm_hry(MatchState& state, QWidget* parent = nullptr);

    // Loads the chosen lane's record into the controls.
    void redraw();

    // Shows state.publicPlayDiagnostics: the lane link's intake wrote them
    // (publicPlayChanged), or a throw played by hand.
    void showDiagnostics();

    int chosenLane() const { return lane_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    PublicPlayLane& game();
    void chooseLane(int lane);
    void saveChanges();

    MatchState& state_;
    int lane_ = 1;

    QCheckBox* publicPlayOn_ = nullptr;
    std::array<QRadioButton*, 8> laneRadio_{};
    std::array<QRadioButton*, 3> gameRadio_{};
    QComboBox* playerCount_ = nullptr;
    std::array<QRadioButton*, 6> turnRadio_{};
    std::array<QLineEdit*, 6> name_{};
    std::array<QLineEdit*, 6> stage_{};
    std::array<QLineEdit*, 6> marks_{};
    std::array<QLineEdit*, 4> diagnostic_{};
};

} // namespace kuzelna
