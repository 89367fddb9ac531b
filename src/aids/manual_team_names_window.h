#pragma once

// "Manualni ovladani display DH - jmena druzstev": team names typed by the
// operator for the hall display and the console, in place of the registry's.

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace kuzelna {

struct MatchState;

class TForm_manual_druzstva : public QWidget {
    Q_OBJECT

public:
    explicit TForm_manual_druzstva(MatchState& state, QWidget* parent = nullptr);

    // Brings the window to the front; the edits keep what was last typed.
    void open();
    // "Ulozit".
    void save();

signals:
    void saved();

private:
    MatchState& state_;
    QLineEdit* home_ = nullptr;
    QLineEdit* guest_ = nullptr;
    QCheckBox* manual_ = nullptr;
};

} // namespace kuzelna
