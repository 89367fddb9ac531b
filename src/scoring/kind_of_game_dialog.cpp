#include "scoring/kind_of_game_dialog.h"

#include "core/match_state.h"
#include "core/text_qt.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

namespace kuzelna {

namespace {

// A caption that confirms the dialog when clicked.
class ClickableCaption : public QLabel {
public:
    ClickableCaption(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) onClick_();
    }

private:
    std::function<void()> onClick_;
};

QListWidget* list(QWidget* parent, const char* name, const std::vector<std::string>& items, int x, int y,
                  int w, int h) {
    auto* box = new QListWidget(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const std::string& item : items)
        box->addItem(fromCp1250(item));
    box->setGeometry(x, y, w, h);
    box->setCurrentRow(0);
    return box;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y, int height = 13) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, 136, height);
    return label;
}

} // namespace

KindOfGameDialog::KindOfGameDialog(MatchState& state, QWidget* owner)
    : QDialog(nullptr), state_(state), owner_(owner) {
    setObjectName(QStringLiteral("Druh_hry"));
    setWindowTitle(QStringLiteral("Druh_hry"));
    setFixedSize(292, 390);
    setModal(false);

    caption(this, QStringLiteral("Druh hry:"), 8, 8);
    gameKind_ = list(this, "gameKind", gameKindItems(), 8, 24, 129, 100);
    caption(this, QStringLiteral("Počet drah:"), 152, 8);
    laneLayout_ = list(this, "laneLayout", laneLayoutItems(), 152, 24, 129, 52);
    caption(this, QStringLiteral("Volba drah:"), 152, 84);
    lanePair_ = list(this, "lanePair", lanePairItems(), 152, 100, 129, 36);
    caption(this, QStringLiteral("Počet hráčů:"), 8, 132);
    leaguePlayers_ = list(this, "leaguePlayers", leaguePlayerItems(), 8, 148, 129, 52);
    auto* tournamentCaption =
        new ClickableCaption(QStringLiteral("Turnaj- Hráčů"), this, [this] { confirm(); });
    tournamentCaption->setObjectName(QStringLiteral("tournamentCaption"));
    tournamentCaption->setGeometry(152, 144, 129, 13);
    tournamentPlayers_ = list(this, "tournamentPlayers", tournamentItems(), 152, 160, 129, 124);
    // Two lines: the caption is wider than its list.
    caption(this, QStringLiteral("Řízení hry - aktualní hráč"), 8, 200, 28)->setWordWrap(true);
    currentDuel_ = list(this, "currentDuel", currentDuelItems(), 8, 228, 129, 56);

    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("refusal"));
    refusal_->setGeometry(8, 290, 276, 52);
    refusal_->setWordWrap(true);
    refusal_->setStyleSheet(QStringLiteral("color: #c00000"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(56, 352, 75, 25);
    connect(ok, &QPushButton::clicked, this, &KindOfGameDialog::confirm);
    auto* cancel = new QPushButton(QStringLiteral("Storno"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setGeometry(160, 352, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] {
        refusal_->clear();
        hide();
    });
}

KindOfGameChoice KindOfGameDialog::choice() const {
    KindOfGameChoice c;
    c.gameKind = gameKind_->currentRow();
    c.laneLayout = laneLayout_->currentRow();
    c.lanePair = lanePair_->currentRow();
    c.leaguePlayers = leaguePlayers_->currentRow();
    c.tournamentPlayers = tournamentPlayers_->currentRow();
    c.currentDuel = currentDuel_->currentRow();
    return c;
}

void KindOfGameDialog::setChoice(const KindOfGameChoice& c) {
    gameKind_->setCurrentRow(c.gameKind);
    laneLayout_->setCurrentRow(c.laneLayout);
    lanePair_->setCurrentRow(c.lanePair);
    leaguePlayers_->setCurrentRow(c.leaguePlayers);
    tournamentPlayers_->setCurrentRow(c.tournamentPlayers);
    currentDuel_->setCurrentRow(c.currentDuel);
}

void KindOfGameDialog::presetAndToggle() {
    setChoice(presetChoice(state_, choice()));
    const bool tournament = state_.controls.tournament;
    leaguePlayers_->setEnabled(!tournament);
    tournamentPlayers_->setEnabled(tournament);
    toggle();
}

void KindOfGameDialog::toggle() {
    if (isVisible()) {
        hide();
    } else {
        refusal_->clear();
        if (owner_) move(owner_->frameGeometry().center() - rect().center());
        show();
        raise();
    }
}

void KindOfGameDialog::confirm() {
    const GameConfiguration config = configurationFromChoice(choice(), state_.controls.tournament);
    const std::string problem = applyConfiguration(state_, config);
    if (!problem.empty()) {
        refusal_->setText(fromCp1250(problem));
        return;
    }
    refusal_->clear();
    hide();
    emit applied();
}

} // namespace kuzelna
