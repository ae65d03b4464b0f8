// Editing in the Map View, as the view asks for it: which rows a drag, a key
// or a click hands to the editor, snapped or free, with hidden and locked
// layers left out; and the Screen tab's placing of each position form.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/ObjectSteps.h"
#include "core/DefinitionWriter.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakePictureService.h"
#include "tests/fakes/FakeSettingsStore.h"
#include "tests/ui/FakePrompter.h"
#include "tests/ui/RecordingMapEditor.h"
#include "ui/Guarded.h"
#include "ui/MapSessionEditor.h"
#include "ui/MapView.h"
#include "ui/ObjectListModel.h"

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

class MapEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString file = dir.filePath(QStringLiteral("m.ini"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        // Rows 0 and 1 overlap at (100,100): 1 (layer 1) is on top. Row 2 is
        // in layer 4, row 3 in an "other" layer.
        out.write(
            "[objectimages]\r\nIMAGE1=whole.png\r\n"
            "[mapobjects]\r\n100,100,IMAGE1,0\r\n100,100,IMAGE9,1\r\n300,100,IMAGE9,4\r\n"
            "400,100,IMAGE9,12\r\n"
            "[screenobjects]\r\n10,20,IMAGE1,4\r\nC-320,C-240,IMAGE9\r\nc-20,c-10,IMAGE9\r\nx,5,IMAGE9\r\n"
            "C--4,0,IMAGE9\r\n40,20,IMAGE9,2\r\n");
        out.close();
        QImage whole(64, 32, QImage::Format_ARGB32);
        whole.fill(Qt::blue);
        pictures.pictures.insert(dir.filePath(QStringLiteral("whole.png")), whole);
        try {
            session.open(FileNameBytes(file));
        } catch (const Error&) {
            // The screen lines' texts are not numbers for the map rebuild;
            // screen objects take any coordinate text.
        }
        view = std::make_unique<MapView>(session, selection, settings, pictures, prompter);
        view->attachScreenObjects(screenSelection);
        view->setEditor(&editor, &screenEditor);
        view->resize(600, 400);
        mapCanvas().setZoomLevel(0);
        mapCanvas().centreOn(200, 110);
    }

    MapCanvas& mapCanvas() const { return Named<MapCanvas>(*view, "MapCanvas"); }

    std::vector<int> selectedRows(const QItemSelectionModel& s) const
    {
        std::vector<int> rows;
        for (const QModelIndex& i : s.selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QTemporaryDir dir;
    DocumentSession session;
    ObjectListModel model{session, ObjectKind::Map};
    QItemSelectionModel selection{&model};
    ObjectListModel screenModel{session, ObjectKind::Screen};
    QItemSelectionModel screenSelection{&screenModel};
    platform::FakeSettingsStore settings;
    platform::FakePictureService pictures;
    FakePrompter prompter;
    RecordingEditor editor;
    RecordingEditor screenEditor;
    std::unique_ptr<MapView> view;
};

TEST_F(MapEditingTest, DragMovesTheSelectionSnappedOrFree)
{
    MapCanvas& canvas = mapCanvas();
    struct Row {
        const char* name;
        std::vector<int> selectedBefore;
        bool snap;
        QPointF from, to;
        Qt::KeyboardModifiers modifiers;
        std::vector<Call> calls;
        std::vector<int> selectedAfter;
    };
    const std::vector<Row> rows = {
        {"press on an unselected object selects it alone",
         {2},
         true,
         {102, 102},
         {109, 95},
         Qt::NoModifier,
         {{"move", {1}, 12, -4}},
         {1}},
        {"snapped: the dragged top-left goes to the nearest tile edge",
         {1},
         true,
         {102, 102},
         {122, 95},
         Qt::NoModifier,
         {{"move", {1}, 28, -4}},
         {1}},
        {"a selected object drags the whole selection",
         {0, 1, 2},
         true,
         {305, 105},
         {300, 130},
         Qt::NoModifier,
         {{"move", {0, 1, 2}, -12, 28}},
         {0, 1, 2}},
        {"Shift places freely", {1}, true, {102, 102}, {111, 95}, Qt::ShiftModifier, {{"move", {1}, 9, -7}}, {1}},
        {"snapping turned off", {1}, false, {102, 102}, {103, 101}, Qt::NoModifier, {{"move", {1}, 1, -1}}, {1}},
    };
    for (const Row& row : rows) {
        editor.calls.clear();
        selection.clearSelection();
        for (int r : row.selectedBefore)
            selection.select(model.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->setSnapping(row.snap);
        canvas.dragObject(row.from, row.to, row.modifiers);
        EXPECT_EQ(editor.calls, row.calls) << row.name;
        EXPECT_EQ(selectedRows(selection), row.selectedAfter) << row.name;
    }
    view->setSnapping(true);
    EXPECT_EQ(settings.values.value(QStringLiteral("MapViewSnapToTiles")), QVariant(1));
}

TEST_F(MapEditingTest, KeysNudgeAndDeleteOnlyWhatTheLayersLetBePicked)
{
    MapCanvas& canvas = mapCanvas();
    view->show();
    // Delete is the window's key, as its menu shows.
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    canvas.setFocus();
    // Row 2 (layer 4) locked, row 3 ("other layers") hidden.
    Named<QCheckBox>(*view, "LayerLocked4").setChecked(true);
    Named<QCheckBox>(*view, "LayerVisibleOther").setChecked(false);
    selection.select(QItemSelection(model.index(0, 0), model.index(3, 0)), QItemSelectionModel::Select);
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Call call;
    };
    const std::vector<Row> rows = {
        {"left", Qt::Key_Left, Qt::NoModifier, {"move", {0, 1}, -1, 0}},
        {"down by a tile", Qt::Key_Down, Qt::ShiftModifier, {"move", {0, 1}, 0, 16}},
        {"delete", Qt::Key_Delete, Qt::NoModifier, {"delete", {0, 1}, 0, 0}},
    };
    for (const Row& row : rows) {
        editor.calls.clear();
        QTest::keyClick(&canvas, row.key, row.modifiers);
        EXPECT_EQ(editor.calls, std::vector<Call>{row.call}) << row.name;
    }
    // Neither the locked nor the hidden one can be picked; the open one under them can.
    for (const QPointF at : {QPointF(301, 101), QPointF(401, 101)}) {
        canvas.clickAt(at, Qt::NoModifier);
        EXPECT_TRUE(selection.selectedRows().isEmpty()) << at.x();
    }
    Named<QCheckBox>(*view, "LayerLocked1").setChecked(true);
    canvas.clickAt({101, 101}, Qt::NoModifier);
    EXPECT_EQ(selectedRows(selection), std::vector<int>{0});
    QCoreApplication::processEvents();
    EXPECT_EQ(Named<QLabel>(*view, "LayerCount0").text(), QStringLiteral("1"));
    EXPECT_EQ(Named<QLabel>(*view, "LayerCountOther").text(), QStringLiteral("1"));
}

TEST_F(MapEditingTest, PlaceModeAddsOnePerClickUntilEsc)
{
    MapCanvas& canvas = mapCanvas();
    view->show();
    // Esc is the window's key, whichever of its parts has the focus.
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    canvas.setZoomLevel(0);
    canvas.centreOn(1000, 2000);
    Named<QAction>(*view, "Place").trigger();
    ASSERT_TRUE(canvas.placing());
    const QPoint at = (QPointF(1000, 2000) * canvas.scale() - canvas.mapPointAt({0, 0}) * canvas.scale()).toPoint();
    QTest::mouseClick(canvas.viewport(), Qt::LeftButton, Qt::NoModifier, at + QPoint(9, 3));
    QTest::mouseClick(canvas.viewport(), Qt::LeftButton, Qt::ShiftModifier, at + QPoint(9, 3));
    EXPECT_EQ(editor.calls, (std::vector<Call>{{"place", {}, 1008, 2000}, {"place", {}, 1009, 2003}}));
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(canvas.placing());
    // Without an image chosen, placing is not offered.
    editor.placeable = false;
    view->refreshPlacing();
    EXPECT_FALSE(Named<QAction>(*view, "Place").isEnabled());
    EXPECT_FALSE(canvas.setPlacing(true));
}

TEST_F(MapEditingTest, ScreenTabPlacesEachPositionForm)
{
    MapScreenCanvas& screen = Named<MapScreenCanvas>(*view, "MapScreenCanvas");
    struct Row {
        const char* name;
        std::size_t row;
        std::optional<QRect> at640, at1024;
    };
    const std::vector<Row> rows = {
        {"whole numbers from the top-left", 0, QRect(10, 20, 64, 32), QRect(10, 20, 64, 32)},
        {"C-n from the centre", 1, QRect(0, 0, 16, 16), QRect(192, 144, 16, 16)},
        {"c-n in lower case", 2, QRect(300, 230, 16, 16), QRect(492, 374, 16, 16)},
        {"not a position", 3, std::nullopt, std::nullopt},
        {"C- with a negative n", 4, std::nullopt, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(screen.rowRect(row.row), row.at640) << row.name;
    EXPECT_EQ(Named<QLabel>(*view, "UnplaceableLabel").text(),
              QStringLiteral("2 screen objects have positions that cannot be placed; see the list."));
    Named<QComboBox>(*view, "ScreenSizeBox").setCurrentIndex(2);
    for (const Row& row : rows)
        EXPECT_EQ(screen.rowRect(row.row), row.at1024) << row.name;
    EXPECT_EQ(settings.values.value(QStringLiteral("MapViewScreenSize")), QVariant(2));

    // A click selects in the screen list; a drag moves by the snapped amount.
    screen.clickAt({495, 380}, Qt::NoModifier);
    EXPECT_EQ(selectedRows(screenSelection), std::vector<int>{2});
    screen.dragObject({501, 380}, {530, 380}, Qt::NoModifier);
    EXPECT_EQ(screenEditor.calls, (std::vector<Call>{{"move", {2}, 36, -6}}));
}

TEST_F(MapEditingTest, EditsAreStepsThatUndoWithTheSelectionKept)
{
    EditorValues values;
    values.imageChoice = 0;
    values.layerChoice = 3;
    values.modeChoice = 1;
    values.displayTimeText = "20";
    values.objectIdText = "7";
    PromptedQuestions questions(prompter, view.get());
    platform::FakeClipboard clipboard;
    platform::QtFileOperations files;
    app::ObjectCommands commands(session, questions, clipboard, files, pictures);
    MapSessionEditor map(commands, ObjectKind::Map, prompter, view.get(), [&] { return values; });
    MapSessionEditor screen(commands, ObjectKind::Screen, prompter, view.get(), [&] { return values; });
    view->setEditor(&map, &screen);
    MapCanvas& canvas = mapCanvas();

    // Place composes exactly as Add with the same values and the point.
    DocumentSession added;
    added.adopt(session.document());
    EditorValues at = values;
    at.xText = "1008";
    at.yText = "-16";
    added.push(std::make_unique<AddObjectStep>(added, ObjectKind::Map, at));
    canvas.placeAtPoint({1010, -20}, Qt::NoModifier);
    EXPECT_EQ(session.document().mapObjects().line(4), added.document().mapObjects().line(4));
    EXPECT_EQ(session.document().mapObjects().line(4), "1008,-16,IMAGE1,AfterWeapons,EnterZone,20,7");

    struct Row {
        const char* name;
        std::function<void()> edit;
        std::vector<std::string> mapLines;  // rows 0-2 after the edit
        const char* undoText;
    };
    const std::vector<Row> rows = {
        {"drag",
         [&] {
             canvas.dragObject({101, 101}, {140, 101}, Qt::NoModifier);
         },
         {"100,100,IMAGE1,0", "144,96,IMAGE9,1", "300,100,IMAGE9,4"},
         "Move 1 object"},
        {"nudge of two",
         [&] { canvas.nudge(-1, 16); },
         {"99,116,IMAGE1,0", "99,116,IMAGE9,1", "300,100,IMAGE9,4"},
         "Move 2 objects"},
        {"delete", [&] { canvas.deleteSelection(); }, {"300,100,IMAGE9,4", "400,100,IMAGE9,12"}, "Delete 2 objects"},
    };
    for (const Row& row : rows) {
        selection.clearSelection();
        if (&row != &rows.front())
            selection.select(QItemSelection(model.index(0, 0), model.index(1, 0)), QItemSelectionModel::Select);
        const std::string before = ComposeDefinition(session.document());
        row.edit();
        const std::vector<int> selectedAfter = selectedRows(selection);
        const std::string after = ComposeDefinition(session.document());
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_EQ(session.document().mapObjects().line(i), row.mapLines[i]) << row.name;
        EXPECT_EQ(session.undoText(), QString::fromLatin1(row.undoText)) << row.name;
        session.undo();
        EXPECT_EQ(ComposeDefinition(session.document()), before) << row.name;
        if (std::string(row.name) != "delete") {
            EXPECT_EQ(selectedRows(selection), selectedAfter) << row.name;
        }
        session.redo();
        EXPECT_EQ(ComposeDefinition(session.document()), after) << row.name;
        if (std::string(row.name) != "delete") {
            EXPECT_EQ(selectedRows(selection), selectedAfter) << row.name;
        }
        session.undo();
    }
    // A move past the 32-bit range is refused with the conversion message, nothing changed.
    selection.select(model.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const std::string before = ComposeDefinition(session.document());
    canvas.nudge(2147483647, 0);
    ASSERT_EQ(prompter.errors.size(), 1u);
    EXPECT_EQ(prompter.errors.front(), QStringLiteral("'2147483747' is not a valid integer value."));
    EXPECT_EQ(ComposeDefinition(session.document()), before);

    // The screen keeps each coordinate's form.
    screenSelection.select(QItemSelection(screenModel.index(0, 0), screenModel.index(2, 0)),
                           QItemSelectionModel::Select);
    Named<MapScreenCanvas>(*view, "MapScreenCanvas").nudge(25, -16);
    const ObjectList& shown = session.document().screenObjects();
    EXPECT_EQ(std::string(shown.line(0)) + " " + std::string(shown.line(1)) + " " + std::string(shown.line(2)),
              "30,4,IMAGE1,4 C-300,C-256,IMAGE9 c-0,c-26,IMAGE9");
}

// Screen row 5 (layer 2) lies over screen row 0 (layer 4) at (41,21).
TEST_F(MapEditingTest, ScreenTabHidesLocksAndCountsByItsOwnBoxes)
{
    view->show();
    view->showScreen(true);
    MapScreenCanvas& screen = Named<MapScreenCanvas>(*view, "MapScreenCanvas");
    EXPECT_EQ(Named<QLabel>(*view, "LayerCount2").text(), QStringLiteral("1"));
    using Row = std::tuple<const char*, std::vector<int>, std::vector<std::size_t>, bool>;
    for (const auto& [box, picked, nudged, row0Drawn] :
         {Row{"", {5}, {0, 1, 2, 3, 4, 5}, true}, Row{"LayerLocked2", {0}, {0, 1, 2, 3, 4}, true},
          Row{"LayerVisible4", {}, {1, 2, 3, 4}, false}}) {
        if (*box)
            Named<QCheckBox>(*view, box).click();
        screen.clickAt({41, 21}, Qt::NoModifier);
        EXPECT_EQ(selectedRows(screenSelection), picked) << box;
        screenSelection.select(QItemSelection(screenModel.index(0, 0), screenModel.index(5, 0)),
                               QItemSelectionModel::Select);
        screenEditor.calls.clear();
        screen.nudge(-1, 0);
        EXPECT_EQ(screenEditor.calls, (std::vector<Call>{{"move", nudged, -1, 0}})) << box;
        const QPoint inRow0 = screen.widgetPointAt({30, 45}).toPoint();
        EXPECT_EQ(screen.grab().toImage().pixel(inRow0) == qRgb(0, 0, 255), row0Drawn) << box;
    }
    view->showScreen(false);
    EXPECT_TRUE(Named<QCheckBox>(*view, "LayerVisible4").isChecked());
    EXPECT_EQ(Named<QLabel>(*view, "LayerCount2").text(), QStringLiteral("0"));
}

// The status bar shows the tab in view, and what is under the pointer
// whenever the view moves under it, not only when the pointer moves.
TEST_F(MapEditingTest, StatusBarFollowsTheTabAndEveryKeyThatMovesTheView)
{
    view->show();
    MapScreenCanvas& screen = Named<MapScreenCanvas>(*view, "MapScreenCanvas");
    QTest::mouseMove(mapCanvas().viewport(), {40, 30});
    const QLabel& status = Named<QLabel>(*view, "StatusPosition");
    auto shows = [&](QPointF p) {
        return status.text().startsWith(QStringLiteral("X: %1  Y: %2 ").arg(std::floor(p.x())).arg(std::floor(p.y())));
    };
    selection.select(model.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (QAction* action : view->actions())
        if (QList<QKeySequence>{Qt::Key_0, Qt::Key_1, Qt::Key_F}.contains(action->shortcut())) {
            action->trigger();
            EXPECT_TRUE(shows(mapCanvas().mapPointAt({40, 30}))) << status.text().toStdString();
        }
    view->showScreen(true);
    QTest::mouseMove(&screen, {40, 30});
    EXPECT_TRUE(shows(screen.screenPointAt({40, 30}))) << status.text().toStdString();
    Named<QComboBox>(*view, "ScreenSizeBox").setCurrentIndex(4);
    EXPECT_TRUE(shows(screen.screenPointAt({40, 30}))) << status.text().toStdString();
    view->showScreen(false);
    EXPECT_TRUE(shows(mapCanvas().mapPointAt({40, 30}))) << status.text().toStdString();
}

}  // namespace
