#include "MapCanvas.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "ObjectMoves.h"

namespace qel::ui {

// --- selection ---

std::optional<std::size_t> MapCanvas::currentRow() const
{
    const QModelIndex current = selection_.currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

void MapCanvas::makeCurrent(std::size_t row, QItemSelectionModel::SelectionFlags flags)
{
    const QModelIndex index = selection_.model()->index(static_cast<int>(row), 0);
    selection_.setCurrentIndex(index, flags);
}

void MapCanvas::clickAt(QPointF mapPoint, Qt::KeyboardModifiers modifiers)
{
    ensureIndex();
    const auto x = static_cast<std::int64_t>(std::floor(mapPoint.x()));
    const auto y = static_cast<std::int64_t>(std::floor(mapPoint.y()));
    if (modifiers & Qt::AltModifier) {
        if (const auto next = NextPickableDown(index_, layers_, x, y, currentRow())) {
            makeCurrent(*next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            emit objectActivated(static_cast<int>(*next));
        }
        return;
    }
    const auto hit = TopmostPickable(index_, layers_, x, y);
    if (modifiers & Qt::ControlModifier) {
        if (hit)
            makeCurrent(*hit, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        return;
    }
    if (!hit) {
        selectNothing();
        return;
    }
    makeCurrent(*hit, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit objectActivated(static_cast<int>(*hit));
}

void MapCanvas::selectArea(const MapRect& area, bool add)
{
    ensureIndex();
    std::vector<std::uint32_t> rows;
    index_.query(area, rows);
    KeepPickable(index_, layers_, rows);
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
    selection_.select(
        chosen, (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) | QItemSelectionModel::Rows);
}

void MapCanvas::selectNothing()
{
    selection_.clearSelection();
}

// --- mouse and keys ---

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
        drag_ = Drag::Pan;
        dragStart_ = at;
        panFromX_ = scrollX_;
        panFromY_ = scrollY_;
        viewport()->setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF mapPoint = mapPointAt(event->position());
    if (placing_) {
        placeAtPoint(mapPoint, event->modifiers());
        return;
    }
    const std::optional<std::size_t> hit = pickAt(mapPoint);
    const bool overObject = hit.has_value();
    if (overObject && editor_ && !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
        dragStart_ = at;
        beginMove(*hit, mapPoint, event->modifiers());
        return;
    }
    if (!overObject && !(event->modifiers() & Qt::AltModifier)) {
        drag_ = Drag::Band;
        dragStart_ = dragNow_ = at;
        bandAdds_ = event->modifiers() & Qt::ControlModifier;
        return;
    }
    clickAt(mapPoint, event->modifiers());
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    pointer_ = event->position();
    emit pointerMoved(mapPointAt(event->position()));
    if (drag_ == Drag::Pan) {
        setScroll(panFromX_ - (at.x() - dragStart_.x()), panFromY_ - (at.y() - dragStart_.y()));
    } else if (drag_ == Drag::Band) {
        dragNow_ = at;
        viewport()->update();
    } else if (drag_ == Drag::Move) {
        dragNow_ = at;
        moveNow_ = mapPointAt(event->position());
        moveModifiers_ = event->modifiers();
        viewport()->update();
    }
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Pan) {
        drag_ = Drag::None;
        viewport()->unsetCursor();
        return;
    }
    if (drag_ == Drag::Move && event->button() == Qt::LeftButton) {
        drag_ = Drag::None;
        const bool moved = (event->position().toPoint() - dragStart_).manhattanLength() >= 3;
        finishMove(moved ? mapPointAt(event->position()) : moveFrom_, event->modifiers());
        viewport()->update();
        return;
    }
    if (drag_ != Drag::Band || event->button() != Qt::LeftButton)
        return;
    drag_ = Drag::None;
    const QRect band = QRect(dragStart_, event->position().toPoint()).normalized();
    if (band.width() < 3 && band.height() < 3) {
        // A click on empty space.
        if (!bandAdds_)
            selectNothing();
        viewport()->update();
        return;
    }
    const QPointF a = mapPointAt(band.topLeft());
    const QPointF b = mapPointAt(band.bottomRight() + QPoint(1, 1));
    const auto x0 = static_cast<std::int64_t>(std::floor(a.x())), y0 = static_cast<std::int64_t>(std::floor(a.y()));
    const auto x1 = static_cast<std::int64_t>(std::ceil(b.x())), y1 = static_cast<std::int64_t>(std::ceil(b.y()));
    selectArea(MapRect{x0, y0, x1 - x0, y1 - y0}, bandAdds_);
    viewport()->update();
}

void MapCanvas::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            spaceHeld_ = true;
        return;
    }
    // The tile grid's step, not the canvas's own drawing tiles.
    const std::int64_t step = (event->modifiers() & Qt::ShiftModifier) ? qel::kTileSide : 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (placing_)
            setPlacing(false);
        else
            selectNothing();
        return;
    case Qt::Key_Left:
        nudge(-step, 0);
        return;
    case Qt::Key_Right:
        nudge(step, 0);
        return;
    case Qt::Key_Up:
        nudge(0, -step);
        return;
    case Qt::Key_Down:
        nudge(0, step);
        return;
    case Qt::Key_Delete:
        deleteSelection();
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void MapCanvas::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            spaceHeld_ = false;
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

// --- editing ---

std::optional<std::size_t> MapCanvas::pickAt(QPointF mapPoint)
{
    ensureIndex();
    return TopmostPickable(index_, layers_, static_cast<std::int64_t>(std::floor(mapPoint.x())),
                           static_cast<std::int64_t>(std::floor(mapPoint.y())));
}

bool MapCanvas::isSelected(std::size_t row) const
{
    return selection_.isRowSelected(static_cast<int>(row), QModelIndex());
}

std::vector<std::size_t> MapCanvas::editableSelection()
{
    ensureIndex();
    std::vector<std::size_t> rows;
    const std::vector<std::uint32_t>& selected = selectedRows();
    rows.reserve(selected.size());
    for (const std::uint32_t row : selected)
        if (index_.indexed(row))
            rows.push_back(row);
    KeepPickable(layers_, rows, [this](std::size_t row) { return index_.layer(row); });
    return rows;
}

void MapCanvas::nudge(std::int64_t dx, std::int64_t dy)
{
    if (!editor_)
        return;
    const std::vector<std::size_t> rows = editableSelection();
    if (!rows.empty())
        editor_->moveRows(rows, dx, dy);
}

void MapCanvas::deleteSelection()
{
    if (!editor_)
        return;
    const std::vector<std::size_t> rows = editableSelection();
    if (!rows.empty())
        editor_->deleteRows(rows);
}

bool MapCanvas::setPlacing(bool on)
{
    on = on && editor_ && editor_->canPlace();
    if (on != placing_) {
        placing_ = on;
        if (on)
            viewport()->setCursor(Qt::CrossCursor);
        else
            viewport()->unsetCursor();
        emit placingChanged(on);
    }
    return placing_;
}

void MapCanvas::placeAtPoint(QPointF mapPoint, Qt::KeyboardModifiers modifiers)
{
    if (!editor_ || !editor_->canPlace())
        return;
    std::int64_t x = static_cast<std::int64_t>(std::floor(mapPoint.x()));
    std::int64_t y = static_cast<std::int64_t>(std::floor(mapPoint.y()));
    if (snap_ && !(modifiers & Qt::ShiftModifier)) {
        x = NearestTileEdge(x);
        y = NearestTileEdge(y);
    }
    // A point in the view is always well inside the 32-bit range.
    editor_->placeAt(static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)),
                     static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX)));
}

void MapCanvas::beginMove(std::size_t row, QPointF mapPoint, Qt::KeyboardModifiers modifiers)
{
    moveWasSelected_ = isSelected(row);
    if (!moveWasSelected_) {
        makeCurrent(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit objectActivated(static_cast<int>(row));
    }
    drag_ = Drag::Move;
    moveRow_ = row;
    moveFrom_ = moveNow_ = mapPoint;
    moveModifiers_ = modifiers;
}

std::pair<std::int64_t, std::int64_t> MapCanvas::moveDelta(QPointF mapPoint, Qt::KeyboardModifiers modifiers) const
{
    const ObjectList& list = session_.document().mapObjects();
    if (moveRow_ >= list.size() || !list.hasFields(moveRow_))
        return {0, 0};
    const std::int64_t rawX =
        static_cast<std::int64_t>(std::floor(mapPoint.x())) - static_cast<std::int64_t>(std::floor(moveFrom_.x()));
    const std::int64_t rawY =
        static_cast<std::int64_t>(std::floor(mapPoint.y())) - static_cast<std::int64_t>(std::floor(moveFrom_.y()));
    if (rawX == 0 && rawY == 0)
        return {0, 0};
    const ObjectFields& f = list.fields(moveRow_);
    return DragDelta({f.x, f.y}, {rawX, rawY}, snap_ && !(modifiers & Qt::ShiftModifier));
}

void MapCanvas::finishMove(QPointF mapPoint, Qt::KeyboardModifiers modifiers)
{
    const auto [dx, dy] = moveDelta(mapPoint, modifiers);
    if (dx == 0 && dy == 0) {
        // A click on a selected object without a drag picks it alone.
        if (moveWasSelected_ && moveRow_ < index_.rows()) {
            makeCurrent(moveRow_, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            emit objectActivated(static_cast<int>(moveRow_));
        }
        return;
    }
    if (editor_) {
        const std::vector<std::size_t> rows = editableSelection();
        if (!rows.empty())
            editor_->moveRows(rows, dx, dy);
    }
}

void MapCanvas::dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
{
    const std::optional<std::size_t> hit = pickAt(from);
    if (!hit || !editor_)
        return;
    beginMove(*hit, from, modifiers);
    drag_ = Drag::None;
    finishMove(to, modifiers);
}

void MapCanvas::setLayers(const MapLayers& layers)
{
    layers_ = layers;
    dropAllTiles();
    viewport()->update();
}

void MapCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    if (!editor_)
        return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setEnabled(!editableSelection().empty());
    if (menu.exec(event->globalPos()) == remove)
        deleteSelection();
}

}  // namespace qel::ui
