// Changing fields of many lines: only the chosen fields change, in their own
// places; short lines grow to the changed field, "C-n" keeps its form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectChange.h"

using namespace qel;

namespace {

std::vector<std::string> Changed(ObjectKind kind, const std::vector<std::string>& lines, const ObjectChange& change)
{
    ObjectList list(kind);
    std::vector<std::size_t> rows;
    for (const std::string& line : lines) {
        rows.push_back(list.size());
        try {
            list.append(line);
        } catch (const ConversionError&) {
            // Kept without fields, as the reader keeps such a line.
        }
    }
    const PlannedChange plan = PlanChange(list, rows, change);
    std::vector<std::string> out(lines);
    for (std::size_t i = 0; i < plan.after.count(); ++i)
        out[plan.after.rows[i]] = plan.after.line(i);
    return out;
}

TEST(ObjectChangeTest, RewritesOnlyTheChosenFields)
{
    const auto with = [](auto set) {
        ObjectChange c;
        set(c);
        return c;
    };
    struct Case {
        ObjectKind kind;
        std::vector<std::string> lines;
        ObjectChange change;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {ObjectKind::Map, {"1,2,IMAGE1,BelowAll,Kill,0,5"}, {}, {"1,2,IMAGE1,BelowAll,Kill,0,5"}},
        {ObjectKind::Map,
         {"1,2,image1,belowall,Kill,0,5", "1,2,IMAGE1"},
         with([](ObjectChange& c) { c.layer = 7; }),
         {"1,2,image1,TopMost,Kill,0,5", "1,2,IMAGE1,TopMost"}},
        {ObjectKind::Map,
         {"1,2,IMAGE1", "1,2"},
         with([](ObjectChange& c) { c.mode = 4, c.imageNumber = 9; }),
         {"1,2,IMAGE9,BelowAll,Death", "1,2,IMAGE9,BelowAll,Death"}},
        {ObjectKind::Map,
         {"1,2,IMAGE1,0,3,0,5", "1,2,IMAGE1", "1,2,IMAGE1,0,3,0,5,more"},
         with([](ObjectChange& c) { c.objectId = 0; }),
         {"1,2,IMAGE1,0,3,0", "1,2,IMAGE1", "1,2,IMAGE1,0,3,0,0,more"}},
        {ObjectKind::Map,
         {"-16,16,IMAGE1", "x,0,IMAGE5"},
         with([](ObjectChange& c) { c.dx = 16, c.dy = -16, c.displayTime = 20; }),
         {"0,0,IMAGE1,BelowAll,ShowAlways,20", "x,0,IMAGE5,BelowAll,ShowAlways,20"}},
        {ObjectKind::Screen,
         {"C-100,50,image2, odd ,x,y,z,w", "c-8,C-0,IMAGE1", "nowhere,5,IMAGE1"},
         with([](ObjectChange& c) { c.dx = 16, c.dy = -16, c.imageNumber = 3; }),
         {"C-92,34,IMAGE3, odd ,x,y,z,w", "c-0,C-16,IMAGE3", "nowhere,5,IMAGE3"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Changed(c.kind, c.lines, c.change), c.expected) << c.lines.front();
}

}  // namespace
