#pragma once
// The "Screen" tab of the map view: the screen objects on a screen rectangle
// of a chosen size, scaled to fit. Whole-number positions are measured from
// the screen's top-left, "C-n" from its centre; objects whose position is
// neither are counted, not drawn, and stay reachable from the list.
//
// There are seldom more than a few dozen screen objects, so every paint
// walks them all; the selection is the screen object list's own model. Its
// layers are hidden and locked apart from the map's.

#include <QItemSelectionModel>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "DocumentSession.h"
#include "MapEditor.h"
#include "MapLayers.h"
#include "PictureCache.h"

namespace qel::ui {

struct ScreenSize {
    int width;
    int height;
};
// The sizes offered, 640 x 480 first.
const std::vector<ScreenSize>& ScreenSizes();

class MapScreenCanvas : public QWidget {
    Q_OBJECT
public:
    MapScreenCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
                    QWidget* parent = nullptr);

    ScreenSize screenSize() const { return size_; }
    void setScreenSize(ScreenSize size);
    void setEditor(MapEditor* editor) { editor_ = editor; }
    void setSnapping(bool on) { snap_ = on; }
    bool placing() const { return placing_; }
    bool setPlacing(bool on);
    const MapLayers& layers() const { return layers_; }
    void setLayers(const MapLayers& layers);
    // Placeable rows of each layer slot.
    std::array<std::size_t, MapLayers::kSlots> layerCounts() const;
    // Screen pixels per pixel of the tab: the screen fits the tab, up to 400%.
    double scale() const;
    // The screen point under where the pointer was last seen over the tab.
    std::optional<QPointF> pointerPoint() const;

    // Where each row's picture stands on the screen, in screen pixels;
    // nothing for a row whose position cannot be placed.
    std::optional<QRect> rowRect(std::size_t row) const;
    std::size_t unplaceableCount() const;
    // The topmost placed row under a screen point (the last in the list)
    // that the layers let be picked.
    std::optional<std::size_t> rowAt(QPoint screenPoint) const;
    QPointF screenPointAt(QPointF widgetPoint) const;
    QPointF widgetPointAt(QPointF screenPoint) const;

    void clickAt(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers);
    void placeAtPoint(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void nudge(std::int64_t dx, std::int64_t dy);
    void deleteSelection();
    std::vector<std::size_t> selectedRows() const;
    // The selected rows the layers let be moved or deleted.
    std::vector<std::size_t> editableRows() const;

signals:
    void objectActivated(int row);
    void placingChanged(bool on);
    // The count of unplaceable objects may have changed.
    void objectsChanged();
    // The screen point under the pointer changed: the pointer or the scale moved.
    void pointerMoved(QPointF screenPoint);
    void zoomChanged(double scale);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize pictureSize(std::size_t row) const;
    std::int32_t layerOf(std::size_t row) const;
    // The scale or the place of the screen changed.
    void screenMoved();
    QPointF origin() const;
    std::pair<std::int64_t, std::int64_t> moveDelta(QPointF screenPoint, Qt::KeyboardModifiers modifiers) const;

    app::DocumentSession& session_;
    QItemSelectionModel& selection_;
    platform::PictureCache& pictures_;
    MapEditor* editor_ = nullptr;
    MapLayers layers_;
    std::optional<QPointF> pointer_;  // widget pixels
    ScreenSize size_{640, 480};
    bool snap_ = true;
    bool placing_ = false;
    bool dragging_ = false;
    bool moved_ = false;
    std::size_t dragRow_ = 0;
    QPointF dragFrom_;  // screen pixels
    QPointF dragNow_;
    Qt::KeyboardModifiers dragModifiers_;
};

}  // namespace qel::ui
