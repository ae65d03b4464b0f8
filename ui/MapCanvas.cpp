#include "ui/MapCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <utility>

#include "ui/MapPainting.h"
#include "ui/StampTool.h"

namespace qel::ui {

namespace {

const QColor kMapEdge(0xff, 0x9a, 0x1f);

}  // namespace

MapCanvas::MapCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
                     QWidget* parent)
    : QAbstractScrollArea(parent),
      session_(session),
      selection_(selection),
      pictures_(pictures),
      blocks_([this](QImage& image, const MapBlocks::Key& key, const QRect& part) {
          return DrawMapBlock(image, key, part, scene());
      }),
      tool_(new EditTool(*this, *viewport(), selection))
{
    setObjectName(QStringLiteral("MapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->installEventFilter(this);
    connect(&session, &app::DocumentSession::rowsInserted, this, &MapCanvas::followRowsInserted);
    connect(&session, &app::DocumentSession::rowsRemoved, this, &MapCanvas::followRowsRemoved);
    connect(&session, &app::DocumentSession::rowsChanged, this, &MapCanvas::followRowsChanged);
    connect(&session, &app::DocumentSession::listReset, this, &MapCanvas::followListReset);
    connect(&session, &app::DocumentSession::imagesChanged, this, &MapCanvas::followImages);
    connect(&session, &app::DocumentSession::documentStateChanged, this, &MapCanvas::followDocumentState);
    connect(&pictures, &platform::PictureCache::pictureArrived, this, &MapCanvas::followPictures);
    connect(&pictures, &platform::PictureCache::forgotten, this, &MapCanvas::followImages);
    connect(tool_, &EditTool::layersChanged, this, [this] {
        blocks_.dropAll();
        viewport()->update();
    });
    auto selectionMoved = [this] {
        selectedStale_ = true;
        viewport()->update();
    };
    connect(&selection, &QItemSelectionModel::selectionChanged, this, selectionMoved);
    // Rows moving under the selection change it without a selectionChanged.
    if (QAbstractItemModel* model = selection.model()) {
        connect(model, &QAbstractItemModel::rowsInserted, this, selectionMoved);
        connect(model, &QAbstractItemModel::rowsRemoved, this, selectionMoved);
        connect(model, &QAbstractItemModel::modelReset, this, selectionMoved);
        connect(model, &QAbstractItemModel::layoutChanged, this, selectionMoved);
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBars_)
            setScroll(value, view_.scrollY());
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBars_)
            setScroll(view_.scrollX(), value);
    });
    folder_ = session.document().documentFolder();
}

MapCanvas::~MapCanvas()
{
    // The viewport's last events come while it goes, after this canvas is
    // gone: the stamp stops following them while the canvas is whole.
    if (stamp_ != nullptr)
        viewport()->removeEventFilter(stamp_);
}

// --- the view ---

int MapCanvas::minZoomLevel() const
{
    return MapViewport::WholeMapLevel(viewport()->size());
}

void MapCanvas::setZoomLevel(int level)
{
    setZoomLevelAbout(level, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void MapCanvas::setZoomLevelAbout(int level, QPointF widgetPoint)
{
    view_.zoomAbout(level, widgetPoint, viewport()->size());
    viewMoved();
    emit zoomChanged(view_.level());
}

void MapCanvas::zoomWholeMap()
{
    view_.zoomWholeMap(viewport()->size());
    viewMoved();
    emit zoomChanged(view_.level());
}

void MapCanvas::zoomActualSize()
{
    setZoomLevel(0);
}

void MapCanvas::fitSelection()
{
    ensureIndex();
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    for (const std::uint32_t row : selectedRows()) {
        if (!index_.indexed(row))
            continue;
        const MapRect r = index_.rect(row);
        x0 = std::min(x0, r.x);
        y0 = std::min(y0, r.y);
        x1 = std::max(x1, r.right());
        y1 = std::max(y1, r.bottom());
    }
    if (x0 > x1)
        return;
    view_.setLevel(MapViewport::FitLevel(MapRect{x0, y0, x1 - x0, y1 - y0}, viewport()->size()));
    emit zoomChanged(view_.level());
    centreOn((x0 + x1) / 2.0, (y0 + y1) / 2.0);
}

void MapCanvas::fitObjects()
{
    ensureIndex();
    const MapRect all = index_.bounds();
    if (all.empty())
        return zoomWholeMap();
    view_.setLevel(MapViewport::FitLevel(all, viewport()->size()));
    emit zoomChanged(view_.level());
    centreOn((all.x + all.right()) / 2.0, (all.y + all.bottom()) / 2.0);
}

void MapCanvas::centreOn(double mapX, double mapY)
{
    view_.centreOn(mapX, mapY, viewport()->size());
    viewMoved();
}

void MapCanvas::setScroll(qint64 x, qint64 y)
{
    view_.scrollTo(x, y);
    viewMoved();
}

void MapCanvas::viewMoved()
{
    updateScrollBars();
    viewport()->update();
    // The view moved under a pointer that did not: another map point is under it.
    if (pointer_)
        emit pointerMoved(view_.mapPointAt(*pointer_));
}

void MapCanvas::updateScrollBars()
{
    const QRect range = view_.scrollRange(indexStale_ ? MapRect{} : index_.bounds(), viewport()->size());
    syncingBars_ = true;
    horizontalScrollBar()->setRange(range.left(), range.right());
    verticalScrollBar()->setRange(range.top(), range.bottom());
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height()));
    horizontalScrollBar()->setSingleStep(MapBlocks::kSide / 4);
    verticalScrollBar()->setSingleStep(MapBlocks::kSide / 4);
    horizontalScrollBar()->setValue(static_cast<int>(std::clamp<qint64>(view_.scrollX(), INT_MIN, INT_MAX)));
    verticalScrollBar()->setValue(static_cast<int>(std::clamp<qint64>(view_.scrollY(), INT_MIN, INT_MAX)));
    syncingBars_ = false;
}

std::optional<QPointF> MapCanvas::pointerPoint() const
{
    if (!pointer_)
        return std::nullopt;
    return view_.mapPointAt(*pointer_);
}

void MapCanvas::setGridShown(bool shown)
{
    grid_ = shown;
    viewport()->update();
}

void MapCanvas::reloadPictures()
{
    pictures_.reload();
    artStale_ = true;
    indexStale_ = true;
    blocks_.dropAll();
    viewport()->update();
}

void MapCanvas::setKeptRows(std::shared_ptr<const std::vector<std::uint32_t>> rows)
{
    if (rows == kept_)
        return;
    kept_ = std::move(rows);
    blocks_.dropAll();
    viewport()->update();
}

void MapCanvas::refreshPictures()
{
    if (pictures_.refresh() == 0)
        return;
    artStale_ = true;
    indexStale_ = true;
    blocks_.dropAll();
    viewport()->update();
}

void MapCanvas::resolveArt()
{
    if (art_.resolve(session_.document(), pictures_)) {
        index_.setImageSizes(art_.sizes());
        indexStale_ = true;
    }
    artStale_ = false;
    if (art_.resolving())
        moved({});
}

void MapCanvas::ensureIndex()
{
    if (artStale_)
        resolveArt();
    if (indexStale_) {
        index_.rebuild(session_.document().mapObjects());
        indexStale_ = false;
        updateScrollBars();
    }
}

const MapIndex& MapCanvas::index()
{
    ensureIndex();
    return index_;
}

// --- picking, for the editing tool ---

std::optional<std::size_t> MapCanvas::pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers)
{
    ensureIndex();
    return TopmostPickable(index_, layers, x, y);
}

std::optional<std::size_t> MapCanvas::nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                                 std::optional<std::size_t> current)
{
    ensureIndex();
    return NextPickableDown(index_, layers, x, y, current);
}

void MapCanvas::pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows)
{
    ensureIndex();
    index_.query(area, rows);
    KeepPickable(index_, layers, rows);
}

const std::vector<std::uint32_t>& MapCanvas::selectedRows()
{
    ensureIndex();
    if (selectedStale_) {
        selected_.clear();
        for (const QItemSelectionRange& range : selection_.selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                selected_.push_back(static_cast<std::uint32_t>(row));
        std::sort(selected_.begin(), selected_.end());
        selectedStale_ = false;
    }
    return selected_;
}

std::optional<std::int32_t> MapCanvas::layerOf(std::size_t row)
{
    ensureIndex();
    if (!index_.indexed(row))
        return std::nullopt;
    return index_.layer(row);
}

std::optional<std::pair<std::int32_t, std::int32_t>> MapCanvas::anchorOf(std::size_t row) const
{
    const ObjectList& list = session_.document().mapObjects();
    if (row >= list.size() || !list.hasFields(row))
        return std::nullopt;
    const ObjectFields& f = list.fields(row);
    return std::pair{f.x, f.y};
}

// --- painting ---

MapScene MapCanvas::scene()
{
    return MapScene{index_,    session_.document().mapObjects(), art_, tool_->layers(), pictures_, kept_.get(),
                    &rowsSeen_};
}

void MapCanvas::render(QPainter& painter, QSize size)
{
    pictures_.beginFrame();
    ensureIndex();
    painter.fillRect(QRect(QPoint(0, 0), size), kOutsideColour);
    const QRectF mapArea = view_.onScreen(MapRect{0, 0, kMapExtent, kMapExtent});
    painter.fillRect(mapArea, kAreaColour);
    const qint64 scrollX = view_.scrollX(), scrollY = view_.scrollY();
    const qint64 bx0 = FloorDiv(scrollX, MapBlocks::kSide), by0 = FloorDiv(scrollY, MapBlocks::kSide);
    const qint64 bx1 = FloorDiv(scrollX + size.width() - 1, MapBlocks::kSide);
    const qint64 by1 = FloorDiv(scrollY + size.height() - 1, MapBlocks::kSide);
    // A new zoom level over a million objects would take the whole frame and
    // more: what the budget leaves undrawn stands in from the level nearest,
    // and the next frame goes on.
    rowsSeen_ = 0;
    drawingLeft_ = false;
    struct Left {
        MapBlocks::Key key;
        QPoint at;
        MapBlocks::Drawn drawn;
    };
    std::vector<Left> left;
    for (qint64 by = by0; by <= by1; ++by) {
        for (qint64 bx = bx0; bx <= bx1; ++bx) {
            const MapBlocks::Key key{view_.level(), bx, by};
            const QPoint at(static_cast<int>(bx * MapBlocks::kSide - scrollX),
                            static_cast<int>(by * MapBlocks::kSide - scrollY));
            const MapBlocks::Drawn drawn = blocks_.drawn(key);
            if (drawn.current)
                painter.drawImage(at, *drawn.image);
            else
                left.push_back({key, at, drawn});
        }
    }
    // Blocks waiting only for pictures come last: they are drawn again at
    // each frame until the pictures come, and must not keep the others from
    // their turn.
    std::stable_partition(left.begin(), left.end(), [](const Left& l) { return !l.drawn.waiting; });
    for (const Left& l : left) {
        // Asked again: drawing a block may have dropped another to keep
        // within the budget.
        const MapBlocks::Drawn drawn = blocks_.drawn(l.key);
        if (rowsSeen_ < kRowsPerFrame) {
            painter.drawImage(l.at, blocks_.block(l.key));
        } else if (drawn.waiting) {
            painter.drawImage(l.at, *drawn.image);  // again when a picture comes
        } else {
            if (drawn.image != nullptr)
                painter.drawImage(l.at, *drawn.image);
            else
                blocks_.drawStandIn(painter, l.key, QRect(l.at, QSize(MapBlocks::kSide, MapBlocks::kSide)));
            drawingLeft_ = true;
        }
    }
    if (drawingLeft_)
        QTimer::singleShot(0, viewport(), qOverload<>(&QWidget::update));
    if (grid_ && view_.scale() >= 0.5)
        DrawTileGrid(painter, size, view_);
    painter.setPen(QPen(kMapEdge, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mapArea.adjusted(-1, -1, 1, 1));
    DrawMapSelection(painter, size, view_, scene(), selectedRows(), tool_->dragOffset());
    if (const std::optional<QRect> band = tool_->band())
        DrawBand(painter, *band);
    if (stamp_ != nullptr && stamp_->active())
        DrawStampGhost(painter, view_, *stamp_);
}

void MapCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    render(painter, viewport()->size());
}

std::size_t MapCanvas::memoryBytes()
{
    return index_.memoryBytes() + blocks_.memoryBytes();
}

// --- mouse and keys ---

void MapCanvas::scrollContentsBy(int, int)
{
    viewport()->update();
}

void MapCanvas::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (view_.level() < minZoomLevel())
        setZoomLevel(minZoomLevel());
    updateScrollBars();
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0)
        return;
    pointer_ = event->position();
    setZoomLevelAbout(view_.level() + notches, event->position());
}

// The middle button, or the left with Space held, pans.
bool MapCanvas::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != viewport())
        return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton && (mouse->button() != Qt::LeftButton || !spaceHeld_))
            return false;
        panning_ = true;
        panStart_ = mouse->position().toPoint();
        panFromX_ = view_.scrollX();
        panFromY_ = view_.scrollY();
        viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        const QPointF at = static_cast<const QMouseEvent*>(event)->position();
        pointer_ = at;
        emit pointerMoved(view_.mapPointAt(at));
        if (panning_)
            setScroll(panFromX_ - (at.toPoint().x() - panStart_.x()), panFromY_ - (at.toPoint().y() - panStart_.y()));
        return panning_;
    }
    case QEvent::MouseButtonRelease:
        if (!panning_)
            return false;
        panning_ = false;
        viewport()->unsetCursor();
        return true;
    default:
        return false;
    }
}

void MapCanvas::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            spaceHeld_ = true;
        return;
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

}  // namespace qel::ui
