#include "boards/board_labels_qt.h"

#include "core/text_qt.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <cmath>

namespace kuzelna {
namespace {

constexpr const char* kAutoSized = "boardAutoSized";
constexpr const char* kClipped = "boardClipped";
constexpr const char* kDesignRect = "boardDesignRect";
constexpr const char* kDesignAlignment = "boardDesignAlignment";
constexpr const char* kDesignFont = "boardDesignFont";

// A name or title too long for its place is set smaller, down to this part of
// its size, before it is cut: the team letter and the first name stay readable.
constexpr double kSmallestFit = 0.7;

int advance(const QFont& font, const QString& text) {
    return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text))) + 1;
}

// Arial's ascent + descent per em (1854 + 434 of 2048 units); Liberation Sans
// shares these metrics.
constexpr double kCellPerEm = 2288.0 / 2048.0;

} // namespace

QString boardText(const std::string& cp1250Text) {
    return fromCp1250(cp1250Text);
}

QFont boardFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont boardFontByCell(int pixels, bool bold) {
    return boardFont(static_cast<int>(std::lround(pixels / kCellPerEm)), bold);
}

QFont fontByCell(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    // Scale by the cell of the font that actually serves the family.
    const double cellPerEm = QFontMetricsF(font).height() / pixels;
    font.setPixelSize(static_cast<int>(pixels / cellPerEm));
    return font;
}

QLabel* boardLabel(QWidget* parent, const QString& name, QRect rect, const QFont& font,
                   Qt::Alignment alignment, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(alignment);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    // One pixel more than the font's cell keeps rounding from clipping descenders.
    if (rect.height() == 0) rect.setHeight(static_cast<int>(std::ceil(QFontMetricsF(font).height())) + 1);
    if (rect.width() == 0) {
        label->setProperty(kAutoSized, true);
        rect.setWidth(1);
    }
    label->setProperty(kDesignRect, rect);
    label->setGeometry(rect);
    return label;
}

QLabel* clippedBoardLabel(QWidget* parent, const QString& name, QRect rect, const QFont& font,
                          Qt::Alignment alignment, const QColor& colour) {
    QLabel* label = boardLabel(parent, name, rect, font, alignment, colour);
    label->setProperty(kClipped, true);
    label->setProperty(kDesignAlignment, static_cast<int>(alignment));
    label->setProperty(kDesignFont, font);
    return label;
}

void setBoardText(QLabel* label, const std::string& cp1250Text) {
    setBoardText(label, boardText(cp1250Text));
}

void setBoardText(QLabel* label, const QString& text) {
    if (label->text() == text) return;
    label->setText(text);
    if (label->property(kClipped).toBool()) {
        QFont font = label->property(kDesignFont).value<QFont>();
        const int smallest = static_cast<int>(std::ceil(font.pixelSize() * kSmallestFit));
        int textWidth = advance(font, text);
        while (textWidth > label->width() && font.pixelSize() > smallest) {
            font.setPixelSize(font.pixelSize() - 1);
            textWidth = advance(font, text);
        }
        if (font != label->font()) label->setFont(font);
        // A cut text keeps its beginning in view.
        const auto alignment = Qt::Alignment(label->property(kDesignAlignment).toInt());
        label->setAlignment(textWidth > label->width() ? (alignment & Qt::AlignVertical_Mask) | Qt::AlignLeft
                                                       : alignment);
        return;
    }
    const int textWidth = advance(label->font(), text);
    // A text wider than its place widens the label from its anchor: the right
    // edge of a right-aligned number, the middle of a centred one.
    QRect rect = label->property(kDesignRect).toRect();
    if (label->property(kAutoSized).toBool()) {
        rect.setWidth(textWidth);
    } else if (textWidth > rect.width()) {
        const int grow = textWidth - rect.width();
        if (label->alignment() & Qt::AlignRight)
            rect.setLeft(rect.left() - grow);
        else if (label->alignment() & Qt::AlignHCenter)
            rect.adjust(-grow / 2, 0, grow - grow / 2, 0);
        else
            rect.setWidth(textWidth);
    }
    if (rect != label->geometry()) label->setGeometry(rect);
}

int primaryScreenWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

} // namespace kuzelna
