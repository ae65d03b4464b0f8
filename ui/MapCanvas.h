#pragma once
// The drawing of the map: every map object where it stands, from a grid index
// of their rectangles and tiles of 256 x 256 screen pixels kept per zoom step,
// so a repaint mostly copies tiles. A one-row change drops only the tiles
// that row's old and new rectangle touch.
//
// Pictures come from the picture cache, decoded beside the window's thread:
// an object whose picture is on its way is not drawn, and a tile that lacks
// a picture is drawn again at each repaint until it has them all.
//
// The selection is the map object list's own selection model: the canvas
// reads it to draw and changes it on clicks, and keeps no copy of its own
// beyond a sorted row cache rebuilt when the model says it changed.

#include <QAbstractScrollArea>
#include <QImage>
#include <QItemSelectionModel>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "DocumentSession.h"
#include "MapEditor.h"
#include "MapIndex.h"
#include "MapLayers.h"
#include "PictureCache.h"

namespace qel::ui {

class MapCanvas : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMaxZoomStep = 12;  // 800%: a step is a quarter of a doubling
    static constexpr int kTileSide = 256;
    static constexpr qint64 kTileBudget = qint64{80} << 20;

    MapCanvas(app::DocumentSession& session, QItemSelectionModel& selection, platform::PictureCache& pictures,
              QWidget* parent = nullptr);

    // Zoom: scale 2^(step / 4), from the whole map in the window up to 800%.
    int zoomStep() const { return step_; }
    double scale() const;
    int minZoomStep() const;
    void setZoomStep(int step);
    void setZoomStepAbout(int step, QPointF widgetPoint);
    void zoomWholeMap();
    void zoomActualSize();
    void fitSelection();
    // Centres the view on a map point at the current zoom.
    void centreOn(double mapX, double mapY);
    QPointF mapPointAt(QPointF widgetPoint) const;
    // The map point under where the pointer was last seen over the canvas.
    std::optional<QPointF> pointerPoint() const;

    bool gridShown() const { return grid_; }
    void setGridShown(bool shown);
    void reloadPictures();
    // Forgets only the pictures whose file changed, and redraws when any did.
    void refreshPictures();

    // Selection as the mouse makes it.
    void clickAt(QPointF mapPoint, Qt::KeyboardModifiers modifiers);
    void selectArea(const MapRect& area, bool add);
    void selectNothing();

    // Editing: moves, nudges, placing and deleting go to `editor` (none: the
    // view only shows and selects).
    void setEditor(MapEditor* editor) { editor_ = editor; }
    bool snapping() const { return snap_; }
    void setSnapping(bool on) { snap_ = on; }
    bool placing() const { return placing_; }
    // Place mode: each click adds one object. Refused while the editor
    // cannot place; returns whether the mode is on.
    bool setPlacing(bool on);
    // The selected rows the layers let be moved or deleted.
    std::vector<std::size_t> editableSelection();
    void nudge(std::int64_t dx, std::int64_t dy);
    void deleteSelection();
    // A drag of the object under `from` to `to` (map points), as the mouse
    // makes it: the press selects, the release moves.
    void dragObject(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers);
    void placeAtPoint(QPointF mapPoint, Qt::KeyboardModifiers modifiers);

    const MapLayers& layers() const { return layers_; }
    void setLayers(const MapLayers& layers);

    const MapIndex& index();
    // Draws the view into `painter` at the viewport's size (paint events and
    // the benchmark).
    void render(QPainter& painter, QSize size);
    std::size_t tileCount() const { return tiles_.size(); }
    std::size_t memoryBytes();

signals:
    // The row was clicked: make it current in the list and load it into the
    // object editor, as a click on the row does.
    void objectActivated(int row);
    void placingChanged(bool on);
    // A change of the map objects shown (for the layer counts).
    void objectsChanged();
    // The map point under the pointer changed: the pointer or the view moved.
    void pointerMoved(QPointF mapPoint);
    void zoomChanged(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct TileKey {
        int step;
        qint64 x;
        qint64 y;
        friend bool operator==(const TileKey&, const TileKey&) = default;
    };
    struct TileKeyHash {
        std::size_t operator()(const TileKey& k) const
        {
            return std::hash<qint64>()(k.x * 1000003 + k.y) ^ static_cast<std::size_t>(k.step) << 48;
        }
    };
    struct Tile {
        QImage image;
        std::uint64_t lastUse = 0;
        bool complete = true;  // false: drawn without a picture still on its way
    };
    // What an image number's objects show.
    struct Art {
        QString path;
        int xTiles = 0;
        int yTiles = 0;
        QRgb average = 0;
        bool picture = false;
        bool waiting = false;  // the picture is being decoded
        bool opaque = false;   // the picture has no see-through pixels
    };

    void followRowsInserted(app::DocumentList list, int first, int last);
    void followRowsRemoved(app::DocumentList list, int first, int last);
    void followRowsChanged(app::DocumentList list, int first, int last);
    void followListReset(app::DocumentList list);
    void followImages();
    void followDocumentState();
    void followPictures();

    void ensureIndex();
    void resolveArt();
    void dropTiles(const MapRect& area);
    void dropAllTiles();
    const QImage& tile(const TileKey& key);
    // Returns whether every picture the tile shows was at hand.
    bool drawTile(QImage& image, const TileKey& key);
    void drawSelection(QPainter& painter, QSize size);
    void drawGrid(QPainter& painter, QSize size);
    const std::vector<std::uint32_t>& selectedRows();
    void updateScrollBars();
    void setScroll(qint64 x, qint64 y);
    QRectF mapRectOnScreen(const MapRect& r) const;
    MapRect visibleMapArea(QSize size) const;
    std::optional<std::size_t> currentRow() const;
    void makeCurrent(std::size_t row, QItemSelectionModel::SelectionFlags flags);
    std::optional<std::size_t> pickAt(QPointF mapPoint);
    bool isSelected(std::size_t row) const;
    // Starts a move drag on `row` (selected first when it is not).
    void beginMove(std::size_t row, QPointF mapPoint, Qt::KeyboardModifiers modifiers);
    std::pair<std::int64_t, std::int64_t> moveDelta(QPointF mapPoint, Qt::KeyboardModifiers modifiers) const;
    void finishMove(QPointF mapPoint, Qt::KeyboardModifiers modifiers);
    // Repaints the screen area of the rectangles, selection outlines included.
    void updateMapRects(const std::vector<MapRect>& rects);

    app::DocumentSession& session_;
    QItemSelectionModel& selection_;
    platform::PictureCache& pictures_;
    MapIndex index_;
    bool indexStale_ = true;
    bool artStale_ = true;
    std::unordered_map<std::int32_t, Art> art_;
    std::unordered_map<std::int32_t, MapSize> imageSizes_;
    std::string folder_;

    std::unordered_map<TileKey, Tile, TileKeyHash> tiles_;
    std::uint64_t clock_ = 0;

    std::vector<std::uint32_t> selected_;
    bool selectedStale_ = true;

    int step_ = 0;
    qint64 scrollX_ = 0;  // screen pixels at the current zoom: map x * scale
    qint64 scrollY_ = 0;
    bool grid_ = true;
    bool syncingBars_ = false;

    MapEditor* editor_ = nullptr;
    MapLayers layers_;
    bool snap_ = true;
    bool placing_ = false;

    enum class Drag { None, Pan, Band, Move };
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragNow_;
    qint64 panFromX_ = 0;
    qint64 panFromY_ = 0;
    bool bandAdds_ = false;
    std::size_t moveRow_ = 0;  // the dragged object
    QPointF moveFrom_;         // map point of the press
    QPointF moveNow_;
    Qt::KeyboardModifiers moveModifiers_;
    bool moveWasSelected_ = false;
    bool spaceHeld_ = false;
    std::optional<QPointF> pointer_;  // viewport pixels
};

}  // namespace qel::ui
