#pragma once
// The drawing of the map: every map object where it stands, from a grid index
// of their rectangles and drawing blocks kept per zoom level (MapBlocks), so
// a repaint mostly copies blocks. A one-row change drops only the blocks that
// row's old and new rectangle touch.
//
// Pictures come from the picture cache, decoded beside the window's thread:
// an object whose picture is on its way is not drawn, and a block that lacks
// a picture is drawn again at each repaint until it has them all.
//
// The selection is the map object list's own selection model: the canvas
// reads it to draw, keeping no copy of its own beyond a sorted row cache
// rebuilt when the model says it changed. Selecting and editing with the
// mouse and keys is the editing tool's, as on the Screen tab.

#include <QAbstractScrollArea>
#include <QItemSelectionModel>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DocumentSession.h"
#include "core/MapIndex.h"
#include "platform/PictureCache.h"
#include "ui/EditTool.h"
#include "ui/MapBlocks.h"
#include "ui/MapViewport.h"
#include "ui/ObjectArt.h"

class QPainter;

namespace qel::ui {

struct MapScene;
class StampTool;

class MapCanvas : public QAbstractScrollArea, private EditSurface {
    Q_OBJECT
public:
    MapCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
              QWidget* parent = nullptr);
    ~MapCanvas() override;

    // Zoom levels: see MapViewport.
    int zoomLevel() const { return view_.level(); }
    double scale() const { return view_.scale(); }
    int minZoomLevel() const;
    void setZoomLevel(int level);
    void setZoomLevelAbout(int level, QPointF widgetPoint);
    void zoomWholeMap();
    void zoomActualSize();
    void fitSelection();
    // Fits every object in view; the whole map when there is none.
    void fitObjects();
    // Centres the view on a map point at the current zoom.
    void centreOn(double mapX, double mapY);
    QPointF mapPointAt(QPointF widgetPoint) const { return view_.mapPointAt(widgetPoint); }
    // The map point under where the pointer was last seen over the canvas.
    std::optional<QPointF> pointerPoint() const;

    bool gridShown() const { return grid_; }
    void setGridShown(bool shown);
    void reloadPictures();
    // Forgets only the pictures whose file changed, and redraws when any did.
    void refreshPictures();
    // The rows a filter keeps (ascending); the others are drawn dimmed. None:
    // all drawn as they are.
    void setKeptRows(std::shared_ptr<const std::vector<std::uint32_t>> rows);

    // Selecting and editing, as the mouse and keys do them (map points).
    EditTool& tool() { return *tool_; }
    void clickAt(QPointF mapPoint, Qt::KeyboardModifiers modifiers) { tool_->clickAt(mapPoint, modifiers); }
    void selectArea(const MapRect& area, bool add) { tool_->selectArea(area, add); }
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers)
    {
        tool_->dragObject(from, to, modifiers);
    }
    void placeAtPoint(QPointF mapPoint, Qt::KeyboardModifiers modifiers) { tool_->placeAt(mapPoint, modifiers); }
    void nudge(std::int64_t dx, std::int64_t dy) { tool_->nudge(dx, dy); }
    void deleteSelection() { tool_->deleteSelection(); }
    bool placing() const { return tool_->placing(); }
    bool setPlacing(bool on) { return tool_->setPlacing(on); }

    const MapIndex& index();
    // The stamp whose ghost is drawn over the objects (none: no ghost).
    void setStampTool(StampTool* stamp) { stamp_ = stamp; }
    // Repaints where `area` (map pixels) shows.
    void updateMapArea(const MapRect& area)
    {
        if (!area.empty())
            updateMapRects({area});
    }
    // Draws the view into `painter` at the viewport's size (paint events and
    // the benchmark). A frame draws blocks until they have looked at
    // kRowsPerFrame objects; the rest stand in scaled from another zoom
    // level, drawn at the next frames, which it asks for.
    void render(QPainter& painter, QSize size);
    static constexpr std::size_t kRowsPerFrame = 64000;
    // Blocks of the view were left for the next frames.
    bool drawingLeft() const { return drawingLeft_; }
    std::size_t memoryBytes();

signals:
    // A change of the map objects shown (for the layer counts).
    void objectsChanged();
    // The map point under the pointer changed: the pointer or the view moved.
    void pointerMoved(QPointF mapPoint);
    void zoomChanged(int level);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Panning and following the pointer, before the editing tool sees the
    // mouse.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // EditSurface: map points, picked through the index.
    QPointF pointAt(QPointF widgetPoint) const override { return view_.mapPointAt(widgetPoint); }
    std::optional<std::size_t> pickAt(std::int64_t x, std::int64_t y, const MapLayers& layers) override;
    std::optional<std::size_t> nextDownAt(std::int64_t x, std::int64_t y, const MapLayers& layers,
                                          std::optional<std::size_t> current) override;
    void pickIn(const MapRect& area, const MapLayers& layers, std::vector<std::uint32_t>& rows) override;
    const std::vector<std::uint32_t>& selectedRows() override;
    std::optional<std::int32_t> layerOf(std::size_t row) override;
    std::optional<std::pair<std::int32_t, std::int32_t>> anchorOf(std::size_t row) const override;

    void followRowsInserted(app::DocumentList list, int first, int last);
    void followRowsRemoved(app::DocumentList list, int first, int last);
    void followRowsChanged(app::DocumentList list, int first, int last);
    void followListReset(app::DocumentList list);
    void followImages();
    void followDocumentState();
    void followPictures(const QString& path);
    // Rows moved by pictures that came; looks up the next images while any wait.
    void moved(const std::vector<MapRect>& touched);

    void ensureIndex();
    void resolveArt();
    MapScene scene();
    void updateScrollBars();
    // The view scrolled or zoomed: the bars, the drawing and the point under
    // the pointer follow.
    void viewMoved();
    void setScroll(qint64 x, qint64 y);
    // Repaints the screen area of the rectangles, selection outlines included.
    void updateMapRects(const std::vector<MapRect>& rects);

    app::DocumentSession& session_;
    QItemSelectionModel& selection_;
    platform::PictureCache& pictures_;
    MapIndex index_;
    std::shared_ptr<const std::vector<std::uint32_t>> kept_;
    bool indexStale_ = true;
    bool artStale_ = true;
    bool resolveLater_ = false;
    MapArt art_;
    std::string folder_;
    MapBlocks blocks_;
    MapViewport view_;
    EditTool* tool_ = nullptr;
    StampTool* stamp_ = nullptr;

    std::size_t rowsSeen_ = 0;
    bool drawingLeft_ = false;

    std::vector<std::uint32_t> selected_;
    bool selectedStale_ = true;

    bool grid_ = true;
    bool syncingBars_ = false;
    bool panning_ = false;
    QPoint panStart_;
    qint64 panFromX_ = 0;
    qint64 panFromY_ = 0;
    bool spaceHeld_ = false;
    std::optional<QPointF> pointer_;  // viewport pixels
};

}  // namespace qel::ui
