// Draws the program's icon, nine pins in their diamond seen from above, as an
// SVG and as PNG images of the sizes desktops ask for. Run at build time; one
// table below describes both, so the two never differ.
//
//     kuzelna-iconart OUTPUT_FOLDER      writes kuzelna.svg and kuzelna-<size>.png

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdio>

namespace {

// Units of a 256 x 256 canvas.
constexpr double kCanvas = 256;
constexpr double kPlateInset = 8;
constexpr double kPlateRadius = 44;
constexpr double kPinSpacing = 58; // between neighbours along a side of the diamond
constexpr double kPinRadius = 21;
constexpr double kPinRim = 4;
constexpr double kFieldStroke = 8;
constexpr double kFieldMargin = 27; // of the field's outline beyond the corner pins' centres

constexpr const char* kPlate = "#1d4f91";
constexpr const char* kField = "#3f74b8";
constexpr const char* kPin = "#ffffff";
constexpr const char* kPinRimColour = "#c9d3df";
constexpr const char* kKingPin = "#d8332a"; // the centre pin, the king

constexpr std::array<int, 8> kPngSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// Half the diagonal step between two neighbours of a side.
constexpr double kStep = kPinSpacing * 0.70710678118654752;

struct Pin {
    double x, y;
    bool king;
};

// The nine pins: a 3 x 3 square turned on its corner, the front pin at the
// bottom, the king in the middle.
std::array<Pin, 9> pins() {
    std::array<Pin, 9> result{};
    std::size_t n = 0;
    for (int right = -1; right <= 1; ++right) {
        for (int left = -1; left <= 1; ++left) {
            result[n++] = {kCanvas / 2 + (right - left) * kStep, kCanvas / 2 - (right + left) * kStep,
                           right == 0 && left == 0};
        }
    }
    return result;
}

// The field's outline: a diamond around the corner pins.
std::array<QPointF, 4> fieldCorners() {
    const double reach = 2 * kStep + kFieldMargin;
    const double c = kCanvas / 2;
    return {QPointF(c, c - reach), QPointF(c + reach, c), QPointF(c, c + reach), QPointF(c - reach, c)};
}

QString svg() {
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 256 256\">\n"
                          "  <title>Kuželna</title>\n");
    const double plate = kCanvas - 2 * kPlateInset;
    out += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"%4\"/>\n")
               .arg(kPlateInset)
               .arg(plate)
               .arg(kPlateRadius)
               .arg(QLatin1String(kPlate));
    QString points;
    for (const QPointF& p : fieldCorners())
        points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
    out += QStringLiteral("  <polygon points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                          "stroke-linejoin=\"round\"/>\n")
               .arg(points.trimmed(), QLatin1String(kField))
               .arg(kFieldStroke);
    for (const Pin& pin : pins()) {
        out += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" stroke=\"%5\" "
                              "stroke-width=\"%6\"/>\n")
                   .arg(pin.x)
                   .arg(pin.y)
                   .arg(kPinRadius - kPinRim / 2)
                   .arg(QLatin1String(pin.king ? kKingPin : kPin), QLatin1String(kPinRimColour))
                   .arg(kPinRim);
    }
    out += QStringLiteral("</svg>\n");
    return out;
}

QImage png(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(QLatin1String(kPlate)));
    const double plate = kCanvas - 2 * kPlateInset;
    painter.drawRoundedRect(QRectF(kPlateInset, kPlateInset, plate, plate), kPlateRadius, kPlateRadius);
    const auto corners = fieldCorners();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor(QLatin1String(kField)), kFieldStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolygon(corners.data(), static_cast<int>(corners.size()));
    painter.setPen(QPen(QColor(QLatin1String(kPinRimColour)), kPinRim));
    for (const Pin& pin : pins()) {
        painter.setBrush(QColor(QLatin1String(pin.king ? kKingPin : kPin)));
        const double r = kPinRadius - kPinRim / 2;
        painter.drawEllipse(QPointF(pin.x, pin.y), r, r);
    }
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot create the folder\n", argv[1]);
        return 1;
    }
    QFile svgFile(folder.filePath(QStringLiteral("kuzelna.svg")));
    if (!svgFile.open(QIODevice::WriteOnly) || svgFile.write(svg().toUtf8()) < 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(svgFile.fileName()), qPrintable(svgFile.errorString()));
        return 1;
    }
    for (int size : kPngSizes) {
        const QString name = folder.filePath(QStringLiteral("kuzelna-%1.png").arg(size));
        if (!png(size).save(name, "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
