#include "ui/MapPainting.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace qel::ui {

namespace {

const QColor kMarker(0xff, 0x2b, 0xd6);
const QColor kGridLine(0xff, 0xff, 0xff, 40);

// Nothing shows under an opaque picture that covers the whole block at
// (originX, originY): drawing starts with the topmost one (large pictures
// stacked would otherwise each be scaled over every pixel).
std::size_t FirstShown(const std::vector<std::uint32_t>& rows, const MapScene& scene, double s, qint64 originX,
                       qint64 originY)
{
    const bool allDrawn = scene.layers.allOpen();
    std::size_t first = rows.size();
    while (first > 0) {
        const std::uint32_t row = rows[--first];
        if (!allDrawn && !scene.layers.drawn(scene.index.layer(row)))
            continue;
        if (scene.dimmed(row))
            continue;  // seen through: covers nothing
        const MapRect r = scene.index.rect(row);
        if (std::floor(r.x * s) >= originX || std::floor(r.y * s) >= originY
            || std::floor(r.x * s) + std::llround(r.width * s) <= originX + MapBlocks::kSide
            || std::floor(r.y * s) + std::llround(r.height * s) <= originY + MapBlocks::kSide)
            continue;
        if (const MapArt::Art* art = scene.art.find(scene.objects.fields(row).image);
            art != nullptr && art->look.opaque)
            return first;
    }
    return first;
}

// Premultiplied `over` drawn on `under`.
QRgb BlendOver(QRgb over, QRgb under)
{
    const int keep = 255 - qAlpha(over);
    const auto mix = [keep](int a, int b) { return a + (b * keep + 127) / 255; };
    return qRgba(mix(qRed(over), qRed(under)), mix(qGreen(over), qGreen(under)), mix(qBlue(over), qBlue(under)),
                 mix(qAlpha(over), qAlpha(under)));
}

}  // namespace

void DrawMarkerBox(QPainter& painter, const QRectF& box)
{
    painter.fillRect(box, QColor(kMarker.red(), kMarker.green(), kMarker.blue(), 90));
    painter.setPen(kMarker);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

bool DrawObject(QPainter& painter, const QRectF& box, const ObjectArt* art, platform::PictureCache& pictures,
                const QImage& scaled)
{
    if (art != nullptr && art->look.waiting)
        return false;
    if (art == nullptr || !art->picture()) {
        const double width = std::max<qint64>(1, std::llround(box.width()));
        const double height = std::max<qint64>(1, std::llround(box.height()));
        DrawMarkerBox(painter, QRectF(box.x() + 0.5, box.y() + 0.5, width - 1.0, height - 1.0));
        return true;
    }
    if (!scaled.isNull()) {
        painter.drawImage(box.topLeft(), scaled);
        return true;
    }
    // Too large to keep scaled, or a scaled copy on its way: the painter
    // scales the part that shows. No pixels: they were dropped to keep within
    // the cache's budget and are on their way again.
    const QImage cell = pictures.cell(art->path, art->xTiles, art->yTiles);
    if (cell.isNull())
        return false;
    painter.drawImage(box, cell);
    return true;
}

void DrawSelectionOutline(QPainter& painter, const QRectF& box)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(box);
    painter.setPen(QPen(QColor(0xff, 0xff, 0x40), 1));
    painter.drawRect(box);
}

void DrawBand(QPainter& painter, const QRect& band)
{
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawRect(band);
}

void DrawLeastObject(QImage& image, const QRect& part, const QRect& box, QRgb colour)
{
    if (qAlpha(colour) == 0)
        return;
    // Centred on the object, so it shows where the object stands.
    QRect dot = box;
    if (dot.width() < kLeastSide)
        dot = QRect(box.x() + (box.width() - kLeastSide) / 2, dot.y(), kLeastSide, dot.height());
    if (dot.height() < kLeastSide)
        dot = QRect(dot.x(), box.y() + (box.height() - kLeastSide) / 2, dot.width(), kLeastSide);
    dot &= part;
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    const bool opaque = qAlpha(colour) == 255;
    for (int y = dot.top(); y <= dot.bottom(); ++y) {
        QRgb* line = bits + y * stride;
        for (int x = dot.left(); x <= dot.right(); ++x)
            line[x] = opaque ? colour : BlendOver(colour, line[x]);
    }
}

bool DrawMapBlock(QImage& image, const MapBlocks::Key& key, const QRect& part, const MapScene& scene)
{
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    for (int y = part.top(); y <= part.bottom(); ++y)
        std::fill_n(bits + y * stride + part.left(), part.width(), QRgb{0});
    const double s = MapViewport::ScaleAt(key.level);
    const qint64 originX = key.x * MapBlocks::kSide;  // screen pixels
    const qint64 originY = key.y * MapBlocks::kSide;
    // Objects drawn at their least size reach a pixel past their rectangle.
    const std::int64_t margin = 1 + static_cast<std::int64_t>(std::ceil(kLeastSide / s));
    const MapRect area{static_cast<std::int64_t>(std::floor((originX + part.left()) / s)) - margin,
                       static_cast<std::int64_t>(std::floor((originY + part.top()) / s)) - margin,
                       static_cast<std::int64_t>(std::ceil(part.width() / s)) + 2 * margin,
                       static_cast<std::int64_t>(std::ceil(part.height() / s)) + 2 * margin};
    std::vector<std::uint32_t> rows;
    scene.index.queryOrdered(area, rows);
    if (scene.rowsSeen != nullptr)
        *scene.rowsSeen += rows.size();
    if (rows.empty())
        return true;
    const ObjectList& objects = scene.objects;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, SmoothScaling(s));
    if (part != image.rect())
        painter.setClipRect(part);
    // This level's copies, fetched once per block, and whether one is on its way.
    std::unordered_map<std::int32_t, std::pair<QImage, bool>> scaled;
    const bool allDrawn = scene.layers.allOpen();
    bool complete = true;
    for (std::size_t first = FirstShown(rows, scene, s, originX, originY); first < rows.size(); ++first) {
        const std::uint32_t row = rows[first];
        if (!allDrawn && !scene.layers.drawn(scene.index.layer(row)))
            continue;
        const MapRect r = scene.index.rect(row);
        const qint64 px = static_cast<qint64>(std::floor(r.x * s)) - originX;
        const qint64 py = static_cast<qint64>(std::floor(r.y * s)) - originY;
        const qint64 pw = std::max<qint64>(1, std::llround(r.width * s));
        const qint64 ph = std::max<qint64>(1, std::llround(r.height * s));
        const std::int32_t number = objects.fields(row).image;
        const MapArt::Art* art = scene.art.find(number);
        const bool dim = scene.dimmed(row);
        painter.setOpacity(dim ? kDimmedOpacity : 1.0);
        const bool picture = art != nullptr && art->picture();
        if (art != nullptr && art->look.waiting) {
            complete = false;  // drawn once its picture comes
            continue;
        }
        if (pw < kLeastSide || ph < kLeastSide) {
            // Too small to show its picture: its colour, never less than
            // kLeastSide square, so no object vanishes from the view.
            QRgb colour = picture ? art->average : kMarker.rgba();
            if (dim)
                colour = qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour),
                                            static_cast<int>(qAlpha(colour) * kDimmedOpacity)));
            DrawLeastObject(
                image, part,
                QRect(static_cast<int>(px), static_cast<int>(py), static_cast<int>(pw), static_cast<int>(ph)), colour);
            continue;
        }
        QImage copy;
        bool coming = false;
        if (picture) {
            auto found = scaled.find(number);
            if (found == scaled.end()) {
                bool onItsWay = false;
                QImage made = scene.pictures.scaledCell(art->path, art->xTiles, art->yTiles, key.level, s, &onItsWay);
                found = scaled.emplace(number, std::pair(std::move(made), onItsWay)).first;
            }
            copy = found->second.first;
            coming = found->second.second;
        }
        const QRectF box(static_cast<double>(px), static_cast<double>(py), r.width * s, r.height * s);
        if (!DrawObject(painter, box, art, scene.pictures, copy) || (copy.isNull() && coming))
            complete = false;
    }
    return complete;
}

// Each line is blended as a one-pixel-wide picture: the painter's own lines
// are long runs of one-pixel spans that it hands to its helper threads in
// pieces, which cost the window's thread more in waking them than drawing.
void DrawTileGrid(QPainter& painter, QSize size, const MapViewport& view)
{
    const double s = view.scale();
    const MapRect area = view.visibleArea(size);
    QImage across(std::max(1, size.width()), 1, QImage::Format_ARGB32_Premultiplied);
    QImage down(1, std::max(1, size.height()), QImage::Format_ARGB32_Premultiplied);
    across.fill(kGridLine);
    down.fill(kGridLine);
    for (std::int64_t x = TileOf(area.x) * kTileSide; x <= area.right(); x += kTileSide)
        painter.drawImage(QPointF(std::floor(x * s) - view.scrollX(), 0), down);
    for (std::int64_t y = TileOf(area.y) * kTileSide; y <= area.bottom(); y += kTileSide)
        painter.drawImage(QPointF(0, std::floor(y * s) - view.scrollY()), across);
}

void DrawMapSelection(QPainter& painter, QSize size, const MapViewport& view, const MapScene& scene,
                      const std::vector<std::uint32_t>& rows, std::pair<std::int64_t, std::int64_t> offset)
{
    const MapRect area = view.visibleArea(size);
    const MapIndex& index = scene.index;
    const bool allOpen = scene.layers.allOpen();
    for (const std::uint32_t row : rows) {
        if (row >= index.rows() || !index.indexed(row))
            continue;
        if (!allOpen && !scene.layers.drawn(index.layer(row)))
            continue;
        MapRect r = index.rect(row);
        if (allOpen || scene.layers.pickable(index.layer(row))) {
            r.x += offset.first;
            r.y += offset.second;
        }
        if (!r.intersects(area))
            continue;
        QRectF box = view.onScreen(r).adjusted(-1, -1, 1, 1);
        if (box.width() < 4)
            box.adjust(-2, 0, 2, 0);
        if (box.height() < 4)
            box.adjust(0, -2, 0, 2);
        DrawSelectionOutline(painter, box);
    }
}

}  // namespace qel::ui
