#pragma once

// "Druh_hry": the kind of game, the lanes, the players and the duel on the
// lanes now. Confirming applies them to the match state; a combination the
// lane rotation cannot serve is refused with its reason and changes nothing.

#include "scoring/kind_of_game.h"

#include <QDialog>

class QLabel;
class QListWidget;

namespace kuzelna {

struct MatchState;

class KindOfGameDialog : public QDialog {
    Q_OBJECT

public:
    // Centred on `owner` whenever it is shown.
    KindOfGameDialog(MatchState& state, QWidget* owner);

    // "Hra" button of the console: preset the lists from the state, then show
    // or hide the dialog.
    void presetAndToggle();
    // Menu "Hra": show or hide without presetting.
    void toggle();

    KindOfGameChoice choice() const;
    void setChoice(const KindOfGameChoice& choice);

    // "OK" (or a click on "Turnaj- Hráčů"): applies and hides, or shows why not.
    void confirm();

signals:
    // The configuration changed: the console repaints.
    void applied();

private:
    MatchState& state_;
    QWidget* owner_;
    QListWidget* gameKind_ = nullptr;
    QListWidget* laneLayout_ = nullptr;
    QListWidget* lanePair_ = nullptr;
    QListWidget* leaguePlayers_ = nullptr;
    QListWidget* tournamentPlayers_ = nullptr;
    QListWidget* currentDuel_ = nullptr;
    QLabel* refusal_ = nullptr;
};

} // namespace kuzelna
