// The editing tool driven through a fake canvas drawn at 200%: which rows a
// click, a band, a drag, a key or a place hands to the editor and leaves
// selected, with a locked layer and a row the canvas does not show left out.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QWidget>
#include <climits>

#include "tests/ui/RecordingMapEditor.h"
#include "ui/EditTool.h"

using namespace qel;
using namespace qel::ui;

namespace {

// Row 1 lies over row 0 around (20,20); row 2 is in layer 4; the canvas does
// not show row 3. The last row is on top.
class FakeCanvas : public QWidget, public EditSurface {
public:
    struct Object {
        MapRect rect;
        std::int32_t layer;
        bool shown;
    };
    std::vector<Object> objects = {{{0, 0, 32, 32}, 0, true},
                                   {{16, 16, 32, 32}, 1, true},
                                   {{100, 0, 16, 16}, 4, true},
                                   {{200, 0, 16, 16}, 0, false}};
    QItemSelectionModel* selection = nullptr;
    std::vector<std::uint32_t> selected;

    QPointF pointAt(QPointF widgetPoint) const override { return widgetPoint / 2; }
    std::vector<std::uint32_t> stack(const MapRect& area, const MapLayers& layers) const
    {
        std::vector<std::uint32_t> rows;
        for (std::size_t row = objects.size(); row-- > 0;)
            if (objects[row].shown && objects[row].rect.intersects(area) && layers.pickable(objects[row].layer))
                rows.push_back(static_cast<std::uint32_t>(row));
        return rows;
    }
    std::optional<std::size_t> pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers) override
    {
        const auto rows = stack({x, y, 1, 1}, layers);
        return rows.empty() ? std::nullopt : std::optional<std::size_t>(rows.front());
    }
    std::optional<std::size_t> nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                          std::optional<std::size_t> current) override
    {
        return NextDownInStack(stack({x, y, 1, 1}, layers), current);
    }
    void pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows) override
    {
        rows = stack(area, layers);
    }
    const std::vector<std::uint32_t>& selectedRows() override
    {
        selected.clear();
        for (const QModelIndex& i : selection->selectedRows())
            selected.push_back(static_cast<std::uint32_t>(i.row()));
        std::sort(selected.begin(), selected.end());
        return selected;
    }
    std::optional<std::int32_t> layerOf(std::size_t row) override
    {
        return objects[row].shown ? std::optional(objects[row].layer) : std::nullopt;
    }
    std::optional<std::pair<std::int32_t, std::int32_t>> anchorOf(std::size_t row) const override
    {
        return std::pair{static_cast<std::int32_t>(objects[row].rect.x),
                         static_cast<std::int32_t>(objects[row].rect.y)};
    }
};

void Send(QWidget& to, QEvent::Type type, QPointF canvasPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at = canvasPoint * 2;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, to.mapToGlobal(at), button, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(&to, &event);
}

void Click(QWidget& to, QPointF canvasPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(to, QEvent::MouseButtonPress, canvasPoint, modifiers);
    Send(to, QEvent::MouseButtonRelease, canvasPoint, modifiers);
}

void Drag(QWidget& to, QPointF from, QPointF toPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(to, QEvent::MouseButtonPress, from, modifiers);
    Send(to, QEvent::MouseMove, toPoint, modifiers);
    Send(to, QEvent::MouseButtonRelease, toPoint, modifiers);
}

void Key(QWidget& to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&to, &event);
}

TEST(EditToolTest, TheMouseKeysAndPlaceModeEditWhatTheLayersLetBePicked)
{
    QStandardItemModel model(4, 1);
    QItemSelectionModel selection(&model);
    FakeCanvas canvas;
    canvas.selection = &selection;
    EditTool tool(canvas, canvas, selection);
    RecordingEditor editor;
    tool.setEditor(&editor);
    QSignalSpy activated(&tool, &EditTool::objectActivated);
    MapLayers locked;
    locked.setLocked(4, true);
    enum class Do { Click, Drag, ShiftedDrag, Arrows, Place, Escape };
    struct Row {
        const char* name;
        std::vector<int> selectedBefore;  // the last one current
        bool lockLayer4;
        Do gesture;
        QPointF from, to;  // canvas points
        Qt::KeyboardModifiers modifiers;
        std::vector<Call> calls;
        std::vector<int> selectedAfter;
        std::vector<int> activatedRows = {};
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
    const std::vector<Row> rows = {
        {"a click picks the topmost", {}, false, Do::Click, {20, 20}, {}, none, {}, {1}, {1}},
        {"Alt+click goes down the stack", {1}, false, Do::Click, {20, 20}, {}, Qt::AltModifier, {}, {0}, {0}},
        {"Ctrl+click adds", {0}, false, Do::Click, {104, 4}, {}, Qt::ControlModifier, {}, {0, 2}, {}},
        {"a band selects what it meets but the locked", {3}, true, Do::Drag, {125, 30}, {}, none, {}, {0, 1}, {}},
        {"a still click on empty space clears", {0, 1}, false, Do::Click, {60, 60}, {}, none, {}, {}, {}},
        {"a drag moves the editable",
         {0, 2, 3},
         true,
         Do::Drag,
         {4, 4},
         {25, 9},
         none,
         {{"move", {0}, 16, 0}},
         {0, 2, 3}},
        {"Shift once dragging: free",
         {0},
         false,
         Do::ShiftedDrag,
         {104, 4},
         {111, 7},
         none,
         {{"move", {2}, 7, 3}},
         {2},
         {2}},
        {"a band from an object with Shift adds", {0}, false, Do::Drag, {104, 4}, {111, 7}, shift, {}, {0, 2}},
        {"Ctrl+Shift removes", {0, 2}, false, Do::Drag, {104, 4}, {111, 7}, shift | Qt::ControlModifier, {}, {0}},
        {"a still click on a selected one picks it alone", {0, 1}, false, Do::Click, {4, 4}, {}, none, {}, {0}, {0}},
        {"arrows nudge 1, Shift 16",
         {0, 2},
         true,
         Do::Arrows,
         {},
         {},
         none,
         {{"move", {0}, -1, 0}, {"move", {0}, 0, 16}},
         {0, 2}},
        {"place mode: a click each, snapped unless Shift, in 32 bits",
         {0},
         false,
         Do::Place,
         {21, 5},
         {1e12, -1e12},
         none,
         {{"place", {}, 16, 0},
          {"place", {}, 21, 5},
          {"place", {}, 2147483632, INT32_MIN},
          {"place", {}, INT32_MAX, INT32_MIN}},
         {0}},
        {"Escape leaves place mode first", {0}, false, Do::Escape, {}, {}, none, {}, {0}, {}},
        {"and clears the selection once out of it", {0}, false, Do::Escape, {}, {}, none, {}, {}, {}},
    };
    auto perform = [&](const Row& row) {
        switch (row.gesture) {
        case Do::Click:
            return Click(canvas, row.from, row.modifiers);
        case Do::Drag:
            return Drag(canvas, row.from, row.to, row.modifiers);
        case Do::ShiftedDrag:
            Send(canvas, QEvent::MouseButtonPress, row.from);
            Send(canvas, QEvent::MouseMove, row.to, Qt::ShiftModifier);
            return Send(canvas, QEvent::MouseButtonRelease, row.to, Qt::ShiftModifier);
        case Do::Arrows:
            Key(canvas, Qt::Key_Left);
            return Key(canvas, Qt::Key_Down, Qt::ShiftModifier);
        case Do::Place:
            tool.setPlacing(true);
            Click(canvas, row.from);
            Click(canvas, row.from, Qt::ShiftModifier);
            tool.placeAt(row.to, Qt::NoModifier);
            return tool.placeAt(row.to, Qt::ShiftModifier);
        case Do::Escape:
            return tool.cancel();
        }
    };
    for (const Row& row : rows) {
        selection.clearSelection();
        for (int r : row.selectedBefore)
            selection.setCurrentIndex(model.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        tool.setLayers(row.lockLayer4 ? locked : MapLayers());
        editor.calls.clear();
        activated.clear();
        perform(row);
        EXPECT_EQ(editor.calls, row.calls) << row.name;
        std::vector<int> selected;
        for (const std::uint32_t r : canvas.selectedRows())
            selected.push_back(static_cast<int>(r));
        EXPECT_EQ(selected, row.selectedAfter) << row.name;
        std::vector<int> told;
        for (const QList<QVariant>& signal : activated)
            told.push_back(signal.front().toInt());
        EXPECT_EQ(told, row.activatedRows) << row.name;
    }
    EXPECT_FALSE(tool.placing());
}

}  // namespace
