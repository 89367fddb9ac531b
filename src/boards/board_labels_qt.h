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

// A transparent plain-text label. A rect of width 0 sizes the label to its text
// (and again whenever the text changes); otherwise its height is the font's cell
// height unless given.
QLabel* boardLabel(QWidget* parent, const QString& name, QRect rect, const QFont& font,
                   Qt::Alignment alignment, const QColor& colour = QColor());

// Sets a label's text; a label sized to its text follows its new width.
void setBoardText(QLabel* label, const QString& text);
void setBoardText(QLabel* label, const std::string& cp1250Text);

// Width of the primary screen in pixels, where automatic placement puts a board.
int primaryScreenWidth();

} // namespace kuzelna
