// The tile animation: the checks before it starts, its interval, its cells
// and the order they are shown in.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Animation.h"

namespace qel {
namespace {

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

struct InputCase {
    const char* name;
    const char *x, *y, *time;
    std::string message;
};

class CheckAnimationInputTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(CheckAnimationInputTest, GivesTheLastFailingMessage)
{
    const InputCase& c = GetParam();
    EXPECT_EQ(CheckAnimationInput(c.x, c.y, c.time).message, c.message);
    EXPECT_EQ(AnimationPreviewEnabled("a.bmp", c.x, c.y, c.time), c.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckAnimationInputTest,
    ::testing::Values(InputCase{"StrictConversionForms", " +4", "$2", "0x64", ""},
                      InputCase{"LaterEmptyReplacesEarlier", "", "", "100", kYTilesNotEnteredMessage},
                      InputCase{"EmptyWinsOverBadNumber", "0", "2", "", kAniTimeNotEnteredMessage},
                      InputCase{"ZeroX", "0", "2", "100", kXTilesNotAboveZeroMessage},
                      InputCase{"TimeOutOfRange", "4", "2", "2147483648", kAniTimeNotAboveZeroMessage},
                      InputCase{"LastBadNumberWins", "a", "-1", "100", kYTilesNotAboveZeroMessage}),
    kCaseName);

struct IntervalCase {
    const char* name;
    std::int32_t x, y, time, interval;
};

class AnimationIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(AnimationIntervalTest, OnePassSharedByTheCells)
{
    const IntervalCase& c = GetParam();
    EXPECT_EQ(AnimationInterval(c.x, c.y, c.time), c.interval);
}

INSTANTIATE_TEST_SUITE_P(Cases, AnimationIntervalTest,
                         ::testing::Values(IntervalCase{"FourByTwoAt100", 4, 2, 100, 125},
                                           IntervalCase{"Truncates", 4, 2, 5, 6},
                                           IntervalCase{"ZeroStopsTheTimer", 8, 8, 6, 0},
                                           IntervalCase{"LargeTimeDoesNotWrap", 1, 1, 214748365, 2147483647},
                                           IntervalCase{"LargeGridDoesNotWrap", 65536, 65536, 2147483647, 4}),
                         kCaseName);

struct CellCase {
    const char* name;
    PictureSize picture;
    std::int32_t columns, rows, column, row;
    CellRect cell;
};

class TileCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(TileCellTest, CutsWholeCells)
{
    const CellCase& c = GetParam();
    EXPECT_EQ(TileCell(c.picture, c.columns, c.rows, c.column, c.row), c.cell);
}

INSTANTIATE_TEST_SUITE_P(Cases, TileCellTest,
                         ::testing::Values(CellCase{"BottomRight", {256, 64}, 4, 2, 3, 1, {192, 32, 64, 32}},
                                           CellCase{"RemainderNeverShown", {10, 7}, 3, 2, 2, 1, {6, 3, 3, 3}},
                                           CellCase{"GridFinerThanPicture", {2, 2}, 4, 1, 3, 0, {0, 0, 0, 2}}),
                         kCaseName);

TEST(AnimationFrames, RowByRowThenAgainFromTheTopLeft)
{
    using Cell = AnimationFrames::Cell;
    AnimationFrames frames;
    frames.start(4, 2);
    std::vector<Cell> shown;
    for (int tick = 0; tick < 10; ++tick)
        shown.push_back(frames.next());
    EXPECT_EQ(shown,
              (std::vector<Cell>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {1, 0}}));
    frames.start(1, 1);
    EXPECT_EQ(frames.next(), (Cell{0, 0}));
    EXPECT_EQ(frames.next(), (Cell{0, 0}));
}

}  // namespace
}  // namespace qel
