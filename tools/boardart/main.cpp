// Draws the background picture of the results board and writes it as a JPEG.
// Run at build time; the board window embeds the result.

#include "boards/results_board_art.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

using namespace kuzelna::boardart;

namespace {

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(static_cast<QRgb>(value));
}

QRect rect(Span x, Span y) {
    return QRect(x.from, y.from, x.to - x.from, y.to - y.from);
}

void cell(QPainter& painter, const QRect& r, std::uint32_t fill, int radius = 4) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(rgb(fill));
    painter.drawRoundedRect(r, radius, radius);
    // A light top edge and a dark bottom edge lift the cell off the band.
    painter.setPen(QPen(rgb(fill).lighter(135), 1));
    painter.drawLine(r.left() + radius, r.top(), r.right() - radius, r.top());
    painter.setPen(QPen(rgb(fill).darker(150), 1));
    painter.drawLine(r.left() + radius, r.bottom(), r.right() - radius, r.bottom());
}

QImage drawBoard() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(rgb(colour::kBackground));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    for (const Region& plate : kTitlePlates) {
        const QRect r = rect(plate.x, plate.y);
        painter.setPen(QPen(rgb(colour::kPlateEdge), 3));
        painter.setBrush(rgb(colour::kPlate));
        painter.drawRoundedRect(r.adjusted(1, 1, -1, -1), 10, 10);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(rgb(colour::kBand));
    painter.drawRect(rect({0, kWidth}, kHeaderBand));
    painter.drawRect(rect({0, kWidth}, kBottomBand));

    for (const auto& side : kColumnSpans) {
        for (const Span& column : side) {
            cell(painter, rect(column, kHeaderCells), colour::kRedCell);
            for (const Span& row : kRowSpans)
                cell(painter, rect(column, row), colour::kRowCell);
        }
    }
    for (const auto& side : kTotalsSpans)
        for (const Span& column : side)
            cell(painter, rect(column, kTotalsCells), colour::kRedCell);

    for (const Span& square : kMatchSquareSpans) {
        const QRect r = rect(square, kMatchSquareRows);
        painter.setPen(Qt::NoPen);
        painter.setBrush(rgb(colour::kSquareFrame));
        painter.drawRoundedRect(r, 6, 6);
        painter.setBrush(rgb(colour::kSquareFill));
        const int w = kSquareFrameWidth;
        painter.drawRoundedRect(r.adjusted(w, w, -w, -w), 3, 3);
    }
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "jpeg");
    writer.setQuality(92);
    if (!writer.write(drawBoard())) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
