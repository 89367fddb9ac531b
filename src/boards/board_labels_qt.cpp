#include "boards/board_labels_qt.h"

#include "core/cp1250.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <cmath>

namespace kuzelna {
namespace {

constexpr const char* kAutoSized = "boardAutoSized";

// Arial's ascent + descent per em (1854 + 434 of 2048 units); Liberation Sans
// shares these metrics.
constexpr double kCellPerEm = 2288.0 / 2048.0;

} // namespace

QString boardText(const std::string& cp1250Text) {
    return QString::fromUtf8(cp1250::toUtf8(cp1250Text));
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
    if (rect.height() == 0) rect.setHeight(QFontMetrics(font).height());
    if (rect.width() == 0) {
        label->setProperty(kAutoSized, true);
        rect.setWidth(1);
    }
    label->setGeometry(rect);
    return label;
}

void setBoardText(QLabel* label, const std::string& cp1250Text) {
    setBoardText(label, boardText(cp1250Text));
}

void setBoardText(QLabel* label, const QString& text) {
    if (label->text() == text) return;
    label->setText(text);
    if (label->property(kAutoSized).toBool())
        label->resize(std::max(1, label->fontMetrics().horizontalAdvance(text)), label->height());
}

int primaryScreenWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

} // namespace kuzelna
