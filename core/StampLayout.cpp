#include "core/StampLayout.h"

#include <algorithm>
#include <cstdlib>

#include "core/MapGeometry.h"

namespace qel {

namespace {

// Whole pitches from `from` to `to`, rounded to the nearest, signed.
std::int64_t Steps(std::int32_t from, std::int32_t to, std::int32_t pitch)
{
    const std::int64_t d = static_cast<std::int64_t>(to) - from;
    const std::int64_t half = pitch / 2;
    return d >= 0 ? (d + half) / pitch : -((-d + half) / pitch);
}

bool Inside(std::int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

}  // namespace

std::int64_t StampCount(StampPoint from, StampPoint to, StampPitch pitch, StampShape shape)
{
    const std::int64_t sx = Steps(from.first, to.first, std::max(1, pitch.width));
    const std::int64_t sy = Steps(from.second, to.second, std::max(1, pitch.height));
    switch (shape) {
    case StampShape::One:
        return 1;
    case StampShape::Line:
        return std::max(std::llabs(sx), std::llabs(sy)) + 1;
    case StampShape::Fill:
        return (std::llabs(sx) + 1) * (std::llabs(sy) + 1);
    }
    return 0;
}

std::vector<StampPoint> StampPoints(StampPoint from, StampPoint to, StampPitch pitch, StampShape shape,
                                    std::int64_t limit)
{
    const std::int32_t pw = std::max(1, pitch.width), ph = std::max(1, pitch.height);
    const std::int64_t sx = Steps(from.first, to.first, pw);
    const std::int64_t sy = Steps(from.second, to.second, ph);
    std::vector<StampPoint> points;
    const auto add = [&](std::int64_t i, std::int64_t j) {
        const std::int64_t x = from.first + i * pw, y = from.second + j * ph;
        if (Inside(x) && Inside(y))
            points.emplace_back(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    };
    const std::int64_t count = std::min(StampCount(from, to, pitch, shape), limit);
    points.reserve(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
    if (shape == StampShape::One) {
        add(0, 0);
    } else if (shape == StampShape::Line) {
        const std::int64_t n = std::max(std::llabs(sx), std::llabs(sy));
        for (std::int64_t k = 0; k <= n && static_cast<std::int64_t>(points.size()) < limit; ++k) {
            // Rounded to the nearest step, halves away from the press.
            const auto along = [&](std::int64_t s) { return n == 0 ? 0 : (2 * k * s + (s >= 0 ? n : -n)) / (2 * n); };
            add(along(sx), along(sy));
        }
    } else {
        const std::int64_t dx = sx >= 0 ? 1 : -1, dy = sy >= 0 ? 1 : -1;
        for (std::int64_t j = 0; j <= std::llabs(sy); ++j)
            for (std::int64_t i = 0; i <= std::llabs(sx); ++i) {
                if (static_cast<std::int64_t>(points.size()) >= limit)
                    return points;
                add(i * dx, j * dy);
            }
    }
    return points;
}

StampPoint SnapToTile(std::int64_t x, std::int64_t y)
{
    const auto snap = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(TileOf(v) * kTileSide, INT32_MIN, INT32_MAX));
    };
    return {snap(x), snap(y)};
}

}  // namespace qel
