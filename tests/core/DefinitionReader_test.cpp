#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/DefinitionReader.h"
#include "core/Errors.h"
#include "core/io/DefinitionFiles.h"
#include "tests/core/ListLines.h"

namespace {

using qel::DefinitionDocument;

struct ReadResult {
    DefinitionDocument doc;
    std::optional<std::string> error;
    std::size_t errorLine = 0;
};

ReadResult Read(const std::string& text)
{
    ReadResult result;
    try {
        qel::ReadDefinitionBytes(result.doc, text);
    } catch (const qel::Error& error) {
        result.error = error.what();
        result.errorLine = error.line();
    }
    return result;
}

TEST(Reader, ReadsEveryKindOfContent)
{
    const ReadResult r = Read(
        "OutFile=level\r\n\r\nFile=ship.bmp\r\nFile=boom.wav\r\n\r\n[objectimages]\r\nIMAGE0=ship.bmp,4,2,100\r\n"
        "IMAGE1=boom.bmp\r\n\r\n[mapobjects]\r\n100,200,IMAGE0,AfterTiles,ShowAlways\r\n\r\n[screenobjects]\r\n"
        "C-320,C-240,IMAGE1,TopMost,EnterZone,2000\r\n");
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.doc.outFile(), "level");
    EXPECT_EQ(r.doc.files(), (std::vector<std::string>{"ship.bmp", "boom.wav"}));
    ASSERT_EQ(r.doc.imageCount(), 2);
    EXPECT_EQ(r.doc.images()[0], (qel::ObjectImage{0, "ship.bmp", 4, 2, 100}));
    EXPECT_EQ(r.doc.images()[1], (qel::ObjectImage{1, "boom.bmp", -1, -1, -1}));
    EXPECT_EQ(Lines(r.doc.mapObjects()), (std::vector<std::string>{"100,200,IMAGE0,AfterTiles,ShowAlways"}));
    EXPECT_EQ(r.doc.mapObjects().fields(0), (qel::ObjectFields{100, 200, 0, 2, 0, -1, -1}));
    EXPECT_EQ(r.doc.screenObjects().xText(0), "C-320");
    EXPECT_EQ(r.doc.screenObjects().fields(0).displayTime, 2000);
}

struct HeaderCase {
    const char* name;
    const char* header;
    bool recognised;
};

class Headers : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(Headers, AreRecognisedByTheirStartInAnyCase)
{
    // A recognised header puts "5,5" into the map list; otherwise the line is
    // a line of no section and is ignored.
    const ReadResult r = Read(std::string(GetParam().header) + "\n5,5\n");
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.doc.mapObjectCount(), GetParam().recognised ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Headers,
                         ::testing::Values(HeaderCase{"Lower", "[mapobjects]", true},
                                           HeaderCase{"Mixed", "[MapObjects]", true},
                                           HeaderCase{"Upper", "[MAPOBJECTS]", true},
                                           HeaderCase{"TrailingText", "[mapobjects] ; the map", true},
                                           HeaderCase{"LeadingSpace", " [mapobjects]", false},
                                           HeaderCase{"Other", "[objects]", false},
                                           HeaderCase{"Cut", "[mapobject", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ImageCase {
    const char* name;
    const char* line;
    std::optional<qel::ObjectImage> image;
    const char* error;
};

class ImageLines : public ::testing::TestWithParam<ImageCase> {};

TEST_P(ImageLines, FollowTheKeyAndFieldRules)
{
    const ImageCase& c = GetParam();
    const ReadResult r = Read(std::string("[objectimages]\n") + c.line + "\n");
    if (c.error) {
        ASSERT_TRUE(r.error);
        EXPECT_EQ(*r.error, c.error);
        EXPECT_EQ(r.errorLine, 2u);
    } else {
        ASSERT_FALSE(r.error) << *r.error;
    }
    if (c.image) {
        ASSERT_EQ(r.doc.imageCount(), 1);
        EXPECT_EQ(r.doc.images()[0], *c.image);
    } else {
        EXPECT_EQ(r.doc.imageCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageLines,
    ::testing::Values(
        ImageCase{"Plain", "IMAGE0=ship.bmp,4,2,100", qel::ObjectImage{0, "ship.bmp", 4, 2, 100}, nullptr},
        ImageCase{"NoNumbers", "IMAGE3=a.bmp", qel::ObjectImage{3, "a.bmp", -1, -1, -1}, nullptr},
        ImageCase{"ZeroNumbers", "IMAGE3=a.bmp,0,0,0", qel::ObjectImage{3, "a.bmp", 0, 0, 0}, nullptr},
        ImageCase{"LeadingZeros", "IMAGE007=a.bmp", qel::ObjectImage{7, "a.bmp", -1, -1, -1}, nullptr},
        ImageCase{"SpaceBeforeNumber", "IMAGE 5=a.bmp", qel::ObjectImage{5, "a.bmp", -1, -1, -1}, nullptr},
        ImageCase{"LowerCaseKey", "image2=a.bmp", qel::ObjectImage{2, "a.bmp", -1, -1, -1}, nullptr},
        ImageCase{"AnyFiveLetters", "xxxxx9=b.gif", qel::ObjectImage{9, "b.gif", -1, -1, -1}, nullptr},
        ImageCase{"HexNumber", "IMAGE$A=a.bmp", qel::ObjectImage{10, "a.bmp", -1, -1, -1}, nullptr},
        ImageCase{"KeywordTiles", "IMAGE1=a.bmp,kill,topmost,5", qel::ObjectImage{1, "a.bmp", 3, 7, 5}, nullptr},
        ImageCase{"EmptyFile", "IMAGE1=", qel::ObjectImage{1, "", -1, -1, -1}, nullptr},
        ImageCase{"NoEqualsSign", "IMAGE5", qel::ObjectImage{5, "", -1, -1, -1}, nullptr},
        ImageCase{"NoEqualsSignOtherText", "garbage", std::nullopt, "'ge' is not a valid integer value"},
        ImageCase{"SpaceAfterNumber", "IMAGE5 =a.bmp", std::nullopt, "'5 ' is not a valid integer value"},
        ImageCase{"ShortKey", "IMG5=a.bmp", std::nullopt, "'' is not a valid integer value"},
        ImageCase{"NumberTextUnchanged", "IMAGEAB=a.bmp", std::nullopt, "'AB' is not a valid integer value"},
        ImageCase{"ImagePrefixKeptInTiles", "IMAGE1=a.bmp,image2,1,1", std::nullopt,
                  "'image2' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, OutFileAndFileLinesAreReadByTheirFirstLetters)
{
    const ReadResult r = Read("outfile=first\nOUTFILE:second\nFiles=abc\nfile\nFILE=\nOutFile\nfile=\xE9\xFF\n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.doc.outFile(), "") << "a line of 8 characters or fewer gives an empty name; the last one wins";
    EXPECT_EQ(r.doc.files(), (std::vector<std::string>{"=abc", "", "", "\xE9\xFF"}));
    EXPECT_EQ(Read("OutFile=x\nOUTFILE?second\n").doc.outFile(), "second");
}

TEST(Reader, KeyLinesInsideSectionsAreAlsoSectionLines)
{
    ReadResult r = Read("[screenobjects]\nFile=a,b\n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.doc.files(), (std::vector<std::string>{"a,b"}));
    EXPECT_EQ(r.doc.screenObjects().xText(0), "File=a");

    r = Read("[mapobjects]\nOutFile=pkg\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'outfile=pkg' is not a valid integer value");
    EXPECT_EQ(r.doc.outFile(), "pkg");

    r = Read("[objectimages]\nFile=x\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'' is not a valid integer value");
}

TEST(Reader, CommentsOnlyInColumnOneAndEmptyLinesAreSkipped)
{
    ReadResult r = Read("[screenobjects]\n;comment\n\n ;not a comment\n   \n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(Lines(r.doc.screenObjects()), (std::vector<std::string>{" ;not a comment", "   "}));
    EXPECT_EQ(r.doc.screenObjects().xText(1), "   ");

    r = Read("[mapobjects]\n;comment\n ;oops\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.errorLine, 3u);
    r = Read("[mapobjects]\n   \n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'   ' is not a valid integer value");
}

TEST(Reader, LinesBeforeTheFirstHeaderAreIgnored)
{
    const ReadResult r = Read("hello\n1,2,IMAGE0\n[unknown]\n3,4\n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.doc.mapObjectCount(), 0);
    EXPECT_EQ(r.doc.screenObjectCount(), 0);
}

TEST(Reader, RepeatedSectionsAreMergedInFileOrder)
{
    const ReadResult r = Read(
        "[mapobjects]\n1,1\n[screenobjects]\na,b\n[MAPOBJECTS]\n2,2\n[objectimages]\nIMAGE0=a\n"
        "[mapobjects]\n3,3\n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(Lines(r.doc.mapObjects()), (std::vector<std::string>{"1,1", "2,2", "3,3"}));
    EXPECT_EQ(r.doc.screenObjectCount(), 1);
    EXPECT_EQ(r.doc.imageCount(), 1);
}

struct EndingCase {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
};

class LineEndings : public ::testing::TestWithParam<EndingCase> {};

TEST_P(LineEndings, EndAtLineFeedOrCarriageReturnLineFeed)
{
    const ReadResult r = Read(std::string("[screenobjects]") + GetParam().text);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(Lines(r.doc.screenObjects()), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineEndings,
                         ::testing::Values(EndingCase{"CrLf", "\r\na\r\nb\r\n", {"a", "b"}},
                                           EndingCase{"Lf", "\na\nb\n", {"a", "b"}},
                                           EndingCase{"NoFinalNewline", "\na\nb", {"a", "b"}},
                                           EndingCase{"LoneCarriageReturnStays", "\na\rb\n", {"a\rb"}},
                                           EndingCase{"CarriageReturnAtEndOfFile", "\na\r", {"a\r"}},
                                           EndingCase{"DoubleCarriageReturn", "\na\r\r\n", {"a\r"}},
                                           EndingCase{"HighBytes", "\n\x80\xA0\xFF,\xE9\n", {"\x80\xA0\xFF,\xE9"}},
                                           EndingCase{"CarriageReturnsAndNoLineFeed", "\ra\r\rb", {"a", "b"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Reader, LongLinesAreReadWhole)
{
    const std::string x(100000, '7');
    const ReadResult r = Read("[screenobjects]\n" + x + ",1\n");
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.doc.screenObjects().xText(0), x);
}

TEST(Reader, AFailureKeepsWhatWasReadAndTheFailingEntryLine)
{
    const ReadResult r = Read("OutFile=x\n[mapobjects]\n1,1\n2,abc\n3,3\n[screenobjects]\na,b\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'abc' is not a valid integer value");
    EXPECT_EQ(r.errorLine, 4u);
    EXPECT_EQ(Lines(r.doc.mapObjects()), (std::vector<std::string>{"1,1", "2,abc"}));
    EXPECT_EQ(r.doc.mapObjects().takenApart(), 1u);
    EXPECT_EQ(r.doc.screenObjectCount(), 0);
    EXPECT_EQ(r.doc.outFile(), "x");
}

TEST(Reader, ScreenObjectFromTheEdgeCaseList)
{
    const ReadResult r =
        Read("[screenobjects]\n 5,abc,image2,TOPMOST,kill\n[mapobjects]\n 5,abc,image2,TOPMOST,kill\n");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'abc' is not a valid integer value");
    EXPECT_EQ(r.doc.screenObjects().xText(0), " 5");
    EXPECT_EQ(r.doc.screenObjects().yText(0), "abc");
    EXPECT_EQ(r.doc.screenObjects().fields(0), (qel::ObjectFields{-1, -1, 2, 7, 3, -1, -1}));
}

TEST(Reader, MissingFileIsFileNotFound)
{
    DefinitionDocument doc;
    try {
        qel::ReadDefinition(doc, "/nonexistent-folder/defs.ini");
        FAIL();
    } catch (const qel::FileError& error) {
        EXPECT_STREQ(error.what(), "File not found");
        EXPECT_EQ(error.line(), 0u);
    }
    EXPECT_EQ(doc.mapObjectCount(), 0);
}

TEST(Reader, AFolderCannotBeRead)
{
    DefinitionDocument doc;
    try {
        qel::ReadDefinition(doc, "/tmp");
        FAIL();
    } catch (const qel::FileError& error) {
        EXPECT_STREQ(error.what(), "File access denied");
    }
}

}  // namespace

namespace {

TEST(Reader, AReadErrorInsideTheFileKeepsTheCompleteLinesBeforeIt)
{
    DefinitionDocument doc;
    try {
        qel::ReadDefinitionBytes(doc, "OutFile=a\n[mapobjects]\n1,1\n2,2", EIO);
        FAIL() << "no error";
    } catch (const qel::FileError& error) {
        EXPECT_EQ(std::string(error.what()), "I/O error " + std::to_string(EIO));
        EXPECT_EQ(error.line(), 4u);
    }
    EXPECT_EQ(doc.outFile(), "a");
    EXPECT_EQ(Lines(doc.mapObjects()), (std::vector<std::string>{"1,1"})) << "the cut last line is not taken";
}

TEST(Reader, AFileThatFailsOnItsFirstReadIsAnIoError)
{
    // Reading this file fails at its very start, after it was opened.
    DefinitionDocument doc;
    try {
        qel::ReadDefinition(doc, "/proc/self/mem");
        FAIL() << "no error";
    } catch (const qel::FileError& error) {
        EXPECT_EQ(std::string(error.what()), "I/O error " + std::to_string(EIO));
        EXPECT_EQ(error.line(), 1u);
    }
}

}  // namespace

namespace {

using namespace std::string_literals;

struct EncodingCase {
    const char* name;
    std::string text;
    const char* outFile;  // nullptr: refused as UTF-16
};

void PrintTo(const EncodingCase& value, std::ostream* os)
{
    *os << value.name;
}

class Encodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(Encodings, OnlyEightBitTextIsReadAndAUtf8MarkIsSkipped)
{
    const ReadResult r = Read(GetParam().text);
    if (GetParam().outFile == nullptr) {
        ASSERT_TRUE(r.error);
        EXPECT_EQ(*r.error, "The text is UTF-16 text; definition files are 8-bit text");
        EXPECT_EQ(r.doc.outFile(), "");
    } else {
        EXPECT_FALSE(r.error);
        EXPECT_EQ(r.doc.outFile(), GetParam().outFile);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Encodings,
                         ::testing::Values(EncodingCase{"Utf8MarkSkipped", "\xEF\xBB\xBFOutFile=x\r\n", "x"},
                                           EncodingCase{"Utf16LittleEndianMark", "\xFF\xFEO\0u\0"s, nullptr},
                                           EncodingCase{"Utf16BigEndianMark", "\xFE\xFF\0O\0u"s, nullptr},
                                           EncodingCase{"Utf16LittleEndianWithoutMark", "O\0u\0t\0\r\0\n\0"s, nullptr},
                                           EncodingCase{"Utf16BigEndianWithoutMark", "\0O\0u\0t\0\r\0\nx"s, nullptr},
                                           EncodingCase{"NulBytesAfterTheFirstLine", "OutFile=a\r\n\0b\0c\r\n"s, "a"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IgnoredCase {
    const char* name;
    const char* text;
    std::vector<std::size_t> lines;  // the ignored lines, in order
};

void PrintTo(const IgnoredCase& value, std::ostream* os)
{
    *os << value.name;
}

class IgnoredLines : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(IgnoredLines, AreTheLinesOutsideSectionsThatCarrySomething)
{
    std::vector<std::size_t> seen;
    qel::ReadReport report;
    report.onIgnoredLine = [&seen](std::size_t line, std::string_view) { seen.push_back(line); };
    DefinitionDocument doc;
    try {
        qel::ReadDefinitionBytes(doc, GetParam().text, 0, &report);
    } catch (const qel::Error&) {
    }
    EXPECT_EQ(seen, GetParam().lines);
    EXPECT_EQ(report.ignoredLines, seen.size());
    EXPECT_EQ(report.firstIgnoredLine, seen.empty() ? 0 : seen.front());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IgnoredLines,
    ::testing::Values(
        IgnoredCase{"CommentsKeysAndBlankLines", ";a\nOutFile=x\nfile=y\n  \t\n\n;b\n", {}},
        IgnoredCase{"HeaderWithALeadingSpace", "OutFile=x\n [mapobjects]\n1,2,IMAGE0\n", {2, 3}},
        IgnoredCase{"UnknownSectionBeforeTheFirst", "[unknown]\n1,2\n[mapobjects]\n3,4,IMAGE0\n", {1, 2}},
        IgnoredCase{"TextAfterAUtf8Mark", "\xEF\xBB\xBFhello\n", {1}},
        IgnoredCase{"InsideASectionNothing", "[screenobjects]\nabc\n[unknown]\n", {}},
        IgnoredCase{"CountedUpToAFailure", "x\n[mapobjects]\nbad\n", {1}},
        IgnoredCase{"TextAfterAHeader", "[mapobjects]1,2,IMAGE0\n3,4,IMAGE0\n[Screenobjects];c\n", {1, 3}},
        IgnoredCase{"SpacesAfterAHeader", "[objectimages] \t\n", {}},
        IgnoredCase{
            "HeaderThenCarriageReturnInALineFeedFile", "[mapobjects]\r8136,8232,IMAGE0,BelowAll,ShowAlways\r\n", {1}},
        IgnoredCase{"CarriageReturnLinesNumbered", ";c\rstray\r[mapobjects]\r1,2,IMAGE0\r", {2}}),
    [](const auto& info) { return std::string(info.param.name); });

// A file with enough entry lines to be taken apart on two threads must read
// exactly as a single pass would: stopping at the first failure, keeping
// nothing after it, and telling only the ignored lines before it.
struct LargeCase {
    const char* name;
    std::size_t failingRow;  // the map row that cannot be taken apart; past the end for none
    bool imageErrorAfter;    // an image line that fails after the map rows
};

void PrintTo(const LargeCase& value, std::ostream* os)
{
    *os << value.name;
}

class LargeFiles : public ::testing::TestWithParam<LargeCase> {};

TEST_P(LargeFiles, ReadAsASinglePassWould)
{
    constexpr std::size_t kRows = 100000;
    // Lines long enough that starting over compacts the list.
    const std::string tail = ",2,IMAGE0,AfterTiles,ShowAlways,0,7," + std::string(40, 'p');
    std::string text = "stray\n[mapobjects]\n";
    for (std::size_t row = 0; row < kRows; ++row)
        text += row == GetParam().failingRow ? "1,bad\n" : std::to_string(row) + tail + "\n";
    text += "[objectimages]\nIMAGE0=a.bmp\n";
    if (GetParam().imageErrorAfter)
        text += "IMAGEx=b.bmp\n";
    text += "[screenobjects] late stray\nOutFile=late\n";
    std::vector<std::size_t> told;
    qel::ReadReport report;
    report.onIgnoredLine = [&told](std::size_t line, std::string_view) { told.push_back(line); };
    DefinitionDocument doc;
    std::optional<std::string> error;
    std::size_t errorLine = 0;
    try {
        qel::ReadDefinitionBytes(doc, text, 0, &report);
    } catch (const qel::Error& failure) {
        error = failure.what();
        errorLine = failure.line();
    }
    const qel::ObjectList& map = doc.mapObjects();
    if (GetParam().failingRow < kRows) {
        EXPECT_EQ(error, "'bad' is not a valid integer value");
        EXPECT_EQ(errorLine, GetParam().failingRow + 3);
        EXPECT_EQ(map.size(), GetParam().failingRow + 1);
        EXPECT_EQ(map.takenApart(), GetParam().failingRow);
        EXPECT_EQ(map.line(0), "0" + tail) << "read again into bytes the list still holds";
        EXPECT_EQ(doc.imageCount(), 0);
        EXPECT_EQ(told, (std::vector<std::size_t>{1}));
        EXPECT_EQ(doc.outFile(), "");
    } else {
        EXPECT_EQ(map.size(), kRows);
        EXPECT_EQ(map.takenApart(), kRows);
        EXPECT_EQ(map.fields(kRows - 1).x, static_cast<int>(kRows - 1));
        EXPECT_EQ(doc.imageCount(), 1);
        if (GetParam().imageErrorAfter) {
            EXPECT_EQ(error, "'x' is not a valid integer value");
            EXPECT_EQ(errorLine, kRows + 5);
            EXPECT_EQ(told, (std::vector<std::size_t>{1}));
        } else {
            EXPECT_FALSE(error) << *error;
            EXPECT_EQ(told, (std::vector<std::size_t>{1, kRows + 5}));
            EXPECT_EQ(doc.outFile(), "late");
        }
    }
    EXPECT_EQ(report.ignoredLines, told.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, LargeFiles,
                         ::testing::Values(LargeCase{"Clean", 100000, false},
                                           LargeCase{"FailureInTheFirstHalf", 10, false},
                                           LargeCase{"FailureInTheSecondHalf", 99999, false},
                                           LargeCase{"FailureAtTheMiddle", 50000, true},
                                           LargeCase{"ImageFailureAfterCleanRows", 100000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Entry line numbers are kept as runs; every break in the run (a comment, an
// empty line, another section between entries) must still give each row its
// own line, read by row and as a whole.
struct EntryLinesCase {
    const char* name;
    std::string text;
    std::vector<std::size_t> map;
    std::vector<std::size_t> screen;
};

class EntryLines : public testing::TestWithParam<EntryLinesCase> {};

TEST_P(EntryLines, GiveEachRowItsLine)
{
    DefinitionDocument doc;
    qel::SourceLines lines;
    qel::ReadReport report;
    report.lines = &lines;
    qel::ReadDefinitionBytes(doc, GetParam().text, 0, &report);
    for (const auto& [kept, expected] :
         {std::pair{&lines.mapObjects, GetParam().map}, std::pair{&lines.screenObjects, GetParam().screen}}) {
        std::vector<std::size_t> byRow;
        for (std::size_t row = 0; row < kept->size(); ++row)
            byRow.push_back((*kept)[row]);
        EXPECT_EQ(byRow, expected);
        EXPECT_EQ(kept->all(), expected);
        if (!expected.empty()) {
            EXPECT_EQ(kept->back(), expected.back());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryLines,
    testing::Values(EntryLinesCase{"None", "[mapobjects]\n;c\n\n", {}, {}},
                    EntryLinesCase{"OneRun", "[mapobjects]\n1,1\n2,2\n3,3\n", {2, 3, 4}, {}},
                    EntryLinesCase{"BrokenEveryRow", "[mapobjects]\n1,1\n;c\n2,2\n\n3,3\n;c\n", {2, 4, 6}, {}},
                    EntryLinesCase{"Interleaved",
                                   "[mapobjects]\n1,1\n[screenobjects]\n1,1\n[mapobjects]\n2,2\n3,3\n",
                                   {2, 6, 7},
                                   {4}},
                    EntryLinesCase{"AfterHeaderLater", "OutFile=a\n\n[screenobjects]\n\n1,1\n1,2\n", {}, {5, 6}}),
    [](const auto& info) { return std::string(info.param.name); });
