// The reader and writer properties the fuzzer checks (fuzz/reader_fuzz.cpp),
// on inputs at the edges of the format. Any input the fuzzer finds failing
// is added to the table below as it was found, so it stays fixed.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"

using namespace std::string_literals;

namespace {

struct RoundTripCase {
    const char* name;
    std::string input;
};

void PrintTo(const RoundTripCase& value, std::ostream* os)
{
    *os << value.name;
}

qel::ObjectImage AsWritten(qel::ObjectImage image)
{
    auto written = [](std::int32_t value) { return value != 0 && value != -1; };
    if (!(written(image.xTiles) && written(image.yTiles) && written(image.aniTime)))
        image.xTiles = image.yTiles = image.aniTime = -1;
    return image;
}

void ExpectSameObjects(const qel::ObjectList& before, const qel::ObjectList& after)
{
    ASSERT_EQ(before.size(), after.size());
    ASSERT_EQ(after.takenApart(), after.size());
    for (std::size_t row = 0; row < before.size(); ++row) {
        EXPECT_EQ(before.line(row), after.line(row)) << "row " << row;
        EXPECT_EQ(before.fields(row), after.fields(row)) << "row " << row;
    }
}

class ReadWriteRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ReadWriteRoundTrip, WrittenDocumentReadsBackTheSame)
{
    qel::DefinitionDocument first;
    ASSERT_NO_THROW(qel::ReadDefinitionBytes(first, GetParam().input));
    const std::string written = qel::ComposeDefinition(first);

    qel::DefinitionDocument second;
    ASSERT_NO_THROW(qel::ReadDefinitionBytes(second, written)) << written;
    EXPECT_EQ(qel::ComposeDefinition(second), written);
    EXPECT_EQ(second.outFile(), first.outFile());
    EXPECT_EQ(second.files(), first.files());
    ASSERT_EQ(second.images().size(), first.images().size());
    for (std::size_t i = 0; i < first.images().size(); ++i)
        EXPECT_EQ(second.images()[i], AsWritten(first.images()[i])) << "image " << i;
    ExpectSameObjects(first.mapObjects(), second.mapObjects());
    ExpectSameObjects(first.screenObjects(), second.screenObjects());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeInputs, ReadWriteRoundTrip,
    testing::Values(
        RoundTripCase{"HighAndNulBytes", "OutFile=\x80\xff\0x\r\nFile=\xe9\r\n[screenobjects]\r\n\xe9\0,\xff\r\n"s},
        // A CR that is not part of the line ending belongs to the line.
        RoundTripCase{"CarriageReturnsInsideLines", "OutFile=a\r\r\n[screenobjects]\r\nx\r,y\r\r\n1,2\r"},
        RoundTripCase{"NoFinalLineEnding", "[mapobjects]\n1,2,IMAGE0"},
        // A later "=" turns file collecting back on, past the tile numbers.
        RoundTripCase{"ImageWithEqualsAfterTheNumbers", "[objectimages]\nIMAGE1=a,2,3,4,=z\nIMAGE2=b=c\n"},
        RoundTripCase{"ImageTileNumbersDropped",
                      "[objectimages]\nIMAGE0=a,0,1,1\nIMAGE1=b,-1,-1,-1\nIMAGE2=c,4,2\nIMAGE3=d,-2,-3,$10\nIMAGE 7=e\n"
                      "IMAGE007=f,1,1,1,extra\nIMAGE9\n"},
        RoundTripCase{"ScreenLinesOfAnyText", "[screenobjects]\n   \n,,IMAGE1\n[x],y\n;a,b\n"},
        RoundTripCase{"MapFieldsInEveryNotation",
                      "[mapobjects]\n  $7fffffff,-0x80000000,IMAGE$A,  7,+3,kill,TopMost\n"},
        RoundTripCase{
            "RepeatedSectionsAndStrayKeys",
            "outfileXa\nFiles=b\nFILE\n[mapobjects]\n1,1,IMAGE0\n[screenobjects]\n9,9\n[MAPOBJECTS]x\n2,2,IMAGE0\n"}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

// What a failed read left in the document can still be written: the line
// that failed is kept, without fields, and written back unchanged.
TEST(FailedRead, PartialDocumentIsWrittenWithTheFailingLine)
{
    qel::DefinitionDocument doc;
    EXPECT_THROW(qel::ReadDefinitionBytes(doc, "[mapobjects]\n1,1,IMAGE0\n1,1,bad\n2,2,IMAGE0\n"), qel::Error);
    EXPECT_EQ(qel::ComposeDefinition(doc), "OutFile=\r\n\r\n\r\n[mapobjects]\r\n1,1,IMAGE0\r\n1,1,bad\r\n");
}

}  // namespace
