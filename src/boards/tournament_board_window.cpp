#include "boards/tournament_board_window.h"

#include "boards/board_labels_qt.h"
#include "boards/board_position.h"
#include "boards/tournament_board.h"
#include "core/match_state.h"
#include "core/timing.h"

#include <QLabel>
#include <QPainter>

#include <exception>

namespace kuzelna {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Left and right column: x of place number, name, full, clearing, total.
struct ColumnLayout {
    int number, name, full, clearing, total;
};
constexpr std::array<ColumnLayout, 2> kColumns = {{{16, 56, 336, 384, 432}, {520, 560, 840, 888, 936}}};
constexpr int kNameWidth = 268;
constexpr int kValueDrop = 8; // full and clearing sit below the name
constexpr std::array<int, 2> kLiveNumberX = {24, 528};
constexpr std::array<int, 3> kLiveRowY = {624, 664, 704};

const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kGrey(128, 128, 128);

} // namespace

TournamentBoardWindow::TournamentBoardWindow(MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), state_(state) {
    resize(kWidth, kHeight);

    const std::array<const char*, 5> headers = {"P.", "Jmeno", "plne", "dor", "cel."};
    const std::array<const char*, 5> headerNames = {"number", "name", "full", "clearing", "total"};
    const std::array<std::array<int, 5>, 2> headerX = {{{16, 120, 336, 384, 448}, {520, 624, 840, 888, 944}}};
    for (std::size_t side = 0; side < headerX.size(); ++side) {
        for (std::size_t h = 0; h < headers.size(); ++h) {
            QLabel* label = boardLabel(this, QStringLiteral("header%1.%2").arg(side + 1).arg(headerNames[h]),
                                       QRect(headerX[side][h], side == 0 ? 0 : 8, 0, 0),
                                       boardFontByCell(20, true), Qt::AlignLeft | Qt::AlignTop, kGrey);
            setBoardText(label, QString::fromLatin1(headers[h]));
        }
    }

    for (int place = 1; place <= kTournamentPlaces; ++place) {
        const std::size_t side = place % 2 == 1 ? 0 : 1;
        const int row = (place + 1) / 2;
        const int y = (side == 0 ? 24 : 32) + 48 * (row - 1);
        places_[static_cast<std::size_t>(place - 1)] =
            buildLine(QStringLiteral("place%1.").arg(place), QStringLiteral("%1.").arg(place), side,
                      kColumns[side].number, y);
    }
    for (int position = 1; position <= kLivePositions; ++position) {
        const std::size_t side = position % 2 == 1 ? 0 : 1;
        const int y = kLiveRowY[static_cast<std::size_t>((position - 1) / 2)];
        live_[static_cast<std::size_t>(position - 1)] =
            buildLine(QStringLiteral("live%1.").arg(position), QStringLiteral("%1.").arg(position), side,
                      kLiveNumberX[side], y);
    }

    const QFont footerFont = fontByCell(QStringLiteral("MS Sans Serif"), 25);
    setBoardText(boardLabel(this, QStringLiteral("footer1"), QRect(120, 744, 0, 0), footerFont,
                            Qt::AlignLeft | Qt::AlignTop, kYellow),
                 QStringLiteral("Průběžné pořadí turnaje"));
    setBoardText(boardLabel(this, QStringLiteral("footer2"), QRect(656, 744, 0, 0), footerFont,
                            Qt::AlignLeft | Qt::AlignTop, kYellow),
                 QStringLiteral("Výše hráči právě na drahách"));

    timer_.setInterval(scaledInterval(kRepaintInterval));
    connect(&timer_, &QTimer::timeout, this, &TournamentBoardWindow::refresh);
}

TournamentBoardWindow::LineLabels TournamentBoardWindow::buildLine(const QString& prefix,
                                                                   const QString& number, std::size_t side,
                                                                   int numberX, int y) {
    const ColumnLayout& c = kColumns[side];
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    LineLabels line;
    line.number = boardLabel(this, prefix + "number", QRect(numberX, y, 0, 0), boardFontByCell(32, true),
                             topLeft, kWhite);
    setBoardText(line.number, number);
    line.name = clippedBoardLabel(this, prefix + "name", QRect(c.name, y, kNameWidth, 0),
                                  boardFontByCell(40, true), topLeft, kWhite);
    line.full = boardLabel(this, prefix + "full", QRect(c.full, y + kValueDrop, 0, 0),
                           boardFontByCell(25, true), topLeft, kWhite);
    line.clearing = boardLabel(this, prefix + "clearing", QRect(c.clearing, y + kValueDrop, 0, 0),
                               boardFontByCell(25, true), topLeft, kWhite);
    line.total = boardLabel(this, prefix + "total", QRect(c.total, y, 0, 0), boardFontByCell(40, true),
                            topLeft, kYellow);
    return line;
}

void TournamentBoardWindow::showLine(const TournamentLine& texts, LineLabels& labels) {
    setBoardText(labels.name, texts.name);
    setBoardText(labels.full, texts.full);
    setBoardText(labels.clearing, texts.clearing);
    setBoardText(labels.total, texts.total);
}

void TournamentBoardWindow::refresh() {
    const TournamentBoardTexts texts = tournamentBoardTexts(state_);
    for (std::size_t p = 0; p < places_.size(); ++p)
        showLine(texts.places[p], places_[p]);
    for (std::size_t p = 0; p < live_.size(); ++p) {
        showLine(texts.live[p], live_[p]);
        live_[p].number->setVisible(static_cast<int>(p) < texts.liveNumbersShown);
    }
}

void TournamentBoardWindow::placeOnScreen() {
    const BoardPosition position = boardPosition(state_, primaryScreenWidth());
    move(position.left, position.top);
}

void TournamentBoardWindow::toggleFromButton() {
    if (isHidden()) placeOnScreen();
    setVisible(isHidden());
    if (isVisible())
        timer_.start();
    else
        timer_.stop();
    placeOnScreen();
    resize(width(), kHeight);
}

void TournamentBoardWindow::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Qt::black);
    try {
        refresh();
    } catch (...) {
        // The error must not unwind through the widget painting code: it goes
        // on to the central handler from the event queue instead.
        QMetaObject::invokeMethod(
            this, [error = std::current_exception()] { std::rethrow_exception(error); },
            Qt::QueuedConnection);
    }
}

} // namespace kuzelna
