#pragma once

// A QR code of a text (the page's address, for phones to scan), by libqrencode.

#include <QImage>
#include <QString>

namespace kuzelna {

// Black modules on white, `moduleSize` pixels each, with the quiet zone of four
// modules around. A null image when the text does not fit a QR code.
QImage qrCodeImage(const QString& text, int moduleSize = 6);

} // namespace kuzelna
