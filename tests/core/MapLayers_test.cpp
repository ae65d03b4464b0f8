// Hidden and locked layers refuse picks: clicks fall through to the next
// pickable object, Alt cycling skips them, rectangles leave them out.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MapLayers.h"

using namespace qel;

namespace {

// All at (0,0), 16 x 16; drawn bottom to top: rows 1, 2, 0, 3.
const std::vector<std::string> kStack = {
    "0,0,IMAGE1,TopMost",  // 0: layer 7
    "0,0,IMAGE1,0",        // 1: layer 0
    "0,0,IMAGE1,4",        // 2: layer 4
    "0,0,IMAGE1,-3",       // 3: "Other layers"
};

TEST(MapLayersTest, HiddenAndLockedLayersRefusePicks)
{
    ObjectList list(ObjectKind::Map);
    for (const std::string& line : kStack)
        list.append(line);
    MapIndex index;
    index.setImageSizes({{1, {16, 16}}});
    index.rebuild(list);

    struct Row {
        const char* name;
        std::vector<int> hidden;
        std::vector<int> locked;
        std::optional<std::size_t> top;
        std::vector<std::size_t> altCycle;  // Alt+clicks from nothing current
    };
    const std::vector<Row> rows = {
        {"all open", {}, {}, 3, {3, 0, 2, 1, 3}},
        {"other layers hidden", {MapLayers::kOtherSlot}, {}, 0, {0, 2, 1, 0}},
        {"topmost locked", {MapLayers::kOtherSlot}, {7}, 2, {2, 1, 2}},
        {"only the bottom one left", {4}, {7, MapLayers::kOtherSlot}, 1, {1, 1}},
        {"nothing pickable", {0, 4, 7}, {MapLayers::kOtherSlot}, std::nullopt, {}},
    };
    for (const Row& row : rows) {
        MapLayers layers;
        for (int slot : row.hidden)
            layers.setVisible(slot, false);
        for (int slot : row.locked)
            layers.setLocked(slot, true);
        EXPECT_EQ(TopmostPickable(index, layers, 5, 5), row.top) << row.name;
        std::optional<std::size_t> current;
        std::vector<std::size_t> cycle;
        for (std::size_t i = 0; i < row.altCycle.size(); ++i) {
            current = NextPickableDown(index, layers, 5, 5, current);
            if (current)
                cycle.push_back(*current);
        }
        EXPECT_EQ(cycle, row.altCycle) << row.name;
        if (row.altCycle.empty()) {
            EXPECT_FALSE(NextPickableDown(index, layers, 5, 5, std::nullopt)) << row.name;
        }
        std::vector<std::uint32_t> area;
        index.query(MapRect{0, 0, 4, 4}, area);
        KeepPickable(index, layers, area);
        EXPECT_EQ(area.size(), 4 - row.hidden.size() - row.locked.size()) << row.name;
    }
    EXPECT_EQ(MapLayers::count(index), (std::array<std::size_t, MapLayers::kSlots>{1, 0, 0, 0, 1, 0, 0, 1, 1}));
}

}  // namespace
