#include "MapScreenCanvas.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "FileNameText.h"
#include "MapIndex.h"
#include "ObjectMoves.h"

namespace qel::ui {

namespace {

const QColor kOutside(0x14, 0x16, 0x1c);
const QColor kScreen(0x2a, 0x30, 0x3c);
const QColor kScreenEdge(0x4f, 0xc3, 0xf7);
const QColor kMarker(0xff, 0x2b, 0xd6);
constexpr int kMargin = 24;

std::int64_t Floor(double v)
{
    return static_cast<std::int64_t>(std::floor(v));
}

}  // namespace

const std::vector<ScreenSize>& ScreenSizes()
{
    static const std::vector<ScreenSize> sizes = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}};
    return sizes;
}

MapScreenCanvas::MapScreenCanvas(app::DocumentSession& session, QItemSelectionModel& selection,
                                 platform::PictureCache& pictures, QWidget* parent)
    : QWidget(parent), session_(session), selection_(selection), pictures_(pictures)
{
    setObjectName(QStringLiteral("MapScreenCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    auto changed = [this] {
        update();
        emit objectsChanged();
    };
    connect(&session, &app::DocumentSession::rowsInserted, this, changed);
    connect(&session, &app::DocumentSession::rowsRemoved, this, changed);
    connect(&session, &app::DocumentSession::rowsChanged, this, changed);
    connect(&session, &app::DocumentSession::listReset, this, changed);
    connect(&session, &app::DocumentSession::imagesChanged, this, changed);
    // A picture that came may change the size an object stands at.
    connect(&pictures, &platform::PictureCache::pictureArrived, this, changed);
    connect(&pictures, &platform::PictureCache::forgotten, this, changed);
    connect(&selection, &QItemSelectionModel::selectionChanged, this, qOverload<>(&QWidget::update));
}

void MapScreenCanvas::setScreenSize(ScreenSize size)
{
    size_ = size;
    update();
    screenMoved();
}

void MapScreenCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    screenMoved();
}

void MapScreenCanvas::screenMoved()
{
    emit zoomChanged(scale());
    if (pointer_)
        emit pointerMoved(screenPointAt(*pointer_));
}

std::optional<QPointF> MapScreenCanvas::pointerPoint() const
{
    if (!pointer_)
        return std::nullopt;
    return screenPointAt(*pointer_);
}

void MapScreenCanvas::setLayers(const MapLayers& layers)
{
    layers_ = layers;
    update();
}

std::int32_t MapScreenCanvas::layerOf(std::size_t row) const
{
    // A row the list could not take apart shows with "Other layers".
    const ObjectList& list = session_.document().screenObjects();
    return list.hasFields(row) ? list.fields(row).layer : -1;
}

std::array<std::size_t, MapLayers::kSlots> MapScreenCanvas::layerCounts() const
{
    const ObjectList& list = session_.document().screenObjects();
    return MapLayers::count(list.size(), [&](std::size_t row) -> std::optional<std::int32_t> {
        if (!CanMoveRow(list, row))
            return std::nullopt;
        return layerOf(row);
    });
}

double MapScreenCanvas::scale() const
{
    const double sx = (width() - 2.0 * kMargin) / size_.width;
    const double sy = (height() - 2.0 * kMargin) / size_.height;
    return std::max(0.05, std::min({sx, sy, 4.0}));
}

QPointF MapScreenCanvas::origin() const
{
    const double s = scale();
    return QPointF(std::floor((width() - size_.width * s) / 2), std::floor((height() - size_.height * s) / 2));
}

QPointF MapScreenCanvas::screenPointAt(QPointF widgetPoint) const
{
    return (widgetPoint - origin()) / scale();
}

QPointF MapScreenCanvas::widgetPointAt(QPointF screenPoint) const
{
    return screenPoint * scale() + origin();
}

QSize MapScreenCanvas::pictureSize(std::size_t row) const
{
    const DefinitionDocument& doc = session_.document();
    const ObjectList& list = doc.screenObjects();
    if (list.hasFields(row)) {
        const std::int32_t number = list.fields(row).image;
        for (const ObjectImage& image : doc.images()) {
            if (image.number != number)
                continue;
            if (image.file.empty())
                break;
            const QSize size =
                pictures_.look(FileNameText(doc.documentFolder() + image.file), image.xTiles, image.yTiles).size;
            if (size.isValid())
                return size;
            break;
        }
    }
    return QSize(kMarkerSide, kMarkerSide);
}

std::optional<QRect> MapScreenCanvas::rowRect(std::size_t row) const
{
    const ObjectList& list = session_.document().screenObjects();
    if (row >= list.size())
        return std::nullopt;
    std::string_view xText, yText;
    if (!FindField(list.line(row), 0, xText) || !FindField(list.line(row), 1, yText))
        return std::nullopt;
    const auto x = ScreenPosition(ParseScreenCoordinate(xText), size_.width);
    const auto y = ScreenPosition(ParseScreenCoordinate(yText), size_.height);
    if (!x || !y || *x < INT_MIN / 2 || *x > INT_MAX / 2 || *y < INT_MIN / 2 || *y > INT_MAX / 2)
        return std::nullopt;
    return QRect(QPoint(static_cast<int>(*x), static_cast<int>(*y)), pictureSize(row));
}

std::size_t MapScreenCanvas::unplaceableCount() const
{
    const ObjectList& list = session_.document().screenObjects();
    std::size_t count = 0;
    for (std::size_t row = 0; row < list.size(); ++row)
        if (!CanMoveRow(list, row))
            ++count;
    return count;
}

std::optional<std::size_t> MapScreenCanvas::rowAt(QPoint p) const
{
    const std::size_t rows = session_.document().screenObjects().size();
    for (std::size_t row = rows; row-- > 0;)
        if (const auto r = rowRect(row); r && r->contains(p) && layers_.pickable(layerOf(row)))
            return row;
    return std::nullopt;
}

std::vector<std::size_t> MapScreenCanvas::selectedRows() const
{
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : selection_.selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::size_t> MapScreenCanvas::editableRows() const
{
    std::vector<std::size_t> rows = selectedRows();
    KeepPickable(layers_, rows, [this](std::size_t row) { return layerOf(row); });
    return rows;
}

void MapScreenCanvas::paintEvent(QPaintEvent*)
{
    pictures_.beginFrame();
    QPainter painter(this);
    painter.fillRect(rect(), kOutside);
    const double s = scale();
    const QPointF o = origin();
    const QRectF screen(o, QSizeF(size_.width * s, size_.height * s));
    painter.fillRect(screen, kScreen);
    painter.setClipRect(rect());
    const DefinitionDocument& doc = session_.document();
    const ObjectList& list = doc.screenObjects();
    std::int64_t dx = 0, dy = 0;
    if (dragging_)
        std::tie(dx, dy) = moveDelta(dragNow_, dragModifiers_);
    const std::vector<std::size_t> selected = selectedRows();
    auto onWidget = [&](QRect r) { return QRectF(widgetPointAt(r.topLeft()), QSizeF(r.width() * s, r.height() * s)); };
    for (std::size_t row = 0; row < list.size(); ++row) {
        if (!layers_.drawn(layerOf(row)))
            continue;
        const auto r = rowRect(row);
        if (!r)
            continue;
        const QRectF box = onWidget(*r);
        QImage cell;
        bool waiting = false;  // for a picture on its way: nothing is drawn
        if (list.hasFields(row))
            for (const ObjectImage& image : doc.images())
                if (image.number == list.fields(row).image) {
                    if (!image.file.empty()) {
                        const QString path = FileNameText(doc.documentFolder() + image.file);
                        cell = pictures_.cell(path, image.xTiles, image.yTiles);
                        const auto look = pictures_.look(path, image.xTiles, image.yTiles);
                        waiting = cell.isNull() && (look.waiting || look.size.isValid());
                    }
                    break;
                }
        if (waiting)
            continue;
        if (!cell.isNull()) {
            painter.drawImage(box, cell);
        } else {
            painter.fillRect(box, QColor(kMarker.red(), kMarker.green(), kMarker.blue(), 90));
            painter.setPen(kMarker);
            painter.drawRect(box);
            painter.drawLine(box.topLeft(), box.bottomRight());
            painter.drawLine(box.topRight(), box.bottomLeft());
        }
    }
    painter.setPen(QPen(kScreenEdge, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screen.adjusted(-1, -1, 1, 1));
    const QPen outer(Qt::black, 3);
    const QPen inner(QColor(0xff, 0xff, 0x40), 1);
    for (const std::size_t row : selected) {
        if (!layers_.drawn(layerOf(row)))
            continue;
        auto r = rowRect(row);
        if (!r)
            continue;
        if (dragging_ && layers_.pickable(layerOf(row)))
            r->translate(static_cast<int>(dx), static_cast<int>(dy));
        const QRectF box = onWidget(*r).adjusted(-1, -1, 1, 1);
        painter.setPen(outer);
        painter.drawRect(box);
        painter.setPen(inner);
        painter.drawRect(box);
    }
}

void MapScreenCanvas::clickAt(QPointF screenPoint, Qt::KeyboardModifiers modifiers)
{
    const auto hit = rowAt(QPoint(static_cast<int>(Floor(screenPoint.x())), static_cast<int>(Floor(screenPoint.y()))));
    QAbstractItemModel* model = selection_.model();
    if (modifiers & Qt::ControlModifier) {
        if (hit)
            selection_.setCurrentIndex(model->index(static_cast<int>(*hit), 0),
                                       QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        return;
    }
    if (!hit) {
        selection_.clearSelection();
        return;
    }
    selection_.setCurrentIndex(model->index(static_cast<int>(*hit), 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit objectActivated(static_cast<int>(*hit));
}

std::pair<std::int64_t, std::int64_t> MapScreenCanvas::moveDelta(QPointF screenPoint,
                                                                 Qt::KeyboardModifiers modifiers) const
{
    const auto anchor = rowRect(dragRow_);
    const std::int64_t rawX = Floor(screenPoint.x()) - Floor(dragFrom_.x());
    const std::int64_t rawY = Floor(screenPoint.y()) - Floor(dragFrom_.y());
    if (!anchor || (rawX == 0 && rawY == 0))
        return {0, 0};
    return DragDelta({anchor->x(), anchor->y()}, {rawX, rawY}, snap_ && !(modifiers & Qt::ShiftModifier));
}

void MapScreenCanvas::dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
{
    const auto hit = rowAt(QPoint(static_cast<int>(Floor(from.x())), static_cast<int>(Floor(from.y()))));
    if (!hit || !editor_)
        return;
    if (!selection_.isRowSelected(static_cast<int>(*hit), QModelIndex()))
        clickAt(from, Qt::NoModifier);
    dragRow_ = *hit;
    dragFrom_ = from;
    const auto [dx, dy] = moveDelta(to, modifiers);
    if (dx != 0 || dy != 0)
        editor_->moveRows(editableRows(), dx, dy);
}

void MapScreenCanvas::placeAtPoint(QPointF screenPoint, Qt::KeyboardModifiers modifiers)
{
    if (!editor_ || !editor_->canPlace())
        return;
    std::int64_t x = Floor(screenPoint.x()), y = Floor(screenPoint.y());
    if (snap_ && !(modifiers & Qt::ShiftModifier)) {
        x = NearestTileEdge(x);
        y = NearestTileEdge(y);
    }
    editor_->placeAt(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
}

bool MapScreenCanvas::setPlacing(bool on)
{
    on = on && editor_ && editor_->canPlace();
    if (on != placing_) {
        placing_ = on;
        if (on)
            setCursor(Qt::CrossCursor);
        else
            unsetCursor();
        emit placingChanged(on);
    }
    return placing_;
}

void MapScreenCanvas::nudge(std::int64_t dx, std::int64_t dy)
{
    const std::vector<std::size_t> rows = editableRows();
    if (editor_ && !rows.empty())
        editor_->moveRows(rows, dx, dy);
}

void MapScreenCanvas::deleteSelection()
{
    const std::vector<std::size_t> rows = editableRows();
    if (editor_ && !rows.empty())
        editor_->deleteRows(rows);
}

void MapScreenCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF p = screenPointAt(event->position());
    if (placing_) {
        placeAtPoint(p, event->modifiers());
        return;
    }
    const auto hit = rowAt(QPoint(static_cast<int>(Floor(p.x())), static_cast<int>(Floor(p.y()))));
    if (!hit || !editor_ || (event->modifiers() & Qt::ControlModifier)) {
        clickAt(p, event->modifiers());
        return;
    }
    if (!selection_.isRowSelected(static_cast<int>(*hit), QModelIndex()))
        clickAt(p, Qt::NoModifier);
    dragging_ = true;
    moved_ = false;
    dragRow_ = *hit;
    dragFrom_ = dragNow_ = p;
    dragModifiers_ = event->modifiers();
}

void MapScreenCanvas::mouseMoveEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    emit pointerMoved(screenPointAt(event->position()));
    if (!dragging_)
        return;
    dragNow_ = screenPointAt(event->position());
    dragModifiers_ = event->modifiers();
    moved_ = moved_ || (widgetPointAt(dragNow_) - widgetPointAt(dragFrom_)).manhattanLength() >= 3;
    update();
}

void MapScreenCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    const auto [dx, dy] = moved_ ? moveDelta(screenPointAt(event->position()), event->modifiers())
                                 : std::pair<std::int64_t, std::int64_t>{0, 0};
    if (dx != 0 || dy != 0)
        editor_->moveRows(editableRows(), dx, dy);
    else if (!moved_)
        clickAt(dragFrom_, Qt::NoModifier);
    update();
}

void MapScreenCanvas::keyPressEvent(QKeyEvent* event)
{
    const std::int64_t step = (event->modifiers() & Qt::ShiftModifier) ? kTileSide : 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (placing_)
            setPlacing(false);
        else
            selection_.clearSelection();
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
        QWidget::keyPressEvent(event);
    }
}

void MapScreenCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    if (!editor_)
        return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setEnabled(!editableRows().empty());
    if (menu.exec(event->globalPos()) == remove)
        deleteSelection();
}

}  // namespace qel::ui
