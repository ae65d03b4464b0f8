// Draws the pictures and makes the sound that harbour.ini names, into the
// folder given on the command line (examples/ itself: make_media.sh runs it):
//   waves.bmp   256 x 32, four 64 x 32 frames of rolling water
//   beacon.png  192 x 128, eight 48 x 64 frames of a lighthouse's turning beam
//   buoy.png     64 x 32, a buoy with its light off and on
//   flag.jpg    128 x 48, a still signal flag
//   bell.wav    0.8 s of a ship's bell, 22050 Hz, 16-bit mono
// Plain geometry and arithmetic only (no fonts, no randomness), so every run
// gives the same files.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using DrawFrame = std::function<void(QPainter&, int frame)>;

// A sheet of `columns` x `rows` frames of `width` x `height`, frame numbers
// running row by row, as the editor's preview cuts it.
QImage Sheet(int columns, int rows, int width, int height, const QColor& background, const DrawFrame& draw)
{
    QImage image(columns * width, rows * height, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            painter.save();
            painter.translate(column * width, row * height);
            painter.setClipRect(0, 0, width, height);
            draw(painter, row * columns + column);
            painter.restore();
        }
    }
    painter.end();
    return image;
}

void Waves(QPainter& p, int frame)
{
    const QColor crests[] = {QColor(0x2e, 0x6f, 0xa8), QColor(0x4a, 0x93, 0xc9), QColor(0xa8, 0xd8, 0xf0)};
    for (int band = 0; band < 3; ++band) {
        QPainterPath path;
        const double base = 12 + band * 8;
        path.moveTo(0, 32);
        for (int x = 0; x <= 64; ++x) {
            // One wave length per frame width, moved a quarter on per frame.
            const double phase = (x / 64.0 + frame / 4.0 + band / 3.0) * 2 * M_PI;
            path.lineTo(x, base + 3 * std::sin(phase));
        }
        path.lineTo(64, 32);
        path.closeSubpath();
        p.fillPath(path, crests[band]);
    }
}

void Beacon(QPainter& p, int frame)
{
    // The beam first, so the tower stands in front of it.
    const QPointF lamp(24, 14);
    const double angle = frame * 45.0;
    QPainterPath beam;
    beam.moveTo(lamp);
    beam.arcTo(QRectF(lamp.x() - 60, lamp.y() - 60, 120, 120), angle - 12, 24);
    beam.closeSubpath();
    p.fillPath(beam, QColor(255, 240, 150, 170));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf4, 0xf0));
    p.drawPolygon(QPolygonF({QPointF(16, 60), QPointF(20, 20), QPointF(28, 20), QPointF(32, 60)}));
    // The tower narrows from 16 pixels at its foot (y 60) to 8 under the lamp
    // (y 20); two red bands go round it.
    const auto left = [](double y) { return 20 - 4 * (y - 20) / 40; };
    const auto right = [](double y) { return 28 + 4 * (y - 20) / 40; };
    p.setBrush(QColor(0xc8, 0x32, 0x32));
    for (double top : {28.0, 44.0})
        p.drawPolygon(QPolygonF({QPointF(left(top), top), QPointF(right(top), top), QPointF(right(top + 8), top + 8),
                                 QPointF(left(top + 8), top + 8)}));
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.drawRect(QRectF(18, 8, 12, 4));
    p.drawRect(QRectF(19, 18, 10, 2));
    p.setBrush(QColor(0xff, 0xe0, 0x60));
    p.drawRect(QRectF(20, 12, 8, 6));
    p.setBrush(QColor(0x5a, 0x50, 0x46));
    p.drawRect(QRectF(10, 60, 28, 4));
}

void Buoy(QPainter& p, int frame)
{
    p.setPen(Qt::NoPen);
    if (frame == 1) {
        QRadialGradient glow(QPointF(16, 7), 8);
        glow.setColorAt(0, QColor(255, 255, 200, 255));
        glow.setColorAt(1, QColor(255, 255, 120, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(16, 7), 8, 8);
    }
    p.setBrush(frame == 1 ? QColor(0xff, 0xf6, 0x9a) : QColor(0x80, 0x78, 0x50));
    p.drawEllipse(QPointF(16, 7), 3, 3);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRect(QRectF(15, 10, 2, 6));
    p.setBrush(QColor(0xd0, 0x30, 0x30));
    p.drawPolygon(QPolygonF({QPointF(8, 26), QPointF(12, 16), QPointF(20, 16), QPointF(24, 26)}));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRect(QRectF(10, 20, 12, 2));
    p.setBrush(QColor(0x2e, 0x6f, 0xa8));
    p.drawRect(QRectF(0, 26, 32, 6));
}

QImage Flag()
{
    // A flag of blue and white quarters with a red border, on a pole.
    QImage image(128, 48, QImage::Format_RGB32);
    image.fill(QColor(0xe8, 0xf0, 0xf8));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x40, 0x30));
    p.drawRect(8, 4, 4, 44);
    p.setBrush(QColor(0xc0, 0x28, 0x28));
    p.drawRect(12, 6, 104, 36);
    const QColor quarters[] = {QColor(0x20, 0x40, 0xa0), Qt::white};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            p.setBrush(quarters[(row + column) % 2]);
            p.drawRect(16 + column * 48, 10 + row * 14, 48, 14);
        }
    }
    p.end();
    return image;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A struck bell: a few inharmonic partials, each dying away on its own.
std::string Bell()
{
    constexpr int kRate = 22050;
    constexpr int kSamples = kRate * 8 / 10;
    const struct {
        double frequency, level, decay;
    } partials[] = {{587.0, 0.45, 3.0}, {1175.0, 0.25, 4.5}, {1410.0, 0.15, 6.0}, {2030.0, 0.10, 8.0}};

    std::string data;
    for (int i = 0; i < kSamples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double value = 0;
        for (const auto& partial : partials)
            value += partial.level * std::exp(-partial.decay * t) * std::sin(2 * M_PI * partial.frequency * t);
        // A short fade at both ends, so no click is heard.
        value *= std::min({1.0, t / 0.002, (0.8 - t) / 0.02});
        PutLittleEndian(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value * 30000))), 2);
    }

    std::string wav = "RIFF";
    PutLittleEndian(wav, static_cast<std::uint32_t>(36 + data.size()), 4);
    wav += "WAVEfmt ";
    PutLittleEndian(wav, 16, 4);     // size of the format block
    PutLittleEndian(wav, 1, 2);      // PCM
    PutLittleEndian(wav, 1, 2);      // mono
    PutLittleEndian(wav, kRate, 4);  // samples per second
    PutLittleEndian(wav, kRate * 2, 4);
    PutLittleEndian(wav, 2, 2);  // bytes per sample frame
    PutLittleEndian(wav, 16, 2);
    wav += "data";
    PutLittleEndian(wav, static_cast<std::uint32_t>(data.size()), 4);
    return wav + data;
}

bool Save(const QImage& image, const QString& path, const char* format)
{
    if (image.save(path, format, format == QByteArrayLiteral("JPG") ? 90 : -1))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_media FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QColor sky(0x10, 0x20, 0x38);
    bool written = Save(Sheet(4, 1, 64, 32, sky, Waves).convertToFormat(QImage::Format_RGB888),
                        folder.filePath(QStringLiteral("waves.bmp")), "BMP");
    written &= Save(Sheet(4, 2, 48, 64, Qt::transparent, Beacon), folder.filePath(QStringLiteral("beacon.png")), "PNG");
    written &= Save(Sheet(2, 1, 32, 32, Qt::transparent, Buoy), folder.filePath(QStringLiteral("buoy.png")), "PNG");
    written &= Save(Flag(), folder.filePath(QStringLiteral("flag.jpg")), "JPG");

    const std::string bell = Bell();
    const std::string bellPath = folder.filePath(QStringLiteral("bell.wav")).toStdString();
    std::ofstream out(bellPath, std::ios::binary);
    out.write(bell.data(), static_cast<std::streamsize>(bell.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", bellPath.c_str());
        written = false;
    }
    return written ? 0 : 1;
}
