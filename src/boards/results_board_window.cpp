#include "boards/results_board_window.h"

#include "boards/board_labels_qt.h"
#include "boards/board_position.h"
#include "boards/results_board.h"
#include "core/match_state.h"
#include "core/text_qt.h"
#include "core/timing.h"

#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace kuzelna {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct SideLayout {
    const char* name;
    QRect title;
    std::array<QPoint, 6> headers; // JMÉNO, CEL, P, D, Bp, B
    std::array<int, kResultsBoardRows> rowY;
    // x and width of name, CEL, P, D, Bp, B in the player rows
    std::array<std::pair<int, int>, 6> columns;
    int duelXLastRows;                         // the B column of rows 7 and 8
    std::array<std::pair<int, int>, 5> totals; // CEL, P, D, Bp, B
    QRect matchPoints;
};

const std::array<SideLayout, 2> kLayout = {{
    {"home",
     {8, 32, 489, 60},
     {{{56, 120}, {219, 121}, {307, 121}, {363, 121}, {412, 121}, {470, 121}}},
     {184, 240, 296, 360, 416, 480, 536, 600},
     {{{8, 193}, {215, 64}, {292, 48}, {352, 48}, {417, 32}, {462, 40}}},
     462,
     {{{0, 97}, {96, 73}, {168, 70}, {232, 65}, {296, 57}}},
     {424, 657, 73, 53}},
    {"guest",
     {528, 32, 489, 60},
     {{{576, 120}, {739, 121}, {832, 120}, {883, 121}, {928, 121}, {987, 121}}},
     {184, 240, 304, 360, 416, 480, 536, 600},
     {{{536, 185}, {735, 64}, {809, 48}, {868, 48}, {929, 32}, {978, 40}}},
     976,
     {{{664, 97}, {760, 73}, {832, 73}, {896, 65}, {960, 65}}},
     {528, 657, 81, 53}},
}};

const std::array<const char*, 6> kHeaders = {"JMÉNO", "CEL", "P", "D", "Bp", "B"};
const std::array<const char*, 6> kColumnNames = {"name",     "total",     "full",
                                                 "clearing", "setPoints", "duelPoints"};
constexpr int kTotalsY = 665;

} // namespace

ResultsBoardWindow::ResultsBoardWindow(MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), state_(state) {
    resize(kWidth, kHeight);
    decimalSeparator_ = toCp1250(QLocale::system().decimalPoint());
    buildSide(0);
    buildSide(1);
    timer_.setInterval(scaledInterval(kRepaintInterval));
    connect(&timer_, &QTimer::timeout, this, &ResultsBoardWindow::refresh);
}

void ResultsBoardWindow::buildSide(int side) {
    const SideLayout& layout = kLayout[static_cast<std::size_t>(side)];
    const QString prefix = QString::fromLatin1(layout.name) + QLatin1Char('.');
    SideLabels& labels = sides_[static_cast<std::size_t>(side)];
    const QColor white(255, 255, 255);

    labels.title = clippedBoardLabel(this, prefix + "title", layout.title, boardFont(43), Qt::AlignCenter);

    for (std::size_t c = 0; c < kHeaders.size(); ++c) {
        QLabel* header =
            boardLabel(this, prefix + "header." + kColumnNames[c], QRect(layout.headers[c], QSize(0, 0)),
                       boardFont(32), Qt::AlignLeft | Qt::AlignTop, white);
        setBoardText(header, QString::fromUtf8(kHeaders[c]));
    }

    for (int r = 0; r < kResultsBoardRows; ++r) {
        const int y = layout.rowY[static_cast<std::size_t>(r)];
        const QString row = prefix + QStringLiteral("row%1.").arg(r + 1);
        const auto column = [&](std::size_t c, int dy, const QFont& font, Qt::Alignment alignment) {
            auto [x, width] = layout.columns[c];
            if (c == 5 && r >= 6) x = layout.duelXLastRows;
            const QRect rect(x, y + dy, width, 0);
            // A long name is cut at its column; numbers are always shown whole.
            return c == 0 ? clippedBoardLabel(this, row + kColumnNames[c], rect, font, alignment)
                          : boardLabel(this, row + kColumnNames[c], rect, font, alignment);
        };
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
        RowLabels& out = labels.rows[static_cast<std::size_t>(r)];
        out.name = column(0, 0, boardFont(31), Qt::AlignLeft | Qt::AlignTop);
        out.total = column(1, 1, boardFont(29), right);
        out.full = column(2, 1, boardFont(29), right);
        out.clearing = column(3, 0, boardFont(29), right);
        out.setPoints = column(4, 1, boardFont(29), right);
        out.duelPoints = column(5, 1, boardFont(29), right);
    }

    std::array<QLabel**, 5> totals = {&labels.total, &labels.full, &labels.clearing, &labels.setPoints,
                                      &labels.duelPoints};
    for (std::size_t c = 0; c < totals.size(); ++c) {
        const auto [x, width] = layout.totals[c];
        *totals[c] = boardLabel(this, prefix + "totals." + kColumnNames[c + 1], QRect(x, kTotalsY, width, 0),
                                boardFont(29), Qt::AlignHCenter | Qt::AlignTop, white);
    }
    labels.matchPoints =
        boardLabel(this, prefix + "matchPoints", layout.matchPoints, boardFont(47), Qt::AlignCenter, white);
}

void ResultsBoardWindow::refresh() {
    const ResultsBoardTexts texts = resultsBoardTexts(state_, decimalSeparator_);
    showSide(texts.home, sides_[0]);
    showSide(texts.guest, sides_[1]);
}

void ResultsBoardWindow::showSide(const ResultsBoardSide& texts, SideLabels& labels) {
    setBoardText(labels.title, texts.title);
    for (std::size_t r = 0; r < texts.rows.size(); ++r) {
        const ResultsBoardRow& row = texts.rows[r];
        RowLabels& out = labels.rows[r];
        setBoardText(out.name, row.name);
        setBoardText(out.total, row.total);
        setBoardText(out.full, row.full);
        setBoardText(out.clearing, row.clearing);
        setBoardText(out.setPoints, row.setPoints);
        setBoardText(out.duelPoints, row.duelPoints);
    }
    setBoardText(labels.total, texts.total);
    setBoardText(labels.full, texts.full);
    setBoardText(labels.clearing, texts.clearing);
    setBoardText(labels.setPoints, texts.setPoints);
    setBoardText(labels.duelPoints, texts.duelPoints);
    setBoardText(labels.matchPoints, texts.matchPoints);
}

// Rows 7 and 8 stay in the window (their values count in the sums) but the
// board shows six players a side.
void ResultsBoardWindow::hideLastTwoRows() {
    for (SideLabels& side : sides_) {
        for (std::size_t r = 6; r < side.rows.size(); ++r) {
            RowLabels& row = side.rows[r];
            for (QLabel* label : {row.name, row.total, row.full, row.clearing, row.setPoints, row.duelPoints})
                label->hide();
        }
    }
}

void ResultsBoardWindow::placeOnScreen() {
    const BoardPosition position = boardPosition(state_, primaryScreenWidth());
    move(position.left, position.top);
}

void ResultsBoardWindow::toggleFromButton() {
    if (isHidden()) {
        hideLastTwoRows();
        placeOnScreen();
    }
    setVisible(isHidden());
    if (isVisible())
        timer_.start();
    else
        timer_.stop();
    placeOnScreen();
    resize(width(), kHeight);
}

const QPixmap& ResultsBoardWindow::background() const {
    // Decoded once, when the board is first drawn: most runs never show it,
    // and the start of the program does not wait for the artwork.
    if (!backgroundRead_) {
        backgroundRead_ = true;
        QImageReader reader(QStringLiteral(":/boards/results_board.jpg"), "jpeg");
        background_ = QPixmap::fromImage(reader.read());
    }
    return background_;
}

void ResultsBoardWindow::paintEvent(QPaintEvent*) {
    refresh();
    QPainter painter(this);
    const QPixmap& picture = background();
    if (picture.isNull())
        painter.fillRect(rect(), QColor::fromRgb(0x0E1621));
    else
        painter.drawPixmap(0, 0, picture);
}

void ResultsBoardWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the picture hides the board; the repaint timer keeps
    // running until the button hides the board.
    const QWidget* child = childAt(event->position().toPoint());
    if (child && child->isVisible()) return;
    hide();
}

} // namespace kuzelna
