#pragma once

// Every window of the program, created once at start-up in a fixed order and
// kept until the program ends: windows are shown and hidden, never destroyed.
//
// To add a window: give it a member below, create it in the constructor at its
// place in the order with create<...>("ObjectName", ...), and fill the
// console's hooks (mainWindow().hooks) that open it. The order, by object name:
// TForm1 (console), Tvysl1 (overview), Klavesnice, THraci_main (registry),
// Klub, Druzstvo, Hrac, Druh_hry, Zmena_hodu (throw correction),
// Vysledkova_tabule, Texty, Form_Ovl_prvky, Cesta_k_formularum,
// Nastaveni_tabule, Komercni_provoz, Turnaj, Sudden_Victory, Form_manual_druzstva,
// then the help windows Napoveda and Zmeny.

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace kuzelna {

struct MatchState;
class LaneServer;
class TForm1;
class Tvysl1;
class TKlavesnice;
class THraci_main;
class NameNoteDialog;
class TForm_hrac;
class KindOfGameDialog;
class TZmena_hodu;
class TForm_Ovl_prvky;
class TForm_hry;
class TForm_SV;
class TForm_manual_druzstva;
class ResultsBoardWindow;
class BoardSettingsDialog;
class TournamentBoardWindow;
class TDopr_Text_Form;
class Tformular_cesta;
class ReportActions;
class ResultExchange;
class HelpWindow;
class ChangesWindow;

class WindowSet {
public:
    // The console's "Display extra" starts as [Default] matdisp says, or as
    // `displayExtra` says (the stored default stays as it is).
    explicit WindowSet(MatchState& state);
    WindowSet(MatchState& state, bool displayExtra);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // The lane link's notifications reach the windows: the lanes, the status
    // line and the link's state on the console, public play's diagnostics.
    void connectLaneServer(LaneServer& server);

    // The result exchange's status line, heartbeat and advertising caption
    // reach the console, its timer refreshes the overview, and the console's
    // close ends its FTP connection.
    void connectExchange(ResultExchange& exchange);

    TForm1& mainWindow() const { return *main_; }
    Tvysl1& overview() const { return *overview_; }
    TKlavesnice& keypad() const { return *keypad_; }
    THraci_main& registry() const { return *registry_; }
    KindOfGameDialog& kindOfGame() const { return *kindOfGame_; }
    TZmena_hodu& throwCorrection() const { return *throwCorrection_; }
    TForm_Ovl_prvky& startupSettings() const { return *startupSettings_; }
    TForm_hry& publicPlay() const { return *publicPlay_; }
    TForm_SV& suddenVictory() const { return *suddenVictory_; }
    TForm_manual_druzstva& manualTeamNames() const { return *manualTeamNames_; }
    HelpWindow& help() const { return *help_; }
    ChangesWindow& changes() const { return *changes_; }
    ResultsBoardWindow& resultsBoard() const { return *resultsBoard_; }
    BoardSettingsDialog& boardSettings() const { return *boardSettings_; }
    TournamentBoardWindow& tournamentBoard() const { return *tournamentBoard_; }
    TDopr_Text_Form& accompanyingTexts() const { return *texts_; }
    Tformular_cesta& formsPath() const { return *formsPath_; }
    // The workbooks: match report, tournament, ranking and player sheets.
    ReportActions& reports() const { return *reports_; }

    // Every window in the order it was created, the console first.
    const std::vector<QWidget*>& windows() const { return order_; }

    // Shows a hidden window or hides a shown one.
    static void toggle(QWidget& window);
    // Hides and shows a window again, which brings it to the front.
    static void bringToFront(QWidget& window);

private:
    template <class Window, class... Args> Window* create(const char* objectName, Args&&... args) {
        auto window = std::make_unique<Window>(std::forward<Args>(args)...);
        Window* raw = window.get();
        raw->setObjectName(QString::fromLatin1(objectName));
        order_.push_back(raw);
        owned_.push_back(std::move(window));
        return raw;
    }

    MatchState& state_;
    std::vector<QWidget*> order_;
    std::vector<std::unique_ptr<QWidget>> owned_; // destroyed in reverse order of creation

    TForm1* main_ = nullptr;
    Tvysl1* overview_ = nullptr;
    TKlavesnice* keypad_ = nullptr;
    THraci_main* registry_ = nullptr;
    NameNoteDialog* clubDialog_ = nullptr;
    NameNoteDialog* teamDialog_ = nullptr;
    TForm_hrac* playerDialog_ = nullptr;
    KindOfGameDialog* kindOfGame_ = nullptr;
    TZmena_hodu* throwCorrection_ = nullptr;
    TForm_Ovl_prvky* startupSettings_ = nullptr;
    TForm_hry* publicPlay_ = nullptr;
    TForm_SV* suddenVictory_ = nullptr;
    TForm_manual_druzstva* manualTeamNames_ = nullptr;
    HelpWindow* help_ = nullptr;
    ChangesWindow* changes_ = nullptr;
    ResultsBoardWindow* resultsBoard_ = nullptr;
    BoardSettingsDialog* boardSettings_ = nullptr;
    TournamentBoardWindow* tournamentBoard_ = nullptr;
    TDopr_Text_Form* texts_ = nullptr;
    Tformular_cesta* formsPath_ = nullptr;
    std::unique_ptr<ReportActions> reports_;
};

} // namespace kuzelna
