#pragma once
// Where a stamp puts its objects: one at a click, a line of them along a
// drag, or a rectangle filled by a Shift+drag, each object one pitch (the
// picture's cell size) from the next. Stated on plain points so the counts
// can be known, and asked about, before anything is made.
//
// A line runs from the press to the release in whole pitches on each axis:
// as many objects as the longer axis has pitches, plus one, the shorter axis
// advancing in even steps (a line drawn on a grid). A fill covers, from the
// press's corner, every pitch the rectangle reaches on both axes. Points stay
// inside the 32-bit range: steps past it are not made.

#include <cstdint>
#include <utility>
#include <vector>

namespace qel {

using StampPoint = std::pair<std::int32_t, std::int32_t>;

struct StampPitch {
    std::int32_t width = 16;  // above 0
    std::int32_t height = 16;
};

enum class StampShape { One, Line, Fill };

// How many objects the gesture makes (64-bit: a fill may be asked about
// before it is refused).
std::int64_t StampCount(StampPoint from, StampPoint to, StampPitch pitch, StampShape shape);
// The points, in rows from the press's side; at most `limit` of them.
std::vector<StampPoint> StampPoints(StampPoint from, StampPoint to, StampPitch pitch, StampShape shape,
                                    std::int64_t limit = INT64_MAX);
// The top-left of the tile a point lies in (kept within the 32-bit range).
StampPoint SnapToTile(std::int64_t x, std::int64_t y);

}  // namespace qel
