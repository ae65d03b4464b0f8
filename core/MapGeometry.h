#pragma once
// The map's geometry: its extent, the tile grid objects snap to, and the
// arithmetic on them that the checks, the presets, the moves and the views
// share.

#include <algorithm>
#include <cstdint>

namespace qel {

// The map's extent on both axes, in pixels.
inline constexpr std::int32_t kMapExtent = 16384;
// The side of the box drawn for an object without a picture to show.
inline constexpr std::int32_t kMarkerSide = 16;
// The tile grid's side; a position's tile is the position div this.
inline constexpr std::int32_t kTileSide = 16;

// a div b rounded down, for b above 0: -1 div 16 is -1, not 0. (The index
// divides every rectangle's corners by its cell side: one division and no
// remainder keeps rebuilding a million rows quick.)
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? a / b : -1 - (-1 - a) / b;
}

// The tile a position lies in.
constexpr std::int64_t TileOf(std::int64_t position)
{
    return FloorDiv(position, kTileSide);
}

// The nearest multiple of the tile side (16) to `value`, halves rounding up,
// kept inside the 32-bit range.
inline std::int32_t NearestTileEdge(std::int64_t value)
{
    std::int64_t edge = FloorDiv(value + kTileSide / 2, kTileSide) * kTileSide;
    // INT32_MIN is itself an edge; past the top the last edge inside is taken.
    edge = std::clamp<std::int64_t>(edge, INT32_MIN, INT32_MAX - (INT32_MAX % kTileSide));
    return static_cast<std::int32_t>(edge);
}

}  // namespace qel
