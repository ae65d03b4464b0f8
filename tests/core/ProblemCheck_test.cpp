#include "core/ProblemCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "core/DefinitionReader.h"
#include "core/Errors.h"

namespace {

using qel::PictureFacts;

// The disk of a test: files by path; a picture is decodable when it has a size.
class FakeDisk : public qel::CheckEnvironment {
public:
    std::set<std::string> files;
    std::map<std::string, PictureFacts> pictures;
    std::vector<std::string> decoded;

    bool fileExists(const std::string& path) override { return files.contains(path) || pictures.contains(path); }
    bool isFolder(const std::string& path) override { return path.ends_with(".d"); }
    PictureFacts picture(const std::string& path) override
    {
        decoded.push_back(path);
        const auto found = pictures.find(path);
        return found != pictures.end() ? found->second : PictureFacts{true, false, 0, 0, "Unsupported image format"};
    }
};

const std::string kFolder = "/defs/";

PictureFacts Picture(int width, int height)
{
    return PictureFacts{true, true, width, height, {}};
}

const PictureFacts kCorrupt{true, false, 0, 0, "Unable to read image data"};

struct CheckCase {
    const char* name;
    std::string text;
    std::map<std::string, PictureFacts> pictures;  // bare names in the folder
    std::vector<std::string> expected;             // "LINE code", in file order
    std::string message = {};                      // one of the messages, exactly
};

void PrintTo(const CheckCase& value, std::ostream* os)
{
    *os << value.name;
}

class ProblemCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(ProblemCheck, FindsEachProblemAtItsLine)
{
    const CheckCase& c = GetParam();
    FakeDisk disk;
    disk.files = {kFolder + "bell.wav", "/abs/a.bmp"};
    for (const auto& [name, facts] : c.pictures)
        disk.pictures[name.starts_with("/") ? name : kFolder + name] = facts;

    qel::DefinitionDocument doc;
    qel::SourceLines lines;
    qel::ReadReport report;
    report.lines = &lines;
    std::optional<qel::Error> failure;
    try {
        qel::ReadDefinitionBytes(doc, c.text, 0, &report);
    } catch (const qel::Error& error) {
        failure = error;
    }
    doc.setDocumentFolder(kFolder);
    const std::uint64_t changes = doc.changeCount();
    const std::vector<qel::Problem> problems = qel::CheckDocument(doc, disk, &lines, {failure ? &*failure : nullptr});

    std::vector<qel::Problem> sorted = problems;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    std::vector<std::string> found;
    bool messageSeen = c.message.empty();
    for (const qel::Problem& problem : sorted) {
        found.push_back(std::to_string(problem.line) + " " + problem.code);
        messageSeen |= problem.message == c.message;
    }
    EXPECT_EQ(found, c.expected);
    EXPECT_TRUE(messageSeen) << "no message '" << c.message << "'";
    // Each picture is decoded once, however many images name it, and the
    // document stays as it was.
    std::vector<std::string> once = disk.decoded;
    std::sort(once.begin(), once.end());
    EXPECT_EQ(std::unique(once.begin(), once.end()), once.end());
    EXPECT_EQ(doc.changeCount(), changes);
}

const std::string kHead = "OutFile=p.pkg\nFile=a.png\n[objectimages]\nIMAGE0=a.png,2,1,100\n[mapobjects]\n";

INSTANTIATE_TEST_SUITE_P(
    Definitions, ProblemCheck,
    testing::Values(
        CheckCase{"Good", kHead + "0,16384,IMAGE0\n[screenobjects]\n5,C5,IMAGE0\n", {{"a.png", Picture(32, 16)}}, {}},
        CheckCase{"Empty", "", {}, {"0 outfile-missing"}, "No OutFile given"},
        CheckCase{"FileMissingAndDuplicate",
                  "OutFile=p\nFile=gone.wav\nFile=bell.wav\nFile=gone.wav\nFile=/abs/a.bmp\n",
                  {},
                  {"2 file-missing", "4 file-duplicate"},
                  "File 'gone.wav' does not exist"},
        CheckCase{"AFolderIsNamedAsAFolderNotAsMissing",
                  "OutFile=p\nFile=sub.d\nFile=art.d\n[objectimages]\nIMAGE1=art.d\n[mapobjects]\n1,1,IMAGE1\n",
                  {},
                  {"2 file-not-regular", "3 file-not-regular", "5 image-unreadable"},
                  "IMAGE1's picture 'art.d' is a folder"},
        CheckCase{"ImageDuplicateAtTheLaterOne",
                  kHead + "1,1,IMAGE0\n[objectimages]\nIMAGE0=gone.png\n",
                  {{"a.png", Picture(32, 16)}},
                  {"8 image-duplicate"}},
        CheckCase{"ImageNoFileIsNothingElse",
                  "OutFile=p\n[objectimages]\nIMAGE3=,1,1,1\n[mapobjects]\n1,1,IMAGE3\n",
                  {},
                  {"3 image-no-file"}},
        CheckCase{"ImageFileMissingIsNotAlsoUnlisted",
                  "OutFile=p\n[objectimages]\nIMAGE3=flag.jpg\n[screenobjects]\n1,1,IMAGE3\n",
                  {},
                  {"3 image-file-missing"},
                  "IMAGE3's picture 'flag.jpg' does not exist"},
        CheckCase{"UnlistedUnlessNamedAsWrittenOrAsANamePart",
                  "OutFile=p\nFile=pics/b.png\nFile=c.png\n[objectimages]\nIMAGE0=a.png\nIMAGE1=b.png\n"
                  "IMAGE2=pics/c.png\n[mapobjects]\n1,1,IMAGE0\n1,1,IMAGE1\n1,1,IMAGE2\n",
                  {{"a.png", Picture(1, 1)},
                   {"b.png", Picture(1, 1)},
                   {"pics/c.png", Picture(1, 1)},
                   {"pics/b.png", Picture(1, 1)},
                   {"c.png", Picture(1, 1)}},
                  {"5 image-file-unlisted", "7 image-file-unlisted"}},
        CheckCase{"UnreadableAndUnlistedBothHold",
                  "OutFile=p\n[objectimages]\nIMAGE0=bell.wav\nIMAGE1=bad.png,2,2,1\n[mapobjects]\n1,1,IMAGE0\n"
                  "1,1,IMAGE1\n",
                  {{"bad.png", kCorrupt}},
                  {"3 image-unreadable", "3 image-file-unlisted", "4 image-unreadable", "4 image-file-unlisted"},
                  "IMAGE1's picture 'bad.png' cannot be decoded: Unable to read image data"},
        CheckCase{"TilesUnevenOnEitherSideOnly",
                  "OutFile=p\nFile=a.png\n[objectimages]\nIMAGE0=a.png,3,1,1\nIMAGE1=a.png,1,5,1\nIMAGE2=a.png,0,-1,1\n"
                  "IMAGE3=a.png,32,16,1\n[mapobjects]\n1,1,IMAGE0\n1,1,IMAGE1\n1,1,IMAGE2\n1,1,IMAGE3\n",
                  {{"a.png", Picture(32, 16)}},
                  {"4 image-tiles-uneven", "5 image-tiles-uneven"},
                  "IMAGE1's 1 x 5 tiles do not divide its picture of 32 x 16 pixels"},
        CheckCase{"UnusedIsReportedOnceAtTheFirstDefinition",
                  "OutFile=p\nFile=a.png\n[objectimages]\nIMAGE0=a.png\nIMAGE0=a.png\nIMAGE1=a.png\n"
                  "[screenobjects]\n1,1,IMAGE1\n",
                  {{"a.png", Picture(4, 4)}},
                  {"4 image-unused", "5 image-duplicate"}},
        CheckCase{"ObjectImageUndefinedInBothLists",
                  kHead + std::string(11, '\n') + "1,1,IMAGE0\n" + std::string(10, '\n') + "1,1,IMAGE0\n1,1,IMAGE7\n"
                      + "[screenobjects]\n1,1\n",
                  {{"a.png", Picture(32, 16)}},
                  {"29 object-image-undefined", "31 object-image-undefined"},
                  "Map object 3 uses IMAGE7, which is not defined"},
        CheckCase{
            "OffMapAtEachEdge",
            kHead + "-1,0,IMAGE0\n0,16385,IMAGE0\n16384,0,IMAGE0\n99999,-5,IMAGE9\n[screenobjects]\n-1,99999,IMAGE0\n",
            {{"a.png", Picture(32, 16)}},
            {"6 object-off-map", "7 object-off-map", "9 object-image-undefined", "9 object-off-map"},
            "Map object 1 lies off the map at -1,0 (0 to 16384 on each axis)"},
        CheckCase{"UnreadableObjectStopsTheReadAndIsReportedOnce",
                  kHead + "1,1,IMAGE0\n1,1,IMAGE0,Sideways\n1,1,IMAGE5\n",
                  {{"a.png", Picture(32, 16)}},
                  {"7 object-unreadable"},
                  "Map object 2 cannot be read: 'sideways' is not a valid integer value"},
        CheckCase{"UnreadableImageLineStopsTheRead",
                  "File=gone.png\n[objectimages]\nIMAGE0=a.png\nIMAGE1=b.png,x\nIMAGE2=c.png\n",
                  {{"a.png", Picture(32, 16)}},
                  {"1 file-missing", "4 read-failed"},
                  "'x' is not a valid integer value"},
        CheckCase{"ReadProblems",
                  ";first\nOutFile=\nstray words\n\n \t\n[mapobjects]\n;second\n",
                  {},
                  {"1 comment-dropped", "2 outfile-missing", "3 ignored-line"},
                  "2 comment lines are not kept when the file is saved"},
        CheckCase{"AbsolutePathsStandAlone",
                  "OutFile=p\nFile=/abs/a.bmp\n[objectimages]\nIMAGE0=/abs/a.bmp\n[mapobjects]\n1,1,IMAGE0\n",
                  {{"/abs/a.bmp", Picture(8, 8)}},
                  {}}));

TEST(ProblemCheckRows, AnEditedListIsCheckedRowByRowWithoutLines)
{
    // An edit leaves rows past an unreadable line without fields; each is
    // taken apart on its own, so one bad row hides nothing after it.
    qel::ObjectList list(qel::ObjectKind::Screen);
    try {
        list.appendLines({"1,1,IMAGE0", "1,1,IMAGEx", "1,1,IMAGE4"});
    } catch (const qel::ConversionError&) {
    }
    ASSERT_EQ(list.takenApart(), 1u);
    const qel::ImageIndex images(std::vector<qel::ObjectImage>{{0, "a.png"}, {-2000000000, "b.png"}});
    std::vector<qel::Problem> problems;
    for (std::size_t row = 0; row < list.size(); ++row)
        qel::CheckObjectRow(list, row, images, 0, problems);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].code, "object-unreadable");
    EXPECT_EQ(problems[0].place, qel::ProblemPlace::ScreenObjects);
    EXPECT_EQ(problems[0].row, 1u);
    EXPECT_EQ(problems[1].message, "Screen object 3 uses IMAGE4, which is not defined");
    EXPECT_TRUE(images.defines(-2000000000));  // a range too wide for the table
}

}  // namespace
