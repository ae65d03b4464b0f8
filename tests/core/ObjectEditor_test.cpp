// Object editor rules and the switch.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/Errors.h"
#include "core/ObjectEditor.h"
#include "tests/core/ListLines.h"

namespace qel {
namespace {

// Images numbered by position, as this editor numbers them.
void AddPositionalImages(DefinitionDocument& doc, int count)
{
    for (int i = 0; i < count; ++i) {
        ObjectImage image;
        image.number = i;
        image.file = "pic" + std::to_string(i) + ".bmp";
        doc.editImages().push_back(image);
    }
}

// ---------------------------------------------------------------- shorthand

struct ShorthandCase {
    const char* text;
    char marker;
    const char* expected;
};

class ShorthandTest : public ::testing::TestWithParam<ShorthandCase> {};

TEST_P(ShorthandTest, Expands)
{
    const ShorthandCase& c = GetParam();
    EXPECT_EQ(ExpandTileShorthand(c.text, c.marker), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    BothMarkers, ShorthandTest,
    ::testing::Values(ShorthandCase{"@5", '@', "80"}, ShorthandCase{"@0", '@', "0"}, ShorthandCase{"@-2", '@', "-32"},
                      ShorthandCase{"@+3", '@', "48"}, ShorthandCase{"@ 3", '@', "48"},  // leading spaces are allowed
                      ShorthandCase{"@$10", '@', "256"}, ShorthandCase{"@0x10", '@', "256"},
                      ShorthandCase{"@", '@', "@"},  // the marker alone
                      ShorthandCase{"", '@', ""}, ShorthandCase{"100", '@', "100"},
                      ShorthandCase{"C-100", '@', "C-100"},
                      ShorthandCase{"t5", '@', "t5"},                                  // Add's marker leaves "t" alone
                      ShorthandCase{"t3", 't', "48"}, ShorthandCase{"T3", 't', "48"},  // Apply accepts both cases
                      ShorthandCase{"t", 't', "t"}, ShorthandCase{"T", 't', "T"},
                      ShorthandCase{"@5", 't', "@5"},  // Apply leaves "@" alone
                      // The low 32 bits are kept: 2^27 tiles are 2^31 pixels, which wraps.
                      ShorthandCase{"@134217728", '@', "-2147483648"}, ShorthandCase{"@134217727", '@', "2147483632"},
                      ShorthandCase{"@-134217728", '@', "-2147483648"}, ShorthandCase{"@2147483647", '@', "-16"},
                      ShorthandCase{"@-2147483648", '@', "0"}));

struct ShorthandFailure {
    const char* text;
    char marker;
    const char* named;  // the text after the marker, as typed
};

class ShorthandFailureTest : public ::testing::TestWithParam<ShorthandFailure> {};

TEST_P(ShorthandFailureTest, NamesTheTextAfterTheMarkerAsTyped)
{
    const ShorthandFailure& c = GetParam();
    try {
        ExpandTileShorthand(c.text, c.marker);
        FAIL() << "no error for " << c.text;
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), c.named);
        EXPECT_EQ(std::string(e.what()), std::string("'") + c.named + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(BothMarkers, ShorthandFailureTest,
                         ::testing::Values(ShorthandFailure{"@x", '@', "x"}, ShorthandFailure{"@5 ", '@', "5 "},
                                           ShorthandFailure{"@AB", '@', "AB"}, ShorthandFailure{"T5x", 't', "5x"},
                                           ShorthandFailure{"t-", 't', "-"},
                                           ShorthandFailure{"@2147483648", '@', "2147483648"}));

// ---------------------------------------------------------------- composition

struct ComposeCase {
    int layer;
    int mode;
    const char* displayTime;
    const char* objectId;
    const char* expected;
};

class ComposeTest : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeTest, FollowsTheOmitRules)
{
    const ComposeCase& c = GetParam();
    DefinitionDocument doc;
    AddPositionalImages(doc, 4);
    EditorValues v;
    v.xText = "100";
    v.yText = "200";
    v.imageChoice = 3;
    v.layerChoice = c.layer;
    v.modeChoice = c.mode;
    v.displayTimeText = c.displayTime;
    v.objectIdText = c.objectId;
    EXPECT_EQ(ComposeObjectLine(v, doc.images()), c.expected);
    // The same values give the same text for either kind.
    EXPECT_EQ(ComposeObjectLineWithImageNumber(v, 3), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CompositionTable, ComposeTest,
    ::testing::Values(ComposeCase{2, 0, "0", "0", "100,200,IMAGE3,AfterTiles,ShowAlways,0"},
                      ComposeCase{2, 0, "0", "5", "100,200,IMAGE3,AfterTiles,ShowAlways,0,5"},
                      ComposeCase{2, 1, "2000", "0", "100,200,IMAGE3,AfterTiles,EnterZone,2000"},
                      ComposeCase{2, 3, "", "5", "100,200,IMAGE3,AfterTiles,Kill"},
                      ComposeCase{2, 3, "50", "", "100,200,IMAGE3,AfterTiles,Kill,50"},
                      ComposeCase{2, 6, "2000", "5", "100,200,IMAGE3,AfterTiles"},
                      ComposeCase{2, -1, "2000", "5", "100,200,IMAGE3,AfterTiles"},
                      // Layer placeholder: no empty field, the mode moves up.
                      ComposeCase{-1, 4, "0", "0", "100,200,IMAGE3,Death,0"},
                      // Every keyword in its composed form.
                      ComposeCase{0, 5, "7", "9", "100,200,IMAGE3,BelowAll,ServerControlled,7,9"},
                      ComposeCase{1, 2, "x", "y", "100,200,IMAGE3,AfterBackground,EnterArena,x,y"},  // verbatim texts
                      ComposeCase{3, 3, "1", "00",
                                  "100,200,IMAGE3,AfterWeapons,Kill,1,00"},  // only exactly "0" is dropped
                      ComposeCase{4, -1, "", "", "100,200,IMAGE3,AfterShips"},
                      ComposeCase{5, 0, "", "", "100,200,IMAGE3,AfterGauges,ShowAlways"},
                      ComposeCase{6, 0, "0", "", "100,200,IMAGE3,AfterChat,ShowAlways,0"},
                      ComposeCase{7, 6, "", "", "100,200,IMAGE3,TopMost"}));

TEST(Compose, ImagePlaceholderWritesImageMinusOne)
{
    EditorValues v;
    v.xText = "100";
    v.yText = "200";
    v.imageChoice = -1;
    v.layerChoice = 7;
    v.modeChoice = 6;
    EXPECT_EQ(ComposeObjectLine(v, {}), "100,200,IMAGE-1,TopMost");
}

TEST(Compose, ChoiceBeyondTheImagesIsNoImage)
{
    DefinitionDocument doc;
    AddPositionalImages(doc, 2);
    EditorValues v;
    v.xText = "1";
    v.yText = "2";
    v.imageChoice = 2;
    EXPECT_EQ(ComposeObjectLine(v, doc.images()), "1,2,IMAGE-1");
}

TEST(Compose, WritesTheChosenImagesOwnNumber)
{
    DefinitionDocument doc;
    for (int number : {1, 2, 5}) {
        ObjectImage image;
        image.number = number;
        doc.editImages().push_back(image);
    }
    EditorValues v;
    v.xText = "1";
    v.yText = "2";
    v.modeChoice = 6;
    const int expectedNumbers[] = {1, 2, 5};
    for (int choice = 0; choice < 3; ++choice) {
        v.imageChoice = choice;
        EXPECT_EQ(ComposeObjectLine(v, doc.images()), "1,2,IMAGE" + std::to_string(expectedNumbers[choice]));
    }
}

// ---------------------------------------------------------------- Add

TEST(AddObject, ExpandsWritesBackAndAppends)
{
    DefinitionDocument doc;
    AddPositionalImages(doc, 1);
    EditorValues v;
    v.xText = "@5";
    v.yText = "@3";
    v.imageChoice = 0;
    v.modeChoice = 6;
    const AddResult r = AddObject(doc, ObjectKind::Map, v);
    EXPECT_EQ(v.xText, "80");
    EXPECT_EQ(v.yText, "48");
    ASSERT_EQ(doc.mapObjectCount(), 1);
    EXPECT_EQ(doc.mapObjects().line(0), "80,48,IMAGE0");
    EXPECT_EQ(doc.mapObjects().fields(0).x, 80);
    EXPECT_EQ(r.addedRow, 0u);
}

TEST(AddObject, ShorthandFailureOnYLeavesXExpandedAndAddsNothing)
{
    DefinitionDocument doc;
    EditorValues v;
    v.xText = "@5";
    v.yText = "@y";
    EXPECT_THROW(AddObject(doc, ObjectKind::Map, v), ConversionError);
    EXPECT_EQ(v.xText, "80");
    EXPECT_EQ(v.yText, "@y");
    EXPECT_EQ(doc.mapObjectCount(), 0);
}

TEST(AddObject, MapLineThatCannotBeTakenApartIsAddedWithoutFields)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,2,IMAGE0");
    EditorValues v;
    v.xText = "C-100";
    v.yText = "5";
    try {
        AddObject(doc, ObjectKind::Map, v);
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), "c-100");  // the rebuild names the field lower-cased
    }
    ASSERT_EQ(doc.mapObjectCount(), 2);
    EXPECT_EQ(doc.mapObjects().line(1), "C-100,5,IMAGE-1");
    EXPECT_TRUE(doc.mapObjects().hasFields(0));
    EXPECT_FALSE(doc.mapObjects().hasFields(1));
    // Load on that row does nothing.
    EXPECT_EQ(LoadObject(doc, ObjectKind::Map, 1u), std::nullopt);
}

TEST(AddObject, ScreenAcceptsAnyCoordinateText)
{
    DefinitionDocument doc;
    EditorValues v;
    v.xText = "C-100";
    v.yText = "";
    v.layerChoice = 7;
    v.modeChoice = 1;
    v.displayTimeText = "2000";
    AddObject(doc, ObjectKind::Screen, v);
    EXPECT_EQ(doc.screenObjects().line(0), "C-100,,IMAGE-1,TopMost,EnterZone,2000");
    EXPECT_TRUE(doc.screenObjects().hasFields(0));
    EXPECT_EQ(doc.screenObjects().xText(0), "C-100");
    EXPECT_EQ(doc.screenObjects().yText(0), "");
}

// ---------------------------------------------------------------- Apply

TEST(ApplyObject, UsesTheTMarkerAndKeepsAt)
{
    DefinitionDocument doc;
    AddPositionalImages(doc, 1);
    doc.screenObjects().append("1,1,IMAGE0");
    doc.screenObjects().append("2,2,IMAGE0");
    EditorValues v;
    v.xText = "@5";
    v.yText = "@3";
    v.imageChoice = 0;
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Screen, v, 1u), 1u);
    EXPECT_EQ(doc.screenObjects().line(1), "@5,@3,IMAGE0");
    v.xText = "t5";
    v.yText = "T3";
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Screen, v, 0u), 0u);
    EXPECT_EQ(v.xText, "80");
    EXPECT_EQ(v.yText, "48");
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"80,48,IMAGE0", "@5,@3,IMAGE0"}));
}

TEST(ApplyObject, ReplacesAndRebuildsTheCurrentRow)
{
    DefinitionDocument doc;
    AddPositionalImages(doc, 3);
    for (const char* line : {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE2"})
        doc.mapObjects().append(line);
    EditorValues v;
    v.xText = "10";
    v.yText = "20";
    v.imageChoice = 2;
    v.layerChoice = 0;
    v.modeChoice = 3;
    v.displayTimeText = "5";
    v.objectIdText = "6";
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Map, v, 1u), 1u);
    EXPECT_EQ(doc.mapObjects().line(1), "10,20,IMAGE2,BelowAll,Kill,5,6");
    EXPECT_EQ(doc.mapObjects().fields(1), (ObjectFields{10, 20, 2, 0, 3, 5, 6}));
    EXPECT_EQ(doc.mapObjects().line(2), "3,3,IMAGE2");
}

TEST(ApplyObject, WithNoCurrentRowDoesNothing)
{
    DefinitionDocument doc;
    EditorValues v;
    v.xText = "t5";
    v.yText = "@x";  // would fail if it were expanded
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Map, v, std::nullopt), std::nullopt);
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Map, v, 0u), std::nullopt);  // empty list
    EXPECT_EQ(doc.mapObjectCount(), 0);
    EXPECT_EQ(v.xText, "t5");
    doc.mapObjects().append("1,2,IMAGE0");
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Map, v, 1u), std::nullopt);  // past the end
    EXPECT_EQ(doc.mapObjects().line(0), "1,2,IMAGE0");
}

TEST(ApplyObject, MapLineThatCannotBeTakenApartStaysWithoutFields)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,1,IMAGE0");
    doc.mapObjects().append("2,2,IMAGE0");
    EditorValues v;
    v.xText = "@5";  // not expanded by Apply
    v.yText = "1";
    EXPECT_THROW(ApplyObject(doc, ObjectKind::Map, v, 0u), ConversionError);
    EXPECT_EQ(doc.mapObjects().line(0), "@5,1,IMAGE-1");
    EXPECT_FALSE(doc.mapObjects().hasFields(0));
    EXPECT_FALSE(doc.mapObjects().hasFields(1));
    // Applying a good line again lets the rebuild get past it.
    v.xText = "t1";
    EXPECT_EQ(ApplyObject(doc, ObjectKind::Map, v, 0u), 0u);
    EXPECT_TRUE(doc.mapObjects().hasFields(1));
}

// ---------------------------------------------------------------- Delete, Clear

struct DeleteCase {
    std::vector<std::size_t> selected;
    std::vector<std::string> remaining;
};

class DeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTest, RemovesTheSelectedRows)
{
    DefinitionDocument doc;
    for (const char* line : {"0,0,IMAGE0", "1,1,IMAGE1", "2,2,IMAGE2", "3,3,IMAGE3"})
        doc.mapObjects().append(line);
    const std::size_t removed = DeleteObjects(doc, ObjectKind::Map, GetParam().selected);
    EXPECT_EQ(Lines(doc.mapObjects()), GetParam().remaining);
    EXPECT_EQ(removed, 4 - GetParam().remaining.size());
    for (std::size_t row = 0; row < doc.mapObjects().size(); ++row)
        EXPECT_EQ(doc.mapObjects().fields(row).image, std::stoi(GetParam().remaining[row].substr(0, 1)));
}

INSTANTIATE_TEST_SUITE_P(Selections, DeleteTest,
                         ::testing::Values(DeleteCase{{}, {"0,0,IMAGE0", "1,1,IMAGE1", "2,2,IMAGE2", "3,3,IMAGE3"}},
                                           DeleteCase{{1}, {"0,0,IMAGE0", "2,2,IMAGE2", "3,3,IMAGE3"}},
                                           DeleteCase{{3, 0}, {"1,1,IMAGE1", "2,2,IMAGE2"}},
                                           DeleteCase{{2, 2, 9}, {"0,0,IMAGE0", "1,1,IMAGE1", "3,3,IMAGE3"}},
                                           DeleteCase{{0, 1, 2, 3}, {}}));

TEST(DeleteObjects, OnlyTouchesItsKind)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,1,IMAGE0");
    doc.screenObjects().append("2,2,IMAGE0");
    DeleteObjects(doc, ObjectKind::Screen, {0});
    EXPECT_EQ(doc.screenObjectCount(), 0);
    EXPECT_EQ(doc.mapObjectCount(), 1);
}

TEST(ClearObjects, RemovesEveryLineOfTheKind)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,1,IMAGE0");
    doc.mapObjects().append("2,2,IMAGE0");
    doc.screenObjects().append("3,3,IMAGE0");
    ClearObjects(doc, ObjectKind::Map);
    EXPECT_EQ(doc.mapObjectCount(), 0);
    EXPECT_EQ(doc.mapObjects().takenApart(), 0u);
    EXPECT_EQ(doc.screenObjectCount(), 1);
    ClearObjects(doc, ObjectKind::Map);  // an empty list stays empty
    EXPECT_EQ(doc.mapObjectCount(), 0);
}

// ---------------------------------------------------------------- Load

struct LoadCase {
    const char* line;
    ObjectKind kind;
    EditorValues expected;
    const char* recomposed;
};

EditorValues Values(const char* x, const char* y, int image, int layer, int mode, const char* time, const char* id)
{
    EditorValues v;
    v.xText = x;
    v.yText = y;
    v.imageChoice = image;
    v.layerChoice = layer;
    v.modeChoice = mode;
    v.displayTimeText = time;
    v.objectIdText = id;
    return v;
}

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, CopiesTheFieldsIntoTheEditorValues)
{
    const LoadCase& c = GetParam();
    DefinitionDocument doc;
    AddPositionalImages(doc, 4);
    doc.objects(c.kind).append(c.line);
    const auto loaded = LoadObject(doc, c.kind, 0u);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, c.expected);
    // Loading then composing gives the line in its composed form.
    EXPECT_EQ(ComposeObjectLine(*loaded, doc.images()), c.recomposed);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LoadTest,
    ::testing::Values(
        LoadCase{"100,200,IMAGE3,AfterTiles,ShowAlways,0,5", ObjectKind::Map, Values("100", "200", 3, 2, 0, "0", "5"),
                 "100,200,IMAGE3,AfterTiles,ShowAlways,0,5"},
        // No mode: "None", and composed again without mode, time and id.
        LoadCase{"10,20,IMAGE1,AfterTiles", ObjectKind::Map, Values("10", "20", 1, 2, 6, "0", "0"),
                 "10,20,IMAGE1,AfterTiles"},
        // No display time loads as "0".
        LoadCase{"10,20,IMAGE1,BelowAll,Kill", ObjectKind::Map, Values("10", "20", 1, 0, 3, "0", "0"),
                 "10,20,IMAGE1,BelowAll,Kill,0"},
        // Map coordinates are numbers; screen coordinates texts.
        LoadCase{" 0080,0x10,image2", ObjectKind::Map, Values("80", "16", 2, -1, 6, "0", "0"), "80,16,IMAGE2"},
        LoadCase{" 5,abc,image2,TOPMOST,kill", ObjectKind::Screen, Values(" 5", "abc", 2, 7, 3, "0", "0"),
                 " 5,abc,IMAGE2,TopMost,Kill,0"},
        // An image number that is no image, a layer and a mode with no item.
        LoadCase{"1,2,IMAGE9,12,9,7,8", ObjectKind::Map, Values("1", "2", -1, -1, -1, "7", "8"), "1,2,IMAGE-1"},
        LoadCase{"1,2", ObjectKind::Screen, Values("1", "2", -1, -1, 6, "0", "0"), "1,2,IMAGE-1"}));

TEST(LoadObject, MapsTheImageNumberToTheFirstPositionWithIt)
{
    DefinitionDocument doc;
    for (int number : {1, 5, 5, 2}) {
        ObjectImage image;
        image.number = number;
        doc.editImages().push_back(image);
    }
    for (const char* line : {"0,0,IMAGE1", "0,0,IMAGE5", "0,0,IMAGE2", "0,0,IMAGE0", "0,0,IMAGE3"})
        doc.mapObjects().append(line);
    const int expected[] = {0, 1, 3, -1, -1};
    for (std::size_t row = 0; row < 5; ++row) {
        const auto loaded = LoadObject(doc, ObjectKind::Map, row);
        ASSERT_TRUE(loaded.has_value());
        EXPECT_EQ(loaded->imageChoice, expected[row]) << "row " << row;
        // And it composes back to the same image number when there is one.
        if (expected[row] >= 0) {
            EXPECT_EQ(ComposeObjectLine(*loaded, doc.images()), doc.mapObjects().line(row));
        }
    }
}

TEST(LoadObject, WithNoCurrentRowDoesNothing)
{
    DefinitionDocument doc;
    EXPECT_EQ(LoadObject(doc, ObjectKind::Map, std::nullopt), std::nullopt);
    EXPECT_EQ(LoadObject(doc, ObjectKind::Map, 0u), std::nullopt);
    doc.screenObjects().append("1,2,IMAGE0");
    EXPECT_EQ(LoadObject(doc, ObjectKind::Screen, 1u), std::nullopt);
}

// ---------------------------------------------------------------- Switch

TEST(SwitchObjects, CopiesTheSelectedMapRowsInMapOrder)
{
    DefinitionDocument doc;
    for (int i = 0; i < 5; ++i)
        doc.mapObjects().append(std::to_string(i) + ",0,IMAGE0");
    doc.screenObjects().append("C-1,C-1,IMAGE0");
    // Two of five rows selected, given out of order and with a repeat.
    EXPECT_EQ(SwitchObjects(doc, ObjectKind::Map, {3, 1, 3}), ObjectKind::Screen);
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"C-1,C-1,IMAGE0", "1,0,IMAGE0", "3,0,IMAGE0"}));
    EXPECT_EQ(doc.mapObjectCount(), 5);
    EXPECT_EQ(doc.screenObjects().takenApart(), 3u);
    EXPECT_EQ(doc.screenObjects().xText(2), "3");
}

TEST(SwitchObjects, WithNothingSelectedOnlyTogglesTheKind)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,0,IMAGE0");
    doc.screenObjects().append("C-2,0,IMAGE0");
    EXPECT_EQ(SwitchObjects(doc, ObjectKind::Map, {}), ObjectKind::Screen);
    EXPECT_EQ(SwitchObjects(doc, ObjectKind::Screen, {}), ObjectKind::Map);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,0,IMAGE0"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"C-2,0,IMAGE0"}));
}

TEST(SwitchObjects, ScreenRowsWithTextCoordinatesFailTheMapRebuild)
{
    DefinitionDocument doc;
    doc.mapObjects().append("1,0,IMAGE0");
    doc.screenObjects().append("5,6,IMAGE0,TopMost");
    doc.screenObjects().append("C-320,C-240,IMAGE0,TopMost,EnterZone,2000");
    try {
        SwitchObjects(doc, ObjectKind::Screen, {0, 1});
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), "c-320");
    }
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,0,IMAGE0", "5,6,IMAGE0,TopMost",
                                                                 "C-320,C-240,IMAGE0,TopMost,EnterZone,2000"}));
    EXPECT_EQ(doc.mapObjects().takenApart(), 2u);
    EXPECT_EQ(doc.screenObjectCount(), 2);
}

TEST(ObjectKinds, EachKindsOtherIsTheOtherOne)
{
    EXPECT_EQ(OtherKind(ObjectKind::Map), ObjectKind::Screen);
    EXPECT_EQ(OtherKind(ObjectKind::Screen), ObjectKind::Map);
}

}  // namespace
}  // namespace qel
