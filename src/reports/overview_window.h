#pragma once

// Tvysl1, "Přehled hry": one player's throws lane by lane with the sums, and the
// owner of the one-second exchange timer that refreshes this view, feeds the
// lane PCs and rewrites the result files, whether the window is shown or not.

#include "reports/datagrams.h"
#include "reports/exchange_ticker.h"
#include "reports/overview.h"

#include <QDialog>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kuzelna {

struct MatchState;
class FtpClient;
class MonitorLink;
class Zmena_hodu;

class Tvysl1 : public QDialog {
    Q_OBJECT
public:
    explicit Tvysl1(MatchState& state, QWidget* parent = nullptr);
    ~Tvysl1() override;

    // The throw correction dialog opened by a click on a pin cell (created
    // after this window, so it is handed in). A saved correction shows at once.
    void setCorrectionDialog(Zmena_hodu* dialog);
    // Side, players and clicked cell, read by the throw correction.
    const OverviewSelection& selection() const { return selection_; }

    // Redraws the grid and the shown side's value labels.
    void Zobr_text();
    // Caption, name label and enabled captions for the side shown.
    void Uprav_viditelnost();
    // Sends one datagram to the next lane PC.
    void utp_posilani();
    // One tick of the exchange timer (the QTimer calls it every second).
    void Timer1Timer();
    // Closes the FTP connection (the main window does so when the program ends).
    void disconnectFtp();

    // "TISK": the player results workbook of the shown side's player slot.
    // Empty: the buttons only switch the side.
    std::function<void(bool homeSide, int slot)> printPlayerResults;
    // Where an error of a timer tick goes. Empty: it leaves the tick for the
    // application's central handler.
    std::function<void(std::exception_ptr)> errorHandler;

    QTableWidget* grid() const { return grid_; }
    QComboBox* playerCombo(bool home) const { return group(home).combo; }
    QPushButton* printButton(bool home) const { return group(home).print; }
    QGroupBox* teamGroup(bool home) const { return group(home).box; }
    QLabel* nameLabel() const { return nameLabel_; }
    QTimer* timer() const { return timer_; }
    MonitorLink& monitorLink() const { return *monitor_; }
    FtpClient& ftp() const { return *ftp_; }
    const ExchangeTicker& ticker() const { return ticker_; }
    const MonitorRotation& rotation() const { return rotation_; }

    // The value labels and the captions that follow the side shown.
    enum class Value { Full, Clearing, Faults, Total, SetPoints, Team };
    QLabel* valueLabel(bool home, Value which) const;
    QLabel* captionLabel(bool home, Value which) const;
    QLabel* playerCaption(bool home) const { return group(home).playerCaption; }
    QLabel* pointsCaption(bool home) const { return group(home).pointsCaption; }

signals:
    // controls.statusLine has a new text.
    void statusLineChanged();
    // controls.systemRunningIndicator flipped.
    void heartbeatChanged();
    // The advertising button's caption ("Vypni reklamu n").
    void advertCaptionChanged(const QString& caption);

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
    class Actions;

    const TeamGroup& group(bool home) const { return home ? home_ : guest_; }
    void buildTeamGroup(TeamGroup& group, bool home, const QString& title, int left);
    void buildGrid();
    void chooseSide(bool home);
    void choosePlayer(bool home, int index);
    void print(bool home);
    void gridPressed(int column, int row);
    void connectFtp();
    void sendToFtp();
    void runTick();

    MatchState& state_;
    OverviewSelection selection_;
    ExchangeTicker ticker_;
    MonitorRotation rotation_;
    std::unique_ptr<Actions> actions_;
    std::unique_ptr<MonitorLink> monitor_;
    std::unique_ptr<FtpClient> ftp_;
    Zmena_hodu* correction_ = nullptr;

    TeamGroup home_;
    TeamGroup guest_;
    QLabel* nameLabel_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QTimer* timer_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* connectFtp_ = nullptr;
    QPushButton* sendFtp_ = nullptr;
};

} // namespace kuzelna
