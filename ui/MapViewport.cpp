#include "MapCanvas.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

namespace qel::ui {

namespace {

// A world far beyond any map keeps scroll positions inside int at 800%.
constexpr std::int64_t kWorldLimit = std::int64_t{1} << 27;

}  // namespace

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

}  // namespace qel::ui
