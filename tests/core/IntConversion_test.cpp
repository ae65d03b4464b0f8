#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/Errors.h"
#include "core/IntConversion.h"

namespace {

struct ConversionCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

class StrictConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(StrictConversion, AcceptsOnlyWholeNumbersIn32Bits)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(qel::TryStrToInt(c.text), c.expected) << "text: [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrictConversion,
    ::testing::Values(
        ConversionCase{"0", 0}, ConversionCase{"42", 42}, ConversionCase{"-7", -7}, ConversionCase{"+7", 7},
        ConversionCase{"   12", 12}, ConversionCase{"007", 7}, ConversionCase{"2147483647", 2147483647},
        ConversionCase{"-2147483648", INT32_MIN}, ConversionCase{"2147483648", std::nullopt},
        ConversionCase{"-2147483649", std::nullopt}, ConversionCase{"99999999999999999999999", std::nullopt},
        ConversionCase{"$10", 16}, ConversionCase{"$ff", 255}, ConversionCase{"$FF", 255}, ConversionCase{"0x1F", 31},
        ConversionCase{"0X1f", 31}, ConversionCase{"-$10", -16}, ConversionCase{" -0x10", -16},
        ConversionCase{"$7FFFFFFF", 2147483647}, ConversionCase{"$80000000", std::nullopt},
        ConversionCase{"-$80000000", INT32_MIN}, ConversionCase{"$", std::nullopt}, ConversionCase{"0x", std::nullopt},
        ConversionCase{"", std::nullopt}, ConversionCase{" ", std::nullopt}, ConversionCase{"-", std::nullopt},
        ConversionCase{"+", std::nullopt}, ConversionCase{"12 ", std::nullopt}, ConversionCase{"1 2", std::nullopt},
        ConversionCase{"- 1", std::nullopt}, ConversionCase{"\t1", std::nullopt}, ConversionCase{"1a", std::nullopt},
        ConversionCase{"ff", std::nullopt}, ConversionCase{"--1", std::nullopt}, ConversionCase{"1.0", std::nullopt},
        ConversionCase{"\xe9", std::nullopt}, ConversionCase{"$g", std::nullopt}));

TEST(StrictConversionError, MessageNamesTheTextAsGiven)
{
    try {
        qel::StrToInt("4a");
        FAIL() << "no error";
    } catch (const qel::ConversionError& error) {
        EXPECT_STREQ(error.what(), "'4a' is not a valid integer value");
        EXPECT_EQ(error.text(), "4a");
    }
    try {
        qel::StrToInt("");
        FAIL() << "no error";
    } catch (const qel::ConversionError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid integer value");
    }
}

TEST(DecimalText, NoLeadingZerosAndMinusSign)
{
    EXPECT_EQ(qel::IntToStr(0), "0");
    EXPECT_EQ(qel::IntToStr(-1), "-1");
    EXPECT_EQ(qel::IntToStr(INT32_MIN), "-2147483648");
    EXPECT_EQ(qel::IntToStr(2147483647), "2147483647");
}

TEST(CaseFolding, OnlyAsciiLettersAreLowered)
{
    EXPECT_EQ(qel::LowerCase("MapObjects\xC9\xE9"), "mapobjects\xC9\xE9");
    EXPECT_TRUE(qel::StartsWithNoCase("[MapObjects] x", "[mapobjects]"));
    EXPECT_FALSE(qel::StartsWithNoCase(" [mapobjects]", "[mapobjects]"));
    EXPECT_FALSE(qel::StartsWithNoCase("[map", "[mapobjects]"));
    EXPECT_TRUE(qel::EqualsNoCase(".JPEG", ".jpeg"));
    EXPECT_FALSE(qel::EqualsNoCase(".jpeg ", ".jpeg"));
}

struct FullStopCase {
    const char* message;
    const char* shown;
};

class FullStop : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStop, AddedOnlyAfterBytesThatSortAfterTheFullStop)
{
    EXPECT_EQ(qel::WithFullStop(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullStop,
    ::testing::Values(FullStopCase{"File not found", "File not found."}, FullStopCase{"I/O error 5", "I/O error 5."},
                      FullStopCase{"'x' is not a valid integer value", "'x' is not a valid integer value."},
                      FullStopCase{"Done!", "Done!"}, FullStopCase{"Quoted '", "Quoted '"},
                      FullStopCase{"Already.", "Already."}, FullStopCase{"Slash/", "Slash/."},
                      FullStopCase{"Accent\xE9", "Accent\xE9."}, FullStopCase{"", ""}));

}  // namespace
