// The tile animation: the checks before it starts, its interval, its cells
// and the order they are shown in.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Animation.h"

namespace qel {
namespace {

struct InputCase {
    const char* name;
    const char* x;
    const char* y;
    const char* time;
    std::string message;
};

class CheckAnimationInputTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(CheckAnimationInputTest, GivesTheLastFailingMessage)
{
    const InputCase& c = GetParam();
    const AnimationInput input = CheckAnimationInput(c.x, c.y, c.time);
    EXPECT_EQ(input.message, c.message);
    EXPECT_EQ(AnimationPreviewEnabled("a.bmp", c.x, c.y, c.time), c.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckAnimationInputTest,
    ::testing::Values(InputCase{"AllGiven", "4", "2", "100", ""},
                      InputCase{"StrictConversionForms", " +4", "$2", "0x64", ""},
                      InputCase{"XEmpty", "", "2", "100", kXTilesNotEnteredMessage},
                      InputCase{"LaterEmptyReplacesEarlier", "", "", "100", kYTilesNotEnteredMessage},
                      InputCase{"AllEmpty", "", "", "", kAniTimeNotEnteredMessage},
                      InputCase{"EmptyWinsOverBadNumber", "0", "2", "", kAniTimeNotEnteredMessage},
                      InputCase{"ZeroX", "0", "2", "100", kXTilesNotAboveZeroMessage},
                      InputCase{"NegativeY", "4", "-1", "100", kYTilesNotAboveZeroMessage},
                      InputCase{"TimeNotANumber", "4", "2", "1x", kAniTimeNotAboveZeroMessage},
                      InputCase{"TimeOutOfRange", "4", "2", "2147483648", kAniTimeNotAboveZeroMessage},
                      InputCase{"LastBadNumberWins", "a", "0", "100", kYTilesNotAboveZeroMessage}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

TEST(AnimationInput, CarriesTheNumbers)
{
    const AnimationInput input = CheckAnimationInput("4", "2", "100");
    EXPECT_EQ(input.xTiles, 4);
    EXPECT_EQ(input.yTiles, 2);
    EXPECT_EQ(input.aniTime, 100);
}

TEST(AnimationPreviewEnabled, NeedsAFile)
{
    EXPECT_FALSE(AnimationPreviewEnabled("", "4", "2", "100"));
}

struct IntervalCase {
    const char* name;
    std::int32_t x, y, time;
    std::int32_t interval;
};

class AnimationIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(AnimationIntervalTest, TimeOfOnePassSharedByTheCells)
{
    const IntervalCase& c = GetParam();
    EXPECT_EQ(AnimationInterval(c.x, c.y, c.time), c.interval);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnimationIntervalTest,
    ::testing::Values(IntervalCase{"FourByTwoAt100", 4, 2, 100, 125}, IntervalCase{"Truncates", 4, 2, 5, 6},
                      IntervalCase{"ZeroStopsTheTimer", 8, 8, 6, 0},
                      IntervalCase{"LargeTimeDoesNotWrap", 1, 1, 214748365, 2147483647},
                      IntervalCase{"LargeGridDoesNotWrap", 65536, 65536, 2147483647, 4}),
    [](const ::testing::TestParamInfo<IntervalCase>& info) { return std::string(info.param.name); });

TEST(AnimationInterval, RefusesNumbersNotAboveZero)
{
    EXPECT_THROW(AnimationInterval(0, 2, 100), std::invalid_argument);
    EXPECT_THROW(AnimationInterval(4, 2, -1), std::invalid_argument);
}

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

INSTANTIATE_TEST_SUITE_P(
    Cases, TileCellTest,
    ::testing::Values(CellCase{"TopLeft", {256, 64}, 4, 2, 0, 0, {0, 0, 64, 32}},
                      CellCase{"BottomRight", {256, 64}, 4, 2, 3, 1, {192, 32, 64, 32}},
                      CellCase{"RemainderNeverShown", {10, 7}, 3, 2, 2, 1, {6, 3, 3, 3}},
                      CellCase{"GridFinerThanPicture", {2, 2}, 4, 1, 3, 0, {0, 0, 0, 2}}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return std::string(info.param.name); });

TEST(TileCell, RefusesACellOutsideTheGrid)
{
    EXPECT_THROW(TileCell({256, 64}, 4, 2, 4, 0), std::invalid_argument);
    EXPECT_THROW(TileCell({256, 64}, 0, 2, 0, 0), std::invalid_argument);
}

using Cells = std::vector<AnimationFrames::Cell>;

struct FramesCase {
    const char* name;
    std::int32_t columns, rows;
    Cells shown;  // the cells of the first ticks, the restart included
};

class AnimationFramesTest : public ::testing::TestWithParam<FramesCase> {};

TEST_P(AnimationFramesTest, RowByRowThenAgain)
{
    const FramesCase& c = GetParam();
    AnimationFrames frames;
    frames.start(c.columns, c.rows);
    Cells shown;
    for (std::size_t i = 0; i < c.shown.size(); ++i)
        shown.push_back(frames.next());
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnimationFramesTest,
    ::testing::Values(
        FramesCase{"FourByTwo", 4, 2,
                   {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {1, 0}}},
        FramesCase{"OneCell", 1, 1, {{0, 0}, {0, 0}}},
        FramesCase{"OneColumn", 1, 3, {{0, 0}, {0, 1}, {0, 2}, {0, 0}}}),
    [](const ::testing::TestParamInfo<FramesCase>& info) { return std::string(info.param.name); });

TEST(AnimationFrames, StartingAgainBeginsAtTheTopLeft)
{
    AnimationFrames frames;
    frames.start(4, 2);
    frames.next();
    frames.next();
    frames.start(2, 2);
    EXPECT_EQ(frames.next(), (AnimationFrames::Cell{0, 0}));
    EXPECT_EQ(frames.current(), (AnimationFrames::Cell{1, 0}));
    EXPECT_THROW(frames.start(0, 1), std::invalid_argument);
}

}  // namespace
}  // namespace qel
