#include "console/window_set_qt.h"

#include "aids/keypad_window.h"
#include "aids/manual_team_names_window.h"
#include "aids/startup_settings_window.h"
#include "console/main_window.h"
#include "core/match_state.h"
#include "scoring/kind_of_game_dialog.h"

namespace kuzelna {

WindowSet::WindowSet(MatchState& state) : state_(state) {
    main_ = create<MainWindow>(state_);
    ConsoleHooks& hooks = main_->hooks;

    keypad_ = create<KeypadWindow>(state_);
    hooks.toggleKeypad = [this] { toggle(*keypad_); };

    kindOfGame_ = create<KindOfGameDialog>(state_, main_);
    hooks.presetKindOfGame = [this] { kindOfGame_->presetAndToggle(); };
    hooks.toggleKindOfGame = [this] { kindOfGame_->toggle(); };
    QObject::connect(kindOfGame_, &KindOfGameDialog::applied, main_, &MainWindow::blockChanged);

    startupSettings_ = create<StartupSettingsWindow>(state_);
    hooks.openStartupSettings = [this] { startupSettings_->open(); };

    manualTeamNames_ = create<ManualTeamNamesWindow>(state_);
    hooks.openManualTeamNames = [this] { manualTeamNames_->open(); };
    QObject::connect(manualTeamNames_, &ManualTeamNamesWindow::saved, main_, &MainWindow::blockChanged);
}

WindowSet::~WindowSet() {
    while (!owned_.empty())
        owned_.pop_back();
}

void WindowSet::toggle(QWidget& window) {
    if (window.isVisible()) {
        window.hide();
    } else {
        window.show();
        window.raise();
    }
}

void WindowSet::bringToFront(QWidget& window) {
    window.hide();
    window.show();
    window.raise();
}

} // namespace kuzelna
