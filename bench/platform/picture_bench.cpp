// Shows a 4096 x 4096 PNG as the preview does, through the picture service,
// against QImageReader decoding the same file alone. Prints the best time of
// each over several rounds and their ratios; the service should stay within
// 2x of the reader.
//
//   QT_QPA_PLATFORM=offscreen bench/platform/picture_bench [rounds]
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>

#include "core/PreviewRules.h"
#include "platform/PictureService.h"

namespace {

constexpr int kSide = 4096;
constexpr int kView = 153;  // the preview's picture view

// Smooth gradients with a little noise: compresses like a drawn picture, not
// like a flat colour.
QImage MakePicture()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    std::uint32_t noise = 12345;
    for (int y = 0; y < kSide; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) & 15);
            line[x] = qRgb((x / 16 + n) & 255, (y / 16 + n) & 255, ((x + y) / 32) & 255);
        }
    }
    return image;
}

double BestSeconds(int rounds, const std::function<void()>& run)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.png"));
    if (!MakePicture().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    qel::platform::QtPictureService service;
    bool ok = true;
    const double reader = BestSeconds(rounds, [&] {
        QImageReader qtReader(path);
        ok = ok && qtReader.read().size() == QSize(kSide, kSide);
    });
    const double loaded = BestSeconds(rounds, [&] { ok = ok && service.load(path).size() == QSize(kSide, kSide); });
    const double shown = BestSeconds(rounds, [&] {
        const QImage picture = service.load(path);
        const qel::PictureSize fit = qel::FitPicture({picture.width(), picture.height()}, {kView, kView});
        const QPixmap pixmap =
            QPixmap::fromImage(picture.scaled(fit.width, fit.height, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        ok = ok && pixmap.size() == QSize(kView, kView);
    });
    if (!ok) {
        std::fprintf(stderr, "a round did not decode the picture\n");
        return 1;
    }

    std::printf("4096 x 4096 PNG, best of %d rounds\n", rounds);
    std::printf("  QImageReader alone          %8.1f ms\n", reader * 1000);
    std::printf("  picture service load        %8.1f ms   ratio %.2f\n", loaded * 1000, loaded / reader);
    std::printf("  load, shrink to %dx%d view%8.1f ms   ratio %.2f (limit 2.00)\n", kView, kView, shown * 1000,
                shown / reader);
    return shown / reader <= 2.0 ? 0 : 2;
}
