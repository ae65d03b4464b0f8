#include <gtest/gtest.h>

#include <string>

#include "core/EntryLine.h"
#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/Keywords.h"

namespace {

using qel::ObjectFields;
using qel::ObjectKind;

struct TextFieldCase {
    const char* line;
    int index;
    const char* expected;
};

class TextField : public ::testing::TestWithParam<TextFieldCase> {};

TEST_P(TextField, IsTheTextBetweenCommasOrMinusOne)
{
    const TextFieldCase& c = GetParam();
    EXPECT_EQ(qel::GetTextField(c.line, c.index), c.expected) << c.line << " #" << c.index;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextField,
                         ::testing::Values(TextFieldCase{"", 0, ""}, TextFieldCase{"", 1, "-1"},
                                           TextFieldCase{"a,b,c", 0, "a"}, TextFieldCase{"a,b,c", 1, "b"},
                                           TextFieldCase{"a,b,c", 2, "c"}, TextFieldCase{"a,b,c", 3, "-1"},
                                           TextFieldCase{"a,,c", 1, ""}, TextFieldCase{"a,b,", 2, ""},
                                           TextFieldCase{"a,b,", 3, "-1"}, TextFieldCase{" 5,x y", 0, " 5"},
                                           TextFieldCase{" 5,x y", 1, "x y"}, TextFieldCase{",", 0, ""},
                                           TextFieldCase{",", 1, ""}, TextFieldCase{"a", -1, "-1"}));

struct NumberFieldCase {
    const char* line;
    int index;
    bool keepImagePrefix;
    std::int32_t expected;
};

class NumberField : public ::testing::TestWithParam<NumberFieldCase> {};

TEST_P(NumberField, ReadsKeywordsPrefixesAndNumbers)
{
    const NumberFieldCase& c = GetParam();
    EXPECT_EQ(qel::GetNumberField(c.line, c.index, c.keepImagePrefix), c.expected) << c.line << " #" << c.index;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberField,
    ::testing::Values(NumberFieldCase{"1,2,image3", 2, false, 3}, NumberFieldCase{"1,2,IMAGE12", 2, false, 12},
                      NumberFieldCase{"1,2,7", 2, false, 7}, NumberFieldCase{"1,2,3,afterweapons", 3, false, 3},
                      NumberFieldCase{"1,2,3,3", 3, false, 3},
                      NumberFieldCase{"1,2,3,4,5,6,servercontrolled", 6, false, 5},
                      NumberFieldCase{"1,2,3,kill", 3, false, 3}, NumberFieldCase{"1,2,3,4,5,TopMost", 5, false, 7},
                      NumberFieldCase{"1,2,3,4,BELOWALL", 4, false, 0}, NumberFieldCase{"1,2", 2, false, -1},
                      NumberFieldCase{"1,2,3,4,5,6,7,8", 7, false, 8}, NumberFieldCase{"a,$10", 1, false, 16},
                      NumberFieldCase{"a,0x10", 1, false, 16}, NumberFieldCase{"a, 9", 1, false, 9},
                      NumberFieldCase{"a,imagekill", 1, false, 3}, NumberFieldCase{"a,IMAGE-1", 1, false, -1}));

struct NumberFailureCase {
    const char* line;
    int index;
    bool keepImagePrefix;
    const char* message;
};

class NumberFieldFailure : public ::testing::TestWithParam<NumberFailureCase> {};

TEST_P(NumberFieldFailure, NamesTheLowerCasedTextAfterPrefixAndKeywordSteps)
{
    const NumberFailureCase& c = GetParam();
    try {
        qel::GetNumberField(c.line, c.index, c.keepImagePrefix);
        FAIL() << "no error for " << c.line;
    } catch (const qel::ConversionError& error) {
        EXPECT_STREQ(error.what(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFieldFailure,
    ::testing::Values(NumberFailureCase{"a,image3", 1, true, "'image3' is not a valid integer value"},
                      NumberFailureCase{"10,20,IMAGE", 2, false, "'' is not a valid integer value"},
                      NumberFailureCase{"10,20,IMAGE1,BelowAll,", 4, false, "'' is not a valid integer value"},
                      NumberFailureCase{"10,20,IMAGE1, BelowAll", 3, false, "' belowall' is not a valid integer value"},
                      NumberFailureCase{"C-320,1", 0, false, "'c-320' is not a valid integer value"},
                      NumberFailureCase{"ABC\xC9,1", 0, false, "'abc\xC9' is not a valid integer value"},
                      NumberFailureCase{"3000000000,1", 0, false, "'3000000000' is not a valid integer value"}));

TEST(ImageFileName, IsTheTextAfterTheEqualsSignUpToTheNextComma)
{
    EXPECT_EQ(qel::GetImageFileName("IMAGE2=a.bmp,1,1,50"), "a.bmp");
    EXPECT_EQ(qel::GetImageFileName("IMAGE2=pics\\b.gif"), "pics\\b.gif");
    EXPECT_EQ(qel::GetImageFileName("IMAGE2="), "");
    EXPECT_EQ(qel::GetImageFileName("IMAGE2"), "");
    EXPECT_EQ(qel::GetImageFileName("IMAGE2=a=b,1"), "a=b");
    EXPECT_EQ(qel::GetImageFileName("IMAGE2=a,b=c"), "ac");
}

struct EntryCase {
    const char* name;
    const char* line;
    ObjectKind kind;
    ObjectFields expected;
};

class TakeApart : public ::testing::TestWithParam<EntryCase> {};

TEST_P(TakeApart, GivesTheSevenFields)
{
    const EntryCase& c = GetParam();
    EXPECT_EQ(qel::TakeApartEntryLine(c.line, c.kind), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeApart,
    ::testing::Values(
        EntryCase{"AllFields", "10,20,IMAGE1,BelowAll,ShowAlways,0,0", ObjectKind::Map, {10, 20, 1, 0, 0, 0, 0}},
        EntryCase{"NoMode", "10,20,IMAGE1,AfterTiles", ObjectKind::Map, {10, 20, 1, 2, -1, -1, -1}},
        EntryCase{"ScreenText", " 5,abc,image2,TOPMOST,kill", ObjectKind::Screen, {-1, -1, 2, 7, 3, -1, -1}},
        EntryCase{"LeadingZeros", "0080,48,image3,aftertiles,showalways,0", ObjectKind::Map, {80, 48, 3, 2, 0, 0, -1}},
        EntryCase{"ExtraFieldsIgnored", "1,2,3,4,5,6,7,junk", ObjectKind::Map, {1, 2, 3, 4, 5, 6, 7}},
        EntryCase{"OnlyX", "5", ObjectKind::Map, {5, -1, -1, -1, -1, -1, -1}},
        EntryCase{"Spaces", "   ", ObjectKind::Screen, {-1, -1, -1, -1, -1, -1, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TakeApartFailure, MapCoordinatesMustBeNumbersScreenOnesNeedNot)
{
    EXPECT_THROW(qel::TakeApartEntryLine(" 5,abc,image2,TOPMOST,kill", ObjectKind::Map), qel::ConversionError);
    EXPECT_NO_THROW(qel::TakeApartEntryLine("C-320,C-240,IMAGE0,TopMost,EnterZone,2000", ObjectKind::Screen));
    EXPECT_THROW(qel::TakeApartEntryLine("10,20,IMAGE1,BelowAll,", ObjectKind::Screen), qel::ConversionError);
}

TEST(Keywords, LookupCoversBothTablesInAnyCase)
{
    for (std::int32_t layer = 0; layer < 8; ++layer) {
        const std::string keyword(qel::LayerKeyword(layer));
        EXPECT_EQ(qel::KeywordValueNoCase(keyword), layer) << keyword;
        EXPECT_EQ(qel::KeywordValueNoCase(qel::LowerCase(keyword)), layer) << keyword;
    }
    for (std::int32_t mode = 0; mode < 6; ++mode) {
        const std::string keyword(qel::ModeKeyword(mode));
        EXPECT_EQ(qel::KeywordValueNoCase(keyword), mode) << keyword;
        EXPECT_EQ(qel::KeywordValueNoCase(qel::LowerCase(keyword)), mode) << keyword;
    }
    EXPECT_EQ(qel::KeywordValueNoCase("KILL"), 3);
    EXPECT_EQ(qel::KeywordValueNoCase("None"), std::nullopt);
    EXPECT_EQ(qel::KeywordValueNoCase(" kill"), std::nullopt);
    EXPECT_EQ(qel::KeywordValueNoCase("killer"), std::nullopt);
    EXPECT_EQ(qel::LayerKeyword(8), "");
    EXPECT_EQ(qel::ModeKeyword(-1), "");
}

}  // namespace
