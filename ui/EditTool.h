#pragma once
// The editing both canvases share: selection clicks (Ctrl toggles, Alt goes
// down the stack under the pointer), the rubber band (from empty space, or
// from anywhere with Shift, which adds, or Ctrl+Shift, which removes),
// dragging the selection (snapped to the tile grid unless Shift is held once
// it is under way, or snapping is off), nudges with the arrow keys,
// deleting, place mode and the context menu, all within
// the layer rules: hidden layers are neither drawn nor picked, locked ones
// are drawn but not picked, so neither moved nor deleted from the view.
//
// A canvas supplies what differs (EditSurface): its picking, the conversion
// from its widget's pixels to its own points, and its drawing, which asks
// the tool for the drag and the band under way. The tool takes the mouse,
// key and context menu events of the canvas's widget before the widget does
// (it filters them), leaving the widget those it has no use for. The edits
// go to the MapEditor; the selection is the object list's own selection
// model.

#include <QItemSelectionModel>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/MapIndex.h"
#include "core/MapLayers.h"
#include "ui/MapEditor.h"

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWidget;

namespace qel::ui {

class EditSurface {
public:
    virtual ~EditSurface() = default;
    // The canvas's point (map or screen pixels) under a point of the widget
    // the mouse is over.
    virtual QPointF pointAt(QPointF widgetPoint) const = 0;
    // The topmost row under a point that the layers let be picked.
    virtual std::optional<std::size_t> pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers) = 0;
    // Alt+click: the pickable row under the point below `current`, cycling.
    virtual std::optional<std::size_t> nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                                  std::optional<std::size_t> current) = 0;
    // The pickable rows meeting `area`, in any order.
    virtual void pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows) = 0;
    // The selected rows, ascending.
    virtual const std::vector<std::uint32_t>& selectedRows() = 0;
    // A row's layer; nothing for a row the canvas does not show, which it
    // neither moves nor deletes.
    virtual std::optional<std::int32_t> layerOf(std::size_t row) = 0;
    // Where a row's top-left stands, the point a drag snaps to the grid;
    // nothing for a row that cannot move.
    virtual std::optional<std::pair<std::int32_t, std::int32_t>> anchorOf(std::size_t row) const = 0;
};

class EditTool : public QObject {
    Q_OBJECT
public:
    // `widget` is the one the mouse is over (its cursor, its menus, its
    // repaints); its keys are those of its focus proxy when it has one, as
    // a scroll area's viewport does. The tool is its child.
    EditTool(EditSurface& surface, QWidget& widget, QItemSelectionModel& selection);

    // Who makes the edits; none leaves the canvas for looking and selecting.
    MapEditor* editor() const { return editor_; }
    void setEditor(MapEditor* editor) { editor_ = editor; }
    bool snapping() const { return snap_; }
    void setSnapping(bool on) { snap_ = on; }
    const MapLayers& layers() const { return layers_; }
    void setLayers(const MapLayers& layers);
    bool placing() const { return placing_; }
    // Place mode: each click adds one object. Refused while the editor
    // cannot place; returns whether the mode is on.
    bool setPlacing(bool on);

    // Canvas points, as the mouse gives them.
    void clickAt(QPointF point, Qt::KeyboardModifiers modifiers);
    void selectArea(const MapRect& area, bool add);
    void deselectArea(const MapRect& area);
    void clearSelection();
    // Escape: leaves place mode, or else clears the selection.
    void cancel();
    // The selected rows the layers let be moved or deleted.
    std::vector<std::size_t> editableSelection();
    void nudge(std::int64_t dx, std::int64_t dy);
    void deleteSelection();
    // A drag of the object under `from` to `to`, as the mouse makes it: the
    // press selects, the release moves.
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers);
    // One object at the point, snapped as a drag is.
    void placeAt(QPointF point, Qt::KeyboardModifiers modifiers);

    // For drawing: how far the selection is being dragged ((0, 0) when it is
    // not), and the rubber band under way in the widget's pixels.
    std::pair<std::int64_t, std::int64_t> dragOffset() const;
    std::optional<QRect> band() const;

    // The canvas point under the pointer, snapped as a placed object is;
    // nothing while the pointer is elsewhere.
    std::optional<std::pair<std::int64_t, std::int64_t>> pointerPoint() const;
    // Who fills the context menu (given the row under the pointer); without
    // one the menu holds Delete alone.
    using MenuFiller = std::function<void(QMenu& menu, std::optional<std::size_t> row)>;
    void setMenuFiller(MenuFiller filler) { menuFiller_ = std::move(filler); }

signals:
    // The row was clicked: make it current in the list and load it into the
    // object editor, as a click on the row does.
    void objectActivated(int row);
    void placingChanged(bool on);
    void layersChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { None, Band, Move };
    enum class BandMode { Replace, Add, Remove };

    std::optional<std::size_t> pickAt(QPointF point);
    QItemSelection areaSelection(const MapRect& area);
    std::optional<std::size_t> currentRow() const;
    void makeCurrent(std::size_t row, QItemSelectionModel::SelectionFlags flags);
    // Selects the row alone and tells it was clicked.
    void activate(std::size_t row);
    bool snapsWith(Qt::KeyboardModifiers modifiers) const { return snap_ && !(modifiers & Qt::ShiftModifier); }
    // Starts a move drag on `row` (selected first when it is not).
    void beginMove(std::size_t row, QPointF point, Qt::KeyboardModifiers modifiers);
    std::pair<std::int64_t, std::int64_t> moveDelta(QPointF point, Qt::KeyboardModifiers modifiers) const;
    void finishMove(QPointF point, Qt::KeyboardModifiers modifiers);
    void finishBand(QPoint widgetPoint);
    // The widget's events; each returns whether the tool took it.
    bool mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    // The arrow keys nudge.
    bool keyPress(QKeyEvent* event);
    void contextMenu(QPoint globalPos);

    EditSurface& surface_;
    QWidget& widget_;
    QItemSelectionModel& selection_;
    MapEditor* editor_ = nullptr;
    MapLayers layers_;
    bool snap_ = true;
    bool placing_ = false;

    Drag drag_ = Drag::None;
    QPoint pressedAt_;  // widget pixels
    QPoint bandNow_;
    BandMode bandMode_ = BandMode::Replace;
    MenuFiller menuFiller_;
    std::size_t moveRow_ = 0;  // the dragged object
    QPointF moveFrom_;         // canvas point of the press
    QPointF moveNow_;
    Qt::KeyboardModifiers moveModifiers_;
    bool moveWasSelected_ = false;
};

}  // namespace qel::ui
