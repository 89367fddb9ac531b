#pragma once

// The results board of a league match, shown on a second screen: one row per
// player of both teams, the side totals and the match points.

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>

class QLabel;

namespace kuzelna {

struct MatchState;
struct ResultsBoardSide;

class ResultsBoardWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRepaintInterval = 4000; // ms

    explicit ResultsBoardWindow(MatchState& state, QWidget* parent = nullptr);

    // The main window's "Výsledková tabule" button while "Turnaj" is clear.
    void toggleFromButton();
    // Recomputes every text from the match state.
    void refresh();
    // Places the board by the position settings.
    void placeOnScreen();

    const QTimer& repaintTimer() const { return timer_; }
    // The artwork behind the texts, decoded on first use.
    const QPixmap& background() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct RowLabels {
        QLabel* name;
        QLabel* total;
        QLabel* full;
        QLabel* clearing;
        QLabel* setPoints;
        QLabel* duelPoints;
    };
    struct SideLabels {
        QLabel* title;
        std::array<RowLabels, 8> rows;
        QLabel* total;
        QLabel* full;
        QLabel* clearing;
        QLabel* setPoints;
        QLabel* duelPoints;
        QLabel* matchPoints;
    };

    void buildSide(int side);
    void showSide(const ResultsBoardSide& texts, SideLabels& labels);
    void hideLastTwoRows();

    MatchState& state_;
    mutable QPixmap background_;
    mutable bool backgroundRead_ = false;
    QTimer timer_;
    std::string decimalSeparator_;
    std::array<SideLabels, 2> sides_{};
};

} // namespace kuzelna
