#pragma once
// Drawing map and screen objects. Both canvases draw alike the marked box of
// an object without a picture to show, the outline of a selected one and the
// rubber band, in the same colours; the map canvas's blocks of objects and
// its tile grid are drawn here too.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/MapIndex.h"
#include "core/MapLayers.h"
#include "platform/PictureCache.h"
#include "ui/MapBlocks.h"
#include "ui/MapViewport.h"
#include "ui/ObjectArt.h"

namespace qel::ui {

// Around the map or the screen, and the map's or the screen's own area.
inline const QColor kOutsideColour(0x14, 0x16, 0x1c);
inline const QColor kAreaColour(0x2a, 0x30, 0x3c);

// Pictures are pixel art: enlarged, each pixel stays a sharp square; only
// shrinking averages them.
inline bool SmoothScaling(double scale)
{
    return scale < 1.0;
}

// The marked box of an object without a picture to show.
void DrawMarkerBox(QPainter& painter, const QRectF& box);
// Draws one object, as both canvases do, into `box` (the canvas's pixels):
// `art` is its image number's (null: no image has the number). Its picture's
// cell is drawn scaled to the box, or `scaled`, that cell already at the
// box's size, where the caller keeps one; an image without a picture to show
// gives the marked box, within the box's whole pixels. Nothing is drawn while
// the picture is on its way or its pixels are not at hand: false then.
bool DrawObject(QPainter& painter, const QRectF& box, const ObjectArt* art, platform::PictureCache& pictures,
                const QImage& scaled = QImage());
// The outline around a selected object's box: black under light yellow, so
// one of the two shows on any picture.
void DrawSelectionOutline(QPainter& painter, const QRectF& box);
// The rubber band, in the widget's pixels.
void DrawBand(QPainter& painter, const QRect& band);

// What the map canvas draws: the objects where the index places them, with
// their image numbers' art, in the layers drawn.
struct MapScene {
    const MapIndex& index;
    const ObjectList& objects;
    const MapArt& art;
    const MapLayers& layers;
    platform::PictureCache& pictures;
    // The rows a filter keeps (ascending); the others are drawn dimmed.
    // None: every row is drawn as it is.
    const std::vector<std::uint32_t>* kept = nullptr;
    // Counts the objects each block drawn looked at, when given.
    std::size_t* rowsSeen = nullptr;

    bool dimmed(std::uint32_t row) const { return kept && !std::binary_search(kept->begin(), kept->end(), row); }
};

// How much of a dimmed object shows.
inline constexpr double kDimmedOpacity = 0.25;

// The least an object is drawn, on either side, in view pixels.
inline constexpr int kLeastSide = 3;
// An object whose `box` (image pixels) is narrower or lower than kLeastSide,
// as a square of that side (or its own size where larger) of `colour`
// (premultiplied), centred on it, within `part`.
void DrawLeastObject(QImage& image, const QRect& part, const QRect& box, QRgb colour);
// Draws `part` (block pixels) of one block of the scene into `image`, what
// was there before cleared; returns whether every picture it shows was at
// hand.
bool DrawMapBlock(QImage& image, const MapBlocks::Key& key, const QRect& part, const MapScene& scene);
// The 16-pixel tile grid over a view of `size` pixels.
void DrawTileGrid(QPainter& painter, QSize size, const MapViewport& view);
// The outlines of the selected `rows` (ascending) that the view shows; those
// the layers let be picked drawn `offset` away from where they stand, as a
// drag moves them.
void DrawMapSelection(QPainter& painter, QSize size, const MapViewport& view, const MapScene& scene,
                      const std::vector<std::uint32_t>& rows, std::pair<std::int64_t, std::int64_t> offset);

}  // namespace qel::ui
