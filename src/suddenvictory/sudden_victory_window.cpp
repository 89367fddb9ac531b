#include "suddenvictory/sudden_victory_window.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "suddenvictory/sudden_victory.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kuzelna {

namespace {

const char* const kPairCaptions[] = {"Draha 1-2", "Draha 3-4", "Draha 5-6"};

} // namespace

TForm_SV::TForm_SV(MatchState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setWindowTitle(QStringLiteral("Sudden Victory"));

    auto* pairsRow = new QHBoxLayout;
    for (int q = 1; q <= kTieBreakPairs; ++q)
        pairsRow->addWidget(buildPair(q));

    auto* players = new QGridLayout;
    players->addWidget(new QLabel(QStringLiteral("B1"), this), 0, 1);
    players->addWidget(new QLabel(QStringLiteral("B2"), this), 0, 2);
    for (int r = 1; r <= kTieBreakRows; ++r) {
        auto* caption = new QLabel(QStringLiteral("Label27"), this);
        caption->setObjectName(QStringLiteral("player%1").arg(r));
        players->addWidget(caption, r, 0);
        playerCaption_[static_cast<std::size_t>(r - 1)] = caption;
        for (int set = 1; set <= kTieBreakSets; ++set) {
            auto* box = new QCheckBox(this);
            box->setObjectName(QStringLiteral("mark%1_%2").arg(r).arg(set));
            players->addWidget(box, r, set);
            // The boxes only write; they are never loaded from the marks.
            connect(box, &QCheckBox::clicked, this,
                    [this, r, set](bool checked) { markTieBreak(state_, r, set, checked); });
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pairsRow);
    layout->addLayout(players);
}

QWidget* TForm_SV::buildPair(int q) {
    PairControls& c = pairs_[static_cast<std::size_t>(q - 1)];
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);

    c.on = new QCheckBox(QString::fromLatin1(kPairCaptions[q - 1]), box);
    c.on->setObjectName(QStringLiteral("pair%1On").arg(q));
    connect(c.on, &QCheckBox::clicked, this, [this, q](bool checked) { setTieBreakOn(state_, q, checked); });
    grid->addWidget(c.on, 0, 0, 1, 3);

    for (int k = 0; k < 3; ++k) {
        const auto at = static_cast<std::size_t>(k);
        grid->addWidget(new QLabel(QString::number(k + 1), box), k + 1, 0);
        c.first[at] = new QLineEdit(box);
        c.first[at]->setObjectName(QStringLiteral("pair%1First%2").arg(q).arg(k + 1));
        c.second[at] = new QLineEdit(box);
        c.second[at]->setObjectName(QStringLiteral("pair%1Second%2").arg(q).arg(k + 1));
        grid->addWidget(c.first[at], k + 1, 1);
        grid->addWidget(c.second[at], k + 1, 2);
    }
    // The first throw of pair 1 is typed as a single key: each key replaces it.
    if (q == 1) c.first[0]->installEventFilter(this);

    grid->addWidget(new QLabel(QStringLiteral("SUM:"), box), 4, 0);
    c.firstSum = new QLabel(QStringLiteral("S1"), box);
    c.firstSum->setObjectName(QStringLiteral("pair%1FirstSum").arg(q));
    c.secondSum = new QLabel(QStringLiteral("S1"), box);
    c.secondSum->setObjectName(QStringLiteral("pair%1SecondSum").arg(q));
    grid->addWidget(c.firstSum, 4, 1);
    grid->addWidget(c.secondSum, 4, 2);

    auto* storeButton = new QPushButton(QStringLiteral("uloz"), box);
    storeButton->setObjectName(QStringLiteral("pair%1Store").arg(q));
    connect(storeButton, &QPushButton::clicked, this, [this, q] { store(q); });
    auto* clearButton = new QPushButton(QStringLiteral("Smazat"), box);
    clearButton->setObjectName(QStringLiteral("pair%1Clear").arg(q));
    connect(clearButton, &QPushButton::clicked, this, [this, q] { clear(q); });
    grid->addWidget(storeButton, 5, 1);
    grid->addWidget(clearButton, 5, 2);

    c.swapLanes = new QCheckBox(QStringLiteral("Prohod drahy"), box);
    c.swapLanes->setObjectName(QStringLiteral("pair%1Swap").arg(q));
    connect(c.swapLanes, &QCheckBox::toggled, this,
            [this, q](bool checked) { state_.controls.svSwapLanes[static_cast<std::size_t>(q)] = checked; });
    grid->addWidget(c.swapLanes, 6, 0, 1, 3);
    return box;
}

void TForm_SV::store(int q) {
    const PairControls& c = pairs_[static_cast<std::size_t>(q - 1)];
    std::array<std::string, 3> first, second;
    for (std::size_t k = 0; k < 3; ++k) {
        first[k] = toCp1250(c.first[k]->text());
        second[k] = toCp1250(c.second[k]->text());
    }
    const TieBreakSums sums = storeTieBreak(state_, q, first, second);
    c.firstSum->setText(QString::number(sums.first));
    c.secondSum->setText(QString::number(sums.second));
}

void TForm_SV::clear(int q) {
    const PairControls& c = pairs_[static_cast<std::size_t>(q - 1)];
    for (std::size_t k = 0; k < 3; ++k) {
        c.first[k]->setText(QStringLiteral("0"));
        c.second[k]->setText(QStringLiteral("0"));
    }
    c.firstSum->setText(QStringLiteral("0"));
    c.secondSum->setText(QStringLiteral("0"));
    clearTieBreak(state_, q);
}

void TForm_SV::setPlayerCaptions(const std::vector<std::string>& registryLines) {
    for (std::size_t r = 0; r < playerCaption_.size() && r < registryLines.size(); ++r)
        playerCaption_[r]->setText(fromCp1250(registryLines[r]));
}

bool TForm_SV::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == pairs_[0].first[0]) {
        // Moving on with Tab leaves the throw as it is.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Tab && key != Qt::Key_Backtab) pairs_[0].first[0]->clear();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kuzelna
