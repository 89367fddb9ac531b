#pragma once

// "Zmena_hodu": overwrite the pins of the throw last clicked in the overview's
// throw grid. The edit holds one key at a time; "Ulož" stores a single digit.

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

namespace kuzelna {

struct MatchState;
struct OverviewSelection;

class TZmena_hodu : public QDialog {
    Q_OBJECT
public:
    // `selection` is the overview window's side, player and clicked cell.
    TZmena_hodu(MatchState& state, const OverviewSelection& selection, QWidget* parent = nullptr);

    // Opens the dialog on a pin cell: hidden first when shown, then shown, the
    // edit taking the input focus.
    void openForCell();
    // The value a grid click loads into the edit.
    void setValueText(const std::string& text);

    QLineEdit* valueEdit() const { return edit_; }
    QPushButton* saveButton() const { return save_; }

    // "Ulož": stores and recalculates when the edit holds one digit and the
    // clicked cell is a throw; otherwise nothing happens and the dialog stays.
    void Uloz();

signals:
    // A throw of `slot` was overwritten and the slot recalculated.
    void throwCorrected(int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MatchState& state_;
    const OverviewSelection& selection_;
    QLineEdit* edit_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace kuzelna
