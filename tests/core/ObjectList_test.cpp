#include <gtest/gtest.h>
#include <functional>
#include <new>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectList.h"
#include "tests/core/ListLines.h"

namespace {

using qel::ObjectKind;
using qel::ObjectList;

// What a rebuild from scratch gives: the reference the incremental updates must match.
void ExpectFieldsMatchFullRebuild(const ObjectList& list)
{
    ObjectList fresh(list.kind());
    for (std::size_t row = 0; row < list.size(); ++row) {
        try {
            fresh.append(list.line(row));
        } catch (const qel::ConversionError&) {
        }
    }
    ASSERT_EQ(list.takenApart(), fresh.takenApart());
    for (std::size_t row = 0; row < list.takenApart(); ++row)
        EXPECT_EQ(list.fields(row), fresh.fields(row)) << "row " << row;
}

TEST(ObjectList, AppendTakesTheLineApart)
{
    ObjectList list(ObjectKind::Map);
    list.append("0080,48,image3,aftertiles");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.line(0), "0080,48,image3,aftertiles");
    EXPECT_EQ(list.xText(0), "80");
    EXPECT_EQ(list.yText(0), "48");
    EXPECT_EQ(list.fields(0).layer, 2);
}

TEST(ObjectList, ScreenCoordinatesAreTheLineText)
{
    ObjectList list(ObjectKind::Screen);
    list.append(" 5,abc,image2");
    list.append("C-1");
    EXPECT_EQ(list.xText(0), " 5");
    EXPECT_EQ(list.yText(0), "abc");
    EXPECT_EQ(list.xText(1), "C-1");
    EXPECT_EQ(list.yText(1), "-1");
}

TEST(ObjectList, AFailingLineIsKeptWithoutFieldsAndLaterLinesWaitForIt)
{
    ObjectList list(ObjectKind::Map);
    list.append("1,1,IMAGE0");
    EXPECT_THROW(list.append("C-5,1,IMAGE0"), qel::ConversionError);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.takenApart(), 1u);
    EXPECT_FALSE(list.hasFields(1));
    // A full rebuild stops at the same line again, so a good line after it has no fields either.
    EXPECT_THROW(list.append("2,2,IMAGE0"), qel::ConversionError);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.takenApart(), 1u);
    // Mending the failing line lets the rebuild go on to the end.
    list.replace(1, "5,1,IMAGE0");
    EXPECT_EQ(list.takenApart(), 3u);
    EXPECT_EQ(list.fields(2).x, 2);
    ExpectFieldsMatchFullRebuild(list);
}

TEST(ObjectList, ReplaceBeforeAFailureStillReportsIt)
{
    ObjectList list(ObjectKind::Map);
    list.append("1,1");
    list.append("2,2");
    EXPECT_THROW(list.append("x,3"), qel::ConversionError);
    EXPECT_THROW(list.replace(0, "9,9"), qel::ConversionError);
    EXPECT_EQ(list.fields(0).x, 9);
    EXPECT_EQ(list.takenApart(), 2u);
    EXPECT_THROW(list.replace(0, "bad"), qel::ConversionError);
    EXPECT_EQ(list.takenApart(), 0u);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"bad", "2,2", "x,3"}));
}

struct RemoveCase {
    const char* name;
    std::vector<std::size_t> rows;
    std::vector<std::string> expected;
};

class RemoveRows : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveRows, KeepsTheOrderOfTheOthers)
{
    ObjectList list(ObjectKind::Map);
    for (const char* line : {"0,0", "1,1", "2,2", "3,3", "4,4"})
        list.append(line);
    list.removeRows(GetParam().rows);
    EXPECT_EQ(Lines(list), GetParam().expected);
    ExpectFieldsMatchFullRebuild(list);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveRows,
                         ::testing::Values(RemoveCase{"None", {}, {"0,0", "1,1", "2,2", "3,3", "4,4"}},
                                           RemoveCase{"FirstAndLast", {4, 0}, {"1,1", "2,2", "3,3"}},
                                           RemoveCase{"Repeated", {2, 2, 2}, {"0,0", "1,1", "3,3", "4,4"}},
                                           RemoveCase{"PastTheEnd", {1, 99}, {"0,0", "2,2", "3,3", "4,4"}},
                                           RemoveCase{"All", {0, 1, 2, 3, 4}, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectList, RemovingTheFailingLineLetsTheRestBeTakenApart)
{
    ObjectList list(ObjectKind::Map);
    list.append("1,1");
    EXPECT_THROW(list.append("oops"), qel::ConversionError);
    EXPECT_THROW(list.append("3,3"), qel::ConversionError);
    list.removeRows({1});
    EXPECT_EQ(list.takenApart(), 2u);
    EXPECT_EQ(list.fields(1).x, 3);
}

TEST(ObjectList, PermuteMovesLinesAndFieldsTogether)
{
    ObjectList list(ObjectKind::Screen);
    list.append("a,1,IMAGE1");
    list.append("b,2,IMAGE2");
    list.append("c,3,IMAGE3");
    list.permute({2, 0, 1});
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"c,3,IMAGE3", "a,1,IMAGE1", "b,2,IMAGE2"}));
    EXPECT_EQ(list.fields(0).image, 3);
    EXPECT_EQ(list.xText(1), "a");
}

TEST(ObjectList, RegenerateRecomposesEntriesWithFieldsAndKeepsTheOthers)
{
    ObjectList list(ObjectKind::Map);
    list.append("1,1,IMAGE1,BelowAll,ShowAlways,0");
    EXPECT_THROW(list.append("bad,line"), qel::ConversionError);
    list.regenerate([&](std::string& out, std::size_t row) { out += "2,2,IMAGE" + std::to_string(row + 5); });
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"2,2,IMAGE5", "bad,line"}));
    // The fields follow the recomposed line, as a full rebuild would give.
    EXPECT_EQ(list.fields(0).image, 5);
    EXPECT_EQ(list.fields(0).displayTime, -1);
    EXPECT_EQ(list.takenApart(), 1u);
}

TEST(ObjectList, CopiesOwnTheirBytes)
{
    auto original = std::make_unique<ObjectList>(ObjectKind::Map);
    original->append("1,2,IMAGE3");
    ObjectList copy(*original);
    original.reset();
    copy.append("4,5");
    EXPECT_EQ(Lines(copy), (std::vector<std::string>{"1,2,IMAGE3", "4,5"}));
}

TEST(ObjectList, ManyReplacementsKeepEveryLineIntact)
{
    // Enough replaced bytes to make the list gather its live lines together several times.
    ObjectList list(ObjectKind::Map);
    for (int row = 0; row < 1000; ++row)
        list.append(std::to_string(row) + ",0");
    const std::string padding(4000, '9');
    for (int round = 0; round < 5000; ++round) {
        const std::size_t row = static_cast<std::size_t>(round * 7919 % 1000);
        list.replace(row, std::to_string(row) + ",0,IMAGE" + std::to_string(round) + ",0,0,0,0," + padding);
    }
    for (std::size_t row = 0; row < list.size(); ++row) {
        EXPECT_EQ(list.fields(row).x, static_cast<std::int32_t>(row));
        EXPECT_EQ(qel::GetTextField(list.line(row), 0), std::to_string(row));
    }
    ExpectFieldsMatchFullRebuild(list);
}

TEST(ObjectList, RevisionGrowsOnEveryChangeOnly)
{
    ObjectList list(ObjectKind::Map);
    const auto start = list.revision();
    list.removeRows({});
    list.clear();
    EXPECT_EQ(list.revision(), start);
    list.append("1,1");
    EXPECT_GT(list.revision(), start);
}

}  // namespace

// Out of memory can strike half way through a bulk edit; a failure there
// must leave the list exactly as it was, every line still readable.
TEST(ObjectList, ABulkEditThatFailsHalfWayLeavesTheListAsItWas)
{
    const struct {
        const char* name;
        std::function<void(ObjectList&)> edit;
    } cases[] = {
        {"append",
         [](ObjectList& l) {
             l.appendProduced([](auto&& emit) {
                 emit("9,9,IMAGE9");
                 throw std::bad_alloc();
             });
         }},
        {"regenerate",
         [](ObjectList& l) {
             l.regenerate([](std::string& out, std::size_t row) {
                 if (row == 1)
                     throw std::bad_alloc();
                 out += "7,7,IMAGE7";
             });
         }},
    };
    for (const auto& c : cases) {
        ObjectList list(ObjectKind::Map);
        for (const char* line : {"1,1,IMAGE1", "2,2,IMAGE2", "3,3,IMAGE3"})
            list.append(line);
        const std::vector<std::string> before = Lines(list);
        EXPECT_THROW(c.edit(list), std::bad_alloc) << c.name;
        EXPECT_EQ(Lines(list), before) << c.name;
        EXPECT_EQ(list.takenApart(), 3u) << c.name;
        EXPECT_EQ(list.fields(2).image, 3) << c.name;
    }
}

// Lines of 64 KiB and more are stored apart from the others; every way a line
// moves must still give its bytes, and a saved state must keep them while the
// list goes on changing.
TEST(ObjectList, LinesOfAnyLengthSurviveMovesAndSavedStates)
{
    const std::string longX(70000, '7');
    const std::string edge(0xFFFF, '8');  // the first length that does not fit a packed view
    const std::string fits(0xFFFE, '9');
    ObjectList list(ObjectKind::Screen);
    list.appendLines({longX + ",1", "a,1", edge, fits});
    const ObjectList::State saved = list.saveState();
    list.replace(1, longX + "2,2");
    list.permute({3, 2, 1, 0});
    qel::RowLines removed;
    list.removeRows({1}, &removed);
    list.insertRows(removed);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{fits, edge, longX + "2,2", longX + ",1"}));
    list.restoreState(saved);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{longX + ",1", "a,1", edge, fits}));
    const ObjectList copy(list);
    list.clear();
    EXPECT_EQ(copy.line(0).substr(0, 70000), longX);
    EXPECT_EQ(copy.line(2), edge);
}

struct SplitCase {
    const char* name;
    std::vector<std::string> lines;
    std::size_t takenApart;  // the first line that cannot be taken apart, or all
};

class TakeApartAppended : public ::testing::TestWithParam<SplitCase> {};

// Two runs of two rows each: the failure decides by row, whichever run finds it.
TEST_P(TakeApartAppended, StopsAtTheFirstFailureAsOnePassWould)
{
    ObjectList list(ObjectKind::Map);
    for (const std::string& line : GetParam().lines)
        list.appendAdoptedLater(line);
    EXPECT_EQ(list.takeApartAppended(2, 1), GetParam().takenApart == GetParam().lines.size());
    EXPECT_EQ(list.takenApart(), GetParam().takenApart);
    ExpectFieldsMatchFullRebuild(list);
}

INSTANTIATE_TEST_SUITE_P(Cases, TakeApartAppended,
                         ::testing::Values(SplitCase{"Clean", {"1,2,IMAGE0", "3,4,IMAGE1,TopMost", "5,6", "7"}, 4},
                                           SplitCase{"LastRowOfTheFirstRun", {"1,2", "x", "5,6", "7"}, 1},
                                           SplitCase{"FirstRowOfTheSecondRun", {"1,2", "3,4", "x", "7"}, 2},
                                           SplitCase{"BothRunsTheFirstWins", {"x", "3,4", "5,6", "y"}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });
