#pragma once

// The tournament board on the second screen: the best 24 competitors so far and
// the players of the block on the lanes.

#include <QTimer>
#include <QWidget>

#include <array>

class QLabel;

namespace kuzelna {

struct MatchState;
struct TournamentLine;

class TournamentBoardWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRepaintInterval = 5000; // ms

    explicit TournamentBoardWindow(MatchState& state, QWidget* parent = nullptr);

    // The main window's "Výsledková tabule" button while "Turnaj" is set.
    void toggleFromButton();
    // Ranking, list and live block. An entrant number that is not an integer
    // throws before any text changes, so the board keeps its previous texts
    // (from a paint request the error is raised from the event queue).
    void refresh();
    void placeOnScreen();

    const QTimer& repaintTimer() const { return timer_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct LineLabels {
        QLabel* number;
        QLabel* name;
        QLabel* full;
        QLabel* clearing;
        QLabel* total;
    };

    LineLabels buildLine(const QString& prefix, const QString& number, std::size_t side, int numberX, int y);
    static void showLine(const TournamentLine& texts, LineLabels& labels);

    MatchState& state_;
    QTimer timer_;
    std::array<LineLabels, 24> places_{};
    std::array<LineLabels, 6> live_{};
};

} // namespace kuzelna
