#include "MapCanvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace qel::ui {

namespace {

const QColor kOutside(0x14, 0x16, 0x1c);
const QColor kMapArea(0x2a, 0x30, 0x3c);
const QColor kMapEdge(0xff, 0x9a, 0x1f);
const QColor kMarker(0xff, 0x2b, 0xd6);
const QColor kGridLine(0xff, 0xff, 0xff, 40);

}  // namespace

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

}  // namespace qel::ui
