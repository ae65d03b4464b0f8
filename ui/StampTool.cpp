#include "ui/StampTool.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/DocumentSession.h"
#include "ui/MapCanvas.h"
#include "ui/MapPainting.h"
#include "ui/ObjectArt.h"
#include "ui/PanelCommands.h"

namespace qel::ui {

namespace {

constexpr double kGhostOpacity = 0.5;

}  // namespace

StampTool::StampTool(MapCanvas& canvas, PanelCommands& commands, app::DocumentSession& session,
                     platform::PictureCache& pictures)
    : QObject(&canvas), canvas_(canvas), commands_(commands), session_(session), pictures_(pictures)
{
    setObjectName(QStringLiteral("StampTool"));
    // After the editing tool and the canvas: their filters come after this one.
    viewport_ = canvas.viewport();
    viewport_->installEventFilter(this);
}

bool StampTool::canStamp() const
{
    const int choice = commands_.editorValues().imageChoice;
    return choice >= 0 && static_cast<std::size_t>(choice) < session_.document().images().size();
}

bool StampTool::setActive(bool on)
{
    on = on && canStamp();
    if (on == active_)
        return active_;
    const MapRect before = ghostArea();
    active_ = on;
    from_.reset();
    if (!on)
        hover_.reset();
    if (on)
        canvas_.viewport()->setCursor(Qt::CrossCursor);
    else
        canvas_.viewport()->unsetCursor();
    repaintGhost(before);
    emit activeChanged(on);
    return active_;
}

StampPitch StampTool::pitch() const
{
    const int choice = commands_.editorValues().imageChoice;
    const auto& images = session_.document().images();
    if (choice >= 0 && static_cast<std::size_t>(choice) < images.size()) {
        const ObjectArt art = ArtOf(session_.document(), images[static_cast<std::size_t>(choice)], pictures_);
        if (art.picture() && art.look.size.width() > 0 && art.look.size.height() > 0)
            return {art.look.size.width(), art.look.size.height()};
    }
    return {kMarkerSide, kMarkerSide};
}

StampPoint StampTool::snapped(QPointF p, Qt::KeyboardModifiers modifiers) const
{
    const auto x = static_cast<std::int64_t>(std::floor(p.x())), y = static_cast<std::int64_t>(std::floor(p.y()));
    if (canvas_.tool().snapping() && !(modifiers & Qt::ControlModifier))
        return SnapToTile(x, y);
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)),
            static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX))};
}

void StampTool::press(QPointF mapPoint, Qt::KeyboardModifiers modifiers)
{
    if (!active_)
        return;
    const MapRect before = ghostArea();
    modifiers_ = modifiers;
    from_ = snapped(mapPoint, modifiers);
    to_ = *from_;
    shape_ = modifiers & Qt::ShiftModifier ? StampShape::Fill : StampShape::Line;
    repaintGhost(before);
}

void StampTool::moveTo(QPointF mapPoint)
{
    if (!active_)
        return;
    const MapRect before = ghostArea();
    if (from_) {
        const auto x = static_cast<std::int64_t>(std::floor(mapPoint.x()));
        const auto y = static_cast<std::int64_t>(std::floor(mapPoint.y()));
        to_ = {static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)),
               static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX))};
    } else {
        hover_ = snapped(mapPoint, modifiers_);
    }
    repaintGhost(before);
}

void StampTool::release(QPointF mapPoint)
{
    if (!active_ || !from_)
        return;
    moveTo(mapPoint);
    const StampPoint from = *from_;
    const MapRect before = ghostArea();
    from_.reset();
    hover_ = snapped(mapPoint, modifiers_);
    repaintGhost(before);
    const StampPitch p = pitch();
    const std::int64_t count = StampCount(from, to_, p, shape_);
    if (!commands_.confirmStamp(count))
        return;
    commands_.stamp(StampPoints(from, to_, p, shape_));
}

StampTool::Ghost StampTool::ghost() const
{
    Ghost g;
    if (!active_ || (!from_ && !hover_))
        return g;
    const StampPitch p = pitch();
    g.cell = QSize(p.width, p.height);
    if (from_) {
        g.count = StampCount(*from_, to_, p, shape_);
        g.points = StampPoints(*from_, to_, p, shape_, kGhostLimit);
    } else {
        g.count = 1;
        g.points = {*hover_};
    }
    const int choice = commands_.editorValues().imageChoice;
    const auto& images = session_.document().images();
    if (choice >= 0 && static_cast<std::size_t>(choice) < images.size()) {
        const ObjectArt art = ArtOf(session_.document(), images[static_cast<std::size_t>(choice)], pictures_);
        if (art.picture())
            g.picture = pictures_.cell(art.path, art.xTiles, art.yTiles);
    }
    return g;
}

MapRect StampTool::ghostArea() const
{
    if (!active_ || (!from_ && !hover_))
        return {};
    const StampPitch p = pitch();
    const StampPoint a = from_ ? *from_ : *hover_;
    if (!from_)
        return MapRect{a.first, a.second, p.width, p.height};
    // The last object stands up to half a pitch past the pointer: a pitch
    // around the span covers every object of the gesture.
    const std::int64_t x0 = std::min<std::int64_t>(a.first, to_.first) - p.width;
    const std::int64_t y0 = std::min<std::int64_t>(a.second, to_.second) - p.height;
    return MapRect{x0, y0, std::llabs(static_cast<std::int64_t>(to_.first) - a.first) + 3 * std::int64_t{p.width},
                   std::llabs(static_cast<std::int64_t>(to_.second) - a.second) + 3 * std::int64_t{p.height}};
}

void StampTool::repaintGhost(const MapRect& before)
{
    canvas_.updateMapArea(before);
    canvas_.updateMapArea(ghostArea());
}

bool StampTool::eventFilter(QObject* watched, QEvent* event)
{
    if (!active_ || watched != viewport_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        press(canvas_.mapPointAt(mouse->position()), mouse->modifiers());
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        modifiers_ = from_ ? modifiers_ : mouse->modifiers();
        moveTo(canvas_.mapPointAt(mouse->position()));
        return false;  // the canvas follows the pointer too
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        release(canvas_.mapPointAt(mouse->position()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
        return true;
    case QEvent::Leave: {
        const MapRect before = ghostArea();
        if (!from_)
            hover_.reset();
        repaintGhost(before);
        return false;
    }
    default:
        return false;
    }
}

void DrawStampGhost(QPainter& painter, const MapViewport& view, const StampTool& tool)
{
    const StampTool::Ghost g = tool.ghost();
    if (g.points.empty())
        return;
    painter.save();
    painter.setOpacity(kGhostOpacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, SmoothScaling(view.scale()));
    for (const StampPoint& p : g.points) {
        const QRectF box = view.onScreen(MapRect{p.first, p.second, g.cell.width(), g.cell.height()});
        if (!g.picture.isNull())
            painter.drawImage(box, g.picture);
        else
            DrawMarkerBox(painter, box);
    }
    painter.restore();
}

}  // namespace qel::ui
