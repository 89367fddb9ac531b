#pragma once

// "Sudden Victory": the operator types the tie-break throws of the three lane
// pairs and marks which player won a tied set.

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kuzelna {

struct MatchState;

class TForm_SV : public QWidget {
    Q_OBJECT
public:
    explicit TForm_SV(MatchState& state, QWidget* parent = nullptr);

    // The registry lines (Windows-1250) of player slots 1..16, in slot order,
    // as the sixteen player captions; given when the line-ups are confirmed.
    void setPlayerCaptions(const std::vector<std::string>& registryLines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PairControls {
        QCheckBox* on = nullptr;
        std::array<QLineEdit*, 3> first{};
        std::array<QLineEdit*, 3> second{};
        QLabel* firstSum = nullptr;
        QLabel* secondSum = nullptr;
        QCheckBox* swapLanes = nullptr;
    };

    QWidget* buildPair(int pair);
    void store(int pair);
    void clear(int pair);

    MatchState& state_;
    std::array<PairControls, 3> pairs_{};
    std::array<QLabel*, 16> playerCaption_{};
};

} // namespace kuzelna
