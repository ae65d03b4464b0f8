#pragma once
// Where the map stands in the canvas: the zoom level and the scroll position,
// and the conversions between map points and the view's pixels. A zoom level
// is a quarter of a doubling, scale 2^(level / 4), from the whole map in the
// view up to 800%. Scroll positions are view pixels at the current zoom (map
// x * scale), kept within a world far beyond any map so that they stay
// inside int even at 800%.

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

#include "core/MapIndex.h"

namespace qel::ui {

class MapViewport {
public:
    static constexpr int kMaxZoomLevel = 12;  // 800%

    static double ScaleAt(int level);
    // The level showing the whole map in a view of `view` pixels, never above
    // 100%: the lowest level offered.
    static int WholeMapLevel(QSize view);
    // The level at which `area`, with a margin, fills the view, among those
    // offered.
    static int FitLevel(const MapRect& area, QSize view);

    int level() const { return level_; }
    double scale() const { return ScaleAt(level_); }
    qint64 scrollX() const { return scrollX_; }
    qint64 scrollY() const { return scrollY_; }

    // The scroll position is left as it is.
    void setLevel(int level) { level_ = level; }
    // Zooms to `level`, taken to the nearest offered, keeping the map point
    // under `widgetPoint` where it is.
    void zoomAbout(int level, QPointF widgetPoint, QSize view);
    void zoomWholeMap(QSize view);
    void centreOn(double mapX, double mapY, QSize view);
    void scrollTo(qint64 x, qint64 y);

    QPointF mapPointAt(QPointF widgetPoint) const;
    QRectF onScreen(const MapRect& r) const;
    // The map area a view of `view` pixels shows, a pixel or two over.
    MapRect visibleArea(QSize view) const;
    // The scroll positions the bars offer: the map and `objects` (empty for
    // none), each reachable to the middle of the view.
    QRect scrollRange(const MapRect& objects, QSize view) const;

private:
    int level_ = 0;
    qint64 scrollX_ = 0;
    qint64 scrollY_ = 0;
};

}  // namespace qel::ui
