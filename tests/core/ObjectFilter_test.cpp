// The filter at the edges of its words: range ends, unknown and malformed
// names, rows without fields, and when an earlier result may be narrowed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectFilter.h"
#include "tests/core/ListLines.h"

using namespace qel;

namespace {

const std::vector<std::string> kMap = {
    "99,0,IMAGE5,TopMost,Kill,0,7", "100,512,image50,AfterTiles", "200,513,IMAGE5,7,3", "201,-1,IMAGE6", "x,0,IMAGE5",
};
const std::vector<std::string> kScreen = {"C-100,150,IMAGE1", "150,c-0,IMAGE2", "nowhere,100,IMAGE3"};

TEST(ObjectFilterTest, KeepsTheRowsEveryWordMatches)
{
    struct Case {
        ObjectKind kind;
        const char* text;
        std::vector<std::uint32_t> rows;
    };
    const Case cases[] = {
        {ObjectKind::Map, "", {0, 1, 2, 3, 4}},
        {ObjectKind::Map, "   ", {0, 1, 2, 3, 4}},
        {ObjectKind::Map, "x:100-200", {1, 2}},
        {ObjectKind::Map, "x:200-100", {1, 2}},
        {ObjectKind::Map, "X:201", {3}},
        {ObjectKind::Map, "y:-1--1", {3}},
        {ObjectKind::Map, "y:0-512", {0, 1}},
        {ObjectKind::Map, "image:5", {0, 2}},
        {ObjectKind::Map, "image:IMAGE50", {1}},
        {ObjectKind::Map, "layer:topmost", {0, 2}},
        {ObjectKind::Map, "mode:Kill", {0, 2}},
        {ObjectKind::Map, "id:7 time:0", {0}},
        {ObjectKind::Map, "image5", {0, 1, 2, 4}},
        {ObjectKind::Map, "image5 x:0-100", {0, 1}},
        {ObjectKind::Map, "layer:nonsense", {}},
        {ObjectKind::Map, "x:", {}},
        {ObjectKind::Map, "x:1-", {}},
        {ObjectKind::Map, "colour:5", {}},
        {ObjectKind::Map, "E5,7", {2}},
        {ObjectKind::Screen, "x:150", {1}},
        {ObjectKind::Screen, "y:100-150", {0, 2}},
        {ObjectKind::Screen, "c-", {0, 1}},
    };
    for (const Case& c : cases) {
        const ObjectList list = ObjectListOf(c.kind, c.kind == ObjectKind::Map ? kMap : kScreen);
        EXPECT_EQ(ObjectFilter(c.text).rows(list), c.rows) << c.text;
    }
}

TEST(ObjectFilterTest, NarrowsOnlyWhenEveryOldWordIsImplied)
{
    struct Case {
        const char* wider;
        const char* text;
        bool narrows;
    };
    const Case cases[] = {
        {"", "anything", true},         {"ima", "imag", true},        {"imag", "ima", false},
        {"image:5", "image:50", false}, {"x:0-100", "x:10-20", true}, {"x:10-20", "x:0-100", false},
        {"kill", "kill x:5", true},     {"kill x:5", "kill", false},  {"layer:x", "layer:y", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ObjectFilter(c.text).narrows(ObjectFilter(c.wider)), c.narrows) << c.wider << " -> " << c.text;
    const ObjectList list = ObjectListOf(ObjectKind::Map, kMap);
    const std::vector<std::uint32_t> wide = ObjectFilter("image").rows(list);
    EXPECT_EQ(ObjectFilter("image5").rows(list, &wide), ObjectFilter("image5").rows(list));
}

}  // namespace
