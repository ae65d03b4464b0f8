#include "MapCanvas.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "FileNameText.h"
#include "ObjectMoves.h"

namespace qel::ui {

namespace {

const QColor kOutside(0x14, 0x16, 0x1c);
const QColor kMapArea(0x2a, 0x30, 0x3c);
const QColor kMapEdge(0xff, 0x9a, 0x1f);
const QColor kMarker(0xff, 0x2b, 0xd6);
const QColor kGridLine(0xff, 0xff, 0xff, 40);

// A world far beyond any map keeps scroll positions inside int at 800%.
constexpr std::int64_t kWorldLimit = std::int64_t{1} << 27;

}  // namespace

MapCanvas::MapCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
                     QWidget* parent)
    : QAbstractScrollArea(parent), session_(session), selection_(selection), pictures_(pictures)
{
    setObjectName(QStringLiteral("MapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&session, &app::DocumentSession::rowsInserted, this, &MapCanvas::followRowsInserted);
    connect(&session, &app::DocumentSession::rowsRemoved, this, &MapCanvas::followRowsRemoved);
    connect(&session, &app::DocumentSession::rowsChanged, this, &MapCanvas::followRowsChanged);
    connect(&session, &app::DocumentSession::listReset, this, &MapCanvas::followListReset);
    connect(&session, &app::DocumentSession::imagesChanged, this, &MapCanvas::followImages);
    connect(&session, &app::DocumentSession::documentStateChanged, this, &MapCanvas::followDocumentState);
    connect(&pictures, &platform::PictureCache::pictureArrived, this, &MapCanvas::followPictures);
    connect(&pictures, &platform::PictureCache::forgotten, this, &MapCanvas::followImages);
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
            setScroll(value, scrollY_);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBars_)
            setScroll(scrollX_, value);
    });
    folder_ = session.document().documentFolder();
}

double MapCanvas::scale() const
{
    return std::exp2(step_ / 4.0);
}

int MapCanvas::minZoomStep() const
{
    const int side = std::max(64, std::min(viewport()->width(), viewport()->height()));
    const int whole = static_cast<int>(std::floor(4 * std::log2(static_cast<double>(side) / kMapExtent)));
    return std::min(whole, 0);
}

void MapCanvas::setZoomStep(int step)
{
    setZoomStepAbout(step, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void MapCanvas::setZoomStepAbout(int step, QPointF widgetPoint)
{
    step = std::clamp(step, minZoomStep(), kMaxZoomStep);
    const QPointF anchor = mapPointAt(widgetPoint);
    step_ = step;
    const double s = scale();
    setScroll(std::llround(anchor.x() * s - widgetPoint.x()), std::llround(anchor.y() * s - widgetPoint.y()));
    emit zoomChanged(step_);
}

void MapCanvas::zoomWholeMap()
{
    step_ = minZoomStep();
    const double s = scale();
    setScroll(std::llround(kMapExtent * s / 2 - viewport()->width() / 2.0),
              std::llround(kMapExtent * s / 2 - viewport()->height() / 2.0));
    emit zoomChanged(step_);
}

void MapCanvas::zoomActualSize()
{
    setZoomStep(0);
}

void MapCanvas::fitSelection()
{
    ensureIndex();
    const std::vector<std::uint32_t>& rows = selectedRows();
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    for (const std::uint32_t row : rows) {
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
    const double fit = std::min(viewport()->width() / static_cast<double>(x1 - x0 + 32),
                                viewport()->height() / static_cast<double>(y1 - y0 + 32));
    step_ = std::clamp(static_cast<int>(std::floor(4 * std::log2(fit))), minZoomStep(), kMaxZoomStep);
    emit zoomChanged(step_);
    centreOn((x0 + x1) / 2.0, (y0 + y1) / 2.0);
}

void MapCanvas::centreOn(double mapX, double mapY)
{
    const double s = scale();
    setScroll(std::llround(mapX * s - viewport()->width() / 2.0), std::llround(mapY * s - viewport()->height() / 2.0));
}

QPointF MapCanvas::mapPointAt(QPointF widgetPoint) const
{
    const double s = scale();
    return QPointF((scrollX_ + widgetPoint.x()) / s, (scrollY_ + widgetPoint.y()) / s);
}

std::optional<QPointF> MapCanvas::pointerPoint() const
{
    if (!pointer_)
        return std::nullopt;
    return mapPointAt(*pointer_);
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
    dropAllTiles();
    viewport()->update();
}

void MapCanvas::refreshPictures()
{
    if (pictures_.refresh() == 0)
        return;
    artStale_ = true;
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
}

// --- following the document ---

// Rows keep their order relative to each other through an insertion or a
// removal, so only the tiles of the rows that came, went or changed are
// redrawn; when the change also moved where taking apart stops (rows gaining
// or losing their fields), everything is.
void MapCanvas::followRowsInserted(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    index_.rowsInserted(session_.document().mapObjects(), static_cast<std::size_t>(first),
                        static_cast<std::size_t>(last));
    const std::size_t count = static_cast<std::size_t>(last - first + 1);
    const std::size_t gained = static_cast<std::size_t>(first) <= before
                                   ? std::min(count, index_.indexedCount() - std::min(index_.indexedCount(), before))
                                   : 0;
    if (index_.indexedCount() != before + gained || count > 4096)
        dropAllTiles();
    else
        for (int row = first; row <= last; ++row)
            if (index_.indexed(static_cast<std::size_t>(row)))
                dropTiles(index_.rect(static_cast<std::size_t>(row)));
    updateScrollBars();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followRowsRemoved(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    std::size_t lost = 0;
    const bool many = last - first > 4096;
    for (int row = first; row <= last; ++row) {
        if (!index_.indexed(static_cast<std::size_t>(row)))
            break;
        ++lost;
        if (!many)
            dropTiles(index_.rect(static_cast<std::size_t>(row)));
    }
    index_.rowsRemoved(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    if (many || index_.indexedCount() != before - lost)
        dropAllTiles();
    updateScrollBars();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followRowsChanged(app::DocumentList list, int first, int last)
{
    if (list != app::DocumentList::MapObjects || indexStale_)
        return;
    const std::size_t before = index_.indexedCount();
    // A few rows repaint only where they were and are; many drop everything
    // at once instead of walking the tiles once per row.
    const bool many = last - first >= 64;
    std::vector<MapRect> touched;
    for (int row = first; row <= last && !many; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    index_.rowsChanged(session_.document().mapObjects(), static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last));
    emit objectsChanged();
    if (many || index_.indexedCount() != before) {
        dropAllTiles();
        viewport()->update();
        return;
    }
    for (int row = first; row <= last; ++row)
        if (index_.indexed(static_cast<std::size_t>(row)))
            touched.push_back(index_.rect(static_cast<std::size_t>(row)));
    for (const MapRect& r : touched)
        dropTiles(r);
    updateMapRects(touched);
}

void MapCanvas::updateMapRects(const std::vector<MapRect>& rects)
{
    QRect dirty;
    for (const MapRect& r : rects)
        dirty |= mapRectOnScreen(r).toAlignedRect().adjusted(-4, -4, 4, 4);
    dirty &= viewport()->rect();
    if (!dirty.isEmpty())
        viewport()->update(dirty);
}

void MapCanvas::followListReset(app::DocumentList list)
{
    if (list == app::DocumentList::Files) {
        // A file of the list may have been replaced on disk.
        followImages();
        return;
    }
    if (list != app::DocumentList::MapObjects)
        return;
    // Taken anew at the next look: the session may tell several resets in a
    // row (New, Open), and one rebuild serves them all.
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
    emit objectsChanged();
}

void MapCanvas::followImages()
{
    pictures_.refresh();
    artStale_ = true;
    indexStale_ = true;
    dropAllTiles();
    viewport()->update();
}

void MapCanvas::followDocumentState()
{
    if (session_.document().documentFolder() != folder_) {
        folder_ = session_.document().documentFolder();
        followImages();
    }
}

// A picture that came may leave every size as it was (one of 16 x 16, the
// marked box's, or one decoded again): the index is rebuilt only when a size
// changed.
void MapCanvas::followPictures()
{
    if (artStale_)
        return;  // resolved at the next look anyway
    resolveArt();
    if (indexStale_)
        dropAllTiles();
    viewport()->update();
}

void MapCanvas::resolveArt()
{
    const DefinitionDocument& doc = session_.document();
    art_.clear();
    std::unordered_map<std::int32_t, MapSize> sizes;
    // The first definition of a number is the one an object shows.
    for (const ObjectImage& image : doc.images()) {
        if (art_.count(image.number))
            continue;
        Art art;
        art.path = FileNameText(doc.documentFolder() + image.file);
        art.xTiles = image.xTiles;
        art.yTiles = image.yTiles;
        const platform::PictureCache::Look look =
            image.file.empty() ? platform::PictureCache::Look{} : pictures_.look(art.path, art.xTiles, art.yTiles);
        art.waiting = look.waiting;
        if (look.size.isValid()) {
            art.picture = true;
            art.opaque = look.opaque;
            art.average = pictures_.averageColour(art.path, art.xTiles, art.yTiles);
            sizes[image.number] = MapSize{look.size.width(), look.size.height()};
        }
        art_.emplace(image.number, std::move(art));
    }
    if (sizes != imageSizes_) {
        imageSizes_ = sizes;
        index_.setImageSizes(std::move(sizes));
        indexStale_ = true;
    }
    artStale_ = false;
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

// --- tiles ---

void MapCanvas::dropAllTiles()
{
    tiles_.clear();
}

void MapCanvas::dropTiles(const MapRect& area)
{
    for (auto it = tiles_.begin(); it != tiles_.end();) {
        const double side = kTileSide / std::exp2(it->first.step / 4.0);
        const MapRect tileArea{static_cast<std::int64_t>(std::floor(it->first.x * side)) - 1,
                               static_cast<std::int64_t>(std::floor(it->first.y * side)) - 1,
                               static_cast<std::int64_t>(std::ceil(side)) + 2,
                               static_cast<std::int64_t>(std::ceil(side)) + 2};
        if (tileArea.intersects(area))
            it = tiles_.erase(it);
        else
            ++it;
    }
}

const QImage& MapCanvas::tile(const TileKey& key)
{
    auto found = tiles_.find(key);
    if (found != tiles_.end() && !found->second.complete) {
        found->second.complete = drawTile(found->second.image, key);
    } else if (found == tiles_.end()) {
        const qint64 tileBytes = qint64{kTileSide} * kTileSide * 4;
        while (!tiles_.empty() && static_cast<qint64>(tiles_.size() + 1) * tileBytes > kTileBudget) {
            auto oldest = std::min_element(tiles_.begin(), tiles_.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
            tiles_.erase(oldest);
        }
        Tile fresh;
        fresh.image = QImage(kTileSide, kTileSide, QImage::Format_ARGB32_Premultiplied);
        fresh.complete = drawTile(fresh.image, key);
        found = tiles_.emplace(key, std::move(fresh)).first;
    }
    found->second.lastUse = ++clock_;
    return found->second.image;
}

bool MapCanvas::drawTile(QImage& image, const TileKey& key)
{
    image.fill(Qt::transparent);
    const double s = std::exp2(key.step / 4.0);
    const qint64 originX = key.x * kTileSide;  // screen pixels
    const qint64 originY = key.y * kTileSide;
    const MapRect area{static_cast<std::int64_t>(std::floor(originX / s)) - 1,
                       static_cast<std::int64_t>(std::floor(originY / s)) - 1,
                       static_cast<std::int64_t>(std::ceil(kTileSide / s)) + 2,
                       static_cast<std::int64_t>(std::ceil(kTileSide / s)) + 2};
    std::vector<std::uint32_t> rows;
    index_.queryOrdered(area, rows);
    if (rows.empty())
        return true;
    const ObjectList& objects = session_.document().mapObjects();
    QPainter painter(&image);
    // This step's copies, fetched once per tile, and whether one is on its way.
    std::unordered_map<std::int32_t, std::pair<QImage, bool>> scaled;
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    const bool allDrawn = layers_.allOpen();
    bool complete = true;
    // Nothing shows under an opaque picture that covers the whole tile:
    // drawing starts with the topmost one (large pictures stacked would
    // otherwise each be scaled over every pixel).
    std::size_t first = rows.size();
    while (first > 0) {
        const std::uint32_t row = rows[--first];
        if (!allDrawn && !layers_.drawn(index_.layer(row)))
            continue;
        const MapRect r = index_.rect(row);
        if (std::floor(r.x * s) >= originX || std::floor(r.y * s) >= originY
            || std::floor(r.x * s) + std::llround(r.width * s) <= originX + kTileSide
            || std::floor(r.y * s) + std::llround(r.height * s) <= originY + kTileSide)
            continue;
        if (const auto art = art_.find(objects.fields(row).image); art != art_.end() && art->second.opaque)
            break;
    }
    for (; first < rows.size(); ++first) {
        const std::uint32_t row = rows[first];
        if (!allDrawn && !layers_.drawn(index_.layer(row)))
            continue;
        const MapRect r = index_.rect(row);
        const qint64 px = static_cast<qint64>(std::floor(r.x * s)) - originX;
        const qint64 py = static_cast<qint64>(std::floor(r.y * s)) - originY;
        const qint64 pw = std::max<qint64>(1, std::llround(r.width * s));
        const qint64 ph = std::max<qint64>(1, std::llround(r.height * s));
        const std::int32_t number = objects.fields(row).image;
        const auto art = art_.find(number);
        const bool picture = art != art_.end() && art->second.picture;
        if (art != art_.end() && art->second.waiting) {
            complete = false;  // drawn once its picture comes
            continue;
        }
        if (pw <= 2 && ph <= 2) {
            // Smaller than a few pixels: one colour is all that shows.
            const QRgb colour = picture ? art->second.average : kMarker.rgba();
            for (qint64 y = std::max<qint64>(py, 0); y < std::min<qint64>(py + ph, kTileSide); ++y)
                for (qint64 x = std::max<qint64>(px, 0); x < std::min<qint64>(px + pw, kTileSide); ++x)
                    if (qAlpha(colour) != 0)
                        bits[y * stride + x] = colour;
            continue;
        }
        if (!picture) {
            const QRectF box(px + 0.5, py + 0.5, pw - 1.0, ph - 1.0);
            painter.fillRect(box, QColor(kMarker.red(), kMarker.green(), kMarker.blue(), 90));
            painter.setPen(kMarker);
            painter.drawRect(box);
            painter.drawLine(box.topLeft(), box.bottomRight());
            painter.drawLine(box.topRight(), box.bottomLeft());
            continue;
        }
        auto copy = scaled.find(number);
        if (copy == scaled.end()) {
            bool coming = false;
            QImage made =
                pictures_.scaledCell(art->second.path, art->second.xTiles, art->second.yTiles, key.step, s, &coming);
            copy = scaled.emplace(number, std::pair(std::move(made), coming)).first;
        }
        if (!copy->second.first.isNull()) {
            painter.drawImage(QPoint(static_cast<int>(px), static_cast<int>(py)), copy->second.first);
        } else {
            // Too large to keep scaled, or a scaled copy on its way: the
            // painter scales the part that shows. No pixels: they were
            // dropped to keep within the cache's budget and are on their way
            // again.
            const QImage cell = pictures_.cell(art->second.path, art->second.xTiles, art->second.yTiles);
            if (cell.isNull() || copy->second.second)
                complete = false;
            if (!cell.isNull())
                painter.drawImage(QRectF(px, py, r.width * s, r.height * s), cell);
        }
    }
    return complete;
}

// --- painting ---

MapRect MapCanvas::visibleMapArea(QSize size) const
{
    const double s = scale();
    const auto x0 = static_cast<std::int64_t>(std::floor(scrollX_ / s));
    const auto y0 = static_cast<std::int64_t>(std::floor(scrollY_ / s));
    return MapRect{x0, y0, static_cast<std::int64_t>(std::ceil(size.width() / s)) + 2,
                   static_cast<std::int64_t>(std::ceil(size.height() / s)) + 2};
}

QRectF MapCanvas::mapRectOnScreen(const MapRect& r) const
{
    const double s = scale();
    return QRectF(std::floor(r.x * s) - scrollX_, std::floor(r.y * s) - scrollY_, std::max(1.0, r.width * s),
                  std::max(1.0, r.height * s));
}

void MapCanvas::render(QPainter& painter, QSize size)
{
    pictures_.beginFrame();
    ensureIndex();
    const double s = scale();
    painter.fillRect(QRect(QPoint(0, 0), size), kOutside);
    const QRectF mapArea = mapRectOnScreen(MapRect{0, 0, kMapExtent, kMapExtent});
    painter.fillRect(mapArea, kMapArea);
    const qint64 tx0 = FloorDiv(scrollX_, kTileSide), ty0 = FloorDiv(scrollY_, kTileSide);
    const qint64 tx1 = FloorDiv(scrollX_ + size.width() - 1, kTileSide);
    const qint64 ty1 = FloorDiv(scrollY_ + size.height() - 1, kTileSide);
    for (qint64 ty = ty0; ty <= ty1; ++ty)
        for (qint64 tx = tx0; tx <= tx1; ++tx)
            painter.drawImage(
                QPoint(static_cast<int>(tx * kTileSide - scrollX_), static_cast<int>(ty * kTileSide - scrollY_)),
                tile(TileKey{step_, tx, ty}));
    if (grid_ && s >= 0.5)
        drawGrid(painter, size);
    painter.setPen(QPen(kMapEdge, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mapArea.adjusted(-1, -1, 1, 1));
    drawSelection(painter, size);
    if (drag_ == Drag::Band) {
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.setBrush(QColor(255, 255, 255, 40));
        painter.drawRect(QRect(dragStart_, dragNow_).normalized());
    }
}

void MapCanvas::drawGrid(QPainter& painter, QSize size)
{
    const double s = scale();
    const MapRect area = visibleMapArea(size);
    painter.setPen(kGridLine);
    for (std::int64_t x = TileOf(area.x) * qel::kTileSide; x <= area.right(); x += qel::kTileSide) {
        const double sx = std::floor(x * s) - scrollX_;
        painter.drawLine(QPointF(sx, 0), QPointF(sx, size.height()));
    }
    for (std::int64_t y = TileOf(area.y) * qel::kTileSide; y <= area.bottom(); y += qel::kTileSide) {
        const double sy = std::floor(y * s) - scrollY_;
        painter.drawLine(QPointF(0, sy), QPointF(size.width(), sy));
    }
}

const std::vector<std::uint32_t>& MapCanvas::selectedRows()
{
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

void MapCanvas::drawSelection(QPainter& painter, QSize size)
{
    const MapRect area = visibleMapArea(size);
    // Black under white: one of the two shows on any picture.
    const QPen outer(Qt::black, 3);
    const QPen inner(QColor(0xff, 0xff, 0x40), 1);
    painter.setBrush(Qt::NoBrush);
    std::int64_t dx = 0, dy = 0;
    if (drag_ == Drag::Move)
        std::tie(dx, dy) = moveDelta(moveNow_, moveModifiers_);
    const bool allOpen = layers_.allOpen();
    for (const std::uint32_t row : selectedRows()) {
        if (row >= index_.rows() || !index_.indexed(row))
            continue;
        if (!allOpen && !layers_.drawn(index_.layer(row)))
            continue;
        MapRect r = index_.rect(row);
        if (drag_ == Drag::Move && (allOpen || layers_.pickable(index_.layer(row)))) {
            r.x += dx;
            r.y += dy;
        }
        if (!r.intersects(area))
            continue;
        QRectF box = mapRectOnScreen(r).adjusted(-1, -1, 1, 1);
        if (box.width() < 4)
            box.adjust(-2, 0, 2, 0);
        if (box.height() < 4)
            box.adjust(0, -2, 0, 2);
        painter.setPen(outer);
        painter.drawRect(box);
        painter.setPen(inner);
        painter.drawRect(box);
    }
}

void MapCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    render(painter, viewport()->size());
}

std::size_t MapCanvas::memoryBytes()
{
    return index_.memoryBytes() + tiles_.size() * (std::size_t{kTileSide} * kTileSide * 4 + sizeof(Tile));
}

// --- scrolling ---

void MapCanvas::updateScrollBars()
{
    const double s = scale();
    MapRect world{0, 0, kMapExtent, kMapExtent};
    if (!indexStale_) {
        const MapRect b = index_.bounds();
        if (!b.empty()) {
            const std::int64_t x0 = std::max(std::min(world.x, b.x), -kWorldLimit);
            const std::int64_t y0 = std::max(std::min(world.y, b.y), -kWorldLimit);
            const std::int64_t x1 = std::min(std::max(world.right(), b.right()), kWorldLimit);
            const std::int64_t y1 = std::min(std::max(world.bottom(), b.bottom()), kWorldLimit);
            world = MapRect{x0, y0, x1 - x0, y1 - y0};
        }
    }
    const int w = viewport()->width(), h = viewport()->height();
    syncingBars_ = true;
    horizontalScrollBar()->setRange(static_cast<int>(std::floor(world.x * s)) - w / 2,
                                    static_cast<int>(std::ceil(world.right() * s)) - w / 2);
    verticalScrollBar()->setRange(static_cast<int>(std::floor(world.y * s)) - h / 2,
                                  static_cast<int>(std::ceil(world.bottom() * s)) - h / 2);
    horizontalScrollBar()->setPageStep(std::max(1, w));
    verticalScrollBar()->setPageStep(std::max(1, h));
    horizontalScrollBar()->setSingleStep(kTileSide / 4);
    verticalScrollBar()->setSingleStep(kTileSide / 4);
    horizontalScrollBar()->setValue(static_cast<int>(std::clamp<qint64>(scrollX_, INT_MIN, INT_MAX)));
    verticalScrollBar()->setValue(static_cast<int>(std::clamp<qint64>(scrollY_, INT_MIN, INT_MAX)));
    syncingBars_ = false;
}

void MapCanvas::setScroll(qint64 x, qint64 y)
{
    const auto limit = static_cast<qint64>(kWorldLimit * scale());
    scrollX_ = std::clamp(x, -limit, limit);
    scrollY_ = std::clamp(y, -limit, limit);
    updateScrollBars();
    viewport()->update();
    // The view moved under a pointer that did not: another map point is under it.
    if (pointer_)
        emit pointerMoved(mapPointAt(*pointer_));
}

void MapCanvas::scrollContentsBy(int, int)
{
    viewport()->update();
}

void MapCanvas::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (step_ < minZoomStep())
        setZoomStep(minZoomStep());
    updateScrollBars();
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0)
        return;
    pointer_ = event->position();
    setZoomStepAbout(step_ + notches, event->position());
}

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

}  // namespace qel::ui

namespace qel::ui {

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
