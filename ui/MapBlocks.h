#pragma once
// The map canvas's drawing cache: blocks of 256 x 256 view pixels at one zoom
// level, each drawn once and then copied at every repaint, so that a repaint
// mostly copies blocks. They are kept within a memory budget, the least
// recently used dropped first. A block drawn while a picture it shows was on
// its way is drawn again each time it is asked for, until it had them all.
// A change to a few objects marks only the part of each block they showed
// in, drawn again the next time the block is asked for: a one-row edit
// redraws a few hundred pixels, not whole blocks.
// (Blocks are the canvas's own; the 16-pixel tiles are the grid objects
// snap to.)

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "core/MapIndex.h"

namespace qel::ui {

class MapBlocks {
public:
    static constexpr int kSide = 256;
    static constexpr qint64 kBudget = qint64{80} << 20;

    struct Key {
        int level;  // the zoom level
        qint64 x;   // view pixels div kSide at that level
        qint64 y;
        friend bool operator==(const Key&, const Key&) = default;
    };
    // Clears `part` (block pixels) of `image` and draws the block's objects
    // there; returns whether every picture they show was at hand.
    using Draw = std::function<bool(QImage& image, const Key& key, const QRect& part)>;

    explicit MapBlocks(Draw draw) : draw_(std::move(draw)) {}

    const QImage& block(const Key& key);
    // The block as it was last drawn (null for none), whether nothing of it
    // is to be drawn again, and whether only pictures on their way are. Counts
    // as a use: a block in view is the last to be dropped.
    struct Drawn {
        const QImage* image = nullptr;
        bool current = false;
        bool waiting = false;
    };
    Drawn drawn(const Key& key);
    // Stands in for a block not drawn yet: the blocks of the nearest level
    // drawn that show its part of the map, scaled into `target` (the block's
    // place in the view), what they do not cover left as it is.
    void drawStandIn(QPainter& painter, const Key& key, const QRect& target) const;
    // Marks, in the blocks of every level, the part that shows `area` (map
    // pixels) to be drawn again.
    void drop(const MapRect& area);
    void dropAll() { blocks_.clear(); }
    std::size_t memoryBytes() const;

private:
    struct KeyHash {
        std::size_t operator()(const Key& k) const
        {
            return std::hash<qint64>()(k.x * 1000003 + k.y) ^ static_cast<std::size_t>(k.level) << 48;
        }
    };
    struct Block {
        QImage image;
        std::uint64_t lastUse = 0;
        bool complete = true;  // false: drawn without a picture still on its way
        QRect stale;           // block pixels to draw again
    };

    Draw draw_;
    std::unordered_map<Key, Block, KeyHash> blocks_;
    std::uint64_t clock_ = 0;
};

}  // namespace qel::ui
