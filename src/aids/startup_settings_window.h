#pragma once

// "Nastavení ovládacích prvků po spuštění": the defaults the console starts
// with, saved into zodided.ini.

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace kuzelna {

struct MatchState;
struct StartupSettings;

class TForm_Ovl_prvky : public QWidget {
    Q_OBJECT

public:
    explicit TForm_Ovl_prvky(MatchState& state, QWidget* parent = nullptr);

    // Menu Nastavení → "Ovládací prvky": fills the controls from the state
    // unless the window is already open, and brings it to the front.
    void open();
    // "Uložit".
    void save();

private:
    StartupSettings values() const;

    MatchState& state_;
    QCheckBox* tournament_ = nullptr;
    QCheckBox* displayExtra_ = nullptr;
    QComboBox* laneLayout_ = nullptr;
    QComboBox* gameKind_ = nullptr;
    QCheckBox* transliterate_ = nullptr;
};

} // namespace kuzelna
