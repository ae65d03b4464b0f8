#pragma once
// The "Screen" tab of the map view: the screen objects on a screen rectangle
// of a chosen size, scaled to fit. Whole-number positions are measured from
// the screen's top-left, "C-n" from its centre; objects whose position is
// neither are counted, not drawn, and stay reachable from the list.
//
// There are seldom more than a few dozen screen objects, so every paint
// walks them all; the selection is the screen object list's own model.

#include <QItemSelectionModel>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "DocumentSession.h"
#include "MapEditor.h"
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

    // Where each row's picture stands on the screen, in screen pixels;
    // nothing for a row whose position cannot be placed.
    std::optional<QRect> rowRect(std::size_t row) const;
    std::size_t unplaceableCount() const;
    // The topmost placed row under a screen point (the last in the list).
    std::optional<std::size_t> rowAt(QPoint screenPoint) const;
    QPointF screenPointAt(QPointF widgetPoint) const;
    QPointF widgetPointAt(QPointF screenPoint) const;

    void clickAt(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers);
    void placeAtPoint(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void nudge(std::int64_t dx, std::int64_t dy);
    void deleteSelection();
    std::vector<std::size_t> selectedRows() const;

signals:
    void objectActivated(int row);
    void placingChanged(bool on);
    // The count of unplaceable objects may have changed.
    void objectsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QSize pictureSize(std::size_t row) const;
    double scale() const;
    QPointF origin() const;
    std::pair<std::int64_t, std::int64_t> moveDelta(QPointF screenPoint, Qt::KeyboardModifiers modifiers) const;

    app::DocumentSession& session_;
    QItemSelectionModel& selection_;
    platform::PictureCache& pictures_;
    MapEditor* editor_ = nullptr;
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
