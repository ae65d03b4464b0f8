#pragma once
// The "Screen" tab of the map view: the screen objects on a screen rectangle
// of a chosen size, scaled to fit. Whole-number positions are measured from
// the screen's top-left, "C-n" from its centre; objects whose position is
// neither are counted, not drawn, and stay reachable from the list.
//
// There are seldom more than a few dozen screen objects, so every paint and
// every pick walks them all; they are drawn in list order, the last on top.
// The selection is the screen object list's own model. Selecting and
// editing with the mouse and keys is the editing tool's, as on the map, with
// layers hidden and locked apart from the map's.

#include <QItemSelectionModel>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/DocumentSession.h"
#include "core/MapLayers.h"
#include "platform/PictureCache.h"
#include "ui/EditTool.h"
#include "ui/ObjectArt.h"

namespace qel::ui {

struct ScreenSize {
    int width;
    int height;
};
// The sizes offered, 640 x 480 first.
const std::vector<ScreenSize>& ScreenSizes();

class MapScreenCanvas : public QWidget, private EditSurface {
    Q_OBJECT
public:
    MapScreenCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
                    QWidget* parent = nullptr);

    void setScreenSize(ScreenSize size);
    // Rows whose position stands on the screen, of each layer slot.
    std::array<std::size_t, MapLayers::kSlots> layerCounts() const;
    // Screen pixels per pixel of the tab: the screen fits the tab, up to 400%.
    double scale() const;
    // The screen point under where the pointer was last seen over the tab.
    std::optional<QPointF> pointerPoint() const;

    // Where each row's picture stands on the screen, in screen pixels;
    // nothing for a row whose position stands nowhere.
    std::optional<QRect> rowRect(std::size_t row) const;
    std::size_t unplaceableCount() const;
    QPointF screenPointAt(QPointF widgetPoint) const;
    QPointF widgetPointAt(QPointF screenPoint) const;

    // Selecting and editing, as the mouse and keys do them (screen points).
    EditTool& tool() { return *tool_; }
    void clickAt(QPointF screenPoint, Qt::KeyboardModifiers modifiers) { tool_->clickAt(screenPoint, modifiers); }
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
    {
        tool_->dragObject(from, to, modifiers);
    }
    void nudge(std::int64_t dx, std::int64_t dy) { tool_->nudge(dx, dy); }

signals:
    // The count of unplaceable objects may have changed.
    void objectsChanged();
    // The screen point under the pointer changed: the pointer or the scale moved.
    void pointerMoved(QPointF screenPoint);
    void zoomChanged(double scale);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // EditSurface: screen points, picked by walking the rows.
    QPointF pointAt(QPointF widgetPoint) const override { return screenPointAt(widgetPoint); }
    std::optional<std::size_t> pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers) override;
    std::optional<std::size_t> nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                          std::optional<std::size_t> current) override;
    void pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows) override;
    const std::vector<std::uint32_t>& selectedRows() override;
    std::optional<std::int32_t> layerOf(std::size_t row) override { return layerOfRow(row); }
    std::optional<std::pair<std::int32_t, std::int32_t>> anchorOf(std::size_t row) const override;

    // Every image number's art, taken anew after a change.
    const MapArt& art() const;
    // The art of the row's image number; null without fields or image.
    const MapArt::Art* artOfRow(std::size_t row) const;
    QSize pictureSize(std::size_t row) const;
    std::int32_t layerOfRow(std::size_t row) const;
    // The rows under a screen pixel that the layers let be picked, topmost first.
    std::vector<std::uint32_t> pickableStackAt(std::int64_t x, std::int64_t y, const MapLayers& layers) const;
    // The scale or the position of the screen changed.
    void screenMoved();
    QPointF origin() const;

    app::DocumentSession& session_;
    QItemSelectionModel& selection_;
    platform::PictureCache& pictures_;
    mutable MapArt art_;
    mutable bool artStale_ = true;
    EditTool* tool_ = nullptr;
    std::vector<std::uint32_t> selected_;
    std::optional<QPointF> pointer_;  // widget pixels
    ScreenSize size_{640, 480};
};

}  // namespace qel::ui
