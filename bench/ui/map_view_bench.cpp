// The Map View over 1,050,625 map objects (a 16 x 16 picture tiled over the
// whole map) in a 1024 x 768 view: each figure printed beside its aim.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "BenchFakes.h"
#include "FakePictureService.h"
#include "FileNameText.h"
#include "MapSessionEditor.h"
#include "MapView.h"
#include "ObjectListModel.h"
#include "ObjectSteps.h"

using namespace qel;
using namespace qelbench;

namespace {

void Report(const char* what, double ms, double aimMs)
{
    std::printf("%-44s %10.3f ms   aim <= %8.3f ms   %s\n", what, ms, aimMs, ms <= aimMs ? "ok" : "MISSED");
}

double Ms(Clock::time_point from)
{
    return SecondsSince(from) * 1000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::string bytes = "[objectimages]\r\nIMAGE0=tile.png\r\n[mapobjects]\r\n";
    const int side = 1025;  // 1025 x 1025 = 1,050,625 objects, 0 to 16384
    bytes.reserve(static_cast<std::size_t>(side) * side * 20);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            bytes += std::to_string(x * 16) + ',' + std::to_string(y * 16) + ",IMAGE0,0\r\n";
    const QString file = dir.filePath(QStringLiteral("big.ini"));
    if (!WriteBenchFile(file, bytes))
        return 1;
    qel::platform::FakePictureService pictures;
    QImage tile(16, 16, QImage::Format_ARGB32);
    tile.fill(QColor(40, 140, 60));
    pictures.pictures.insert(dir.filePath(QStringLiteral("tile.png")), tile);
    NoSettings settings;
    BenchPrompter prompter;

    app::DocumentSession session;
    ui::ObjectListModel model(session, ObjectKind::Map);
    QItemSelectionModel selection(&model);
    ui::MapView view(session, selection, settings, pictures, prompter);
    view.resize(1024, 768);
    auto* named = view.findChild<ui::MapCanvas*>(QStringLiteral("MapCanvas"));
    if (named == nullptr) {
        std::fprintf(stderr, "The map view has no MapCanvas.\n");
        return 1;
    }
    ui::MapCanvas& canvas = *named;
    canvas.viewport()->resize(1024, 768);

    session.open(qel::FileNameBytes(file));
    auto start = Clock::now();
    const std::size_t rows = canvas.index().rows();
    Report("ready to draw after Open", Ms(start), 150);

    QImage target(1024, 768, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    auto repaint = [&] {
        const auto t = Clock::now();
        canvas.render(painter, target.size());
        return Ms(t);
    };
    canvas.setZoomStep(0);
    canvas.centreOn(8192, 8192);
    Report("first repaint at 100% (tiles drawn)", repaint(), 8);
    Report("repaint at 100%", repaint(), 2);
    canvas.zoomWholeMap();
    Report("first repaint, whole map (tiles drawn)", repaint(), 150);
    Report("repaint, whole map", repaint(), 8);
    canvas.setZoomStep(-6);
    Report("first repaint at 35% (tiles drawn)", repaint(), 8);
    Report("repaint at 35%", repaint(), 8);
    canvas.setZoomStep(12);
    Report("first repaint at 800% (tiles drawn)", repaint(), 8);
    Report("repaint at 800%", repaint(), 8);

    std::mt19937 random(7);
    std::uniform_int_distribution<int> where(0, 16383);
    const int probes = 200000;
    start = Clock::now();
    std::size_t found = 0;
    const MapIndex& index = canvas.index();
    for (int i = 0; i < probes; ++i)
        found += index.topmostAt(where(random), where(random)).has_value();
    Report("object under the pointer (per look-up)", Ms(start) / probes, 0.010);

    canvas.setZoomStep(0);
    canvas.centreOn(8192, 8192);
    repaint();
    start = Clock::now();
    EditorValues values{"8200", "8200", 0, 3, -1, "0", "0"};
    session.push(std::make_unique<app::ApplyObjectStep>(session, ObjectKind::Map, values, 525000));
    const double stepMs = Ms(start);
    canvas.render(painter, target.size());
    Report("one changed row shown (step included)", Ms(start), 1);
    std::printf("%-44s %10.3f ms\n", "  of which the step and the list model", stepMs);

    std::vector<std::size_t> thousand;
    for (std::size_t row = 300000; row < 301000; ++row)
        thousand.push_back(row);
    session.push(std::make_unique<app::DeleteObjectsStep>(session, ObjectKind::Map, thousand));
    canvas.render(painter, target.size());
    start = Clock::now();
    session.undo();
    canvas.render(painter, target.size());
    Report("1,000 rows added (undo of a delete)", Ms(start), 50);

    // Editing from the view, each through the session as one step.
    const EditorValues placing{"0", "0", 0, 3, -1, "0", "0"};
    ui::MapSessionEditor editor(session, ObjectKind::Map, prompter, &view, [&] { return placing; });
    view.setEditor(&editor);
    selection.select(model.index(525001, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    canvas.render(painter, target.size());
    start = Clock::now();
    canvas.nudge(16, 0);
    canvas.render(painter, target.size());
    Report("moving one object shown (step included)", Ms(start), 1);
    selection.select(QItemSelection(model.index(400000, 0), model.index(499999, 0)),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    canvas.render(painter, target.size());
    start = Clock::now();
    canvas.nudge(0, 16);
    canvas.render(painter, target.size());
    const double move100k = Ms(start);
    Report("moving 100,000 selected shown", move100k, 100);
    start = Clock::now();
    session.undo();
    canvas.render(painter, target.size());
    Report("undo of that move shown", Ms(start), 1.5 * move100k);
    start = Clock::now();
    canvas.placeAtPoint(QPointF(8200, 8200), Qt::NoModifier);
    canvas.render(painter, target.size());
    Report("placing one object shown (step included)", Ms(start), 1);
    // The first row added after Open also grows the list's and the index's
    // arrays; a second one shows the cost of every later placing.
    start = Clock::now();
    canvas.placeAtPoint(QPointF(8232, 8200), Qt::NoModifier);
    canvas.render(painter, target.size());
    Report("placing one more object shown", Ms(start), 1);
    session.undo();
    session.undo();
    // A rectangle of 40 x 25 tiles: 1,000 objects in 25 runs of rows.
    canvas.selectArea(MapRect{4000, 4000, 640, 400}, false);
    const auto chosen = static_cast<std::size_t>(selection.selectedRows().size());
    canvas.render(painter, target.size());
    start = Clock::now();
    canvas.deleteSelection();
    canvas.render(painter, target.size());
    Report("deleting 1,000 selected from the view", Ms(start), 50);
    std::printf("%-44s %10zu\n", "  objects selected by the rectangle", chosen);
    session.undo();
    session.undo();

    start = Clock::now();
    session.push(std::make_unique<app::SortObjectsStep>(session, ObjectKind::Map, SortKey::YCoord));
    const double sortStepMs = Ms(start);
    canvas.render(painter, target.size());
    Report("sort shown (step included)", Ms(start), 150);
    std::printf("%-44s %10.3f ms\n", "  of which the sort step itself", sortStepMs);
    start = Clock::now();
    session.undo();
    canvas.render(painter, target.size());
    Report("undo of the sort shown", Ms(start), 150);
    start = Clock::now();
    session.push(std::make_unique<app::ClearObjectsStep>(session, ObjectKind::Map));
    canvas.render(painter, target.size());
    Report("clear shown", Ms(start), 150);
    start = Clock::now();
    session.undo();
    canvas.render(painter, target.size());
    Report("undo of the clear shown", Ms(start), 150);

    const double perObject = static_cast<double>(canvas.index().memoryBytes()) / static_cast<double>(rows);
    std::printf("%-44s %10.2f B    aim <= %8d B    %s\n", "index memory per object", perObject, 24,
                perObject <= 24 ? "ok" : "MISSED");
    const double tileMb = static_cast<double>(canvas.memoryBytes() - canvas.index().memoryBytes()) / (1 << 20);
    std::printf("%-44s %10.2f MB   aim <= %8d MB   %s\n", "tile pictures kept", tileMb, 80,
                tileMb <= 80 ? "ok" : "MISSED");
    std::printf("(%zu objects, %zu hits)\n", rows, found);
    return prompter.failures == 0 ? 0 : 1;
}
