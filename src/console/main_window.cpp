#include "console/main_window.h"

#include "console/lane_drawing.h"
#include "core/match_state.h"
#include "core/number_field_qt.h"
#include "core/text_qt.h"
#include "core/typed_number.h"
#include "suddenvictory/sudden_victory.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>

namespace kuzelna {

namespace {

// Font sizes of the console in pixels, as 8 pt and 14 pt come out on a 96 dpi screen.
constexpr int kSmallFontPixels = 11;
constexpr int kLargeFontPixels = 19;

// The lane picture stays inside this box around its origin.
constexpr int kLaneBoxWidth = 121;
constexpr int kLaneBoxHeight = 240;

QFont consoleFont(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

QColor lampColour(LampColour colour) {
    switch (colour) {
    case LampColour::Green:
        return QColor(0, 128, 0);
    case LampColour::Yellow:
        return QColor(255, 255, 0);
    case LampColour::Red:
        break;
    }
    return QColor(255, 0, 0);
}

// The canvas of the client area: the controls sit on it, the lanes are painted on it.
class ConsoleCanvas : public QWidget {
public:
    ConsoleCanvas(TForm1& window) : QWidget(&window), window_(window) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        window_.paintConsole(painter, event->region());
    }

private:
    TForm1& window_;
};

} // namespace

TForm1::TForm1(MatchState& state, QWidget* parent) : TForm1(state, state.displayExtraDefault != 0, parent) {}

TForm1::TForm1(MatchState& state, bool displayExtra, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      state_(state) {
    setWindowTitle(QStringLiteral("Server - Domácí Hoste"));
    setObjectName(QStringLiteral("TForm1"));
    setFont(consoleFont(kSmallFontPixels));
    canvas_ = new ConsoleCanvas(*this);
    canvas_->setObjectName(QStringLiteral("console"));
    canvas_->setFixedSize(kConsoleWidth, kConsoleHeight);
    setCentralWidget(canvas_);
    buildControls();
    displayExtra_->setChecked(displayExtra);
    buildMenu();
    readControlsIntoState();
    adjustSize();
    setFixedSize(sizeHint());
}

void TForm1::buildControls() {
    QWidget* c = canvas_;
    auto button = [c](const char* name, const QString& caption, int x, int y, int w, int h) {
        auto* b = new QPushButton(caption, c);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, h);
        return b;
    };
    auto check = [c](const char* name, const QString& caption, int x, int y, int w) {
        auto* b = new QCheckBox(caption, c);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, 17);
        return b;
    };
    auto label = [c](const QString& caption, int x, int y, int w) {
        auto* l = new QLabel(caption, c);
        l->setGeometry(x, y, w, 13);
        return l;
    };
    auto call = [](const std::function<void()>& hook) {
        if (hook) hook();
    };

    // The report buttons' frame goes first so that its buttons lie on top of it.
    auto* reportFrame = new QGroupBox(c);
    reportFrame->setObjectName(QStringLiteral("reportFrame"));
    reportFrame->setGeometry(328, 456, 209, 81);

    connect(button("overviewButton", QStringLiteral("Výsledky - hráči"), 8, 512, 89, 25),
            &QPushButton::clicked, this, [this, call] { call(hooks.toggleOverview); });
    connect(button("boardButton", QStringLiteral("Výsledková tabule"), 104, 512, 97, 25),
            &QPushButton::clicked, this, [this, call] {
                call(state_.controls.tournament ? hooks.toggleTournamentBoard : hooks.toggleResultsBoard);
            });
    connect(button("keypadButton", QStringLiteral("Klávesnice"), 208, 512, 75, 25), &QPushButton::clicked,
            this, [this, call] { call(hooks.toggleKeypad); });
    connect(button("gameButton", QStringLiteral("Hra"), 616, 512, 75, 25), &QPushButton::clicked, this,
            [this, call] { call(hooks.presetKindOfGame); });
    connect(button("registryButton", QStringLiteral("Hráči"), 704, 512, 75, 25), &QPushButton::clicked, this,
            [this, call] { call(hooks.toggleRegistry); });

    startButton_ = button("startButton", QStringLiteral("Start"), 688, 456, 89, 41);
    connect(startButton_, &QPushButton::clicked, this, [this] {
        startButton_->setText(fromCp1250(pressStart(state_)));
        // Start without a lane link says so in the status line and on the indicator.
        statusLineChanged();
        runningIndicatorChanged();
        canvas_->update();
    });

    struct Report {
        const char* name;
        const char* caption;
        int x, y, w;
        ReportButton kind;
    };
    const Report reports[] = {
        {"newReport", "Nové", 336, 472, 45, ReportButton::New},
        {"youthReport", "Dorost", 384, 472, 45, ReportButton::Youth},
        {"oldReport", "Staré", 432, 472, 45, ReportButton::Old},
        {"specialReport", "Special", 480, 472, 49, ReportButton::Special},
        {"zlinReport", "100H divize zlín", 336, 504, 93, ReportButton::ZlinDivision},
        {"womenReport", "Zeny", 432, 504, 45, ReportButton::Women},
    };
    for (const Report& r : reports) {
        connect(button(r.name, QString::fromUtf8(r.caption), r.x, r.y, r.w, 25), &QPushButton::clicked, this,
                [this, kind = r.kind] { requestReport(kind); });
    }
    connect(button("closeSpreadsheet", QStringLiteral("Zavři"), 480, 504, 49, 25), &QPushButton::clicked,
            this, [this, call] { call(hooks.closeSpreadsheet); });
    connect(button("monitorReport", QStringLiteral("Výsledky pro monitor"), 328, 424, 209, 25),
            &QPushButton::clicked, this, [this] { requestReport(ReportButton::Monitor); });

    nameSwapButton_ = button("nameSwapButton", QStringLiteral("Vymena jmen"), 688, 408, 75, 25);
    connect(nameSwapButton_, &QPushButton::clicked, this, [this] { releaseNameSwap(state_); });
    label(QStringLiteral("Prohodit jména"), 688, 392, 80);

    connect(button("rankingButton", QStringLiteral("Zjisti pořadí"), 96, 368, 75, 25), &QPushButton::clicked,
            this, [this, call] { call(hooks.rankTournament); });
    tournamentFile_ = new QLineEdit(QStringLiteral("turnaj.xls"), c);
    tournamentFile_->setObjectName(QStringLiteral("tournamentFile"));
    tournamentFile_->setGeometry(184, 368, 121, 21);
    connect(tournamentFile_, &QLineEdit::textChanged, this, [this] { readControlsIntoState(); });
    connect(button("tournamentFileButton", QStringLiteral("Soubor turnaje"), 208, 400, 89, 25),
            &QPushButton::clicked, this, [this, call] { call(hooks.chooseTournamentFile); });

    label(QStringLiteral("Tato hra začíná hráčem č.:"), 26, 405, 134);
    entrantNumber_ = new QLineEdit(QStringLiteral("1"), c);
    entrantNumber_->setObjectName(QStringLiteral("entrantNumber"));
    entrantNumber_->setGeometry(160, 400, 29, 21);
    entrantNumber_->setValidator(new NumberFieldValidator(
        [](std::string_view text) { return parseEntrantNumber(text).has_value(); }, entrantNumber_));
    connect(entrantNumber_, &QLineEdit::textChanged, this, [this] { readControlsIntoState(); });
    auto* up = new QToolButton(c);
    up->setObjectName(QStringLiteral("entrantUp"));
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(189, 400, 15, 11);
    connect(up, &QToolButton::clicked, this, [this] { stepEntrantNumber(1); });
    auto* down = new QToolButton(c);
    down->setObjectName(QStringLiteral("entrantDown"));
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(189, 411, 15, 10);
    connect(down, &QToolButton::clicked, this, [this] { stepEntrantNumber(-1); });

    tournament_ = check("tournament", QStringLiteral("Turnaj"), 16, 424, 57);
    tournament_->setChecked(state_.tournamentDefault != 0);
    displayExtra_ = check("displayExtra", QStringLiteral("Display extra"), 80, 424, 97);
    pairs_ = check("pairs", QStringLiteral("Dvojice"), 16, 376, 65);

    label(QStringLiteral("Zobrazování dílčích bodů"), 8, 448, 150);
    setPointGroup_ = new QButtonGroup(this);
    struct Radio {
        const char* caption;
        SetPointDisplay value;
        int x, y;
    };
    const Radio radios[] = {
        {"Vypnuto", SetPointDisplay::Off, 8, 464},      {"Display", SetPointDisplay::Display, 8, 480},
        {"12 znak", SetPointDisplay::Chars12, 8, 496},  {"15 znak", SetPointDisplay::Chars15, 96, 464},
        {"18 znak", SetPointDisplay::Chars18, 96, 480},
    };
    for (const Radio& r : radios) {
        auto* radio = new QRadioButton(QString::fromLatin1(r.caption), c);
        radio->setObjectName(QStringLiteral("setPoints") + QString::number(static_cast<int>(r.value)));
        radio->setGeometry(r.x, r.y, 81, 17);
        setPointGroup_->addButton(radio, static_cast<int>(r.value));
        if (r.value == SetPointDisplay::Off) radio->setChecked(true);
    }

    monitors_ = check("monitors", QStringLiteral("Zap/vyp monitory"), 200, 432, 121);
    monitorTwoLanes_ = check("monitorTwoLanes", QStringLiteral("Monitor na 2 drahy"), 200, 456, 121);
    monitorSums_ = check("monitorSums", QStringLiteral("Součty"), 200, 480, 121);
    monitorTwoLanes_->setEnabled(false);
    monitorSums_->setEnabled(false);
    connect(monitors_, &QCheckBox::toggled, this, [this](bool on) {
        monitorTwoLanes_->setEnabled(on);
        monitorSums_->setEnabled(on);
    });

    auto* runningBox = new QGroupBox(c);
    runningBox->setGeometry(560, 352, 105, 41);
    runningIndicator_ = new QRadioButton(QStringLiteral("Systém běží"), runningBox);
    runningIndicator_->setObjectName(QStringLiteral("runningIndicator"));
    runningIndicator_->setGeometry(8, 14, 90, 17);
    runningIndicator_->setAutoExclusive(false);
    runningBox->setEnabled(false);

    statusLine_ = new QLineEdit(fromCp1250(state_.controls.statusLine), c);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setGeometry(672, 360, 97, 21);
    statusLine_->setEnabled(false);

    advertButton_ = button("advertButton", QStringLiteral("Zobraz reklamu"), 560, 456, 105, 41);
    connect(advertButton_, &QPushButton::clicked, this, [this] {
        state_.controls.advertCaption = toggleAdvertising(state_);
        advertButton_->setText(fromCp1250(state_.controls.advertCaption));
    });

    for (int lane = 1; lane <= 4; ++lane) {
        const QByteArray name = "vysl" + QByteArray::number(lane);
        connect(button(name.constData(), QStringLiteral("Vysl") + QString::number(lane), 104 * lane + 104,
                       256, 75, 25),
                &QPushButton::clicked, this, [this, lane] { printLane(lane); });
    }

    // Held by the console and hidden: public play, the tie-break window and
    // whole-set scoring stay switched off unless zodided.ini asks for the
    // extended features ([Default] rozsirene=1).
    const bool extended = state_.extendedFeatures != 0;
    auto* games = button("gamesButton", QStringLiteral("Hry"), 560, 400, 41, 25);
    games->setVisible(extended);
    connect(games, &QPushButton::clicked, this, [this, call] { call(hooks.showPublicPlay); });
    auto* suddenVictory = button("suddenVictoryButton", QStringLiteral("Sudden Victory"), 560, 424, 89, 25);
    suddenVictory->setVisible(extended);
    connect(suddenVictory, &QPushButton::clicked, this, [this, call] { call(hooks.toggleSuddenVictory); });
    tandem_ = check("tandem", QStringLiteral("Tandem"), 608, 400, 65);
    tandem_->setVisible(extended);
    connect(tandem_, &QCheckBox::toggled, this, [this](bool on) { setWholeSetScoring(state_, on); });

    for (QCheckBox* box :
         {tournament_, displayExtra_, pairs_, monitors_, monitorTwoLanes_, monitorSums_, tandem_}) {
        connect(box, &QCheckBox::toggled, this, [this] { readControlsIntoState(); });
    }
    connect(setPointGroup_, &QButtonGroup::idToggled, this, [this] { readControlsIntoState(); });
}

void TForm1::buildMenu() {
    auto call = [](const std::function<void()>& hook) {
        if (hook) hook();
    };
    QMenuBar* bar = menuBar();
    connect(bar->addAction(QStringLiteral("Hra")), &QAction::triggered, this,
            [this, call] { call(hooks.toggleKindOfGame); });

    QMenu* results = bar->addMenu(QStringLiteral("Výsledky"));
    connect(results->addAction(QStringLiteral("Hráči")), &QAction::triggered, this,
            [this, call] { call(hooks.toggleOverview); });
    QMenu* report = results->addMenu(QStringLiteral("Zápis o utkání"));
    connect(report->addAction(QStringLiteral("Nové pravidla")), &QAction::triggered, this,
            [this] { requestReport(ReportButton::New); });
    connect(report->addAction(QStringLiteral("Staré pravidla")), &QAction::triggered, this,
            [this] { requestReport(ReportButton::Old); });
    report->addAction(QStringLiteral("Dorost")); // has never had a form of its own here

    QMenu* settings = bar->addMenu(QStringLiteral("Nastavení"));
    connect(settings->addAction(QStringLiteral("Hráči")), &QAction::triggered, this,
            [this, call] { call(hooks.toggleRegistry); });
    connect(settings->addAction(QStringLiteral("Doprovodné texty")), &QAction::triggered, this,
            [this, call] { call(hooks.openTexts); });
    connect(settings->addAction(QStringLiteral("Cesta k formulářům")), &QAction::triggered, this,
            [this, call] { call(hooks.openTemplatePath); });
    connect(settings->addAction(QStringLiteral("Ovládací prvky")), &QAction::triggered, this,
            [this, call] { call(hooks.openStartupSettings); });
    connect(settings->addAction(QStringLiteral("Výsledková tabule")), &QAction::triggered, this,
            [this, call] { call(hooks.openBoardSettings); });

    QAction* help = bar->addAction(QStringLiteral("Nápověda"));
    help->setShortcut(QKeySequence::HelpContents);
    connect(help, &QAction::triggered, this, [this, call] { call(hooks.openHelp); });
    connect(bar->addAction(QStringLiteral("Změny")), &QAction::triggered, this,
            [this, call] { call(hooks.openChanges); });

    QMenu* manual = bar->addMenu(QStringLiteral("Manualni ovladani"));
    connect(manual->addAction(QStringLiteral("Jmena druzstev na displeji")), &QAction::triggered, this,
            [this, call] { call(hooks.openManualTeamNames); });
}

QMenu* TForm1::matchMenu() {
    const QString title = QStringLiteral("Utkání");
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() && action->text() == title) return action->menu();
    }
    return menuBar()->addMenu(title);
}

void TForm1::restoreScoringSwitches() {
    const QSignalBlocker blockTournament(tournament_), blockTandem(tandem_);
    tournament_->setChecked(state_.controls.tournament);
    tandem_->setChecked(state_.controls.tandem);
    statusLineChanged();
    runningIndicatorChanged();
    advertCaptionChanged();
    entrantNumberChanged();
    tournamentFileChanged();
}

void TForm1::showStoredMatch(const QString& name) {
    setWindowTitle(QStringLiteral("Server - Domácí Hoste - ") + name);
    startButton_->setEnabled(false);
    prekresly(0);
}

void TForm1::readControlsIntoState() {
    ConsoleControls& controls = state_.controls;
    controls.tournament = tournament_->isChecked();
    controls.displayExtra = displayExtra_->isChecked();
    controls.pairs = pairs_->isChecked();
    controls.setPointDisplay = static_cast<SetPointDisplay>(std::max(0, setPointGroup_->checkedId()));
    controls.monitorsOn = monitors_->isChecked();
    controls.monitorTwoLanes = monitorTwoLanes_->isChecked();
    controls.monitorSums = monitorSums_->isChecked();
    controls.tandem = tandem_->isChecked();
    controls.entrantNumberText = toCp1250(entrantNumber_->text());
    controls.tournamentFile = toCp1250(tournamentFile_->text());
}

void TForm1::statusLineChanged() {
    const QString status = fromCp1250(state_.controls.statusLine);
    if (statusLine_->text() == status) return;
    statusLine_->setText(status);
    statusLine_->setCursorPosition(0);
    statusLine_->setToolTip(status); // the field is narrow; the whole text on hover
}

void TForm1::runningIndicatorChanged() {
    const ConsoleControls& controls = state_.controls;
    if (runningIndicator_->isChecked() != controls.systemRunningIndicator) {
        runningIndicator_->setChecked(controls.systemRunningIndicator);
    }
    // While the lane link is not up the indicator says so, in red.
    const QString link = fromCp1250(controls.linkIndicator);
    const QString indicator = link.isEmpty() ? QStringLiteral("Systém běží") : link;
    if (runningIndicator_->text() != indicator) {
        runningIndicator_->setText(indicator);
        QPalette palette = runningIndicator_->parentWidget()->palette();
        if (!link.isEmpty()) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                palette.setColor(group, QPalette::WindowText, Qt::red);
        }
        runningIndicator_->setPalette(palette);
    }
}

void TForm1::advertCaptionChanged() {
    const QString advert = fromCp1250(state_.controls.advertCaption);
    if (advertButton_->text() != advert) advertButton_->setText(advert);
}

void TForm1::entrantNumberChanged() {
    const QString entrant = fromCp1250(state_.controls.entrantNumberText);
    if (entrantNumber_->text() != entrant) entrantNumber_->setText(entrant);
}

void TForm1::tournamentFileChanged() {
    const QString file = fromCp1250(state_.controls.tournamentFile);
    if (tournamentFile_->text() != file) tournamentFile_->setText(file);
}

void TForm1::stepEntrantNumber(int delta) {
    const int current = parseEntrantNumber(toCp1250(entrantNumber_->text())).value_or(kFirstEntrantNumber);
    entrantNumber_->setText(
        QString::number(std::clamp(current + delta, kFirstEntrantNumber, kLastEntrantNumber)));
}

void TForm1::requestReport(ReportButton button) {
    const MatchReportRequest request = matchReportRequest(state_, button);
    if (hooks.writeMatchReport) hooks.writeMatchReport(request);
}

void TForm1::printLane(int lane) {
    // The export reports its outcome in the status line when it is done.
    const std::optional<LaneExport> request = lanePlayerExport(state_, lane);
    if (!request) return;
    state_.controls.statusLine = request->status;
    statusLineChanged();
    if (!hooks.exportPlayer) throw std::runtime_error("player result sheets are not available");
    hooks.exportPlayer(request->slot, request->home);
    statusLineChanged();
}

void TForm1::laneChanged(int lane) {
    prekresly(lane);
}

void TForm1::blockChanged() {
    prekresly(0);
}

void TForm1::matchEnded() {
    startButton_->setText(QString::fromLatin1(kMatchEndCaption));
}

void TForm1::nameSwapSeconds(int seconds) {
    nameSwapButton_->setText(QString::number(seconds));
}

void TForm1::scoreDigit(int x, const QString& text) {
    // Every score frame sends all the digits again; most of them stand.
    const auto it = scoreDigits_.constFind(x);
    if (it != scoreDigits_.cend() && *it == text) return;
    scoreDigits_[x] = text;
    canvas_->update(x, 400, 40, kLargeFontPixels + 6);
}

void TForm1::prekresly(int lane) {
    if (lane <= 0) {
        canvas_->update();
        return;
    }
    const LanePoint origin = laneOrigin(lane, state_.laneCount);
    canvas_->update(origin.x, origin.y, kLaneBoxWidth, kLaneBoxHeight);
}

void TForm1::paintConsole(QPainter& painter, const QRegion& dirty) {
    // A lane's answer repaints its own box only: the others are not drawn again.
    const int lanes = std::clamp(state_.laneCount, 1, kMaxLanes);
    for (int lane = 1; lane <= lanes; ++lane) {
        const LanePoint origin = laneOrigin(lane, lanes);
        if (!dirty.intersects(QRect(origin.x, origin.y, kLaneBoxWidth, kLaneBoxHeight))) continue;
        Kresli_drahu(painter, lane, origin.x, origin.y);
    }
    painter.setPen(Qt::black);
    const QRect teamLineBox(350, 350, 200, kSmallFontPixels + 4);
    if (dirty.intersects(teamLineBox)) {
        painter.setFont(consoleFont(kSmallFontPixels));
        painter.drawText(teamLineBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         fromCp1250(teamLine(state_)));
    }

    painter.setFont(consoleFont(kLargeFontPixels));
    for (auto it = scoreDigits_.cbegin(); it != scoreDigits_.cend(); ++it) {
        const QRect digitBox(it.key(), 400, 20, kLargeFontPixels + 4);
        if (dirty.intersects(digitBox)) painter.drawText(digitBox, Qt::AlignLeft | Qt::AlignTop, it.value());
    }
}

void TForm1::Kresli_drahu(QPainter& painter, int lane, int x0, int y0) {
    const LaneStatus& status = state_.laneStatus[static_cast<std::size_t>(lane)];
    const QColor window = canvas_->palette().color(QPalette::Window);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int lamp = 1; lamp <= 14; ++lamp) {
        const QColor colour = lampColour(kLampColours[static_cast<std::size_t>(lamp)]);
        const LanePoint at = kLampPositions[static_cast<std::size_t>(lamp)];
        painter.setPen(colour);
        painter.setBrush(lampLit(status, lamp) ? colour : window);
        painter.drawEllipse(QRectF(x0 + 2 * at.x + 0.5, y0 + 2 * at.y + 0.5, kLampSize - 1, kLampSize - 1));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setBrush(window);
    painter.setPen(Qt::black);
    painter.setFont(consoleFont(kLargeFontPixels));
    auto text = [&painter](int x, int y, const std::string& bytes) {
        painter.drawText(QRect(x, y, 30, kLargeFontPixels + 4), Qt::AlignLeft | Qt::AlignTop,
                         fromCp1250(bytes));
    };
    for (int k = 0; k < 6; ++k) {
        const LanePoint first = kFirstRowPositions[static_cast<std::size_t>(k)];
        text(x0 + 2 * first.x - 4, y0 + 2 * first.y, displayDigitText(status, k + 1));
        const LanePoint second = kSecondRowPositions[static_cast<std::size_t>(k)];
        text(x0 + 2 * second.x - 4, y0 + 2 * second.y, displayDigitText(status, k + 9));
    }
    text(x0 + 46, y0 + 180, dotText(status));
    text(x0 + 16, y0 + 160, hundredsText(status));

    painter.setFont(consoleFont(kSmallFontPixels));
    painter.drawText(QRect(x0 + 20, y0 + 220, 96, kSmallFontPixels + 4),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     fromCp1250(laneCaption(state_, lane)));

    painter.setPen(QColor(128, 128, 128));
    painter.drawPolyline(
        QPolygon({QPoint(x0 + 15, y0 + 10), QPoint(x0 + 115, y0 + 10), QPoint(x0 + 115, y0 + 205),
                  QPoint(x0 + 15, y0 + 205), QPoint(x0 + 15, y0 + 10)}));
    painter.drawLine(x0 + 115, y0 + 155, x0 + 15, y0 + 155);
}

void TForm1::closeEvent(QCloseEvent* event) {
    const bool quit =
        hooks.confirmClose
            ? hooks.confirmClose()
            : QMessageBox::warning(this, windowTitle(), QStringLiteral("Opravdu chcete ukoncit program?"),
                                   QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    if (!quit || (hooks.settleWorkbooks && !hooks.settleWorkbooks())) {
        event->ignore();
        return;
    }
    if (hooks.beforeQuit) hooks.beforeQuit();
    event->accept();
    if (hooks.quit) {
        hooks.quit();
    } else {
        QCoreApplication::quit();
    }
}

} // namespace kuzelna
