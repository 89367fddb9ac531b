#pragma once

// Small pieces shared by the two board windows: their texts arrive as
// Windows-1250 bytes and are shown on transparent labels at fixed places.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string>

class QLabel;
class QWidget;

namespace kuzelna {

QString boardText(const std::string& cp1250Text);

// Arial at a character height (em) of `pixels`.
QFont boardFont(int pixels, bool bold = false);
// Arial whose cell (ascent + descent) is `pixels` high.
QFont boardFontByCell(int pixels, bool bold = false);
// Any family at the largest size whose cell fits in `pixels`.
QFont fontByCell(const QString& family, int pixels);

// A transparent plain-text label at `rect`; a height of 0 is the font's cell
// height, a width of 0 sizes the label to its text. A text wider than the label
// widens it from its alignment's anchor.
QLabel* boardLabel(QWidget* parent, const QString& name, QRect rect, const QFont& font,
                   Qt::Alignment alignment, const QColor& colour = QColor());
// The same, but a text wider than the label is cut at its edge.
QLabel* clippedBoardLabel(QWidget* parent, const QString& name, QRect rect, const QFont& font,
                          Qt::Alignment alignment, const QColor& colour = QColor());

// Sets a label's text and fits the label to it as above.
void setBoardText(QLabel* label, const QString& text);
void setBoardText(QLabel* label, const std::string& cp1250Text);

// Width of the primary screen in pixels, where automatic placement puts a board.
int primaryScreenWidth();

} // namespace kuzelna
