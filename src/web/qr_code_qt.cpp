#include "web/qr_code_qt.h"

#include <qrencode.h>

#include <QPainter>

#include <memory>

namespace kuzelna {

QImage qrCodeImage(const QString& text, int moduleSize) {
    const QByteArray utf8 = text.toUtf8();
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code) return {};
    constexpr int kQuietModules = 4;
    const int modules = code->width + 2 * kQuietModules;
    QImage image(modules * moduleSize, modules * moduleSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                painter.fillRect((x + kQuietModules) * moduleSize, (y + kQuietModules) * moduleSize,
                                 moduleSize, moduleSize, Qt::black);
            }
        }
    }
    return image;
}

} // namespace kuzelna
