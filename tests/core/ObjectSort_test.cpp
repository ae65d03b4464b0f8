// Object sorting and regeneration, with numbers compared as numbers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/Errors.h"
#include "core/ObjectSort.h"
#include "tests/core/ListLines.h"

namespace qel {
namespace {

void Fill(ObjectList& list, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        try {
            list.append(line);
        } catch (const ConversionError&) {
            // kept without fields
        }
    }
}

// ---------------------------------------------------------------- sorting

struct SortCase {
    const char* name;
    ObjectKind kind;
    SortKey key;
    std::vector<std::string> lines;
    std::vector<std::string> sorted;  // lines after the sort (before regeneration)
};

class SortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTest, OrdersByValue)
{
    const SortCase& c = GetParam();
    DefinitionDocument doc;
    Fill(doc.objects(c.kind), c.lines);
    const std::vector<ObjectFields> before = [&] {
        std::vector<ObjectFields> f;
        for (std::size_t row = 0; row < doc.objects(c.kind).takenApart(); ++row)
            f.push_back(doc.objects(c.kind).fields(row));
        return f;
    }();
    SortObjectFields(doc, c.kind, c.key);
    EXPECT_EQ(Lines(doc.objects(c.kind)), c.sorted);
    // Fields moved with their lines.
    for (std::size_t row = 0; row < doc.objects(c.kind).takenApart(); ++row)
        EXPECT_EQ(doc.objects(c.kind).fields(row), TakeApartEntryLine(doc.objects(c.kind).line(row), c.kind));
    EXPECT_EQ(doc.objects(c.kind).takenApart(), before.size());
}

const std::vector<SortCase> kSortCases = {
    // As texts these would sort 100, 20, 3; numbers compare as numbers.
    {"MapXByValue",
     ObjectKind::Map,
     SortKey::XCoord,
     {"3,0,IMAGE0", "100,0,IMAGE0", "20,0,IMAGE0"},
     {"3,0,IMAGE0", "20,0,IMAGE0", "100,0,IMAGE0"}},
    {"MapXWrittenOddly",
     ObjectKind::Map,
     SortKey::XCoord,
     {"0x10,0,IMAGE0", " 9,0,IMAGE0", "-32,0,IMAGE0", "0080,0,IMAGE0", "-1,0,IMAGE0", "0,0,IMAGE0"},
     {"-32,0,IMAGE0", "-1,0,IMAGE0", "0,0,IMAGE0", " 9,0,IMAGE0", "0x10,0,IMAGE0", "0080,0,IMAGE0"}},
    {"MapYByValue",
     ObjectKind::Map,
     SortKey::YCoord,
     {"0,1000,IMAGE0", "0,99,IMAGE0", "0,-5,IMAGE0", "0"},
     {"0,-5,IMAGE0", "0", "0,99,IMAGE0", "0,1000,IMAGE0"}},
    {"DisplayTime",
     ObjectKind::Map,
     SortKey::DisplayTime,
     {"0,0,IMAGE0,BelowAll,Kill,200", "0,0,IMAGE0,BelowAll,Kill,1000", "0,0,IMAGE0,BelowAll,Kill,50"},
     {"0,0,IMAGE0,BelowAll,Kill,50", "0,0,IMAGE0,BelowAll,Kill,200", "0,0,IMAGE0,BelowAll,Kill,1000"}},
    // Keys 7, -1, 4: "not given" first.
    {"Layer",
     ObjectKind::Map,
     SortKey::Layer,
     {"0,0,IMAGE0,TopMost", "1,0,IMAGE0", "2,0,IMAGE0,AfterShips"},
     {"1,0,IMAGE0", "2,0,IMAGE0,AfterShips", "0,0,IMAGE0,TopMost"}},
    {"Image",
     ObjectKind::Screen,
     SortKey::Image,
     {"a,0,IMAGE10", "b,0,IMAGE9", "c,0", "d,0,IMAGE0", "e,0,image2"},
     {"c,0", "d,0,IMAGE0", "e,0,image2", "b,0,IMAGE9", "a,0,IMAGE10"}},
    {"Mode",
     ObjectKind::Map,
     SortKey::Mode,
     {"0,0,IMAGE0,BelowAll,Kill", "1,0,IMAGE0,BelowAll,12", "2,0,IMAGE0,BelowAll", "3,0,IMAGE0,BelowAll,showalways"},
     {"2,0,IMAGE0,BelowAll", "3,0,IMAGE0,BelowAll,showalways", "0,0,IMAGE0,BelowAll,Kill", "1,0,IMAGE0,BelowAll,12"}},
    {"ObjectId",
     ObjectKind::Map,
     SortKey::ObjectId,
     {"0,0,IMAGE0,BelowAll,Kill,0,300", "1,0,IMAGE0,BelowAll,Kill,0,40", "2,0,IMAGE0", "3,0,IMAGE0,BelowAll,Kill,0,-7"},
     {"3,0,IMAGE0,BelowAll,Kill,0,-7", "2,0,IMAGE0", "1,0,IMAGE0,BelowAll,Kill,0,40",
      "0,0,IMAGE0,BelowAll,Kill,0,300"}},
    // Equal keys keep their order.
    {"StableNumeric",
     ObjectKind::Map,
     SortKey::Image,
     {"5,0,IMAGE1", "4,0,IMAGE0", "3,0,IMAGE1", "2,0,IMAGE0", "1,0,IMAGE1", "0,0,IMAGE0"},
     {"4,0,IMAGE0", "2,0,IMAGE0", "0,0,IMAGE0", "5,0,IMAGE1", "3,0,IMAGE1", "1,0,IMAGE1"}},
    // Screen X: whole numbers by value first, then other texts byte by byte
    // (unsigned: 0xE9 after "a"; the empty text first among texts).
    {"ScreenXTexts",
     ObjectKind::Screen,
     SortKey::XCoord,
     {"C-10,0", "99,0", " 5,0", "100,0", "abc,0", "0x10,0", "ABC,0", "\xE9t\xE9,0", "C-9,0", ",0", "5 ,0", "-1,0",
      "C-1,0"},
     {"-1,0", " 5,0", "0x10,0", "99,0", "100,0", ",0", "5 ,0", "ABC,0", "C-1,0", "C-10,0", "C-9,0", "abc,0",
      "\xE9t\xE9,0"}},
    // Screen Y: a missing field is "-1", a number; equal values keep their order.
    {"ScreenYTexts",
     ObjectKind::Screen,
     SortKey::YCoord,
     {"a,+5", "b,C-8", "c", "d,5", "e, 5", "f,C-8", "g,0"},
     {"c", "g,0", "a,+5", "d,5", "e, 5", "b,C-8", "f,C-8"}},
    {"Empty", ObjectKind::Map, SortKey::XCoord, {}, {}},
    {"Single", ObjectKind::Screen, SortKey::XCoord, {"C-1,1,IMAGE1"}, {"C-1,1,IMAGE1"}},
    // Entries without fields do not move.
    {"WithoutFields",
     ObjectKind::Map,
     SortKey::XCoord,
     {"3,0,IMAGE0", "1,0,IMAGE0", "x,0,IMAGE0", "0,0,IMAGE0"},
     {"1,0,IMAGE0", "3,0,IMAGE0", "x,0,IMAGE0", "0,0,IMAGE0"}},
};

INSTANTIATE_TEST_SUITE_P(Keys, SortTest, ::testing::ValuesIn(kSortCases),
                         [](const ::testing::TestParamInfo<SortCase>& info) { return info.param.name; });

TEST(SortObjectFields, SortsOnlyTheGivenRange)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"9,0", "8,0", "7,0", "6,0", "5,0"});
    SortObjectFields(doc.mapObjects(), 1, 3, SortKey::XCoord);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"9,0", "6,0", "7,0", "8,0", "5,0"}));
    SortObjectFields(doc.mapObjects(), 3, 100, SortKey::XCoord);  // clipped to the entries
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"9,0", "6,0", "7,0", "5,0", "8,0"}));
}

TEST(SortObjectFields, LeavesTheOtherKindAlone)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"9,0", "8,0"});
    Fill(doc.screenObjects(), {"9,0", "8,0"});
    SortObjectFields(doc, ObjectKind::Screen, SortKey::XCoord);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"9,0", "8,0"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"8,0", "9,0"}));
}

// ---------------------------------------------------------------- regeneration

struct RegenerateCase {
    const char* name;
    ObjectKind kind;
    const char* line;
    const char* regenerated;
};

class RegenerateTest : public ::testing::TestWithParam<RegenerateCase> {};

TEST_P(RegenerateTest, ComposesFromTheFields)
{
    const RegenerateCase& c = GetParam();
    DefinitionDocument doc;
    doc.objects(c.kind).append(c.line);
    const ObjectFields before = doc.objects(c.kind).fields(0);
    EXPECT_EQ(RegeneratedLine(doc.objects(c.kind), 0), c.regenerated);
    RegenerateObjectLists(doc);
    EXPECT_EQ(doc.objects(c.kind).line(0), c.regenerated);
    // The fields follow the regenerated line, as a full rebuild would give.
    EXPECT_EQ(doc.objects(c.kind).fields(0), TakeApartEntryLine(c.regenerated, c.kind));
    // Nothing is lost: the regenerated line reads back to the same fields,
    // except an object id of 0, which is left out like "not given", and a
    // display time of 0 that is left out when no id follows.
    ObjectFields again = TakeApartEntryLine(c.regenerated, c.kind);
    if (before.objectId == 0 && again.objectId == -1)
        again.objectId = 0;
    if (before.displayTime == 0 && again.displayTime == -1)
        again.displayTime = 0;
    EXPECT_EQ(again, before);
}

const std::vector<RegenerateCase> kRegenerateCases = {
    // Where regeneration differs from the editor's composition.
    {"LeadingZeros", ObjectKind::Map, "0080,48,image3,aftertiles,showalways,0", "80,48,IMAGE3,AfterTiles,ShowAlways"},
    {"ZeroKeptBeforeAnId", ObjectKind::Map, "1,2,IMAGE1,AfterTiles,ShowAlways,0,5",
     "1,2,IMAGE1,AfterTiles,ShowAlways,0,5"},
    {"NoLayerNoMode", ObjectKind::Map, "10,20,IMAGE1", "10,20,IMAGE1"},
    {"NumbersBecomeKeywords", ObjectKind::Map, "1,2,IMAGE1,2,3,50", "1,2,IMAGE1,AfterTiles,Kill,50"},
    {"KeywordCase", ObjectKind::Map, "1,2,image1,TOPMOST,servercontrolled", "1,2,IMAGE1,TopMost,ServerControlled"},
    {"ZeroTimeZeroId", ObjectKind::Map, "1,2,IMAGE1,BelowAll,ShowAlways,0,0", "1,2,IMAGE1,BelowAll,ShowAlways"},
    {"TimeAndZeroId", ObjectKind::Map, "1,2,IMAGE1,BelowAll,ShowAlways,7,0", "1,2,IMAGE1,BelowAll,ShowAlways,7"},
    {"TimeNoId", ObjectKind::Map, "1,2,IMAGE1,BelowAll,ShowAlways,7", "1,2,IMAGE1,BelowAll,ShowAlways,7"},
    // Sound behaviour: a "not given" (-1) written out before a field that is
    // kept stays in place, so the later fields keep their positions.
    {"NoTimeWithId", ObjectKind::Map, "1,2,IMAGE1,BelowAll,ShowAlways,-1,5", "1,2,IMAGE1,BelowAll,ShowAlways,-1,5"},
    {"NoModeWithTime", ObjectKind::Map, "1,2,IMAGE1,BelowAll,-1,5,5", "1,2,IMAGE1,BelowAll,-1,5,5"},
    {"NoLayerWithMode", ObjectKind::Map, "1,2,IMAGE1,-1,Death", "1,2,IMAGE1,-1,Death"},
    {"TrailingNotGivenLeftOff", ObjectKind::Map, "1,2,IMAGE1,-1,-1,-1,0", "1,2,IMAGE1"},
    {"HexAndSpaces", ObjectKind::Map, " 0x10, +7,IMAGE$A", "16,7,IMAGE10"},
    {"OnlyX", ObjectKind::Map, "5", "5,-1,IMAGE-1"},
    {"FieldsPastSeven", ObjectKind::Map, "1,2,image1,belowall,showalways,1,2,extra",
     "1,2,IMAGE1,BelowAll,ShowAlways,1,2"},
    // Sound behaviour: numbers outside the keyword tables are written as numbers.
    {"LayerAndModeOutsideTables", ObjectKind::Map, "1,2,IMAGE1,12,9,50,7", "1,2,IMAGE1,12,9,50,7"},
    {"NegativeLayerAndMode", ObjectKind::Map, "1,2,IMAGE1,-5,-2", "1,2,IMAGE1,-5,-2"},
    {"ModeKeywordOfALayer", ObjectKind::Map, "1,2,IMAGE1,kill,topmost", "1,2,IMAGE1,AfterWeapons,7"},
    {"ModeSixIsANumber", ObjectKind::Screen, "a,b,IMAGE1,8,6,0,3", "a,b,IMAGE1,8,6,0,3"},
    // Screen coordinates stay exactly as written.
    {"ScreenText", ObjectKind::Screen, " 5,abc,image2,TOPMOST,kill", " 5,abc,IMAGE2,TopMost,Kill"},
    {"ScreenSplash", ObjectKind::Screen, "C-320,C-240,IMAGE0,TopMost,EnterZone,2000",
     "C-320,C-240,IMAGE0,TopMost,EnterZone,2000"},
    {"ScreenOnlyX", ObjectKind::Screen, "7", "7,-1,IMAGE-1"},
    {"ScreenEmptyCoordinates", ObjectKind::Screen, ",,IMAGE1", ",,IMAGE1"},
    {"ScreenLeadingZeros", ObjectKind::Screen, "0080,048,IMAGE1", "0080,048,IMAGE1"},
};

INSTANTIATE_TEST_SUITE_P(Regeneration, RegenerateTest, ::testing::ValuesIn(kRegenerateCases),
                         [](const ::testing::TestParamInfo<RegenerateCase>& info) { return info.param.name; });

TEST(RegenerateObjectLists, KeepsTheLinesOfEntriesWithoutFields)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"0080,1,IMAGE1", "C-5,1,image1,aftertiles", "0080,1,IMAGE1"});
    Fill(doc.screenObjects(), {"a,b,image1,topmost", "a,b,imageX,topmost", "c,d"});
    ASSERT_EQ(doc.mapObjects().takenApart(), 1u);
    ASSERT_EQ(doc.screenObjects().takenApart(), 1u);
    RegenerateObjectLists(doc);
    EXPECT_EQ(Lines(doc.mapObjects()),
              (std::vector<std::string>{"80,1,IMAGE1", "C-5,1,image1,aftertiles", "0080,1,IMAGE1"}));
    EXPECT_EQ(Lines(doc.screenObjects()),
              (std::vector<std::string>{"a,b,IMAGE1,TopMost", "a,b,imageX,topmost", "c,d"}));
}

TEST(SortObjectsAndRegenerate, SortingTheScreenRecomposesTheMapRows)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"0080,48,image3,aftertiles,showalways,0"});
    Fill(doc.screenObjects(), {"b,1,IMAGE1", "a,1,IMAGE1"});
    SortObjectsAndRegenerate(doc, ObjectKind::Screen, SortKey::XCoord);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"80,48,IMAGE3,AfterTiles,ShowAlways"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"a,1,IMAGE1", "b,1,IMAGE1"}));
}

TEST(SortObjectsAndRegenerate, WithoutAKeyOnlyRegenerates)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"9,0,image1", "8,0,image1"});
    SortObjectsAndRegenerate(doc, ObjectKind::Map, std::nullopt);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"9,0,IMAGE1", "8,0,IMAGE1"}));
}

TEST(SortObjectsAndRegenerate, SingleEntryIsRecomposed)
{
    DefinitionDocument doc;
    Fill(doc.mapObjects(), {"07,0,image1,belowall"});
    SortObjectsAndRegenerate(doc, ObjectKind::Map, SortKey::XCoord);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"7,0,IMAGE1,BelowAll"}));
}

TEST(SortObjectsAndRegenerate, AnEmptyKindIsNotTouched)
{
    DefinitionDocument doc;
    Fill(doc.screenObjects(), {"a,b,image1"});
    SortObjectsAndRegenerate(doc, ObjectKind::Map, SortKey::Image);
    EXPECT_EQ(doc.mapObjectCount(), 0);
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"a,b,IMAGE1"}));
}

TEST(SortObjectsAndRegenerate, SortsEveryKeyOfBothKinds)
{
    // Whatever the key, the result is ordered by that key and stable.
    DefinitionDocument doc;
    const std::vector<std::string> lines = {"5,3,IMAGE2,TopMost,Kill,30,2", "1,3,IMAGE1,BelowAll,Death,10,9",
                                            "5,1,IMAGE2,AfterTiles", "3,2,IMAGE0,BelowAll,Kill,20,1",
                                            "1,1,IMAGE1,TopMost,ShowAlways,0,4"};
    for (ObjectKind kind : {ObjectKind::Map, ObjectKind::Screen}) {
        for (int k = 0; k < kSortKeyCount; ++k) {
            ObjectList list(kind);
            Fill(list, lines);
            SortObjectFields(list, static_cast<SortKey>(k));
            auto key = [&](std::size_t row) {
                const ObjectFields& f = list.fields(row);
                switch (static_cast<SortKey>(k)) {
                case SortKey::XCoord:
                    return std::stoi(list.xText(row));
                case SortKey::YCoord:
                    return std::stoi(list.yText(row));
                case SortKey::Image:
                    return f.image;
                case SortKey::Layer:
                    return f.layer;
                case SortKey::Mode:
                    return f.mode;
                case SortKey::DisplayTime:
                    return f.displayTime;
                case SortKey::ObjectId:
                    return f.objectId;
                }
                return 0;
            };
            for (std::size_t row = 1; row < list.size(); ++row) {
                ASSERT_LE(key(row - 1), key(row)) << "key " << k;
                if (key(row - 1) == key(row)) {
                    // stable: the original order of equal entries is kept
                    auto pos = [&](std::size_t r) {
                        return std::find(lines.begin(), lines.end(), std::string(list.line(r))) - lines.begin();
                    };
                    EXPECT_LT(pos(row - 1), pos(row)) << "key " << k;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qel

namespace qel {
namespace {

// Values in every digit the sort looks at, lines in forms the regeneration
// rewrites or keeps: the result is the stable order by value, every line
// recomposed as regenerating after the sort gives.
TEST(SortObjectsAndRegenerate, WideValuesAndRewrittenLines)
{
    const std::vector<std::string> lines = {
        "2147483647,0,IMAGE1",  "-2147483648,1,IMAGE0,1", "4194304,2,IMAGE0,AfterTiles,Kill",
        "2048,3,IMAGE2",        "-1,4,IMAGE0,-1,-1,0",    "2047,5,IMAGE1",
        "-4194304,6,IMAGE3",    "2048,7,IMAGE1,0",        "0,8,IMAGE0",
        "-2147483648,9,IMAGE2", "4194305,10,IMAGE0"};
    for (const SortKey key : {SortKey::XCoord, SortKey::YCoord}) {
        DefinitionDocument sorted;
        DefinitionDocument expected;
        Fill(sorted.mapObjects(), lines);
        Fill(expected.mapObjects(), lines);
        std::vector<std::uint32_t> moved;
        SortObjectsAndRegenerate(sorted, ObjectKind::Map, key, &moved);
        SortObjectFields(expected, ObjectKind::Map, key);
        RegenerateObjectLists(expected);
        EXPECT_EQ(Lines(sorted.mapObjects()), Lines(expected.mapObjects()));
        std::vector<std::uint32_t> order(lines.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        const auto value = [&](std::uint32_t row) {
            const ObjectFields f = TakeApartEntryLine(lines[row], ObjectKind::Map);
            return key == SortKey::XCoord ? f.x : f.y;
        };
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return value(a) < value(b); });
        EXPECT_EQ(moved, key == SortKey::YCoord ? std::vector<std::uint32_t>{} : order);
    }
}

}  // namespace
}  // namespace qel
