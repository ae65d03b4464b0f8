#include "ui/MapScreenCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/MapIndex.h"
#include "core/ObjectMoves.h"
#include "ui/MapPainting.h"
#include "ui/ObjectArt.h"

namespace qel::ui {

namespace {

const QColor kScreenEdge(0x4f, 0xc3, 0xf7);
constexpr int kMargin = 24;

}  // namespace

const std::vector<ScreenSize>& ScreenSizes()
{
    static const std::vector<ScreenSize> sizes = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}};
    return sizes;
}

MapScreenCanvas::MapScreenCanvas(app::DocumentSession& session, QItemSelectionModel& selection,
                                 platform::PictureCache& pictures, QWidget* parent)
    : QWidget(parent),
      session_(session),
      selection_(selection),
      pictures_(pictures),
      tool_(new EditTool(*this, *this, selection))
{
    setObjectName(QStringLiteral("MapScreenCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    auto changed = [this] {
        artStale_ = true;
        update();
        emit objectsChanged();
    };
    connect(&session, &app::DocumentSession::rowsInserted, this, changed);
    connect(&session, &app::DocumentSession::rowsRemoved, this, changed);
    connect(&session, &app::DocumentSession::rowsChanged, this, changed);
    connect(&session, &app::DocumentSession::listReset, this, changed);
    connect(&session, &app::DocumentSession::imagesChanged, this, changed);
    connect(&session, &app::DocumentSession::documentReplaced, this, changed);
    // A picture that came may change the size an object stands at.
    connect(&pictures, &platform::PictureCache::pictureArrived, this, changed);
    connect(&pictures, &platform::PictureCache::forgotten, this, changed);
    connect(&selection, &QItemSelectionModel::selectionChanged, this, qOverload<>(&QWidget::update));
    connect(tool_, &EditTool::layersChanged, this, qOverload<>(&QWidget::update));
}

void MapScreenCanvas::setScreenSize(ScreenSize size)
{
    size_ = size;
    update();
    screenMoved();
}

void MapScreenCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    screenMoved();
}

void MapScreenCanvas::screenMoved()
{
    emit zoomChanged(scale());
    if (pointer_)
        emit pointerMoved(screenPointAt(*pointer_));
}

std::optional<QPointF> MapScreenCanvas::pointerPoint() const
{
    if (!pointer_)
        return std::nullopt;
    return screenPointAt(*pointer_);
}

std::int32_t MapScreenCanvas::layerOfRow(std::size_t row) const
{
    // A row the list could not take apart shows with "Other layers".
    const ObjectList& list = session_.document().screenObjects();
    return list.hasFields(row) ? list.fields(row).layer : -1;
}

std::array<std::size_t, MapLayers::kSlots> MapScreenCanvas::layerCounts() const
{
    const ObjectList& list = session_.document().screenObjects();
    return MapLayers::count(list.size(), [&](std::size_t row) -> std::optional<std::int32_t> {
        if (!CanMoveRow(list, row))
            return std::nullopt;
        return layerOfRow(row);
    });
}

double MapScreenCanvas::scale() const
{
    const double sx = (width() - 2.0 * kMargin) / size_.width;
    const double sy = (height() - 2.0 * kMargin) / size_.height;
    return std::max(0.05, std::min({sx, sy, 4.0}));
}

QPointF MapScreenCanvas::origin() const
{
    const double s = scale();
    return QPointF(std::floor((width() - size_.width * s) / 2), std::floor((height() - size_.height * s) / 2));
}

QPointF MapScreenCanvas::screenPointAt(QPointF widgetPoint) const
{
    return (widgetPoint - origin()) / scale();
}

QPointF MapScreenCanvas::widgetPointAt(QPointF screenPoint) const
{
    return screenPoint * scale() + origin();
}

const MapArt& MapScreenCanvas::art() const
{
    if (artStale_) {
        art_.resolve(session_.document(), pictures_);
        artStale_ = false;
    }
    return art_;
}

const MapArt::Art* MapScreenCanvas::artOfRow(std::size_t row) const
{
    const ObjectList& list = session_.document().screenObjects();
    return list.hasFields(row) ? art().find(list.fields(row).image) : nullptr;
}

QSize MapScreenCanvas::pictureSize(std::size_t row) const
{
    if (const MapArt::Art* art = artOfRow(row); art != nullptr && art->picture())
        return art->look.size;
    return QSize(kMarkerSide, kMarkerSide);
}

std::optional<QRect> MapScreenCanvas::rowRect(std::size_t row) const
{
    const ObjectList& list = session_.document().screenObjects();
    if (row >= list.size())
        return std::nullopt;
    std::string_view xText, yText;
    if (!FindField(list.line(row), 0, xText) || !FindField(list.line(row), 1, yText))
        return std::nullopt;
    const auto x = ScreenPosition(ParseScreenCoordinate(xText), size_.width);
    const auto y = ScreenPosition(ParseScreenCoordinate(yText), size_.height);
    if (!x || !y || *x < INT_MIN / 2 || *x > INT_MAX / 2 || *y < INT_MIN / 2 || *y > INT_MAX / 2)
        return std::nullopt;
    return QRect(QPoint(static_cast<int>(*x), static_cast<int>(*y)), pictureSize(row));
}

std::size_t MapScreenCanvas::unplaceableCount() const
{
    const ObjectList& list = session_.document().screenObjects();
    std::size_t count = 0;
    for (std::size_t row = 0; row < list.size(); ++row)
        if (!CanMoveRow(list, row))
            ++count;
    return count;
}

// --- picking, for the editing tool ---

std::vector<std::uint32_t> MapScreenCanvas::pickableStackAt(std::int64_t x, std::int64_t y,
                                                            const MapLayers& layers) const
{
    std::vector<std::uint32_t> stack;
    if (x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX)
        return stack;
    const QPoint p(static_cast<int>(x), static_cast<int>(y));
    for (std::size_t row = session_.document().screenObjects().size(); row-- > 0;)
        if (const auto r = rowRect(row); r && r->contains(p) && layers.pickable(layerOfRow(row)))
            stack.push_back(static_cast<std::uint32_t>(row));
    return stack;
}

std::optional<std::size_t> MapScreenCanvas::pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers)
{
    const std::vector<std::uint32_t> stack = pickableStackAt(x, y, layers);
    if (stack.empty())
        return std::nullopt;
    return stack.front();
}

std::optional<std::size_t> MapScreenCanvas::nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                                       std::optional<std::size_t> current)
{
    return NextDownInStack(pickableStackAt(x, y, layers), current);
}

void MapScreenCanvas::pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows)
{
    rows.clear();
    for (std::size_t row = 0; row < session_.document().screenObjects().size(); ++row)
        if (const auto r = rowRect(row);
            r && area.intersects(MapRect{r->x(), r->y(), r->width(), r->height()}) && layers.pickable(layerOfRow(row)))
            rows.push_back(static_cast<std::uint32_t>(row));
}

const std::vector<std::uint32_t>& MapScreenCanvas::selectedRows()
{
    selected_.clear();
    for (const QModelIndex& index : selection_.selectedRows())
        selected_.push_back(static_cast<std::uint32_t>(index.row()));
    std::sort(selected_.begin(), selected_.end());
    return selected_;
}

std::optional<std::pair<std::int32_t, std::int32_t>> MapScreenCanvas::anchorOf(std::size_t row) const
{
    const std::optional<QRect> r = rowRect(row);
    if (!r)
        return std::nullopt;
    return std::pair{r->x(), r->y()};
}

// --- painting ---

void MapScreenCanvas::paintEvent(QPaintEvent*)
{
    pictures_.beginFrame();
    QPainter painter(this);
    painter.fillRect(rect(), kOutsideColour);
    const double s = scale();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, SmoothScaling(s));
    const QPointF o = origin();
    const QRectF screen(o, QSizeF(size_.width * s, size_.height * s));
    painter.fillRect(screen, kAreaColour);
    painter.setClipRect(rect());
    const DefinitionDocument& doc = session_.document();
    const ObjectList& list = doc.screenObjects();
    const MapLayers& layers = tool_->layers();
    const auto [dx, dy] = tool_->dragOffset();
    auto onWidget = [&](QRect r) { return QRectF(widgetPointAt(r.topLeft()), QSizeF(r.width() * s, r.height() * s)); };
    for (std::size_t row = 0; row < list.size(); ++row) {
        if (!layers.drawn(layerOfRow(row)))
            continue;
        const auto r = rowRect(row);
        if (!r)
            continue;
        DrawObject(painter, onWidget(*r), artOfRow(row), pictures_);
    }
    painter.setPen(QPen(kScreenEdge, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screen.adjusted(-1, -1, 1, 1));
    for (const std::uint32_t row : selectedRows()) {
        if (!layers.drawn(layerOfRow(row)))
            continue;
        auto r = rowRect(row);
        if (!r)
            continue;
        if (layers.pickable(layerOfRow(row)))
            r->translate(static_cast<int>(dx), static_cast<int>(dy));
        DrawSelectionOutline(painter, onWidget(*r).adjusted(-1, -1, 1, 1));
    }
    if (const std::optional<QRect> band = tool_->band())
        DrawBand(painter, *band);
}

// --- the pointer ---

void MapScreenCanvas::mouseMoveEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    emit pointerMoved(screenPointAt(event->position()));
}

}  // namespace qel::ui
