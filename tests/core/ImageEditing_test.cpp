// Image definitions: adding, storing, deleting and carrying a
// deletion into the object entries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/Errors.h"
#include "core/ImageEditing.h"
#include "core/ObjectEditor.h"
#include "tests/core/ListLines.h"

namespace qel {
namespace {

std::vector<std::int32_t> Numbers(const DefinitionDocument& doc)
{
    std::vector<std::int32_t> out;
    for (const ObjectImage& image : doc.images())
        out.push_back(image.number);
    return out;
}

void SetImages(DefinitionDocument& doc, const std::vector<std::int32_t>& numbers)
{
    for (std::size_t p = 0; p < numbers.size(); ++p)
        doc.editImages().push_back(ObjectImage{numbers[p], std::string(1, static_cast<char>('a' + p)) + ".bmp",
                                               static_cast<std::int32_t>(p + 1), 2, 100});
}

// IMAGE0, IMAGE1, IMAGE2 and entries that name each of them.
void ThreeImageDocument(DefinitionDocument& doc)
{
    SetImages(doc, {0, 1, 2});
    for (const char* line :
         {"1,1,IMAGE0,BelowAll,ShowAlways,0", "2,2,IMAGE1", "3,3,IMAGE2,AfterTiles", "4,4", "5,5,image1,topmost"})
        doc.mapObjects().append(line);
    for (const char* line : {"C-1,x,IMAGE1,TopMost", "C-2,y,IMAGE2", "C-3,z,image0,aftertiles,kill,0,5"})
        doc.screenObjects().append(line);
}

// ---------------------------------------------------------------- adding

TEST(AddImage, NumbersByPositionInANewDocument)
{
    DefinitionDocument doc;
    EXPECT_EQ(AddImage(doc), 0u);
    EXPECT_EQ(AddImage(doc), 1u);
    EXPECT_EQ(doc.imageKey(0), "IMAGE0");
    EXPECT_EQ(doc.imageKey(1), "IMAGE1");
    EXPECT_EQ(doc.images()[1], (ObjectImage{1, "", -1, -1, -1}));
    EXPECT_EQ(ShownImageTexts(doc.images()[1]), (ImageEditTexts{"", "", "", ""}));
}

struct LowestCase {
    std::vector<std::int32_t> numbers;
    std::int32_t expected;
};

class LowestUnusedTest : public ::testing::TestWithParam<LowestCase> {};

TEST_P(LowestUnusedTest, NewImageGetsTheLowestUnusedNumber)
{
    DefinitionDocument doc;
    SetImages(doc, GetParam().numbers);
    EXPECT_EQ(LowestUnusedImageNumber(doc.images()), GetParam().expected);
    const std::size_t at = AddImage(doc);
    EXPECT_EQ(at, GetParam().numbers.size());
    EXPECT_EQ(doc.images()[at].number, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Numberings, LowestUnusedTest,
                         ::testing::Values(LowestCase{{}, 0}, LowestCase{{0, 1, 2}, 3}, LowestCase{{1, 2, 5}, 0},
                                           LowestCase{{0, 2, 5}, 1}, LowestCase{{0, 0}, 1}, LowestCase{{-3, 0, 7}, 1},
                                           LowestCase{{2147483647, 0}, 1}));

// ---------------------------------------------------------------- storing

TEST(StoreImage, FileTextIsStoredUnchanged)
{
    DefinitionDocument doc;
    SetImages(doc, {0});
    StoreImageFile(doc, 0u, " pics\\ship.bmp ");
    EXPECT_EQ(doc.images()[0].file, " pics\\ship.bmp ");
    StoreImageFile(doc, std::nullopt, "other");
    StoreImageFile(doc, 3u, "other");
    EXPECT_EQ(doc.images()[0].file, " pics\\ship.bmp ");
}

struct StoreNumberCase {
    const char* text;
    std::int32_t stored;
};

class StoreNumberTest : public ::testing::TestWithParam<StoreNumberCase> {};

TEST_P(StoreNumberTest, EmptyIsMinusOneOtherwiseTheStrictConversion)
{
    for (ImageNumberField field : {ImageNumberField::XTiles, ImageNumberField::YTiles, ImageNumberField::AniTime}) {
        DefinitionDocument doc;
        SetImages(doc, {0});
        StoreImageNumber(doc, 0u, field, GetParam().text);
        const ObjectImage& image = doc.images()[0];
        const std::int32_t value = field == ImageNumberField::XTiles   ? image.xTiles
                                   : field == ImageNumberField::YTiles ? image.yTiles
                                                                       : image.aniTime;
        EXPECT_EQ(value, GetParam().stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StoreNumberTest,
                         ::testing::Values(StoreNumberCase{"4", 4}, StoreNumberCase{"", -1}, StoreNumberCase{"0", 0},
                                           StoreNumberCase{"-7", -7}, StoreNumberCase{"40000", 40000},
                                           StoreNumberCase{"  12", 12}, StoreNumberCase{"$10", 16}));

TEST(StoreImage, TextThatIsNoNumberKeepsThePreviousValue)
{
    DefinitionDocument doc;
    SetImages(doc, {0});
    StoreImageNumber(doc, 0u, ImageNumberField::XTiles, "4");
    try {
        StoreImageNumber(doc, 0u, ImageNumberField::XTiles, "4a");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'4a' is not a valid integer value");
    }
    EXPECT_EQ(doc.images()[0].xTiles, 4);
    // No keyword lookup: a keyword is no number here.
    EXPECT_THROW(StoreImageNumber(doc, 0u, ImageNumberField::AniTime, "kill"), ConversionError);
    EXPECT_THROW(StoreImageNumber(doc, 0u, ImageNumberField::AniTime, "4 "), ConversionError);
    // Without a selected image nothing is converted or stored.
    StoreImageNumber(doc, std::nullopt, ImageNumberField::XTiles, "x");
}

struct SpinCase {
    std::int32_t current;
    std::int32_t step;
    bool up;
    std::int32_t stored;
};

class SpinTest : public ::testing::TestWithParam<SpinCase> {};

TEST_P(SpinTest, StoresTheProposalSignExtendedFrom16Bits)
{
    const SpinCase& c = GetParam();
    DefinitionDocument doc;
    SetImages(doc, {0});
    const std::int32_t proposed = ProposedSpinValue(c.current, c.step, c.up);
    EXPECT_EQ(proposed, c.stored);
    StoreImageSpinValue(doc, 0u, ImageNumberField::AniTime, proposed);
    EXPECT_EQ(doc.images()[0].aniTime, c.stored);
    EXPECT_EQ(ShownImageTexts(doc.images()[0]).aniTime, c.stored == -1 ? "" : std::to_string(c.stored));
}

INSTANTIATE_TEST_SUITE_P(Proposals, SpinTest,
                         ::testing::Values(SpinCase{90, 10, true, 100},       // AniTime 90 -> 100
                                           SpinCase{0, 1, false, -1},         // lower arrow at 0: not given
                                           SpinCase{32000, 10, true, 32010},  // past the upper limit
                                           SpinCase{32000, 1, true, 32001}, SpinCase{5, 1, false, 4},
                                           SpinCase{32767, 1, true, -32768},  // 16-bit wrap
                                           SpinCase{-32768, 1, false, 32767}));

TEST(StoreImageSpinValue, TakesTheLow16BitsAsSigned)
{
    DefinitionDocument doc;
    SetImages(doc, {0});
    StoreImageSpinValue(doc, 0u, ImageNumberField::XTiles, 65535);
    EXPECT_EQ(doc.images()[0].xTiles, -1);
    StoreImageSpinValue(doc, 0u, ImageNumberField::YTiles, 40000);
    EXPECT_EQ(doc.images()[0].yTiles, 40000 - 65536);
    StoreImageSpinValue(doc, 0u, ImageNumberField::YTiles, -2);
    EXPECT_EQ(doc.images()[0].yTiles, -2);
    StoreImageSpinValue(doc, std::nullopt, ImageNumberField::YTiles, 7);
    EXPECT_EQ(doc.images()[0].yTiles, -2);
}

// ---------------------------------------------------------------- deleting

TEST(DeleteImage, QuestionsAndSelection)
{
    DefinitionDocument doc;
    SetImages(doc, {0, 1, 2});
    EXPECT_EQ(DeleteImageQuestion(doc, 2), "Delete 'IMAGE2'?");
    EXPECT_STREQ(kApplyToObjectsQuestion, "Apply Changes to the Objects?");
}

TEST(DeleteImage, NothingSelectedDeletesNothing)
{
    DefinitionDocument doc;
    SetImages(doc, {0, 1});
    const ImageDeletion d = DeleteImage(doc, -1);
    EXPECT_FALSE(d.deleted);
    EXPECT_EQ(doc.imageCount(), 2);
    EXPECT_FALSE(DeleteImage(doc, 2).deleted);
    doc.mapObjects().append("1,1,IMAGE0");
    ApplyImageDeletionToObjects(doc, d);  // nothing to carry
    EXPECT_EQ(doc.mapObjects().line(0), "1,1,IMAGE0");
}

TEST(DeleteImage, TheOnlyImage)
{
    DefinitionDocument doc;
    SetImages(doc, {0});
    const ImageDeletion d = DeleteImage(doc, 0);
    EXPECT_TRUE(d.deleted);
    EXPECT_EQ(doc.imageCount(), 0);
}

TEST(DeleteImage, AnsweredYesYes)
{
    DefinitionDocument doc;
    ThreeImageDocument(doc);
    const ImageDeletion d = DeleteImage(doc, 1);
    EXPECT_TRUE(d.deleted);
    EXPECT_TRUE(d.renumbered);
    EXPECT_EQ(d.removedNumber, 1);
    // The items read IMAGE0, IMAGE1; the old IMAGE2's file and numbers are image 1.
    EXPECT_EQ(Numbers(doc), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(doc.images()[1], (ObjectImage{1, "c.bmp", 3, 2, 100}));
    EXPECT_EQ(doc.imageKey(1), "IMAGE1");
    ApplyImageDeletionToObjects(doc, d);
    // Lines that named IMAGE1 are gone, IMAGE2 now reads IMAGE1, IMAGE0 is
    // unchanged apart from regeneration; no image (-1) is neither.
    EXPECT_EQ(Lines(doc.mapObjects()),
              (std::vector<std::string>{"1,1,IMAGE0,BelowAll,ShowAlways", "3,3,IMAGE1,AfterTiles", "4,4,IMAGE-1"}));
    EXPECT_EQ(Lines(doc.screenObjects()),
              (std::vector<std::string>{"C-2,y,IMAGE1", "C-3,z,IMAGE0,AfterTiles,Kill,0,5"}));
    EXPECT_EQ(doc.mapObjects().fields(1).image, 1);
    EXPECT_EQ(doc.screenObjects().fields(0).image, 1);
    EXPECT_EQ(doc.mapObjects().takenApart(), 3u);
    EXPECT_EQ(doc.screenObjects().takenApart(), 2u);
}

TEST(DeleteImage, AnsweredYesNo)
{
    DefinitionDocument doc;
    ThreeImageDocument(doc);
    const std::vector<std::string> mapBefore = Lines(doc.mapObjects());
    const std::vector<std::string> screenBefore = Lines(doc.screenObjects());
    DeleteImage(doc, 1);
    // Images renumbered; the entry lines still say IMAGE1 and IMAGE2.
    EXPECT_EQ(Numbers(doc), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(doc.images()[1].file, "c.bmp");
    EXPECT_EQ(Lines(doc.mapObjects()), mapBefore);
    EXPECT_EQ(Lines(doc.screenObjects()), screenBefore);
}

TEST(RemoveImageReferences, TheFourStepsOnPositions)
{
    // The core operation without the image list: D = 1.
    DefinitionDocument doc;
    for (const char* line : {"0080,1,IMAGE1", "2,2,IMAGE2,AfterTiles", "3,3,IMAGE0,BelowAll,ShowAlways,0", "4,4",
                             "5,5,IMAGE-5", "6,6,IMAGE7,9,8,0,2"})
        doc.mapObjects().append(line);
    for (const char* line : {"a,b,image2,topmost", "c,d,IMAGE1", "e,f,IMAGE1,AfterChat", "g,h,IMAGE3"})
        doc.screenObjects().append(line);
    RemoveImageReferences(doc, 1);
    EXPECT_EQ(Lines(doc.mapObjects()),
              (std::vector<std::string>{"2,2,IMAGE1,AfterTiles", "3,3,IMAGE0,BelowAll,ShowAlways", "4,4,IMAGE-1",
                                        "5,5,IMAGE-5", "6,6,IMAGE6,9,8,0,2"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"a,b,IMAGE1,TopMost", "g,h,IMAGE2"}));
}

TEST(RemoveImageReferences, RemovedImageZero)
{
    DefinitionDocument doc;
    for (const char* line : {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE0", "4,4,IMAGE2"})
        doc.mapObjects().append(line);
    RemoveImageReferences(doc, 0);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"2,2,IMAGE0", "4,4,IMAGE1"}));
}

TEST(RemoveImageReferences, AMapLineWithoutFieldsStopsTheOperation)
{
    DefinitionDocument doc;
    for (const char* line : {"1,1,IMAGE1", "2,2,IMAGE2"})
        doc.mapObjects().append(line);
    EXPECT_THROW(doc.mapObjects().append("x,2,IMAGE1"), ConversionError);
    doc.screenObjects().append("a,b,IMAGE1");
    EXPECT_THROW(RemoveImageReferences(doc, 1), ConversionError);
    // Step 1 ran on the entries with fields; the line without fields stays.
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"2,2,IMAGE2", "x,2,IMAGE1"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"a,b,IMAGE1"}));
}

// ---------------------------------------------------------------- numbers that are not positions

TEST(DeleteImage, NumbersThatAreNotPositionsAreNotRenumbered)
{
    DefinitionDocument doc;
    SetImages(doc, {1, 2, 5});
    for (const char* line : {"1,1,IMAGE1", "2,2,IMAGE2", "5,5,IMAGE5", "0,0,IMAGE0"})
        doc.mapObjects().append(line);
    doc.screenObjects().append("a,b,IMAGE2,topmost");
    doc.screenObjects().append("c,d,IMAGE5,topmost");
    const ImageDeletion d = DeleteImage(doc, 1);  // the image numbered 2
    EXPECT_TRUE(d.deleted);
    EXPECT_FALSE(d.renumbered);
    EXPECT_EQ(d.removedNumber, 2);
    EXPECT_EQ(Numbers(doc), (std::vector<std::int32_t>{1, 5}));
    EXPECT_EQ(doc.images()[1].file, "c.bmp");
    EXPECT_EQ(doc.imageKey(1), "IMAGE5");
    ApplyImageDeletionToObjects(doc, d);
    // Only the lines naming 2 go; every other line still names its own image.
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,1,IMAGE1", "5,5,IMAGE5", "0,0,IMAGE0"}));
    EXPECT_EQ(Lines(doc.screenObjects()), (std::vector<std::string>{"c,d,IMAGE5,TopMost"}));
    // And the object editor still loads them as the same images.
    EXPECT_EQ(LoadObject(doc, ObjectKind::Map, 1u)->imageChoice, 1);
}

TEST(DeleteImage, NumbersStartingAtOneAnsweredNoKeepEveryLine)
{
    DefinitionDocument doc;
    SetImages(doc, {1, 2, 3});
    for (const char* line : {"1,1,IMAGE1", "2,2,IMAGE2", "3,3,IMAGE3"})
        doc.mapObjects().append(line);
    const ImageDeletion d = DeleteImage(doc, 0);
    EXPECT_FALSE(d.renumbered);
    EXPECT_EQ(Numbers(doc), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,1,IMAGE1", "2,2,IMAGE2", "3,3,IMAGE3"}));
}

TEST(DeleteImage, RepeatedNumbersAreNotPositions)
{
    DefinitionDocument doc;
    SetImages(doc, {0, 1, 1, 3});
    for (const char* line : {"0,0,IMAGE0", "1,1,IMAGE1", "3,3,IMAGE3"})
        doc.mapObjects().append(line);
    const ImageDeletion d = DeleteImage(doc, 0);
    EXPECT_FALSE(d.renumbered);
    EXPECT_EQ(Numbers(doc), (std::vector<std::int32_t>{1, 1, 3}));
    ApplyImageDeletionToObjects(doc, d);
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,1,IMAGE1", "3,3,IMAGE3"}));
}

TEST(ImagesNumberedByPosition, Cases)
{
    EXPECT_TRUE(ImagesNumberedByPosition({}));
    EXPECT_TRUE(ImagesNumberedByPosition({ObjectImage{0, "", -1, -1, -1}, ObjectImage{1, "", -1, -1, -1}}));
    EXPECT_FALSE(ImagesNumberedByPosition({ObjectImage{1, "", -1, -1, -1}}));
    EXPECT_FALSE(ImagesNumberedByPosition({ObjectImage{0, "", -1, -1, -1}, ObjectImage{0, "", -1, -1, -1}}));
    EXPECT_FALSE(ImagesNumberedByPosition({ObjectImage{-1, "", -1, -1, -1}}));
}

TEST(ShownImageTexts, DecimalOrEmptyForMinusOne)
{
    EXPECT_EQ(ShownImageTexts(ObjectImage{3, "ship.bmp", 4, -1, 0}), (ImageEditTexts{"ship.bmp", "4", "", "0"}));
    EXPECT_EQ(ImageNumberText(-1), "");
    EXPECT_EQ(ImageNumberText(-2), "-2");
}

}  // namespace
}  // namespace qel
