#pragma once

// Tvysl1, "Přehled hry": one player's throws lane by lane with the sums. The
// result exchange's timer refreshes it every other second, whether it is shown
// or not; its hidden FTP buttons work through the exchange.

#include "reports/overview.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kuzelna {

struct MatchState;
class ResultExchange;
class TZmena_hodu;

class Tvysl1 : public QDialog {
    Q_OBJECT
public:
    explicit Tvysl1(MatchState& state, QWidget* parent = nullptr);
    ~Tvysl1() override;

    // The throw correction dialog opened by a click on a pin cell (created
    // after this window, so it is handed in). A saved correction shows at once.
    void setCorrectionDialog(TZmena_hodu* dialog);
    // The exchange whose timer refreshes this view and whose FTP client the
    // hidden buttons use.
    void setExchange(ResultExchange& exchange);
    // Side, players and clicked cell, read by the throw correction.
    const OverviewSelection& selection() const { return selection_; }

    // Redraws the grid and the shown side's value labels.
    void Zobr_text();
    // Caption, name label and enabled captions for the side shown.
    void Uprav_viditelnost();

    // "TISK": the player results workbook of the shown side's player slot.
    // Empty: the buttons only switch the side.
    std::function<void(bool homeSide, int slot)> printPlayerResults;

    QTableWidget* grid() const { return grid_; }
    QComboBox* playerCombo(bool home) const { return group(home).combo; }
    QPushButton* printButton(bool home) const { return group(home).print; }
    QGroupBox* teamGroup(bool home) const { return group(home).box; }
    QLabel* nameLabel() const { return nameLabel_; }

    // The value labels and the captions that follow the side shown.
    enum class Value { Full, Clearing, Faults, Total, SetPoints, Team };
    QLabel* valueLabel(bool home, Value which) const;
    QLabel* captionLabel(bool home, Value which) const;
    QLabel* playerCaption(bool home) const { return group(home).playerCaption; }
    QLabel* pointsCaption(bool home) const { return group(home).pointsCaption; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct TeamGroup {
        QGroupBox* box = nullptr;
        QLabel* playerCaption = nullptr;
        QComboBox* combo = nullptr;
        QPushButton* print = nullptr;
        QLabel* captions[6] = {};
        QLabel* values[6] = {};
        QLabel* pointsCaption = nullptr;
    };

    const TeamGroup& group(bool home) const { return home ? home_ : guest_; }
    void buildTeamGroup(TeamGroup& group, bool home, const QString& title, int left);
    void buildGrid();
    void chooseSide(bool home);
    void choosePlayer(bool home, int index);
    void print(bool home);
    void gridPressed(int column, int row);
    void connectFtp();
    void sendToFtp();

    MatchState& state_;
    OverviewSelection selection_;
    ResultExchange* exchange_ = nullptr;
    TZmena_hodu* correction_ = nullptr;

    TeamGroup home_;
    TeamGroup guest_;
    QLabel* nameLabel_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* connectFtp_ = nullptr;
    QPushButton* sendFtp_ = nullptr;
};

} // namespace kuzelna
