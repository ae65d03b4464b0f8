// The map index: what a point or a rectangle hits over stacks of layers and
// rows, Alt cycling, each image case's rectangle, and row notices leaving the
// index exactly as a rebuild would.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/MapIndex.h"

using namespace qel;

namespace {

ObjectList MapList(const std::vector<std::string>& lines)
{
    ObjectList list(ObjectKind::Map);
    for (const std::string& line : lines)
        list.append(line);
    return list;
}

MapIndex IndexOf(const ObjectList& list)
{
    MapIndex index;
    index.setImageSizes({{1, {16, 16}}, {2, {600, 40}}, {3, {4096, 4096}}});
    index.rebuild(list);
    return index;
}

// Row 0 and 1 share (0,0) in layers 7 and 0; later rows stack over them in
// layers that put "other" numbers above TopMost, negative ones first.
const std::vector<std::string> kStack = {
    "0,0,IMAGE1,TopMost",     // 0
    "0,0,IMAGE1,0",           // 1
    "8,8,IMAGE1,AfterShips",  // 2 (layer 4)
    "0,0,IMAGE1,4",           // 3: same layer as 2, later row
    "4,4,IMAGE1,-1",          // 4: other layer, below 9
    "12,12,IMAGE1,9",         // 5
    "250,250,IMAGE1,0",       // 6: across four cells
    "-100000,5,IMAGE9,0",     // 7: far outside, marker 16x16
    "2147483640,0,IMAGE1,0",  // 8: right edge past the 32-bit range
    "100,100,IMAGE3,2",       // 9: larger than many cells
    "0,0,IMAGE2,1",           // 10: 600 wide
};

TEST(MapIndexTest, HitsTheTopmostAndListsTheStack)
{
    const ObjectList list = MapList(kStack);
    const MapIndex index = IndexOf(list);
    struct Row {
        const char* name;
        std::int64_t x, y;
        std::vector<std::uint32_t> stack;  // topmost first
    };
    const std::vector<Row> rows = {
        {"corner", 0, 0, {0, 3, 10, 1}},
        {"mixed layers", 13, 13, {5, 4, 0, 3, 2, 10, 1}},
        {"last pixel in", 15, 15, {5, 4, 0, 3, 2, 10, 1}},
        {"first pixel out of the 16px ones", 16, 16, {5, 4, 2, 10}},
        {"wide picture only", 599, 39, {10}},
        {"past the wide picture", 600, 39, {}},
        {"over a cell corner", 256, 256, {9, 6}},
        {"large picture", 4195, 4195, {9}},
        {"outside the map", -99990, 10, {7}},
        {"end of the range", 2147483647, 5, {8}},
        {"nothing", 9000, 100, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(index.stackAt(row.x, row.y), row.stack) << row.name;
        const auto top = index.topmostAt(row.x, row.y);
        EXPECT_EQ(top.has_value(), !row.stack.empty()) << row.name;
        if (top && !row.stack.empty()) {
            EXPECT_EQ(*top, row.stack.front()) << row.name;
        }
    }
}

TEST(MapIndexTest, AltClickCyclesDownTheStack)
{
    const MapIndex index = IndexOf(MapList(kStack));
    struct Row {
        const char* name;
        std::optional<std::size_t> current;
        std::optional<std::size_t> next;
    };
    // Stack at (0,0): 0, 3, 10, 1.
    const std::vector<Row> rows = {
        {"nothing current", std::nullopt, 0}, {"topmost", 0, 3}, {"middle", 10, 1}, {"lowest wraps", 1, 0},
        {"not in the stack", 5, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(index.nextDownAt(0, 0, row.current), row.next) << row.name;
    EXPECT_EQ(index.nextDownAt(9000, 100, 0), std::nullopt);
}

TEST(MapIndexTest, RectangleSelectsWhatItTouches)
{
    const MapIndex index =
        IndexOf(MapList({"0,0,IMAGE1,0", "16,0,IMAGE1,0", "250,250,IMAGE1,0", "-100000,0,IMAGE1,0"}));
    struct Row {
        const char* name;
        MapRect area;
        std::vector<std::uint32_t> rows;
    };
    const std::vector<Row> rows = {
        {"touching one pixel", {15, 15, 1, 1}, {0}},
        {"edge to edge is no touch", {32, 0, 10, 10}, {}},
        {"spanning two", {10, 10, 10, 1}, {0, 1}},
        {"object over four cells, once", {0, 0, 1000, 1000}, {0, 1, 2}},
        {"everything", {-200000, -10, 400000, 400000}, {0, 1, 2, 3}},
        {"empty area", {0, 0, 0, 10}, {}},
    };
    for (const Row& row : rows) {
        std::vector<std::uint32_t> found;
        index.query(row.area, found);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, row.rows) << row.name;
    }
}

TEST(MapIndexTest, FirstCellOfEachImageCase)
{
    struct Row {
        const char* name;
        MapSize picture;
        std::int32_t xTiles, yTiles;
        std::optional<MapSize> cell;
    };
    const std::vector<Row> rows = {
        {"no tile counts", {64, 32}, -1, -1, MapSize{64, 32}},   {"4 x 2 tiles", {64, 32}, 4, 2, MapSize{16, 16}},
        {"remainder dropped", {67, 33}, 4, 2, MapSize{16, 16}},  {"one count missing", {64, 32}, 0, 2, MapSize{64, 16}},
        {"finer than the picture", {3, 32}, 4, 1, std::nullopt}, {"empty picture", {0, 0}, -1, -1, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FirstCellSize(row.picture, row.xTiles, row.yTiles), row.cell) << row.name;
}

TEST(MapIndexTest, GoToPositionText)
{
    using P = std::optional<std::pair<std::int32_t, std::int32_t>>;
    EXPECT_EQ(ParseMapPosition("100,200"), (P{{100, 200}}));
    EXPECT_EQ(ParseMapPosition(" -5 , 2147483647 "), (P{{-5, 2147483647}}));
    EXPECT_EQ(ParseMapPosition("100"), P{});
    EXPECT_EQ(ParseMapPosition("1,2147483648"), P{});
    EXPECT_EQ(ParseMapPosition("x,1"), P{});
}

// After every notice the index answers as one rebuilt from the list.
void ExpectSameAsRebuilt(const MapIndex& index, const ObjectList& list, const std::string& step)
{
    const MapIndex fresh = IndexOf(list);
    ASSERT_EQ(index.rows(), fresh.rows()) << step;
    for (std::size_t row = 0; row < fresh.rows(); ++row) {
        ASSERT_EQ(index.indexed(row), fresh.indexed(row)) << step << " row " << row;
        if (fresh.indexed(row)) {
            ASSERT_EQ(index.rect(row), fresh.rect(row)) << step << " row " << row;
        }
    }
    std::vector<std::uint32_t> a, b;
    index.queryOrdered({INT32_MIN, INT32_MIN, INT64_C(1) << 33, INT64_C(1) << 33}, a);
    fresh.queryOrdered({INT32_MIN, INT32_MIN, INT64_C(1) << 33, INT64_C(1) << 33}, b);
    EXPECT_EQ(a, b) << step;
    // Asked after every notice, so the next notice meets a kept extent.
    EXPECT_EQ(index.bounds(), fresh.bounds()) << step;
}

TEST(MapIndexTest, NoticesKeepTheIndexAsARebuildWould)
{
    ObjectList list = MapList({"0,0,IMAGE1,0", "300,300,IMAGE2,1", "20,20,IMAGE1,7", "600,0,IMAGE1,0"});
    MapIndex index = IndexOf(list);
    RowLines removed;
    list.append("40,40,IMAGE1,0");
    index.rowsInserted(list, 4, 4);
    ExpectSameAsRebuilt(index, list, "append");
    list.append("-900,7000,IMAGE2,0");
    index.rowsInserted(list, 5, 5);
    ExpectSameAsRebuilt(index, list, "append outside, widening the extent");
    list.truncate(5);
    index.rowsRemoved(list, 5, 5);
    ExpectSameAsRebuilt(index, list, "drop it again");
    list.removeRows({0, 1}, &removed);
    index.rowsRemoved(list, 0, 1);
    ExpectSameAsRebuilt(index, list, "remove first two");
    list.insertRows(removed);
    index.rowsInserted(list, 0, 1);
    ExpectSameAsRebuilt(index, list, "put back at the front");
    list.replace(2, "5000,5000,IMAGE3,0");
    index.rowsChanged(list, 2, 2);
    ExpectSameAsRebuilt(index, list, "move far");
    try {
        list.replace(1, "x,1,IMAGE1");
    } catch (const std::exception&) {
    }
    index.rowsChanged(list, 1, 1);
    ExpectSameAsRebuilt(index, list, "line that cannot be taken apart");
    list.replace(1, "1,1,IMAGE1");
    index.rowsChanged(list, 1, 1);
    ExpectSameAsRebuilt(index, list, "fixed again");
    list.truncate(1);
    index.rowsRemoved(list, 1, 4);
    ExpectSameAsRebuilt(index, list, "truncate");
    // The room kept after a rebuild is 16 rows past one: appends go past it.
    index = IndexOf(list);
    for (std::size_t row = 1; row <= 40; ++row) {
        list.append(std::to_string(row * 40) + ",8,IMAGE2,0");
        index.rowsInserted(list, row, row);
    }
    ExpectSameAsRebuilt(index, list, "appended past the room kept");
}

}  // namespace
