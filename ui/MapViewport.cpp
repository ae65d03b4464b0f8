#include "ui/MapViewport.h"

#include <algorithm>
#include <cmath>

namespace qel::ui {

namespace {

constexpr std::int64_t kWorldLimit = std::int64_t{1} << 27;

}  // namespace

double MapViewport::ScaleAt(int level)
{
    return std::exp2(level / 4.0);
}

int MapViewport::WholeMapLevel(QSize view)
{
    const int side = std::max(64, std::min(view.width(), view.height()));
    const int whole = static_cast<int>(std::floor(4 * std::log2(static_cast<double>(side) / kMapExtent)));
    return std::min(whole, 0);
}

int MapViewport::FitLevel(const MapRect& area, QSize view)
{
    const double fit = std::min(view.width() / static_cast<double>(area.width + 32),
                                view.height() / static_cast<double>(area.height + 32));
    return std::clamp(static_cast<int>(std::floor(4 * std::log2(fit))), WholeMapLevel(view), kMaxZoomLevel);
}

void MapViewport::zoomAbout(int level, QPointF widgetPoint, QSize view)
{
    level = std::clamp(level, WholeMapLevel(view), kMaxZoomLevel);
    const QPointF anchor = mapPointAt(widgetPoint);
    level_ = level;
    const double s = scale();
    scrollTo(std::llround(anchor.x() * s - widgetPoint.x()), std::llround(anchor.y() * s - widgetPoint.y()));
}

void MapViewport::zoomWholeMap(QSize view)
{
    level_ = WholeMapLevel(view);
    centreOn(kMapExtent / 2.0, kMapExtent / 2.0, view);
}

void MapViewport::centreOn(double mapX, double mapY, QSize view)
{
    const double s = scale();
    scrollTo(std::llround(mapX * s - view.width() / 2.0), std::llround(mapY * s - view.height() / 2.0));
}

void MapViewport::scrollTo(qint64 x, qint64 y)
{
    const auto limit = static_cast<qint64>(kWorldLimit * scale());
    scrollX_ = std::clamp(x, -limit, limit);
    scrollY_ = std::clamp(y, -limit, limit);
}

QPointF MapViewport::mapPointAt(QPointF widgetPoint) const
{
    const double s = scale();
    return QPointF((scrollX_ + widgetPoint.x()) / s, (scrollY_ + widgetPoint.y()) / s);
}

QRectF MapViewport::onScreen(const MapRect& r) const
{
    const double s = scale();
    return QRectF(std::floor(r.x * s) - scrollX_, std::floor(r.y * s) - scrollY_, std::max(1.0, r.width * s),
                  std::max(1.0, r.height * s));
}

MapRect MapViewport::visibleArea(QSize view) const
{
    const double s = scale();
    const auto x0 = static_cast<std::int64_t>(std::floor(scrollX_ / s));
    const auto y0 = static_cast<std::int64_t>(std::floor(scrollY_ / s));
    return MapRect{x0, y0, static_cast<std::int64_t>(std::ceil(view.width() / s)) + 2,
                   static_cast<std::int64_t>(std::ceil(view.height() / s)) + 2};
}

QRect MapViewport::scrollRange(const MapRect& objects, QSize view) const
{
    const double s = scale();
    MapRect world{0, 0, kMapExtent, kMapExtent};
    if (!objects.empty()) {
        const std::int64_t x0 = std::max(std::min(world.x, objects.x), -kWorldLimit);
        const std::int64_t y0 = std::max(std::min(world.y, objects.y), -kWorldLimit);
        const std::int64_t x1 = std::min(std::max(world.right(), objects.right()), kWorldLimit);
        const std::int64_t y1 = std::min(std::max(world.bottom(), objects.bottom()), kWorldLimit);
        world = MapRect{x0, y0, x1 - x0, y1 - y0};
    }
    const int w = view.width(), h = view.height();
    return QRect(
        QPoint(static_cast<int>(std::floor(world.x * s)) - w / 2, static_cast<int>(std::floor(world.y * s)) - h / 2),
        QPoint(static_cast<int>(std::ceil(world.right() * s)) - w / 2,
               static_cast<int>(std::ceil(world.bottom() * s)) - h / 2));
}

}  // namespace qel::ui
