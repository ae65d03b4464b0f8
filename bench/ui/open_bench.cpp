// Opens a definition of 1,050,625 map objects (a 1025 x 1025 grid of tiles;
// QEL_BENCH_SIDE=3163 for ten million)
// twice in one process: with the core alone, and through the window's Open
// command until the map list has laid out and painted its first rows. Prints
// both times, their ratio and the peak memory.
//
//   QT_QPA_PLATFORM=offscreen bench/ui/open_bench [rounds]
#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/make_definition.h"
#include "bench/ui/BenchFakes.h"
#include "core/DefinitionReader.h"
#include "core/io/DefinitionFiles.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "ui/ObjectsSection.h"
#include "ui/TMainFrm.h"

namespace {

const int kSide = qelbench::BenchGridSide();  // 1025: 0 to 16384 in steps of 16 on both axes

std::string GridDefinition()
{
    std::string text =
        "OutFile=grid.pkg\r\n\r\nFile=tile.bmp\r\n\r\n[objectimages]\r\nIMAGE0=tile.bmp\r\n\r\n[mapobjects]\r\n";
    text.reserve(static_cast<std::size_t>(kSide) * kSide * 36);
    std::size_t n = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x, ++n) {
            const qelbench::MapPlace place = qelbench::PlaceOf(kSide, x, y, n);
            text += std::to_string(place.x);
            text += ',';
            text += std::to_string(place.y);
            text += ",IMAGE0,BelowAll,ShowAlways\r\n";
        }
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
    if (!qelbench::WriteBenchFile(file, GridDefinition()))
        return 1;
    const std::string path = QFile::encodeName(file).toStdString();

    qelbench::BenchPrompter prompter;
    prompter.confirmAnswer = false;
    prompter.file = file;
    qelbench::NoSettings store;
    qelbench::NoLauncher launcher;
    TMainFrm window(prompter, store, launcher);
    window.show();
    QApplication::processEvents();
    QAbstractItemView* list = window.findChild<qel::ui::ObjectListView*>(QStringLiteral("MapObjectList"));

    double coreBest = 1e9;
    double windowBest = 1e9;
    std::size_t rows = 0;
    for (int round = 0; round < rounds; ++round) {
        {
            qel::DefinitionDocument doc;
            const auto start = qelbench::Clock::now();
            qel::ReadDefinition(doc, path);
            coreBest = std::min(coreBest, qelbench::SecondsSince(start));
            rows = doc.mapObjects().size();
        }
        // Start each window round from an empty document, as a first Open does.
        window.NewExecute();
        QApplication::processEvents();
        {
            const auto start = qelbench::Clock::now();
            window.aOpenExecute();
            // Lay out and paint the list the way the event loop would.
            QApplication::processEvents();
            list->viewport()->repaint();
            windowBest = std::min(windowBest, qelbench::SecondsSince(start));
        }
        if (list->model()->rowCount() != static_cast<int>(rows) || list->indexAt(QPoint(2, 2)).row() != 0
            || prompter.failures) {
            std::fprintf(stderr, "the window did not show the definition\n");
            return 1;
        }
    }
    // Scrolling to the end must not stall either.
    const auto scrollStart = qelbench::Clock::now();
    list->scrollToBottom();
    QApplication::processEvents();
    list->viewport()->repaint();
    const double scroll = qelbench::SecondsSince(scrollStart);
    const QModelIndex last = list->model()->index(static_cast<int>(rows) - 1, 0);
    const bool lastShown = list->viewport()->rect().intersects(list->visualRect(last));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double ratio = windowBest / coreBest;
    std::printf("map objects:          %zu\n", rows);
    std::printf("core read:            %.3f s (best of %d)\n", coreBest, rounds);
    std::printf("window open + paint:  %.3f s (best of %d)\n", windowBest, rounds);
    std::printf("ratio window / core:  %.2f (required <= 2.00) %s\n", ratio, ratio <= 2.0 ? "ok" : "TOO SLOW");
    std::printf("window open + paint:  %.3f s (aim <= 3 s at ten million) %s\n", windowBest,
                windowBest <= 3.0 ? "ok" : "MISSED");
    std::printf("scroll to last row:   %.3f s (%s)\n", scroll, lastShown ? "shown" : "NOT SHOWN");
    std::printf("peak memory:          %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return ratio <= 2.0 ? 0 : 2;
}
