#pragma once
// View > Overview: the whole map small, a dot wherever objects stand, and the
// rectangle the map view shows. A click or a drag there centres the view on
// that point. The dots come from the map index's grid (one per cell that
// holds objects, and the few objects the grid does not hold), so drawing it
// never walks the rows: it is drawn again after every step within a frame.

#include <QImage>
#include <QWidget>

namespace qel::ui {

class MapCanvas;

class OverviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit OverviewPanel(MapCanvas& canvas, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {220, 220}; }
    // The map point a point of this widget stands for.
    QPointF mapPointAt(QPointF widgetPoint) const;
    // Draws the dots again (after a step); the view's rectangle is drawn at each repaint.
    void redrawObjects();
    // The dots as last drawn (tests, the benchmark).
    const QImage& dots() const { return dots_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the map stands in the widget: a square, centred.
    QRectF mapArea() const;

    MapCanvas& canvas_;
    QImage dots_;
    bool stale_ = true;
};

}  // namespace qel::ui
