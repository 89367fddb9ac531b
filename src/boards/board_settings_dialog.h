#pragma once

// "Výsledková tabule - nastavení": where the boards go and how the results
// board scores. Shown and hidden, never run modally.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kuzelna {

struct MatchState;

class BoardSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BoardSettingsDialog(MatchState& state, QWidget* parent = nullptr);

    // The main window's menu item: a hidden dialog takes its values from the
    // state; an open one keeps what the operator typed. Either comes to the front.
    void openFromMenu();

    QLineEdit* xEdit() const { return xEdit_; }
    QLineEdit* yEdit() const { return yEdit_; }
    QCheckBox* autoPositionBox() const { return autoPosition_; }
    QRadioButton* eightPointsButton() const { return eightPoints_; }
    QRadioButton* sixteenPointsButton() const { return sixteenPoints_; }
    QPushButton* detectButton() const { return detect_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void save();
    void detectPosition();

    MatchState& state_;
    QLineEdit* xEdit_;
    QLineEdit* yEdit_;
    QCheckBox* autoPosition_;
    QRadioButton* eightPoints_;
    QRadioButton* sixteenPoints_;
    QPushButton* detect_;
    QPushButton* save_;
    QPushButton* cancel_;
};

} // namespace kuzelna
