#pragma once
// Where the map objects stand, for a view that draws and picks a million of
// them: each row's rectangle in flat arrays (16 bytes a row) and a uniform grid
// of 256-pixel cells over the map holding row numbers (4 bytes a row for
// everything smaller than a cell). Objects far outside the map, or larger than
// a few cells, sit in one overflow list that every look-up also scans.
//
// The index follows the list through row notices: a one-row change touches
// only the cells of that row's old and new rectangle. Rows without fields (a
// line the list could not take apart, and every row after it) are not indexed:
// they are neither drawn nor picked.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/MapGeometry.h"
#include "core/ObjectList.h"

namespace qel {

// A half-open rectangle [x, x + width) x [y, y + height); edges are 64-bit so
// an object at the end of the 32-bit range still has a right edge.
struct MapRect {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;

    std::int64_t right() const { return x + width; }
    std::int64_t bottom() const { return y + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(std::int64_t px, std::int64_t py) const
    {
        return px >= x && py >= y && px < right() && py < bottom();
    }
    bool intersects(const MapRect& other) const
    {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
    friend bool operator==(const MapRect&, const MapRect&) = default;
};

struct MapSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const MapSize&, const MapSize&) = default;
};

// The part of a picture an object shows: cell (0, 0) of the picture cut into
// xTiles x yTiles, an axis whose count is not above 0 left whole. Nothing for
// an empty picture or a cell without pixels.
std::optional<MapSize> FirstCellSize(MapSize picture, std::int32_t xTiles, std::int32_t yTiles);

// Drawing order of a layer: BelowAll (0) up to TopMost (7) first, then every
// other layer number in ascending order.
inline std::uint64_t LayerOrder(std::int32_t layer)
{
    if (layer >= 0 && layer <= 7)
        return static_cast<std::uint64_t>(layer);
    return 8 + static_cast<std::uint64_t>(static_cast<std::int64_t>(layer) - INT32_MIN);
}

// Alt+click over `stack`, the rows under a point topmost first: the row below
// `current`, back to the topmost after the lowest; the topmost when `current`
// is not in the stack; nothing for an empty stack.
std::optional<std::size_t> NextDownInStack(const std::vector<std::uint32_t>& stack, std::optional<std::size_t> current);

// "X,Y" (spaces around either number allowed) as a map point; nothing when
// either part is not a whole 32-bit number.
std::optional<std::pair<std::int32_t, std::int32_t>> ParseMapPosition(std::string_view text);

class MapIndex {
public:
    static constexpr std::int32_t kCellSide = 256;
    static constexpr std::int32_t kCells = kMapExtent / kCellSide;
    // An object covering more cells than this sits in the overflow list.
    static constexpr std::int64_t kMaxCellsPerObject = 16;

    MapIndex();

    // The shown size of each image number's object; an image not named here
    // is drawn as the marker box. Takes effect at the next rebuild().
    void setImageSizes(std::unordered_map<std::int32_t, MapSize> sizes) { sizes_ = std::move(sizes); }
    // One image number's size (none: the marker box), for the rows placed
    // after it.
    void setImageSize(std::int32_t number, std::optional<MapSize> size)
    {
        if (size)
            sizes_[number] = *size;
        else
            sizes_.erase(number);
    }

    // Takes every row of `list` anew.
    void rebuild(const ObjectList& list);
    // Row notices, after the change: rows [first, last] of `list` are new,
    // gone, or changed. Each also places or drops rows whose fields came or
    // went with the change.
    void rowsInserted(const ObjectList& list, std::size_t first, std::size_t last);
    void rowsRemoved(const ObjectList& list, std::size_t first, std::size_t last);
    void rowsChanged(const ObjectList& list, std::size_t first, std::size_t last);

    std::size_t rows() const { return boxes_.size(); }
    bool indexed(std::size_t row) const { return row < indexed_; }
    // Rows [0, indexedCount()) are indexed.
    std::size_t indexedCount() const { return indexed_; }
    MapRect rect(std::size_t row) const;
    std::int32_t layer(std::size_t row) const { return boxes_[row].layer; }
    // Draw order: a greater key is drawn later, over a smaller one.
    std::uint64_t drawKey(std::size_t row) const { return LayerOrder(boxes_[row].layer) << 31 | row; }

    // Indexed rows whose rectangle meets `area`, each once, in no order.
    void query(const MapRect& area, std::vector<std::uint32_t>& out) const;
    // The same in drawing order (bottom first).
    void queryOrdered(const MapRect& area, std::vector<std::uint32_t>& out) const;
    // The topmost object under the point.
    std::optional<std::size_t> topmostAt(std::int64_t x, std::int64_t y) const;
    // Every object under the point, topmost first.
    std::vector<std::uint32_t> stackAt(std::int64_t x, std::int64_t y) const;
    // Alt+click: the object below `current` in the stack under the point,
    // back to the topmost after the lowest; the topmost when `current` is not
    // in that stack.
    std::optional<std::size_t> nextDownAt(std::int64_t x, std::int64_t y, std::optional<std::size_t> current) const;

    // The rectangle covering every indexed row's rectangle (empty without one).
    // Kept between calls: rows added, and a changed row that touched no edge
    // of it, only widen it, so adding or moving one object of a million does
    // not walk them all again.
    MapRect bounds() const;
    // Bytes held beyond the object itself.
    std::size_t memoryBytes() const;
    // An overview's look at the grid: how many rows meet cell (cx, cy), for
    // 0 <= cx, cy < kCells, and the rows too large or too far out for it.
    std::size_t cellRows(std::int32_t cx, std::int32_t cy) const
    {
        return cells_[static_cast<std::size_t>(cy) * kCells + static_cast<std::size_t>(cx)].size();
    }
    const std::vector<std::uint32_t>& overflowRows() const { return overflow_; }

private:
    struct Box {
        std::int32_t x;
        std::int32_t y;
        std::uint16_t width;
        std::uint16_t height;
        std::int32_t layer;
    };
    struct CellRange {
        std::int64_t x0, y0, x1, y1;  // inclusive; x0 > x1 for none
    };

    Box boxOf(const ObjectFields& fields) const;
    static CellRange cellsOf(const MapRect& r);
    static bool overflows(const MapRect& r);
    void addToGrid(std::uint32_t row);
    void removeFromGrid(std::uint32_t row);
    void shiftRows(std::uint32_t from, std::int64_t by);
    void reconcile(const ObjectList& list);
    void insertRows(const ObjectList& list, std::size_t first, std::size_t last);
    template <class Visit>
    void forCandidates(const MapRect& area, Visit&& visit) const;

    std::unordered_map<std::int32_t, MapSize> sizes_;
    std::vector<Box> boxes_;
    std::size_t indexed_ = 0;
    std::vector<std::vector<std::uint32_t>> cells_;
    std::vector<std::uint32_t> overflow_;
    mutable std::optional<MapRect> bounds_;
};

}  // namespace qel
