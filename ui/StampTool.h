#pragma once
// The stamp (B): with an image chosen, a click places one object with the
// object editor's values, snapped to the tiles (Ctrl: where the pointer is);
// a drag places a line of them at the picture's cell pitch, a Shift+drag
// fills the rectangle (one step; past PanelCommands::kStampQuestionAbove
// objects it asks first). Like the editing tool it takes the canvas
// widget's mouse events before the widget does, while it is on; the middle
// button and the wheel stay the canvas's. It draws nothing itself: the
// canvas draws the ghost from ghost().
//
// Esc, another tool, or an image no longer chosen ends it.

#include <QImage>
#include <QObject>
#include <QSize>
#include <optional>
#include <vector>

#include "core/MapIndex.h"
#include "core/StampLayout.h"

class QMouseEvent;
class QPainter;

namespace qel::app {
class DocumentSession;
}
namespace qel::platform {
class PictureCache;
}

namespace qel::ui {

class MapCanvas;
class MapViewport;
class PanelCommands;

class StampTool : public QObject {
    Q_OBJECT
public:
    StampTool(MapCanvas& canvas, PanelCommands& commands, app::DocumentSession& session,
              platform::PictureCache& pictures);

    bool active() const { return active_; }
    // Refused (stays off) while no image is chosen; returns whether it is on.
    bool setActive(bool on);
    bool canStamp() const;

    // The gesture as the mouse makes it, in map points (tests, the walk).
    void press(QPointF mapPoint, Qt::KeyboardModifiers modifiers);
    void moveTo(QPointF mapPoint);
    void release(QPointF mapPoint);

    // What the canvas draws: where the objects would go (at most kGhostLimit
    // of them), the cell's size and its picture (null: the marked box).
    struct Ghost {
        std::vector<StampPoint> points;
        std::int64_t count = 0;
        QSize cell;
        QImage picture;
    };
    Ghost ghost() const;
    static constexpr std::int64_t kGhostLimit = 4096;
    // The cell size objects are stamped at: the chosen picture's, or a tile's.
    StampPitch pitch() const;

signals:
    void activeChanged(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StampPoint snapped(QPointF mapPoint, Qt::KeyboardModifiers modifiers) const;
    // The map area the ghost covers now, to be drawn again when it moves.
    MapRect ghostArea() const;
    void repaintGhost(const MapRect& before);

    MapCanvas& canvas_;
    // Compared, never called: events still come while the canvas is being
    // destroyed, when it is no scroll area any more.
    QObject* viewport_ = nullptr;
    PanelCommands& commands_;
    app::DocumentSession& session_;
    platform::PictureCache& pictures_;
    bool active_ = false;
    std::optional<StampPoint> hover_;
    std::optional<StampPoint> from_;
    StampPoint to_{};
    StampShape shape_ = StampShape::Line;
    Qt::KeyboardModifiers modifiers_;
};

// The ghost of `tool`'s stamp, translucent, in the view's pixels.
void DrawStampGhost(QPainter& painter, const MapViewport& view, const StampTool& tool);

}  // namespace qel::ui
