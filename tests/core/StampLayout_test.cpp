// Where a stamp's objects go: counts and points of a click, a line and a fill.

#include <gtest/gtest.h>

#include "core/StampLayout.h"

using namespace qel;

namespace {

TEST(StampLayoutTest, LinesAndFillsStepByThePitch)
{
    struct Case {
        const char* name;
        StampPoint from, to;
        StampPitch pitch;
        StampShape shape;
        std::vector<StampPoint> points;
    };
    const std::vector<Case> cases = {
        {"a click", {16, 32}, {40, 90}, {16, 16}, StampShape::One, {{16, 32}}},
        {"a line not yet half a pitch long", {0, 0}, {7, 0}, {16, 16}, StampShape::Line, {{0, 0}}},
        {"half a pitch rounds to the next", {0, 0}, {8, 0}, {16, 16}, StampShape::Line, {{0, 0}, {16, 0}}},
        {"a row to the left", {64, 0}, {10, 3}, {24, 8}, StampShape::Line, {{64, 0}, {40, 0}, {16, 0}}},
        {"a slope steps evenly",
         {0, 0},
         {64, 16},
         {16, 16},
         StampShape::Line,
         {{0, 0}, {16, 0}, {32, 16}, {48, 16}, {64, 16}}},
        {"a fill up and left, rows from the press",
         {32, 32},
         {0, 16},
         {16, 16},
         StampShape::Fill,
         {{32, 32}, {16, 32}, {0, 32}, {32, 16}, {16, 16}, {0, 16}}},
        {"the 32-bit edge stops the line",
         {INT32_MAX - 20, 0},
         {INT32_MAX, 0},
         {16, 16},
         StampShape::Line,
         {{INT32_MAX - 20, 0}, {INT32_MAX - 4, 0}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StampPoints(c.from, c.to, c.pitch, c.shape), c.points) << c.name;
        if (c.from.first < INT32_MAX - 100) {
            EXPECT_EQ(StampCount(c.from, c.to, c.pitch, c.shape), static_cast<std::int64_t>(c.points.size())) << c.name;
        }
    }
}

TEST(StampLayoutTest, AFillIsCountedBeforeItIsMade)
{
    // The whole map at a tile's pitch: asked about, not made to be counted.
    EXPECT_EQ(StampCount({0, 0}, {16384, 16384}, {16, 16}, StampShape::Fill), 1025 * 1025);
    EXPECT_EQ(StampPoints({0, 0}, {16384, 16384}, {16, 16}, StampShape::Fill, 100).size(), 100u);
    EXPECT_EQ(StampCount({0, 0}, {1584, 1584}, {16, 16}, StampShape::Fill), 10000);
    EXPECT_EQ(SnapToTile(-1, 31), (StampPoint{-16, 16}));
}

}  // namespace
