// Draws the application icon from one list of shapes, both as PNG files at
// the sizes desktops ask for and as a scalable SVG of the same geometry:
//   <folder>/hicolor/<N>x<N>/apps/org.example.qel.png   N = 16 ... 256
//   <folder>/hicolor/scalable/apps/org.example.qel.svg
// Plain geometry only (no fonts), so every machine draws the same pictures.
//   ninja make_app_icon && ui/make_app_icon <source>/packaging/icons

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kCanvas = 256.0;
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};
const char* const kName = "org.example.qel";

struct Shape {
    QPolygonF points;  // used when `rect` is empty
    QRectF rect;
    double radius = 0;
    QColor fill;
    QColor stroke;  // invalid: no outline
    double strokeWidth = 0;
};

QPointF Along(QPointF from, QPointF to, double t)
{
    return from + (to - from) * t;
}

// A pencil lying on the diagonal from `tail` to `tip`, `width` across.
std::vector<Shape> Pencil(QPointF tail, QPointF tip, double width)
{
    const QPointF axis = tip - tail;
    const double length = std::hypot(axis.x(), axis.y());
    const QPointF side = QPointF(-axis.y(), axis.x()) * (width / 2 / length);
    const QPointF capEnd = Along(tail, tip, 0.16);
    const QPointF bodyEnd = Along(tail, tip, 0.72);
    const QPointF leadStart = Along(tail, tip, 0.9);
    const QPointF leadSide = side * ((1.0 - 0.9) / (1.0 - 0.72));
    const QColor outline(0x3a, 0x2a, 0x1a);
    return {
        {QPolygonF({tail + side, capEnd + side, capEnd - side, tail - side}),
         {},
         0,
         QColor(0xd9, 0x6a, 0x6a),
         outline,
         4},
        {QPolygonF({capEnd + side, bodyEnd + side, bodyEnd - side, capEnd - side}),
         {},
         0,
         QColor(0xf2, 0xb1, 0x34),
         outline,
         4},
        {QPolygonF({bodyEnd + side, tip, bodyEnd - side}), {}, 0, QColor(0xf5, 0xdd, 0xb0), outline, 4},
        {QPolygonF({leadStart + leadSide, tip, leadStart - leadSide}), {}, 0, QColor(0x3a, 0x2a, 0x1a), {}, 0},
    };
}

// A dark screen holding a three-by-three sheet of picture tiles, one of them
// picked out, and a pencil across its lower right corner.
std::vector<Shape> Icon()
{
    std::vector<Shape> shapes;
    shapes.push_back({{}, QRectF(12, 12, 232, 232), 44, QColor(0x1d, 0x35, 0x57), QColor(0x0f, 0x1d, 0x30), 6});
    const QColor light(0x6c, 0xb4, 0xe8);
    const QColor dark(0x3b, 0x7d, 0xc4);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF tile(44 + column * 58, 44 + row * 58, 50, 50);
            const bool picked = row == 1 && column == 1;
            const QColor fill = picked ? QColor(0xf7, 0xc9, 0x48) : ((row + column) % 2 ? dark : light);
            shapes.push_back({{}, tile, 8, fill, picked ? QColor(Qt::white) : QColor(), picked ? 8.0 : 0.0});
        }
    }
    for (Shape& part : Pencil(QPointF(236, 236), QPointF(138, 138), 34))
        shapes.push_back(part);
    return shapes;
}

QImage Render(int size, const std::vector<Shape>& shapes)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    for (const Shape& shape : shapes) {
        painter.setBrush(shape.fill);
        if (shape.stroke.isValid()) {
            QPen pen(shape.stroke, shape.strokeWidth);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
        } else {
            painter.setPen(Qt::NoPen);
        }
        if (!shape.rect.isEmpty())
            painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
        else
            painter.drawPolygon(shape.points);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString Number(double value)
{
    return QString::number(value, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString Paint(const Shape& shape)
{
    QString paint = QStringLiteral(" fill=\"%1\"").arg(shape.fill.name());
    if (shape.stroke.isValid())
        paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                     .arg(shape.stroke.name(), Number(shape.strokeWidth));
    return paint;
}

QByteArray Svg(const std::vector<Shape>& shapes)
{
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n");
    for (const Shape& shape : shapes) {
        if (!shape.rect.isEmpty()) {
            svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"%6/>\n")
                       .arg(Number(shape.rect.x()), Number(shape.rect.y()), Number(shape.rect.width()),
                            Number(shape.rect.height()), Number(shape.radius), Paint(shape));
        } else {
            QStringList points;
            for (const QPointF& point : shape.points)
                points << Number(point.x()) + QLatin1Char(',') + Number(point.y());
            svg += QStringLiteral("  <polygon points=\"%1\"%2/>\n").arg(points.join(QLatin1Char(' ')), Paint(shape));
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon FOLDER\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const std::vector<Shape> shapes = Icon();
    for (int size : kSizes) {
        const QString path = folder + QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kName));
        QDir().mkpath(QFileInfo(path).path());
        if (!Render(size, shapes).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString svg = folder + QStringLiteral("scalable/apps/%1.svg").arg(QLatin1String(kName));
    if (!Write(svg, Svg(shapes))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
        return 1;
    }
    return 0;
}
