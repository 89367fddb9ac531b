#include "reports/overview_window.h"

#include "core/match_state.h"
#include "core/text_qt.h"
#include "reports/result_exchange_qt.h"
#include "reports/throw_correction_dialog.h"
#include "scoring/throw_recording.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

namespace kuzelna {
namespace {

// Throws played unseen, waiting for the referee's correction.
const QColor kUnseenThrowColour(255, 170, 60);

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width = 72) {
    auto* result = new QLabel(text, parent);
    result->setGeometry(left, top, width, 16);
    return result;
}

} // namespace

Tvysl1::Tvysl1(MatchState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Tvysl1"));
    setWindowTitle(fromCp1250(overviewCaption(true)));
    setFixedSize(838, 661);
    setModal(false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    buildTeamGroup(home_, true, QStringLiteral("Dom\u00e1c\u00ed"), 8);
    buildTeamGroup(guest_, false, QStringLiteral("Host\u00e9"), 421);

    auto* nameGroup = new QGroupBox(this);
    nameGroup->setGeometry(8, 200, 822, 49);
    nameLabel_ = new QLabel(nameGroup);
    nameLabel_->setGeometry(4, 8, 814, 37);
    nameLabel_->setAlignment(Qt::AlignCenter);
    QFont nameFont = font();
    nameFont.setPixelSize(25);
    nameLabel_->setFont(nameFont);

    buildGrid();

    button3_ = new QPushButton(QStringLiteral("Button3"), guest_.box);
    button3_->setGeometry(320, 150, 75, 25);
    button3_->hide();
    connect(button3_, &QPushButton::clicked, this, [this] { prepocitej(state_, 1); });
    connectFtp_ = new QPushButton(QStringLiteral("Connect FTP"), this);
    connectFtp_->setGeometry(8, 630, 89, 25);
    connectFtp_->hide();
    connect(connectFtp_, &QPushButton::clicked, this, &Tvysl1::connectFtp);
    sendFtp_ = new QPushButton(QStringLiteral("Send to FTP"), this);
    sendFtp_->setGeometry(104, 630, 89, 25);
    sendFtp_->hide();
    connect(sendFtp_, &QPushButton::clicked, this, &Tvysl1::sendToFtp);

    Uprav_viditelnost();
    Zobr_text();
}

Tvysl1::~Tvysl1() = default;

void Tvysl1::buildTeamGroup(TeamGroup& group, bool home, const QString& title, int left) {
    group.box = new QGroupBox(title, this);
    group.box->setGeometry(left, 8, 409, 185);
    group.box->installEventFilter(this);

    group.playerCaption = label(group.box, QStringLiteral("Hr\u00e1\u010d:"), 16, 28, 36);
    group.combo = new QComboBox(group.box);
    group.combo->setGeometry(56, 24, 121, 21);
    for (int h = 1; h <= kLineupPlaces; ++h)
        group.combo->addItem(QStringLiteral("%1. Hr\u00e1\u010d").arg(h));
    group.combo->setCurrentIndex(-1);
    group.combo->setPlaceholderText(home ? QStringLiteral("Dom\u00e1c\u00ed") : QStringLiteral("Host"));
    group.combo->installEventFilter(this);
    connect(group.combo, &QComboBox::currentIndexChanged, this,
            [this, home](int index) { choosePlayer(home, index); });

    group.print = new QPushButton(QStringLiteral("TISK"), group.box);
    group.print->setGeometry(320, 22, 75, 25);
    connect(group.print, &QPushButton::clicked, this, [this, home] { print(home); });

    const QString captions[6] = {QStringLiteral("Pln\u00e9:"),
                                 QStringLiteral("Dor\u00e1\u017eka:"),
                                 QStringLiteral("Cbyby:"),
                                 QStringLiteral("Celkem:"),
                                 QStringLiteral("D\u00edl\u010d\u00ed:"),
                                 QStringLiteral("Dru\u017estva:")};
    for (int i = 0; i < 6; ++i) {
        const int x = i < 4 ? 16 : 200;
        const int y = 64 + 24 * (i < 4 ? i : i - 4);
        group.captions[i] = label(group.box, captions[i], x, y);
        group.values[i] = label(group.box, i >= 4 ? QStringLiteral("0") : QString(), x + 80, y);
    }
    group.pointsCaption = new QLabel(QStringLiteral("Body"), group.box);
    group.pointsCaption->setGeometry(200, 120, 72, 28);
    QFont pointsFont = font();
    pointsFont.setPixelSize(20);
    group.pointsCaption->setFont(pointsFont);
    group.pointsCaption->setStyleSheet(QStringLiteral("color: blue"));
}

void Tvysl1::buildGrid() {
    grid_ = new QTableWidget(kOverviewRows, kOverviewColumns, this);
    grid_->setGeometry(8, 256, 822, 368);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->setFrameShape(QFrame::NoFrame);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    // The throw numbers from 100 on must show whole: the grid is wide enough.
    grid_->setColumnWidth(0, 82);
    for (int c = 1; c < kOverviewColumns; ++c)
        grid_->setColumnWidth(c, 29);
    for (int r = 0; r < kOverviewRows; ++r) {
        grid_->setRowHeight(r, 23);
        for (int c = 0; c < kOverviewColumns; ++c)
            grid_->setItem(r, c, new QTableWidgetItem);
    }
    grid_->viewport()->installEventFilter(this);
}

void Tvysl1::setExchange(ResultExchange& exchange) {
    exchange_ = &exchange;
    connect(&exchange, &ResultExchange::overviewRefreshDue, this, &Tvysl1::Zobr_text);
}

void Tvysl1::setCorrectionDialog(TZmena_hodu* dialog) {
    correction_ = dialog;
    connect(dialog, &TZmena_hodu::throwCorrected, this, &Tvysl1::Zobr_text);
}

QLabel* Tvysl1::valueLabel(bool home, Value which) const {
    return group(home).values[static_cast<int>(which)];
}

QLabel* Tvysl1::captionLabel(bool home, Value which) const {
    return group(home).captions[static_cast<int>(which)];
}

void Tvysl1::Zobr_text() {
    const OverviewView view = overviewView(state_, selection_);
    for (int r = 0; r < kOverviewRows; ++r) {
        for (int c = 0; c < kOverviewColumns; ++c) {
            // The numbers' leading space would push " 100" out of its cell.
            QString text = fromCp1250(view.cell(c, r));
            if (c > 0 && text.size() > 1) text = text.trimmed();
            QTableWidgetItem* item = grid_->item(r, c);
            if (item->text() != text) item->setText(text);
            const bool unseen = view.unseen[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            item->setBackground(unseen ? QBrush(kUnseenThrowColour) : QBrush());
            item->setToolTip(unseen ? fromCp1250(view.unseenNote) : QString());
        }
    }
    grid_->setToolTip(fromCp1250(view.unseenNote));
    const TeamGroup& shown = group(selection_.homeShown);
    const std::string* values[5] = {&view.full, &view.clearing, &view.faults, &view.total, &view.setPoints};
    for (int i = 0; i < 5; ++i)
        shown.values[i]->setText(fromCp1250(*values[i]));
}

void Tvysl1::Uprav_viditelnost() {
    setWindowTitle(fromCp1250(overviewCaption(selection_.homeShown)));
    nameLabel_->setText(fromCp1250(overviewNameLabel(state_, selection_)));
    for (bool home : {true, false}) {
        const TeamGroup& g = group(home);
        const bool enabled = home == selection_.homeShown;
        g.playerCaption->setEnabled(enabled);
        for (QLabel* caption : g.captions)
            caption->setEnabled(enabled);
        g.pointsCaption->setEnabled(enabled);
    }
}

void Tvysl1::chooseSide(bool home) {
    selection_.homeShown = home;
    Uprav_viditelnost();
    // The grid follows at once rather than at the next refresh tick.
    Zobr_text();
}

void Tvysl1::choosePlayer(bool home, int index) {
    (home ? selection_.homePlayer : selection_.guestPlayer) = index >= 0 ? index + 1 : 1;
    chooseSide(home);
}

void Tvysl1::print(bool home) {
    chooseSide(home);
    if (printPlayerResults) printPlayerResults(home, selection_.shownSlot());
}

void Tvysl1::gridPressed(int column, int row) {
    selection_.clickedColumn = column;
    selection_.clickedRow = row;
    if (!correction_) return;
    if (isPinCell(state_, column, row)) correction_->openForCell();
    correction_->setValueText(clickedThrowText(state_, selection_));
}

void Tvysl1::connectFtp() {
    if (exchange_) exchange_->connectFtp();
}

void Tvysl1::sendToFtp() {
    const QString file = QFileDialog::getOpenFileName(this);
    if (file.isEmpty() || !exchange_) return;
    exchange_->sendToFtp(file.toStdString());
}

bool Tvysl1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (grid_ && watched == grid_->viewport() && type == QEvent::MouseButtonPress) {
        const QModelIndex cell = grid_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (cell.isValid()) gridPressed(cell.column(), cell.row());
        return true;
    }
    for (bool home : {true, false}) {
        const TeamGroup& g = group(home);
        const bool groupPressed = watched == g.box && type == QEvent::MouseButtonPress;
        const bool comboEntered =
            watched == g.combo && (type == QEvent::FocusIn || type == QEvent::ContextMenu);
        if (groupPressed || comboEntered) chooseSide(home);
    }
    return QDialog::eventFilter(watched, event);
}

void Tvysl1::showEvent(QShowEvent* event) {
    if (QWidget* owner = parentWidget()) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

} // namespace kuzelna
