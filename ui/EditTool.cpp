#include "ui/EditTool.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/ObjectMoves.h"

namespace qel::ui {

namespace {

// A press and a release closer than this many widget pixels make a click,
// not a drag or a band.
constexpr int kClickSlack = 3;

std::int64_t Floor(double v)
{
    return static_cast<std::int64_t>(std::floor(v));
}

}  // namespace

EditTool::EditTool(EditSurface& surface, QWidget& widget, QItemSelectionModel& selection)
    : QObject(&widget), surface_(surface), widget_(widget), selection_(selection)
{
    widget.installEventFilter(this);
    if (QWidget* keys = widget.focusProxy())
        keys->installEventFilter(this);
}

void EditTool::setLayers(const MapLayers& layers)
{
    layers_ = layers;
    emit layersChanged();
}

// --- selection ---

std::optional<std::size_t> EditTool::pickAt(QPointF point)
{
    return surface_.pickAt(Floor(point.x()), Floor(point.y()), layers_);
}

std::optional<std::size_t> EditTool::currentRow() const
{
    const QModelIndex current = selection_.currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

void EditTool::makeCurrent(std::size_t row, QItemSelectionModel::SelectionFlags flags)
{
    selection_.setCurrentIndex(selection_.model()->index(static_cast<int>(row), 0), flags);
}

void EditTool::activate(std::size_t row)
{
    makeCurrent(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit objectActivated(static_cast<int>(row));
}

void EditTool::clickAt(QPointF point, Qt::KeyboardModifiers modifiers)
{
    const std::int64_t x = Floor(point.x());
    const std::int64_t y = Floor(point.y());
    if (modifiers & Qt::AltModifier) {
        if (const auto next = surface_.nextDownAt(x, y, layers_, currentRow()))
            activate(*next);
        return;
    }
    const auto hit = surface_.pickAt(x, y, layers_);
    if (modifiers & Qt::ControlModifier) {
        if (hit)
            makeCurrent(*hit, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        return;
    }
    if (hit)
        activate(*hit);
    else
        clearSelection();
}

QItemSelection EditTool::areaSelection(const MapRect& area)
{
    std::vector<std::uint32_t> rows;
    surface_.pickIn(area, layers_, rows);
    std::sort(rows.begin(), rows.end());
    // Runs of rows become one range each: a rectangle over a tiled
    // background is a few thousand ranges, not a million indexes.
    QItemSelection chosen;
    QAbstractItemModel* model = selection_.model();
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i + 1;
        while (j < rows.size() && rows[j] == rows[j - 1] + 1)
            ++j;
        chosen.append(QItemSelectionRange(model->index(static_cast<int>(rows[i]), 0),
                                          model->index(static_cast<int>(rows[j - 1]), 0)));
        i = j;
    }
    return chosen;
}

void EditTool::selectArea(const MapRect& area, bool add)
{
    selection_.select(areaSelection(area), (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect)
                                               | QItemSelectionModel::Rows);
}

void EditTool::deselectArea(const MapRect& area)
{
    selection_.select(areaSelection(area), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void EditTool::clearSelection()
{
    selection_.clearSelection();
}

void EditTool::cancel()
{
    if (placing_)
        setPlacing(false);
    else
        clearSelection();
}

// --- editing ---

std::vector<std::size_t> EditTool::editableSelection()
{
    const std::vector<std::uint32_t>& selected = surface_.selectedRows();
    std::vector<std::size_t> rows;
    rows.reserve(selected.size());
    const bool allOpen = layers_.allOpen();
    for (const std::uint32_t row : selected)
        if (const std::optional<std::int32_t> layer = surface_.layerOf(row))
            if (allOpen || layers_.pickable(*layer))
                rows.push_back(row);
    return rows;
}

void EditTool::nudge(std::int64_t dx, std::int64_t dy)
{
    if (!editor_)
        return;
    const std::vector<std::size_t> rows = editableSelection();
    if (!rows.empty())
        editor_->moveRows(rows, dx, dy);
}

void EditTool::deleteSelection()
{
    if (!editor_)
        return;
    const std::vector<std::size_t> rows = editableSelection();
    if (!rows.empty())
        editor_->deleteRows(rows);
}

bool EditTool::setPlacing(bool on)
{
    on = on && editor_ && editor_->canPlace();
    if (on != placing_) {
        placing_ = on;
        if (on)
            widget_.setCursor(Qt::CrossCursor);
        else
            widget_.unsetCursor();
        emit placingChanged(on);
    }
    return placing_;
}

void EditTool::placeAt(QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (!editor_ || !editor_->canPlace())
        return;
    std::int64_t x = Floor(point.x());
    std::int64_t y = Floor(point.y());
    if (snapsWith(modifiers)) {
        x = NearestTileEdge(x);
        y = NearestTileEdge(y);
    }
    // A point in a view is always well inside the 32-bit range.
    editor_->placeAt(static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)),
                     static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX)));
}

void EditTool::beginMove(std::size_t row, QPointF point, Qt::KeyboardModifiers modifiers)
{
    moveWasSelected_ = selection_.isRowSelected(static_cast<int>(row), QModelIndex());
    if (!moveWasSelected_)
        activate(row);
    drag_ = Drag::Move;
    moveRow_ = row;
    moveFrom_ = moveNow_ = point;
    moveModifiers_ = modifiers;
}

std::pair<std::int64_t, std::int64_t> EditTool::moveDelta(QPointF point, Qt::KeyboardModifiers modifiers) const
{
    const auto anchor = surface_.anchorOf(moveRow_);
    const std::int64_t rawX = Floor(point.x()) - Floor(moveFrom_.x());
    const std::int64_t rawY = Floor(point.y()) - Floor(moveFrom_.y());
    if (!anchor || (rawX == 0 && rawY == 0))
        return {0, 0};
    return DragDelta(*anchor, {rawX, rawY}, snapsWith(modifiers));
}

void EditTool::finishMove(QPointF point, Qt::KeyboardModifiers modifiers)
{
    const auto [dx, dy] = moveDelta(point, modifiers);
    if (dx == 0 && dy == 0) {
        // A click on a selected object without a drag picks it alone.
        if (moveWasSelected_ && static_cast<int>(moveRow_) < selection_.model()->rowCount())
            activate(moveRow_);
        return;
    }
    nudge(dx, dy);
}

void EditTool::dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
{
    const std::optional<std::size_t> hit = pickAt(from);
    if (!hit || !editor_)
        return;
    beginMove(*hit, from, modifiers);
    drag_ = Drag::None;
    finishMove(to, modifiers);
}

std::pair<std::int64_t, std::int64_t> EditTool::dragOffset() const
{
    if (drag_ != Drag::Move)
        return {0, 0};
    return moveDelta(moveNow_, moveModifiers_);
}

std::optional<QRect> EditTool::band() const
{
    if (drag_ != Drag::Band)
        return std::nullopt;
    return QRect(pressedAt_, bandNow_).normalized();
}

// --- mouse and keys ---

bool EditTool::eventFilter(QObject* watched, QEvent* event)
{
    const bool mouse = watched == &widget_;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mouse && mousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        if (mouse)
            mouseMove(static_cast<QMouseEvent*>(event));
        return false;  // the canvas follows the pointer too
    case QEvent::MouseButtonRelease:
        return mouse && mouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
        contextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        return false;
    }
}

bool EditTool::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const QPointF point = surface_.pointAt(event->position());
    if (placing_) {
        placeAt(point, event->modifiers());
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    pressedAt_ = bandNow_ = event->position().toPoint();
    // With Shift a band starts anywhere: on a dense map there is no empty
    // space to start one from.
    if ((modifiers & Qt::ShiftModifier) && !(modifiers & Qt::AltModifier)) {
        drag_ = Drag::Band;
        bandMode_ = (modifiers & Qt::ControlModifier) ? BandMode::Remove : BandMode::Add;
        return true;
    }
    const std::optional<std::size_t> hit = pickAt(point);
    if (hit && editor_ && !(modifiers & (Qt::AltModifier | Qt::ControlModifier))) {
        beginMove(*hit, point, modifiers);
    } else if (!hit && !(modifiers & Qt::AltModifier)) {
        drag_ = Drag::Band;
        bandMode_ = (modifiers & Qt::ControlModifier) ? BandMode::Add : BandMode::Replace;
    } else {
        clickAt(point, event->modifiers());
    }
    return true;
}

void EditTool::mouseMove(QMouseEvent* event)
{
    if (drag_ == Drag::Band) {
        bandNow_ = event->position().toPoint();
    } else if (drag_ == Drag::Move) {
        moveNow_ = surface_.pointAt(event->position());
        moveModifiers_ = event->modifiers();
    } else {
        return;
    }
    widget_.update();
}

bool EditTool::mouseRelease(QMouseEvent* event)
{
    if (drag_ == Drag::None || event->button() != Qt::LeftButton)
        return false;
    const Drag ended = drag_;
    drag_ = Drag::None;
    const QPoint at = event->position().toPoint();
    if (ended == Drag::Move) {
        const bool moved = (at - pressedAt_).manhattanLength() >= kClickSlack;
        finishMove(moved ? surface_.pointAt(event->position()) : moveFrom_, event->modifiers());
    } else {
        finishBand(at);
    }
    widget_.update();
    return true;
}

void EditTool::finishBand(QPoint widgetPoint)
{
    const QRect band = QRect(pressedAt_, widgetPoint).normalized();
    if (band.width() < kClickSlack && band.height() < kClickSlack && bandMode_ == BandMode::Replace) {
        // A click on empty space.
        clearSelection();
        return;
    }
    const QPointF a = surface_.pointAt(band.topLeft());
    const QPointF b = surface_.pointAt(band.bottomRight() + QPoint(1, 1));
    const std::int64_t x0 = Floor(a.x()), y0 = Floor(a.y());
    const auto x1 = static_cast<std::int64_t>(std::ceil(b.x())), y1 = static_cast<std::int64_t>(std::ceil(b.y()));
    const MapRect area{x0, y0, x1 - x0, y1 - y0};
    if (bandMode_ == BandMode::Remove)
        deselectArea(area);
    else
        selectArea(area, bandMode_ == BandMode::Add);
}

bool EditTool::keyPress(QKeyEvent* event)
{
    // One pixel, or with Shift the tile grid's side.
    const std::int64_t distance = (event->modifiers() & Qt::ShiftModifier) ? kTileSide : 1;
    switch (event->key()) {
    case Qt::Key_Left:
        nudge(-distance, 0);
        return true;
    case Qt::Key_Right:
        nudge(distance, 0);
        return true;
    case Qt::Key_Up:
        nudge(0, -distance);
        return true;
    case Qt::Key_Down:
        nudge(0, distance);
        return true;
    default:
        return false;
    }
}

void EditTool::contextMenu(QPoint globalPos)
{
    if (!editor_)
        return;
    QMenu menu(&widget_);
    if (menuFiller_) {
        menuFiller_(menu, pickAt(surface_.pointAt(widget_.mapFromGlobal(QPointF(globalPos)))));
        menu.exec(globalPos);
        return;
    }
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setEnabled(!editableSelection().empty());
    if (menu.exec(globalPos) == remove)
        deleteSelection();
}

std::optional<std::pair<std::int64_t, std::int64_t>> EditTool::pointerPoint() const
{
    const QPoint at = widget_.mapFromGlobal(QCursor::pos());
    if (!widget_.rect().contains(at))
        return std::nullopt;
    const QPointF point = surface_.pointAt(QPointF(at));
    std::int64_t x = Floor(point.x());
    std::int64_t y = Floor(point.y());
    if (snap_) {
        x = NearestTileEdge(x);
        y = NearestTileEdge(y);
    }
    return std::make_pair(x, y);
}

}  // namespace qel::ui
