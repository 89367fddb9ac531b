#pragma once

// "Doprovodné texty": the alley's name, the date until which its approval is
// valid, and the referee's name and licence number, kept in zodided.ini.

#include <QDialog>

class QLineEdit;

namespace kuzelna {

struct MatchState;

class TDopr_Text_Form : public QDialog {
    Q_OBJECT
public:
    explicit TDopr_Text_Form(MatchState& state, QWidget* parent = nullptr);

    // Menu "Nastavení" → "Doprovodné texty": a hidden dialog is filled from the
    // match state (a visible one keeps what the operator typed) and brought to
    // the front.
    void open();

    QLineEdit* alleyNameEdit() const { return alleyName_; }
    QLineEdit* alleyApprovalEdit() const { return alleyApproval_; }
    QLineEdit* refereeNameEdit() const { return refereeName_; }
    QLineEdit* refereeNumberEdit() const { return refereeNumber_; }

private:
    void save();

    MatchState& state_;
    QLineEdit* alleyName_;
    QLineEdit* alleyApproval_;
    QLineEdit* refereeName_;
    QLineEdit* refereeNumber_;
};

} // namespace kuzelna
