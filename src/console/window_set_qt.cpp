#include "console/window_set_qt.h"

#include "aids/keypad_window.h"
#include "aids/manual_team_names_window.h"
#include "aids/startup_settings_window.h"
#include "boards/board_settings_dialog.h"
#include "boards/results_board_window.h"
#include "boards/tournament_board_window.h"
#include "commercial/public_play_window.h"
#include "console/central_error_handler_qt.h"
#include "console/help_window.h"
#include "console/main_window.h"
#include "core/errors.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "lanes/lane_server_qt.h"
#include "registry/name_note_dialog.h"
#include "registry/player_dialog.h"
#include "registry/registry_window.h"
#include "reports/accompanying_texts_dialog.h"
#include "reports/forms_path_dialog.h"
#include "reports/overview_window.h"
#include "reports/report_actions_qt.h"
#include "reports/result_exchange_qt.h"
#include "reports/spreadsheet_factory_qt.h"
#include "reports/throw_correction_dialog.h"
#include "scoring/kind_of_game_dialog.h"
#include "suddenvictory/sudden_victory_window.h"

#include <stdexcept>

namespace kuzelna {

namespace {

// The registry window reports the errors of its handlers from inside their
// catch blocks; they go the way of every other error.
void toCentralHandler(const std::exception& error) {
    // An operator error is made inside the catch block of what caused it.
    if (const auto* notice = dynamic_cast<const OperatorError*>(&error)) {
        KuzelnaApplication::handleError(std::make_exception_ptr(*notice));
        return;
    }
    std::exception_ptr current = std::current_exception();
    KuzelnaApplication::handleError(current ? current
                                            : std::make_exception_ptr(std::runtime_error(error.what())));
}

} // namespace

WindowSet::WindowSet(MatchState& state) : WindowSet(state, state.displayExtraDefault != 0) {}

WindowSet::WindowSet(MatchState& state, bool displayExtra) : state_(state) {
    main_ = create<TForm1>("TForm1", state_, displayExtra);
    ConsoleHooks& hooks = main_->hooks;
    // Failures the operator must act on reach the console's status line.
    KuzelnaApplication::showStatus = [this](const QString& status) {
        state_.controls.statusLine = toCp1250(status);
        main_->statusLineChanged();
    };
    const auto repaintConsole = [this] { main_->blockChanged(); };

    overview_ = create<Tvysl1>("Tvysl1", state_, main_); // centred on the console when shown
    hooks.toggleOverview = [this] { toggle(*overview_); };

    keypad_ = create<TKlavesnice>("Klavesnice", state_);
    hooks.toggleKeypad = [this] { toggle(*keypad_); };

    registry_ = create<THraci_main>("THraci_main", state_, toCentralHandler);
    clubDialog_ = create<NameNoteDialog>("Klub", NodeKind::Club);
    teamDialog_ = create<NameNoteDialog>("Druzstvo", NodeKind::Team);
    playerDialog_ = create<TForm_hrac>("Hrac");
    registry_->attachDialogs(clubDialog_, teamDialog_, playerDialog_);
    hooks.toggleRegistry = [this] { registry_->toggle(); };
    QObject::connect(registry_, &THraci_main::lineupsConfirmed, main_, repaintConsole);
    QObject::connect(registry_, &THraci_main::teamNamesChanged, main_, repaintConsole);

    kindOfGame_ = create<KindOfGameDialog>("Druh_hry", state_, main_);
    hooks.presetKindOfGame = [this] { kindOfGame_->presetAndToggle(); };
    hooks.toggleKindOfGame = [this] { kindOfGame_->toggle(); };
    QObject::connect(kindOfGame_, &KindOfGameDialog::applied, main_, repaintConsole);

    throwCorrection_ = create<TZmena_hodu>("Zmena_hodu", state_, overview_->selection(), overview_);
    overview_->setCorrectionDialog(throwCorrection_);

    resultsBoard_ = create<ResultsBoardWindow>("Vysledkova_tabule", state_);
    hooks.toggleResultsBoard = [this] { resultsBoard_->toggleFromButton(); };
    // The workbooks: the spreadsheet application of this platform.
    reports_ = std::make_unique<ReportActions>(state_, main_, platformSpreadsheet(), currentReportEnvironment,
                                               platformSpreadsheetInterrupt());
    // A workbook's outcome is in the status line; ranking also moves the entrant number.
    QObject::connect(reports_.get(), &ReportActions::finished, main_, [this] {
        main_->statusLineChanged();
        main_->entrantNumberChanged();
    });
    QObject::connect(reports_.get(), &ReportActions::tournamentFileChanged, main_,
                     &TForm1::tournamentFileChanged);
    hooks.settleWorkbooks = [this] { return reports_->settleBeforeQuit(); };
    // "Připravuji …" shows at once; the outcome follows when the office is done.
    hooks.writeMatchReport = [this](const MatchReportRequest& request) {
        reports_->writeMatchReport(request.form, request.duels, request.prefix);
        main_->statusLineChanged();
    };
    hooks.closeSpreadsheet = [this] {
        reports_->closeSpreadsheet();
        main_->statusLineChanged();
    };
    hooks.rankTournament = [this] {
        reports_->rankTournament();
        main_->statusLineChanged();
    };
    hooks.chooseTournamentFile = [this] { reports_->chooseTournamentFile(); };
    hooks.exportPlayer = [this](int slot, bool home) { reports_->exportPlayer(slot, home); };
    overview_->printPlayerResults = [this](bool home, int slot) {
        reports_->exportPlayer(slot, home);
        main_->statusLineChanged();
    };

    texts_ = create<TDopr_Text_Form>("Texty", state_);
    hooks.openTexts = [this] { texts_->open(); };

    startupSettings_ = create<TForm_Ovl_prvky>("Form_Ovl_prvky", state_);
    hooks.openStartupSettings = [this] { startupSettings_->open(); };

    formsPath_ = create<Tformular_cesta>("Cesta_k_formularum", state_);
    hooks.openTemplatePath = [this] { formsPath_->open(); };

    boardSettings_ = create<BoardSettingsDialog>("Nastaveni_tabule", state_, main_);
    hooks.openBoardSettings = [this] { boardSettings_->openFromMenu(); };

    publicPlay_ = create<TForm_hry>("Komercni_provoz", state_);
    hooks.showPublicPlay = [this] { bringToFront(*publicPlay_); };

    tournamentBoard_ = create<TournamentBoardWindow>("Turnaj", state_);
    hooks.toggleTournamentBoard = [this] { tournamentBoard_->toggleFromButton(); };

    suddenVictory_ = create<TForm_SV>("Sudden_Victory", state_);
    hooks.toggleSuddenVictory = [this] { toggle(*suddenVictory_); };
    QObject::connect(
        registry_, &THraci_main::playerCaptionsChanged, suddenVictory_,
        [this](const std::vector<std::string>& lines) { suddenVictory_->setPlayerCaptions(lines); });

    manualTeamNames_ = create<TForm_manual_druzstva>("Form_manual_druzstva", state_);
    hooks.openManualTeamNames = [this] { manualTeamNames_->open(); };
    QObject::connect(manualTeamNames_, &TForm_manual_druzstva::saved, main_, repaintConsole);

    help_ = create<HelpWindow>("Napoveda", state_);
    hooks.openHelp = [this] { help_->open(); };
    changes_ = create<ChangesWindow>("Zmeny");
    hooks.openChanges = [this] { changes_->open(); };
}

WindowSet::~WindowSet() {
    KuzelnaApplication::showStatus = nullptr;
    while (!owned_.empty())
        owned_.pop_back();
}

void WindowSet::connectLaneServer(LaneServer& server) {
    QObject::connect(&server, &LaneServer::laneChanged, main_, &TForm1::laneChanged);
    QObject::connect(&server, &LaneServer::blockChanged, main_, &TForm1::blockChanged);
    QObject::connect(&server, &LaneServer::matchEnded, main_, &TForm1::matchEnded);
    QObject::connect(&server, &LaneServer::nameSwapSeconds, main_, &TForm1::nameSwapSeconds);
    QObject::connect(&server, &LaneServer::scoreDigit, main_, &TForm1::scoreDigit);
    QObject::connect(&server, &LaneServer::statusLineChanged, main_, &TForm1::statusLineChanged);
    QObject::connect(&server, &LaneServer::runningIndicatorChanged, main_,
                     &TForm1::runningIndicatorChanged);
    QObject::connect(&server, &LaneServer::throwChanged, overview_, [this] { overview_->Zobr_text(); });
    QObject::connect(&server, &LaneServer::publicPlayChanged, publicPlay_, &TForm_hry::showDiagnostics);
}

void WindowSet::connectExchange(ResultExchange& exchange) {
    overview_->setExchange(exchange);
    main_->hooks.beforeQuit = [&exchange] { exchange.disconnectFtp(); };
    // The exchange has written the new texts into the state; the console shows them.
    QObject::connect(&exchange, &ResultExchange::statusLineChanged, main_, &TForm1::statusLineChanged);
    QObject::connect(&exchange, &ResultExchange::heartbeatChanged, main_, &TForm1::runningIndicatorChanged);
    QObject::connect(&exchange, &ResultExchange::advertCaptionChanged, main_, &TForm1::advertCaptionChanged);
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
