// Deletes an image that 1,050,625 map object lines name (a 1025 x 1025 grid
// of tiles), with 50,000 more lines naming a later image that is renumbered,
// answering Yes to both questions: once with the core alone (the delete and
// the reference removal), once through the window's DelImage handler until
// the map list has painted again. Prints both times and their ratio.
//
//   QT_QPA_PLATFORM=offscreen bench/ui/image_delete_bench [rounds]
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ui/BenchFakes.h"
#include "core/DefinitionReader.h"
#include "core/ImageEditing.h"
#include "core/io/DefinitionFiles.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "ui/ImageSection.h"
#include "ui/ObjectsSection.h"
#include "ui/TMainFrm.h"

namespace {

constexpr int kSide = 1025;
constexpr int kRenumbered = 50000;

std::string Definition()
{
    std::string text =
        "OutFile=grid.pkg\r\n\r\n[objectimages]\r\nIMAGE0=a.bmp\r\nIMAGE1=tile.bmp\r\nIMAGE2=c.bmp\r\n"
        "\r\n[mapobjects]\r\n";
    text.reserve(static_cast<std::size_t>(kSide) * kSide * 36);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            text += std::to_string(x * 16) + ',' + std::to_string(y * 16) + ",IMAGE1,BelowAll,ShowAlways\r\n";
    for (int i = 0; i < kRenumbered; ++i)
        text += std::to_string(i) + ",8,IMAGE2,AfterTiles,ShowAlways\r\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grid.ini"));
    if (!qelbench::WriteBenchFile(file, Definition()))
        return 1;
    const std::string path = QFile::encodeName(file).toStdString();

    qelbench::BenchPrompter prompter;
    prompter.file = file;
    qelbench::NoSettings store;
    qelbench::NoLauncher launcher;
    TMainFrm window(prompter, store, launcher);
    window.show();
    QApplication::processEvents();
    QAbstractItemView* list = window.findChild<qel::ui::ObjectListView*>(QStringLiteral("MapObjectList"));

    double coreBest = 1e9;
    double windowBest = 1e9;
    std::size_t left = 0;
    for (int round = 0; round < rounds; ++round) {
        {
            qel::DefinitionDocument doc;
            qel::ReadDefinition(doc, path);
            const auto start = qelbench::Clock::now();
            const qel::ImageDeletion deletion = qel::DeleteImage(doc, 1);
            qel::ApplyImageDeletionToObjects(doc, deletion);
            coreBest = std::min(coreBest, qelbench::SecondsSince(start));
            left = doc.mapObjects().size();
        }
        window.OpenPath(file);
        QApplication::processEvents();
        list->viewport()->repaint();
        window.findChild<QComboBox*>(QStringLiteral("ImageBox"))->setCurrentIndex(1);
        {
            const auto start = qelbench::Clock::now();
            window.findChild<qel::ui::ImageSection*>()->DelImageClick();
            QApplication::processEvents();
            list->viewport()->repaint();
            windowBest = std::min(windowBest, qelbench::SecondsSince(start));
        }
        if (list->model()->rowCount() != static_cast<int>(left) || left != kRenumbered
            || list->model()->index(0, 0).data().toString() != QStringLiteral("0,8,IMAGE1,AfterTiles,ShowAlways")
            || prompter.failures) {
            std::fprintf(stderr, "the window did not carry the delete into the objects\n");
            return 1;
        }
    }

    const double ratio = windowBest / coreBest;
    std::printf("lines naming the image: %d, renumbered: %d\n", kSide * kSide, kRenumbered);
    std::printf("core delete + removal:  %.3f s (best of %d)\n", coreBest, rounds);
    std::printf("window DelImage + paint: %.3f s (best of %d)\n", windowBest, rounds);
    std::printf("ratio window / core:    %.2f (required <= 3.00) %s\n", ratio, ratio <= 3.0 ? "ok" : "TOO SLOW");
    return ratio <= 3.0 ? 0 : 2;
}
