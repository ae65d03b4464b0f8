// Moves: only the two coordinates of a moved line change, snapping to the
// tile grid at the ends of the 32-bit range, and screen coordinates keeping
// the form they were written in.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectList.h"
#include "core/ObjectMoves.h"
#include "tests/core/ListLines.h"

using namespace qel;

namespace {

std::vector<std::string> LinesAfter(const PlannedMove& plan)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < plan.after.count(); ++i)
        out.emplace_back(plan.after.line(i));
    return out;
}

TEST(ObjectMovesTest, MapMoveRewritesOnlyTheTwoCoordinates)
{
    struct Row {
        const char* name;
        std::string line;
        std::int64_t dx, dy;
        std::string moved;
    };
    const std::vector<Row> rows = {
        {"spaces kept after Y", " 10, 1000,IMAGE1, 7,  0", 5, 0, "15,1000,IMAGE1, 7,  0"},
        {"Y written with a space becomes plain", "0, 1000,IMAGE1", 1, 0, "1,1000,IMAGE1"},
        {"lower-case keywords", "1,2,image1,topmost,enterzone", 1, 1, "2,3,image1,topmost,enterzone"},
        {"image5", "0,0,image5", -3, 0, "-3,0,image5"},
        {"bare image number", "0,0,7,2", 0, 16, "0,16,7,2"},
        {"hex X written in decimal", "$10,0x20,IMAGE1", 1, 1, "17,33,IMAGE1"},
        {"seven fields", "1,1,IMAGE1,AfterShips,ShowAlways,100,42", 2, 2, "3,3,IMAGE1,AfterShips,ShowAlways,100,42"},
        {"fields beyond seven", "1,1,IMAGE1,0,0,0,0,extra, bytes\xe9", 1, 0, "2,1,IMAGE1,0,0,0,0,extra, bytes\xe9"},
        {"two fields only", "4,4", 1, 1, "5,5"},
    };
    for (const Row& row : rows) {
        const ObjectList list = ObjectListOf(ObjectKind::Map, {row.line});
        const PlannedMove plan = PlanMove(list, {0}, row.dx, row.dy);
        ASSERT_EQ(plan.after.count(), 1u) << row.name;
        EXPECT_EQ(plan.after.line(0), row.moved) << row.name;
        EXPECT_EQ(plan.before.line(0), row.line) << row.name;
    }
}

TEST(ObjectMovesTest, RowsThatCannotMoveAreLeftOut)
{
    // Row 1 has one field; row 2's X is not a number, so it and row 3 have no fields.
    const ObjectList list = ObjectListOf(ObjectKind::Map, {"1,1,IMAGE1", "5", "C-5,0,IMAGE1", "2,2,IMAGE1"});
    const PlannedMove plan = PlanMove(list, {3, 2, 1, 0, 0}, 1, 0);
    EXPECT_EQ(plan.after.rows, (std::vector<std::size_t>{0}));
    EXPECT_EQ(LinesAfter(plan), (std::vector<std::string>{"2,1,IMAGE1"}));
}

TEST(ObjectMovesTest, MovePastThe32BitRangeIsRefusedWithTheConversionMessage)
{
    struct Row {
        const char* name;
        std::string line;
        std::int64_t dx, dy;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"X past the top", "2147483647,0,IMAGE1", 1, 0, "'2147483648' is not a valid integer value"},
        {"Y past the bottom", "0,-2147483648,IMAGE1", 0, -1, "'-2147483649' is not a valid integer value"},
    };
    for (const Row& row : rows) {
        const ObjectList list = ObjectListOf(ObjectKind::Map, {"0,0,IMAGE1", row.line});
        try {
            PlanMove(list, {0, 1}, row.dx, row.dy);
            ADD_FAILURE() << row.name;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), row.message) << row.name;
        }
    }
    // At the very edge it still moves.
    EXPECT_EQ(LinesAfter(PlanMove(ObjectListOf(ObjectKind::Map, {"2147483646,0,IMAGE1"}), {0}, 1, 0)),
              (std::vector<std::string>{"2147483647,0,IMAGE1"}));
}

TEST(ObjectMovesTest, DragSnapsTheDraggedTopLeftToTheNearestTileEdge)
{
    struct Row {
        const char* name;
        std::pair<std::int32_t, std::int32_t> anchor;
        std::pair<std::int64_t, std::int64_t> raw;
        bool snap;
        std::pair<std::int64_t, std::int64_t> delta;
    };
    const std::vector<Row> rows = {
        {"free, to the pixel", {3, 5}, {10, -7}, false, {10, -7}},
        {"snapped down and up", {3, 5}, {4, 4}, true, {-3, 11}},
        {"half a tile rounds up", {0, 0}, {8, 7}, true, {16, 0}},
        {"negative positions", {-3, -20}, {-6, -5}, true, {-13, -12}},
        {"negative half rounds up", {0, 0}, {-8, -9}, true, {0, -16}},
        {"near the top stays inside", {INT32_MAX - 20, 0}, {18, 0}, true, {5, 0}},
        {"at the bottom", {INT32_MIN + 5, 0}, {-5, 0}, true, {-5, 0}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DragDelta(row.anchor, row.raw, row.snap), row.delta) << row.name;
}

TEST(ObjectMovesTest, ScreenCoordinatesAndWhereTheyStand)
{
    struct Row {
        std::string text;
        std::optional<std::int64_t> on640;
    };
    const std::vector<Row> rows = {
        {"100", 100}, {"-5", -5},   {"C-320", 0}, {"c-320", 0}, {"C-0", 320},   {"C-1000", -680},     {"C--5", {}},
        {"C-", {}},   {"C320", {}}, {"D-5", {}},  {"", {}},     {"center", {}}, {"C-2147483648", {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ScreenPosition(ParseScreenCoordinate(row.text), 640), row.on640) << row.text;
    // An odd screen drops the half pixel, as the Splash preset's sizes do.
    EXPECT_EQ(ScreenPosition(ParseScreenCoordinate("C-0"), 1023), 511);
}

TEST(ObjectMovesTest, ScreenMovesKeepEachCoordinatesForm)
{
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        std::int64_t dx, dy;
        std::vector<std::string> moved;
    };
    const std::vector<Row> rows = {
        {"whole numbers stay whole", {"10,20,IMAGE1"}, -30, 5, {"-20,25,IMAGE1"}},
        {"C-n moves as the picture does", {"C-320,c-240,IMAGE0,TopMost"}, 20, -10, {"C-300,c-250,IMAGE0,TopMost"}},
        {"the move stops at C-0 for all",
         {"C-4,0,IMAGE1", "100,C-50,IMAGE1"},
         10,
         60,
         {"C-0,50,IMAGE1", "104,C-0,IMAGE1"}},
        {"unplaceable rows are left out", {"x,0,IMAGE1", "1,1,IMAGE1"}, 1, 1, {"2,2,IMAGE1"}},
    };
    for (const Row& row : rows) {
        const ObjectList list = ObjectListOf(ObjectKind::Screen, row.lines);
        std::vector<std::size_t> all;
        for (std::size_t i = 0; i < row.lines.size(); ++i)
            all.push_back(i);
        EXPECT_EQ(LinesAfter(PlanMove(list, all, row.dx, row.dy)), row.moved) << row.name;
    }
    EXPECT_THROW(PlanMove(ObjectListOf(ObjectKind::Screen, {"C-2147483647,0,IMAGE1"}), {0}, -1, 0), ConversionError);
}

}  // namespace
