// What a properties panel shows for several objects: the shared values, and
// nothing where they differ.

#include <gtest/gtest.h>

#include "core/CommonFields.h"
#include "tests/core/ListLines.h"

using namespace qel;

namespace {

TEST(CommonFieldsTest, DifferingFieldsAreMixed)
{
    struct Case {
        const char* name;
        ObjectKind kind;
        std::vector<std::string> lines;
        std::vector<std::size_t> rows;
        CommonFields expected;
    };
    const auto fields =
        [](std::size_t n, std::optional<std::string> x, std::optional<std::string> y, std::optional<std::int32_t> image,
           std::optional<std::int32_t> layer, std::optional<std::int32_t> mode, std::optional<std::int32_t> time,
           std::optional<std::int32_t> id) { return CommonFields{n, x, y, image, layer, mode, time, id}; };
    const std::vector<Case> cases = {
        {"one object shows its own",
         ObjectKind::Map,
         {"10,20,IMAGE3,TopMost,Kill,50,7"},
         {0},
         fields(1, "10", "20", 3, 7, 3, 50, 7)},
        {"differing X and layer",
         ObjectKind::Map,
         {"10,20,IMAGE3,TopMost", "11,20,IMAGE3,BelowAll"},
         {1, 0},
         fields(2, std::nullopt, "20", 3, std::nullopt, -1, -1, -1)},
        {"a field one line lacks differs",
         ObjectKind::Map,
         {"0,0,IMAGE1,TopMost,Kill", "0,0,IMAGE1,TopMost"},
         {0, 1},
         fields(2, "0", "0", 1, 7, std::nullopt, -1, -1)},
        {"screen C-100 is not -100",
         ObjectKind::Screen,
         {"C-100,5,IMAGE0", "-100,5,IMAGE0"},
         {0, 1},
         fields(2, std::nullopt, "5", 0, -1, -1, -1, -1)},
        {"rows past the end left out",
         ObjectKind::Map,
         {"1,2,IMAGE0"},
         {0, 5, 0},
         fields(2, "1", "2", 0, -1, -1, -1, -1)},
        {"nothing selected", ObjectKind::Map, {"1,2,IMAGE0"}, {}, CommonFields{}},
    };
    for (const Case& c : cases) {
        const CommonFields got = CommonFieldsOf(ObjectListOf(c.kind, c.lines), c.kind, c.rows);
        EXPECT_EQ(got.count, c.expected.count) << c.name;
        EXPECT_EQ(got.x, c.expected.x) << c.name;
        EXPECT_EQ(got.y, c.expected.y) << c.name;
        EXPECT_EQ(got.image, c.expected.image) << c.name;
        EXPECT_EQ(got.layer, c.expected.layer) << c.name;
        EXPECT_EQ(got.mode, c.expected.mode) << c.name;
        EXPECT_EQ(got.displayTime, c.expected.displayTime) << c.name;
        EXPECT_EQ(got.objectId, c.expected.objectId) << c.name;
    }
}

}  // namespace
