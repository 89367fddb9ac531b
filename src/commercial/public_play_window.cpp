#include "commercial/public_play_window.h"

#include "core/match_state.h"
#include "core/text_qt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kuzelna {

namespace {

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TForm_hry::TForm_hry(MatchState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setWindowTitle(QStringLiteral("Komerncny program"));

    publicPlayOn_ = new QCheckBox(QStringLiteral("Komercni provoz zapnut"), this);
    publicPlayOn_->setObjectName("publicPlayOn");
    publicPlayOn_->setChecked(state_.controls.publicPlayOn);
    connect(publicPlayOn_, &QCheckBox::toggled, this, [this](bool on) { state_.controls.publicPlayOn = on; });

    auto* laneBox = new QGroupBox(QStringLiteral("Draha c.: "), this);
    auto* laneRow = new QHBoxLayout(laneBox);
    auto* laneGroup = new QButtonGroup(this);
    for (int l = 1; l <= 8; ++l) {
        auto* radio = new QRadioButton(QString::number(l), laneBox);
        radio->setObjectName(QStringLiteral("lane%1").arg(l));
        // Only the lanes of the 4-lane alley can be set up here.
        radio->setEnabled(l <= 4);
        radio->setChecked(l == 1);
        laneGroup->addButton(radio);
        laneRow->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this, l] { chooseLane(l); });
        laneRadio_[static_cast<std::size_t>(l - 1)] = radio;
    }

    auto* gameBox = new QGroupBox(this);
    auto* gameRow = new QHBoxLayout(gameBox);
    const char* gameNames[] = {"gameOff", "gameGallows", "gameRace"};
    const QString gameCaptions[] = {QStringLiteral("Vypnuto"), QStringLiteral("Sibenice"),
                                    QStringLiteral("Dostihy")};
    for (int t = 0; t < 3; ++t) {
        auto* radio = new QRadioButton(gameCaptions[t], gameBox);
        radio->setObjectName(gameNames[t]);
        radio->setChecked(t == 0);
        gameRow->addWidget(radio);
        // clicked, not toggled: after "Nova hra" the operator picks the game
        // again even while the radio still shows it.
        connect(radio, &QRadioButton::clicked, this, [this, t] { game().gameType = static_cast<u8>(t); });
        gameRadio_[static_cast<std::size_t>(t)] = radio;
    }

    playerCount_ = new QComboBox(this);
    playerCount_->setObjectName("playerCount");
    for (int n = 1; n <= 6; ++n)
        playerCount_->addItem(QString::number(n));
    playerCount_->setCurrentIndex(0);
    connect(playerCount_, &QComboBox::activated, this,
            [this](int index) { game().playerCount = static_cast<u8>(index < 0 ? 0 : index + 1); });

    auto* turnBox = new QGroupBox(QStringLiteral("Nyni hraje"), this);
    auto* turnRow = new QHBoxLayout(turnBox);
    auto* turnGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        auto* radio = new QRadioButton(QString::number(i + 1), turnBox);
        radio->setObjectName(QStringLiteral("turn%1").arg(i + 1));
        radio->setChecked(i == 0);
        turnGroup->addButton(radio);
        turnRow->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this,
                [this, i] { game().currentPlayer = static_cast<u8>(i); });
        turnRadio_[static_cast<std::size_t>(i)] = radio;
    }

    auto* players = new QGridLayout;
    players->addWidget(new QLabel(QStringLiteral("Jmena hracu:"), this), 0, 1);
    players->addWidget(new QLabel(QStringLiteral("Pozice hry:"), this), 0, 2);
    players->addWidget(new QLabel(QStringLiteral("Pomocna pozice:"), this), 0, 3);
    for (int i = 0; i < 6; ++i) {
        const auto at = static_cast<std::size_t>(i);
        players->addWidget(new QLabel(QString::number(i + 1), this), i + 1, 0);
        name_[at] = new QLineEdit(this);
        name_[at]->setObjectName(QStringLiteral("name%1").arg(i + 1));
        stage_[at] = new QLineEdit(QStringLiteral("0"), this);
        stage_[at]->setObjectName(QStringLiteral("stage%1").arg(i + 1));
        marks_[at] = new QLineEdit(QStringLiteral("0"), this);
        marks_[at]->setObjectName(QStringLiteral("marks%1").arg(i + 1));
        players->addWidget(name_[at], i + 1, 1);
        players->addWidget(stage_[at], i + 1, 2);
        players->addWidget(marks_[at], i + 1, 3);
        // Names are stored at every change; positions only by "Ulozit zmeny".
        connect(name_[at], &QLineEdit::textEdited, this, [this, i](const QString& text) {
            game().playerName[static_cast<std::size_t>(i + 1)] = toCp1250(text);
        });
    }

    auto* saveButton = button(QStringLiteral("Ulozit zmeny"), "saveChanges", this);
    connect(saveButton, &QPushButton::clicked, this, &TForm_hry::saveChanges);
    auto* newGameButton = button(QStringLiteral("Nova hra"), "newGame", this);
    connect(newGameButton, &QPushButton::clicked, this, [this] { newGame(game()); });
    auto* zeroButton = button(QStringLiteral("Hrac hodil 0"), "zeroThrow", this);
    connect(zeroButton, &QPushButton::clicked, this, [this] {
        playZeroByHand(game(), state_.publicPlayDiagnostics);
        showDiagnostics();
    });
    auto* allNineButton = button(QStringLiteral("Vsech 9"), "allNine", this);
    connect(allNineButton, &QPushButton::clicked, this, [this] {
        playAllNineByHand(game(), state_.publicPlayDiagnostics);
        showDiagnostics();
    });
    auto* closeButton = button(QStringLiteral("Zavrit"), "close", this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    // Two buttons the window has always shown without any action.
    auto* switchOn1 = button(QStringLiteral("Zapnout"), "switchOn1", this);
    auto* switchOn2 = button(QStringLiteral("Zapnout "), "switchOn2", this);

    auto* diagnostics = new QHBoxLayout;
    for (int d = 0; d < 4; ++d) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("diagnostic%1").arg(d + 1));
        diagnostics->addWidget(edit);
        diagnostic_[static_cast<std::size_t>(d)] = edit;
    }

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("Pocet hracu:"), this));
    countRow->addWidget(playerCount_);
    countRow->addStretch();

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {saveButton, newGameButton, zeroButton, allNineButton, switchOn1, switchOn2, closeButton})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(publicPlayOn_);
    layout->addWidget(laneBox);
    layout->addWidget(gameBox);
    layout->addLayout(countRow);
    layout->addWidget(turnBox);
    layout->addLayout(players);
    layout->addLayout(buttons);
    layout->addLayout(diagnostics);
}

PublicPlayLane& TForm_hry::game() {
    return state_.publicLane[static_cast<std::size_t>(lane_)];
}

void TForm_hry::redraw() {
    const PublicPlayLane& g = game();
    for (int i = 0; i < 6; ++i) {
        const auto at = static_cast<std::size_t>(i);
        name_[at]->setText(fromCp1250(g.playerName[at + 1]));
        stage_[at]->setText(QString::number(g.gamePosition[at]));
        marks_[at]->setText(QString::number(g.auxPosition[at]));
    }
    const int shownGame = g.gameType == kGallows ? 1 : g.gameType == kRace ? 2 : 0;
    gameRadio_[static_cast<std::size_t>(shownGame)]->setChecked(true);
    if (g.playerCount >= 1 && g.playerCount <= 6) playerCount_->setCurrentIndex(g.playerCount - 1);
    const int shownTurn = g.currentPlayer >= 1 && g.currentPlayer <= 5 ? g.currentPlayer : 0;
    turnRadio_[static_cast<std::size_t>(shownTurn)]->setChecked(true);
}

void TForm_hry::chooseLane(int lane) {
    lane_ = lane;
    redraw();
}

void TForm_hry::saveChanges() {
    std::array<std::string, 6> stages, marks;
    for (std::size_t i = 0; i < 6; ++i) {
        stages[i] = toCp1250(stage_[i]->text());
        marks[i] = toCp1250(marks_[i]->text());
    }
    storePositions(game(), stages, marks);
}

void TForm_hry::showDiagnostics() {
    // Only the edits whose text changed repaint.
    for (std::size_t d = 0; d < 4; ++d) {
        const QString text = fromCp1250(state_.publicPlayDiagnostics.edit[d]);
        if (diagnostic_[d]->text() != text) diagnostic_[d]->setText(text);
    }
}

void TForm_hry::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    redraw();
}

// Coming back to the front shows what the lanes have played meanwhile.
void TForm_hry::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) redraw();
}

} // namespace kuzelna
