// The map window's panels and stamp over 1,050,625 map objects that name
// 1,000 images (pictures on disk, decoded beside the window's thread), in a
// 1024 x 768 view: each figure the median of seven samples of the window's
// thread's time, printed beside its aim.

#include <time.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ObjectCommands.h"
#include "app/ObjectSteps.h"
#include "app/ReplaceRowsStep.h"
#include "bench/ui/BenchFakes.h"
#include "platform/Clipboard.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureCache.h"
#include "platform/PictureService.h"
#include "ui/Guarded.h"
#include "ui/ImagePaletteModel.h"
#include "ui/ImagesPanel.h"
#include "ui/MapPanels.h"
#include "ui/MapSessionEditor.h"
#include "ui/MapView.h"
#include "ui/ObjectArt.h"
#include "ui/ObjectListModel.h"
#include "ui/OverviewPanel.h"
#include "ui/PointerReport.h"
#include "ui/PropertiesPanel.h"
#include "ui/StampTool.h"

using namespace qel;
using namespace qelbench;

namespace {

constexpr int kSamples = 7;
constexpr int kImages = 1000;

double ThreadMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

template <typename Before, typename Measured>
double Sampled(Before before, Measured measured)
{
    std::vector<double> samples;
    for (int i = 0; i < kSamples; ++i) {
        before(i);
        const double start = ThreadMs();
        measured(i);
        samples.push_back(ThreadMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void Report(const char* what, double ms, double aimMs, const char* unit = "ms")
{
    std::printf("%-52s %10.3f %s   aim <= %8.3f %s   %s\n", what, ms, unit, aimMs, unit, ms <= aimMs ? "ok" : "MISSED");
}

void Nothing(int) {}

std::string Definition()
{
    std::string bytes = "[objectimages]\r\n";
    for (int i = 0; i < kImages; ++i)
        bytes +=
            "IMAGE" + std::to_string(i) + "=tile" + std::to_string(i) + ".png," + std::to_string(1 + i % 2) + ",1\r\n";
    bytes += "[mapobjects]\r\n";
    const int side = 1025;
    bytes.reserve(static_cast<std::size_t>(side) * side * 24);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            bytes += std::to_string(x * 16) + ',' + std::to_string(y * 16) + ",IMAGE"
                     + std::to_string((y * side + x) % kImages) + (x % 13 == 0 ? ",TopMost\r\n" : ",0\r\n");
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    for (int i = 0; i < kImages; ++i) {
        QImage tile(32, 16, QImage::Format_RGB32);
        tile.fill(QColor::fromHsv(i * 37 % 360, 160, 200));
        tile.save(dir.filePath(QStringLiteral("tile%1.png").arg(i)), "PNG");
    }
    const QString file = dir.filePath(QStringLiteral("big.ini"));
    if (!WriteBenchFile(file, Definition()))
        return 1;
    platform::QtPictureService pictures;
    NoSettings settings;
    BenchPrompter prompter;
    app::DocumentSession session;
    session.open(FileNameBytes(file));
    ui::ObjectListModel model(session, ObjectKind::Map);
    QItemSelectionModel selection(&model);
    ui::MapView view(session, selection, settings, pictures, prompter);
    EditorValues values;
    values.imageChoice = 3;
    ui::PromptedQuestions questions(prompter, &view);
    platform::QtClipboard clipboard;
    platform::QtFileOperations files;
    app::ObjectCommands commands(session, questions, clipboard, files, pictures);
    ui::MapSessionEditor placer(commands, ObjectKind::Map, prompter, &view, [&] { return values; });
    view.setEditor(&placer);
    ui::MapPanelSources sources;
    sources.values = [&] { return values; };
    sources.choose = [&](int position) { values.imageChoice = position; };
    sources.mapSelection = &selection;
    sources.placer = &placer;

    // The Images panel: made with the window and shown; then its list is
    // scrolled a page at a time, the events between pages handled as the
    // window's loop would, until every thumbnail came.
    auto* panels = new ui::MapPanels(view, session, commands, prompter, sources);
    view.resize(1024, 768);
    view.show();
    // The map's own drawing and pictures are kept out of the panel's figures.
    view.canvas().hide();
    QListView* list = panels->images().list();
    ui::ImagePaletteModel& palette = *panels->images().model();
    list->doItemsLayout();
    const double first = ThreadMs();
    list->viewport()->repaint();
    Report("Images panel: first frame (thumbnails on their way)", ThreadMs() - first, 16);
    const auto wall = Clock::now();
    double longest = 0;
    const auto slice = [&] {
        const double start = ThreadMs();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        list->viewport()->repaint();
        longest = std::max(longest, ThreadMs() - start);
    };
    const auto allCame = [&] {
        for (const ObjectImage& image : session.document().images())
            if (ui::ArtOf(session.document(), image, view.pictureCache()).look.waiting)
                return false;
        return true;
    };
    do {
        for (int row = 0; row < palette.rowCount(); row += 8) {
            list->scrollTo(palette.index(row), QAbstractItemView::PositionAtTop);
            slice();
        }
    } while (!allCame() && SecondsSince(wall) < 10);
    Report("Images panel: every thumbnail of 1,000 (on the wall)", SecondsSince(wall) * 1000, 1000);
    Report("Images panel: longest the window's thread was held", longest, 16);

    ui::MapCanvas& canvas = view.canvas();
    canvas.show();
    canvas.viewport()->resize(1024, 768);
    canvas.zoomActualSize();
    canvas.centreOn(8200, 8200);
    QImage shot(1024, 768, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    const auto draw = [&] {
        canvas.render(painter, shot.size());
        while (canvas.drawingLeft())
            canvas.render(painter, shot.size());
    };
    draw();

    ui::PropertiesPanel& properties = panels->properties();
    Report("Properties: a new selection of one object",
           Sampled(Nothing,
                   [&](int i) { selection.select(model.index(500000 + i, 0), QItemSelectionModel::ClearAndSelect); }),
           1);
    const auto selectMany = [&](int i) {
        selection.select(QItemSelection(model.index(i, 0), model.index(99999 + i, 0)),
                         QItemSelectionModel::ClearAndSelect);
    };
    Report("Properties: a new selection of 100,000 objects", Sampled(Nothing, selectMany), 20);
    auto* layer = properties.findChild<QComboBox*>(QStringLiteral("PropertyLayer"));
    Report("Properties: a layer for 100,000 selected, shown",
           Sampled(selectMany,
                   [&](int i) {
                       emit layer->activated(1 + i % 6);
                       QCoreApplication::processEvents();
                       draw();
                   }),
           100);
    selection.clear();

    ui::StampTool& stamp = panels->stamp();
    stamp.setActive(true);
    const auto gesture = [&](QPointF from, QPointF to, Qt::KeyboardModifiers modifiers) {
        stamp.press(from, modifiers);
        stamp.moveTo(to);
        stamp.release(to);
        draw();
    };
    Report("stamp: a click shown",
           Sampled(Nothing,
                   [&](int i) {
                       gesture({8000.0 + i * 16, 8000}, {8000.0 + i * 16, 8000}, Qt::NoModifier);
                   }),
           1);
    Report("stamp: a line of 100 shown",
           Sampled(Nothing,
                   [&](int i) {
                       gesture({7000, 7000.0 + i * 16}, {7000 + 99 * 32, 7000.0 + i * 16}, {});
                   }),
           5);
    Report("stamp: a fill of 10,000 shown",
           Sampled(Nothing,
                   [&](int i) {
                       gesture({1000.0 + i * 64, 1000}, {1000.0 + i * 64 + 99 * 32, 1000 + 99 * 16}, Qt::ShiftModifier);
                   }),
           100);
    double moves = 0;
    Report("stamp: the ghost following the pointer, a move",
           Sampled(Nothing,
                   [&](int i) {
                       for (int k = 0; k < 100; ++k)
                           stamp.moveTo({8100.0 + k * 3 + i, 8100.0 + k});
                       draw();
                       moves = 100;
                   })
               / std::max(1.0, moves),
           2);
    stamp.setActive(false);

    ui::OverviewPanel& overview = panels->overview();
    overview.resize(220, 220);
    Report("overview after a one-row step",
           Sampled(
               [&](int i) {
                   session.push(std::make_unique<app::MoveObjectsStep>(
                       session, ObjectKind::Map, std::vector<std::size_t>{std::size_t(i)}, 16, 0));
               },
               [&](int) {
                   overview.redrawObjects();
                   overview.repaint();
               }),
           2);
    std::vector<std::size_t> all(session.document().mapObjects().size());
    for (std::size_t row = 0; row < all.size(); ++row)
        all[row] = row;
    ObjectChange everyLayer;
    everyLayer.layer = 2;
    session.push(std::make_unique<app::ChangeObjectsStep>(session, ObjectKind::Map, all, everyLayer));
    Report("overview after a step over a million rows",
           Sampled(
               [&](int i) {
                   i % 2 ? session.redo() : session.undo();
                   canvas.index();
               },
               [&](int) {
                   overview.redrawObjects();
                   overview.repaint();
               }),
           16);

    canvas.zoomWholeMap();
    draw();
    Report("whole-map frame, every object at least 3 x 3", Sampled(Nothing, [&](int) { draw(); }), 16);
    Report("whole-map first frame (blocks drawn anew)",
           Sampled(
               [&](int i) {
                   // Another layer shown or hidden: every block is drawn anew.
                   MapLayers layers;
                   layers.setVisible(MapLayers::kOtherSlot, i % 2 == 0);
                   canvas.tool().setLayers(layers);
               },
               [&](int) { canvas.render(painter, shot.size()); }),
           16);

    ui::PointerReport& pointer = panels->pointer();
    Report("status bar: the object under the pointer",
           Sampled(Nothing,
                   [&](int i) {
                       for (int k = 0; k < 1000; ++k)
                           pointer.showAt({double((k * 97 + i) % 16384), double((k * 31) % 16384)});
                   })
               / 1000,
           0.1);
    return 0;
}
