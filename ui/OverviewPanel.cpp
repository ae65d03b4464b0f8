#include "ui/OverviewPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "core/MapGeometry.h"
#include "ui/MapCanvas.h"
#include "ui/MapPainting.h"

namespace qel::ui {

namespace {

const QColor kDot(0xe8, 0xe0, 0xa0);
const QColor kViewEdge(0xff, 0x9a, 0x1f);

}  // namespace

OverviewPanel::OverviewPanel(MapCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas)
{
    setObjectName(QStringLiteral("MapOverview"));
    setMinimumSize(96, 96);
    setCursor(Qt::PointingHandCursor);
    connect(&canvas, &MapCanvas::objectsChanged, this, &OverviewPanel::redrawObjects);
    connect(&canvas, &MapCanvas::zoomChanged, this, qOverload<>(&QWidget::update));
    connect(canvas.horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    connect(canvas.verticalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

QRectF OverviewPanel::mapArea() const
{
    const double side = std::max(1, std::min(width(), height()) - 8);
    return QRectF((width() - side) / 2.0, (height() - side) / 2.0, side, side);
}

QPointF OverviewPanel::mapPointAt(QPointF p) const
{
    const QRectF area = mapArea();
    return {(p.x() - area.left()) * kMapExtent / area.width(), (p.y() - area.top()) * kMapExtent / area.height()};
}

void OverviewPanel::redrawObjects()
{
    stale_ = true;
    update();
}

void OverviewPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    stale_ = true;
}

void OverviewPanel::paintEvent(QPaintEvent*)
{
    const QRectF area = mapArea();
    const MapIndex& index = canvas_.index();
    if (stale_ || dots_.size() != area.size().toSize()) {
        stale_ = false;
        const QSize size = area.size().toSize();
        dots_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        dots_.fill(kAreaColour);
        const double perCell = static_cast<double>(size.width()) / MapIndex::kCells;
        const int dot = std::max(2, static_cast<int>(perCell));
        // Written straight into the pixels: thousands of little fills
        // through a painter would cost more than the frame has.
        auto* bits = reinterpret_cast<QRgb*>(dots_.bits());
        const qsizetype stride = dots_.bytesPerLine() / 4;
        const QRgb colour = kDot.rgba();
        for (std::int32_t cy = 0; cy < MapIndex::kCells; ++cy) {
            const int y0 = static_cast<int>(cy * perCell), y1 = std::min(dots_.height(), y0 + dot);
            for (std::int32_t cx = 0; cx < MapIndex::kCells; ++cx) {
                if (index.cellRows(cx, cy) == 0)
                    continue;
                const int x0 = static_cast<int>(cx * perCell), x1 = std::min(dots_.width(), x0 + dot);
                for (int y = y0; y < y1; ++y)
                    std::fill(bits + y * stride + x0, bits + y * stride + x1, colour);
            }
        }
        QPainter painter(&dots_);
        const double perPixel = static_cast<double>(size.width()) / kMapExtent;
        for (const std::uint32_t row : index.overflowRows()) {
            const MapRect r = index.rect(row);
            const QRectF box(r.x * perPixel, r.y * perPixel, std::max(2.0, r.width * perPixel),
                             std::max(2.0, r.height * perPixel));
            painter.fillRect(box.intersected(QRectF(QPointF(0, 0), QSizeF(size))), kDot);
        }
    }
    QPainter painter(this);
    painter.fillRect(rect(), kOutsideColour);
    painter.drawImage(area.topLeft(), dots_);
    // The view's rectangle, from its corners' map points.
    const QWidget* port = canvas_.viewport();
    const QPointF a = canvas_.mapPointAt(QPointF(0, 0));
    const QPointF b = canvas_.mapPointAt(QPointF(port->width(), port->height()));
    const double k = area.width() / kMapExtent;
    QRectF view(area.left() + a.x() * k, area.top() + a.y() * k, (b.x() - a.x()) * k, (b.y() - a.y()) * k);
    if (view.width() < 3)
        view.adjust(-1.5, 0, 1.5, 0);
    if (view.height() < 3)
        view.adjust(0, -1.5, 0, 1.5);
    painter.setPen(QPen(kViewEdge, 2));
    painter.setBrush(QColor(255, 255, 255, 30));
    painter.drawRect(view.intersected(QRectF(rect()).adjusted(1, 1, -1, -1)));
}

void OverviewPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPointF p = mapPointAt(event->position());
    canvas_.centreOn(p.x(), p.y());
}

void OverviewPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    const QPointF p = mapPointAt(event->position());
    canvas_.centreOn(p.x(), p.y());
}

}  // namespace qel::ui
