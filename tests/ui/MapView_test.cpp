// The Map View over a session: the rectangle of each image case, the
// selection shared with the map object list both ways, and the view following
// every kind of change the session tells of, undo of a sort and of an image
// deletion included.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/ImageSteps.h"
#include "app/ObjectSteps.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakePictureService.h"
#include "tests/fakes/FakeSettingsStore.h"
#include "tests/ui/FakePrompter.h"
#include "ui/Guarded.h"
#include "ui/MapSessionEditor.h"
#include "ui/MapView.h"
#include "ui/ObjectListModel.h"
#include "ui/WindowPlacement.h"

using namespace qel;
using namespace qel::app;
using namespace qel::ui;

namespace {

// The view's widgets, found as a user's script finds them: by objectName.
template <class T>
T& Named(QObject& view, const char* name)
{
    T* found = view.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::runtime_error(std::string("no child named ") + name);
    return *found;
}

// The canvas at `level` over `centre` in `side` x `side` pixels: its first
// frame, or every frame until no block is left for a later one.
QImage DrawnAt(MapCanvas& canvas, int level, bool wholly = true, int side = 400, QPointF centre = {300, 110})
{
    canvas.viewport()->resize(side, side);
    canvas.setZoomLevel(level);
    canvas.centreOn(centre.x(), centre.y());
    QImage shot(side, side, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    canvas.render(painter, shot.size());
    for (int frame = 0; wholly && frame < 64 && canvas.drawingLeft(); ++frame)
        canvas.render(painter, shot.size());
    return shot;
}

class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString file = dir.filePath(QStringLiteral("m.ini"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(
            "[objectimages]\r\nIMAGE1=whole.png\r\nIMAGE2=sheet.png,4,2,10\r\nIMAGE3=missing.png\r\n"
            "IMAGE4=corrupt.png\r\n"
            "[mapobjects]\r\n100,100,IMAGE1,0\r\n200,100,IMAGE2,3\r\n300,100,IMAGE3,0\r\n"
            "400,100,IMAGE4,0\r\n500,100,IMAGE7,0\r\n100,100,IMAGE2,1\r\n");
        out.close();
        QImage whole(64, 32, QImage::Format_ARGB32);
        whole.fill(Qt::blue);
        pictures.pictures.insert(dir.filePath(QStringLiteral("whole.png")), whole);
        pictures.pictures.insert(dir.filePath(QStringLiteral("sheet.png")), whole);
        pictures.failures.insert(dir.filePath(QStringLiteral("corrupt.png")), "Bitmap image is not valid");
        session.open(FileNameBytes(file));
        view = std::make_unique<MapView>(session, selection, settings, pictures, prompter);
        view->resize(400, 300);
        mapCanvas().setZoomLevel(0);
        mapCanvas().centreOn(300, 110);
    }

    // Every row's rectangle: the position from the line, the size from its image.
    void expectRectsFollowTheDocument(const char* step)
    {
        const ObjectList& list = session.document().mapObjects();
        const MapIndex& index = mapCanvas().index();
        ASSERT_EQ(index.rows(), list.size()) << step;
        // Both pictures are 64 x 32; anything else shows the marker.
        std::map<std::int32_t, MapSize> sizes;
        for (const ObjectImage& image : session.document().images())
            if (!sizes.count(image.number) && (image.file == "whole.png" || image.file == "sheet.png"))
                sizes[image.number] = *FirstCellSize({64, 32}, image.xTiles, image.yTiles);
        for (std::size_t row = 0; row < list.size(); ++row) {
            const ObjectFields& f = list.fields(row);
            const auto size = sizes.count(f.image) ? sizes.at(f.image) : MapSize{16, 16};
            EXPECT_EQ(index.rect(row), (MapRect{f.x, f.y, size.width, size.height})) << step << " row " << row;
        }
    }

    MapCanvas& mapCanvas() const { return Named<MapCanvas>(*view, "MapCanvas"); }

    QTemporaryDir dir;
    DocumentSession session;
    ObjectListModel model{session, ObjectKind::Map};
    QItemSelectionModel selection{&model};
    platform::FakeSettingsStore settings;
    platform::FakePictureService pictures;
    FakePrompter prompter;
    std::unique_ptr<MapView> view;
};

TEST_F(MapViewTest, EachImageCaseHasItsRectangle)
{
    const MapIndex& index = mapCanvas().index();
    struct Row {
        const char* name;
        std::size_t row;
        MapRect rect;
    };
    const std::vector<Row> rows = {
        {"no tile counts: whole picture", 0, {100, 100, 64, 32}}, {"4 x 2 tiles: first cell", 1, {200, 100, 16, 16}},
        {"missing picture: marker", 2, {300, 100, 16, 16}},       {"corrupt picture: marker", 3, {400, 100, 16, 16}},
        {"undefined image: marker", 4, {500, 100, 16, 16}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(index.rect(row.row), row.rect) << row.name;
    // The missing picture is asked for once, not at every repaint.
    QImage shot(400, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    mapCanvas().render(painter, shot.size());
    mapCanvas().render(painter, shot.size());
    EXPECT_EQ(pictures.calls.count(QStringLiteral("load ") + dir.filePath(QStringLiteral("missing.png"))), 1);
}

TEST_F(MapViewTest, SelectionIsTheListsBothWays)
{
    MapCanvas& canvas = mapCanvas();
    QSignalSpy activated(view.get(), &MapView::objectActivated);
    struct Row {
        const char* name;
        QPointF at;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> selected;
        int current;
        int activatedRow;  // -1: none
    };
    // Rows 0 (layer 0) and 5 (layer 1) overlap at (101,101): 5 is on top.
    const std::vector<Row> rows = {
        {"click picks the topmost", {101, 101}, Qt::NoModifier, {5}, 5, 5},
        {"ctrl+click adds", {201, 101}, Qt::ControlModifier, {1, 5}, 1, -1},
        {"ctrl+click removes", {201, 101}, Qt::ControlModifier, {5}, 1, -1},
        {"alt+click starts at the topmost", {101, 101}, Qt::AltModifier, {5}, 5, 5},
        {"alt+click goes down the stack", {101, 101}, Qt::AltModifier, {0}, 0, 0},
        {"alt+click wraps", {101, 101}, Qt::AltModifier, {5}, 5, 5},
        {"click on nothing selects nothing", {5000, 5000}, Qt::NoModifier, {}, 5, -1},
    };
    for (const Row& row : rows) {
        activated.clear();
        canvas.clickAt(row.at, row.modifiers);
        std::vector<int> selected;
        for (const QModelIndex& i : selection.selectedRows())
            selected.push_back(i.row());
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, row.selected) << row.name;
        EXPECT_EQ(selection.currentIndex().row(), row.current) << row.name;
        EXPECT_EQ(activated.size(), row.activatedRow < 0 ? 0 : 1) << row.name;
        if (!activated.isEmpty()) {
            EXPECT_EQ(activated.front().front().toInt(), row.activatedRow) << row.name;
        }
    }
    canvas.selectArea(MapRect{190, 90, 120, 20}, false);
    EXPECT_EQ(selection.selectedRows().size(), 2) << "a rectangle over rows 1 and 2";

    // The list's selection is drawn: the outline shows around row 3's marker.
    selection.select(model.index(3, 0), QItemSelectionModel::ClearAndSelect);
    QImage shot(400, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    canvas.render(painter, shot.size());
    const QPointF onScreen = QPointF(400 - 1, 100 - 1) - canvas.mapPointAt({0, 0});
    EXPECT_EQ(shot.pixel(onScreen.toPoint()), QColor(0xff, 0xff, 0x40).rgb());
    selection.clearSelection();
    canvas.render(painter, shot.size());
    EXPECT_NE(shot.pixel(onScreen.toPoint()), QColor(0xff, 0xff, 0x40).rgb());
}

TEST_F(MapViewTest, FollowsEveryKindOfChange)
{
    expectRectsFollowTheDocument("open");
    struct Row {
        const char* name;
        std::function<void()> step;
    };
    const std::vector<Row> rows = {
        {"delete rows",
         [&] {
             session.push(
                 std::make_unique<DeleteObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{0, 2}));
         }},
        {"undo of the delete", [&] { session.undo(); }},
        {"sort by X",
         [&] { session.push(std::make_unique<SortObjectsStep>(session, ObjectKind::Map, SortKey::XCoord)); }},
        {"undo of the sort", [&] { session.undo(); }},
        {"tiled background", [&] { session.push(std::make_unique<TiledBackgroundStep>(session, 64, 32, 1)); }},
        {"clear", [&] { session.push(std::make_unique<ClearObjectsStep>(session, ObjectKind::Map)); }},
        {"undo of the clear", [&] { session.undo(); }},
        {"image deletion renumbers", [&] { session.push(std::make_unique<DeleteImageStep>(session, 0, true)); }},
        {"undo of the image deletion", [&] { session.undo(); }},
        {"picture file replaced", [&] { session.push(ImageFieldStep::fileText(session, 2, "whole.png")); }},
        {"redo after undo",
         [&] {
             session.undo();
             session.redo();
         }},
        {"new", [&] { session.newDocument(); }},
    };
    for (const Row& row : rows) {
        row.step();
        expectRectsFollowTheDocument(row.name);
    }
}

TEST_F(MapViewTest, GoToPositionCentresThere)
{
    struct FixedAnswer : FakePrompter {
        std::optional<QString> answer;
        QStringList asked;  // each label and text; the answer once, then a cancel
        std::optional<QString> askText(QWidget*, const QString&, const QString& label, const QString& text) override
        {
            asked << label + '|' + text;
            return asked.size() == 1 ? answer : std::optional<QString>();
        }
    };
    FixedAnswer asking;
    MapView local(session, selection, settings, pictures, asking);
    local.resize(400, 300);
    MapCanvas& localCanvas = Named<MapCanvas>(local, "MapCanvas");
    localCanvas.setZoomLevel(0);
    const QPointF centre(localCanvas.viewport()->width() / 2.0, localCanvas.viewport()->height() / 2.0);
    asking.answer = QStringLiteral("9000, -20");
    local.goToPosition();
    EXPECT_EQ(localCanvas.mapPointAt(centre).toPoint(), QPoint(9000, -20));
    asking.answer = QStringLiteral("9000");
    asking.asked.clear();
    local.goToPosition();
    EXPECT_EQ(asking.asked.last(), "'9000' is not a position: enter X,Y as two whole numbers.\nX,Y|9000");
    EXPECT_EQ(localCanvas.mapPointAt(centre).toPoint(), QPoint(9000, -20));
}

// With Qt's own service the pictures are decoded beside the window: an
// object stands at the marked box's size until its picture came, then at its
// own and drawn; a FIFO stays the marked box.
TEST_F(MapViewTest, PicturesComeBesideTheWindow)
{
    QImage whole(64, 32, QImage::Format_RGB32);
    whole.fill(Qt::blue);
    ASSERT_TRUE(whole.save(dir.filePath(QStringLiteral("whole.png"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("corrupt.png"))).constData(), 0600), 0);
    platform::QtPictureService qtPictures;
    MapView local(session, selection, settings, qtPictures, prompter);
    local.resize(400, 300);
    MapCanvas& canvas = Named<MapCanvas>(local, "MapCanvas");
    EXPECT_EQ(canvas.index().rect(0), (MapRect{100, 100, 16, 16})) << "on its way";
    Named<platform::PictureCache>(local, "PictureCache").waitForPictures();
    EXPECT_EQ(canvas.index().rect(0), (MapRect{100, 100, 64, 32}));
    EXPECT_EQ(canvas.index().rect(3), (MapRect{400, 100, 16, 16})) << "a FIFO";
    canvas.setZoomLevel(0);
    canvas.centreOn(132, 116);
    QImage shot(canvas.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    canvas.render(painter, shot.size());
    EXPECT_EQ(shot.pixel(shot.width() / 2, shot.height() / 2), QColor(Qt::blue).rgb());
}

// Opened, each file shows its map where it was left; one seen for the first
// time, and an untitled one, the whole map, not another file's place.
TEST_F(MapViewTest, EachFileOpensAtItsOwnPlace)
{
    const QString other = dir.filePath(QStringLiteral("n.ini"));
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("m.ini")), other));
    MapCanvas& canvas = mapCanvas();
    view->show();
    const int whole = MapViewport::WholeMapLevel(canvas.viewport()->size());
    const int fitted = MapViewport::FitLevel(canvas.index().bounds(), canvas.viewport()->size());
    const QPointF centre(canvas.viewport()->width() / 2.0, canvas.viewport()->height() / 2.0);
    EXPECT_EQ(canvas.zoomLevel(), fitted) << "first seen: its objects fill the view";
    canvas.setZoomLevel(8);
    canvas.centreOn(3000, 4000);
    session.open(FileNameBytes(other));
    EXPECT_EQ(canvas.zoomLevel(), fitted) << "the second file";
    canvas.setZoomLevel(4);
    session.open(FileNameBytes(dir.filePath(QStringLiteral("m.ini"))));
    EXPECT_EQ(canvas.zoomLevel(), 8);
    EXPECT_EQ(canvas.mapPointAt(centre).toPoint(), QPoint(3000, 4000));
    session.newDocument();
    EXPECT_EQ(canvas.zoomLevel(), whole) << "untitled";
    session.open(FileNameBytes(other));
    EXPECT_EQ(canvas.zoomLevel(), 4);
    view->centreOnObject(ObjectKind::Map, 1);  // a problem's double-click: the 16 x 16 cell at 200,100
    EXPECT_EQ(canvas.mapPointAt(centre).toPoint(), QPoint(208, 108));
}

// A shortcut bound twice is ambiguous, and then neither binding acts.
TEST_F(MapViewTest, EachKeyIsBoundOnce)
{
    QStringList seen;
    for (const QAction* action : view->findChildren<QAction*>())
        for (const QKeySequence& key : action->shortcuts()) {
            EXPECT_FALSE(seen.contains(key.toString())) << key.toString().toStdString();
            seen << key.toString();
        }
    for (const char* key : {"1", "0", "F", "G", "Ctrl+G", "F5", "P", "Del", "+", "-"})
        EXPECT_TRUE(seen.contains(QString::fromLatin1(key))) << key;
}

TEST(WindowPlacementTest, FitsTheFrameOntoTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    struct Case {
        const char* name;
        QRect frame, available, expected;
    } const cases[] = {
        {"inside: kept", {10, 20, 800, 600}, screen, {10, 20, 800, 600}},
        {"past the right and bottom: moved in", {900, 700, 800, 600}, screen, {224, 168, 800, 600}},
        {"above and left: moved in", {-50, -10, 800, 600}, screen, {0, 0, 800, 600}},
        {"larger than a small screen: shrunk", {100, 100, 800, 600}, {0, 0, 640, 480}, {0, 0, 640, 480}},
        {"a second screen to the right", {0, 0, 800, 600}, {1024, 24, 1280, 1000}, {1024, 24, 800, 600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitOnScreen(c.frame, c.available), c.expected) << c.name;
}

// Blocks drawn again only where an edit showed must end as blocks drawn anew.
TEST_F(MapViewTest, EditsDrawnAgainInPartLookAsDrawnAnew)
{
    PromptedQuestions questions(prompter, view.get());
    platform::FakeClipboard clipboard;
    platform::QtFileOperations files;
    app::ObjectCommands commands(session, questions, clipboard, files, pictures);
    MapSessionEditor editor(commands, ObjectKind::Map, prompter, view.get(), [] { return EditorValues{}; });
    view->setEditor(&editor);
    auto nudge = [&](int row, int dx, int dy) {
        return [&, row, dx, dy] {
            selection.select(model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            mapCanvas().nudge(dx, dy);
        };
    };
    const std::vector<std::tuple<const char*, int, std::function<void()>>> rows = {
        {"a picture moved under another", 0, nudge(0, 5, 3)},
        {"a marker moved at a scale between pixels", 3, nudge(2, -7, 2)},
        {"a marker deleted", 1,
         [&] {
             session.push(std::make_unique<DeleteObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{4}));
         }},
        {"and back", 1, [&] { session.undo(); }},
        {"objects of a pixel or two", -12, nudge(3, 40, -24)},
    };
    for (const auto& [name, level, edit] : rows) {
        DrawnAt(mapCanvas(), level);
        edit();
        MapView anew(session, selection, settings, pictures, prompter);
        anew.resize(400, 300);
        EXPECT_EQ(DrawnAt(mapCanvas(), level), DrawnAt(Named<MapCanvas>(anew, "MapCanvas"), level)) << name;
    }
}

// More objects than a frame draws: a zoom while blocks are left stands in
// from the level drawn, and the frames after end as a view drawn anew.
TEST_F(MapViewTest, ZoomWhileBlocksAreLeftEndsAsDrawnAnew)
{
    session.push(std::make_unique<TiledBackgroundStep>(session, 64, 32, 1));
    for (const int then : {-15, -12}) {
        MapView local(session, selection, settings, pictures, prompter);
        MapView anew(session, selection, settings, pictures, prompter);
        MapCanvas& canvas = Named<MapCanvas>(local, "MapCanvas");
        const QPointF middle(8192, 8192);
        DrawnAt(canvas, -16, false, 1024, middle);
        EXPECT_TRUE(canvas.drawingLeft()) << "131,072 objects leave blocks for later";
        EXPECT_EQ(DrawnAt(canvas, then, true, 1024, middle),
                  DrawnAt(Named<MapCanvas>(anew, "MapCanvas"), then, true, 1024, middle))
            << then;
    }
}

// One object is drawn one way: the same lines on the map and on the screen,
// both at 100%, give the same pixels inside every object's box.
TEST_F(MapViewTest, MapBlocksAndScreenDrawObjectsAlike)
{
    QImage gradient(64, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, qRgb(x * 4, y * 8, 128));
    pictures.pictures.insert(dir.filePath(QStringLiteral("whole.png")), gradient);
    pictures.pictures.insert(dir.filePath(QStringLiteral("sheet.png")), gradient);
    const ObjectList& mapRows = session.document().mapObjects();
    session.push(
        std::make_unique<SwitchObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
    ObjectListModel screenModel{session, ObjectKind::Screen};
    QItemSelectionModel screenSelection{&screenModel};
    view->attachScreenObjects(screenSelection);
    mapCanvas().setGridShown(false);
    const QImage map = DrawnAt(mapCanvas(), 0, true, 600);
    const QPoint mapOrigin = mapCanvas().mapPointAt(QPointF(0, 0)).toPoint();
    view->show();
    view->showScreen(true);
    auto& screen = Named<MapScreenCanvas>(*view, "MapScreenCanvas");
    screen.resize(640 + 48, 480 + 48);  // 100%
    ASSERT_EQ(screen.widgetPointAt({1, 1}) - screen.widgetPointAt({0, 0}), QPointF(1, 1));
    const QImage shot = screen.grab().toImage();
    const QPoint screenOrigin = screen.widgetPointAt({0, 0}).toPoint();
    for (std::size_t row = 0; row < mapRows.size(); ++row) {
        const MapRect r = mapCanvas().index().rect(row);
        ASSERT_EQ(screen.rowRect(row), QRect(r.x, r.y, r.width, r.height)) << row;
        int differing = 0;
        for (std::int64_t y = r.y; y < r.y + r.height; ++y)
            for (std::int64_t x = r.x; x < r.x + r.width; ++x)
                differing += map.pixel(x - mapOrigin.x(), y - mapOrigin.y())
                             != shot.pixel(x + screenOrigin.x(), y + screenOrigin.y());
        EXPECT_EQ(differing, 0) << "row " << row;
    }
}

}  // namespace
