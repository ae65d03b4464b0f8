// Runs the built qeltool as a user would, on files written to a private
// temporary folder, and checks its output, its files and its exit status.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

// A Windows bitmap of `width` x `height` black pixels, 24 bits a pixel.
std::string Bitmap(int width, int height)
{
    const int row = (width * 3 + 3) / 4 * 4;
    const int size = 54 + row * height;
    std::string bytes = "BM";
    auto put = [&bytes](long value, int count) {
        for (int i = 0; i < count; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(size, 4), put(0, 4), put(54, 4);
    put(40, 4), put(width, 4), put(height, 4), put(1, 2), put(24, 2), put(0, 4), put(row * height, 4);
    bytes.append(16, '\0');  // resolution and palette counts
    bytes.append(static_cast<std::size_t>(row * height), '\0');
    return bytes;
}

class QelTool : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "qeltool-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    fs::path file(const std::string& name) const { return dir_ / name; }

    fs::path write(const std::string& name, const std::string& bytes) const
    {
        const fs::path path = file(name);
        WriteFile(path, bytes);
        return path;
    }

    struct RunOptions {
        std::string input = "/dev/null";  // standard input
        bool closeOutput = false;         // start with standard output closed
        rlim_t addressSpace = 0;          // memory limit; 0 for none
    };

    // Runs qeltool in the temporary folder with standard output and error
    // captured in files there.
    Outcome run(const std::vector<std::string>& args, const RunOptions& options) const
    {
        const std::string outPath = (dir_ / ".stdout").string();
        const std::string errPath = (dir_ / ".stderr").string();
        std::vector<std::string> argStore;
        argStore.push_back(QELTOOL_PATH);
        argStore.insert(argStore.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : argStore)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            auto place = [](const std::string& path, int flags, int target) {
                const int fd = ::open(path.c_str(), flags, 0600);
                if (fd < 0 || ::dup2(fd, target) < 0)
                    ::_exit(127);
                ::close(fd);
            };
            // Relative names stay in the temporary folder.
            if (::chdir(dir_.c_str()) != 0)
                ::_exit(127);
            place(options.input, O_RDONLY, 0);
            place(errPath, O_WRONLY | O_CREAT | O_TRUNC, 2);
            if (options.closeOutput)
                ::close(1);
            else
                place(outPath, O_WRONLY | O_CREAT | O_TRUNC, 1);
            if (options.addressSpace != 0) {
                const struct rlimit limit = {options.addressSpace, options.addressSpace};
                ::setrlimit(RLIMIT_AS, &limit);
            }
            ::execv(QELTOOL_PATH, argv.data());
            ::_exit(127);
        }
        Outcome outcome;
        if (pid < 0) {
            ADD_FAILURE() << "cannot start " << QELTOOL_PATH;
            return outcome;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        outcome.out = ReadFile(outPath);
        outcome.err = ReadFile(errPath);
        return outcome;
    }

    Outcome run(const std::vector<std::string>& args) const { return run(args, RunOptions{}); }

    fs::path dir_;
};

// The writer's example file, in the writer's layout.
const std::string kExample =
    "OutFile=example\r\n"
    "\r\n"
    "File=ship.bmp\r\n"
    "\r\n"
    "[objectimages]\r\n"
    "IMAGE0=ship.bmp,4,2,100\r\n"
    "\r\n"
    "[mapobjects]\r\n"
    "100,200,IMAGE0,AfterTiles,ShowAlways\r\n"
    "300,200,IMAGE0,AfterTiles,ShowAlways,0,7\r\n";

TEST_F(QelTool, DumpPrintsTheWholeDocument)
{
    write("example.ini", kExample + "\r\n[screenobjects]\r\n 5,abc,image2,TOPMOST,kill\r\n");
    const Outcome result = run({"dump", "example.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "{\"outFile\":\"example\",\n"
              "\"files\":[\"ship.bmp\"],\n"
              "\"images\":[\n"
              "{\"number\":0,\"file\":\"ship.bmp\",\"xTiles\":4,\"yTiles\":2,\"aniTime\":100}\n"
              "],\n"
              "\"mapObjects\":[\n"
              "{\"line\":\"100,200,IMAGE0,AfterTiles,ShowAlways\",\"x\":\"100\",\"y\":\"200\",\"image\":0,"
              "\"layer\":2,\"mode\":0,\"displayTime\":-1,\"objectId\":-1},\n"
              "{\"line\":\"300,200,IMAGE0,AfterTiles,ShowAlways,0,7\",\"x\":\"300\",\"y\":\"200\",\"image\":0,"
              "\"layer\":2,\"mode\":0,\"displayTime\":0,\"objectId\":7}\n"
              "],\n"
              "\"screenObjects\":[\n"
              "{\"line\":\" 5,abc,image2,TOPMOST,kill\",\"x\":\" 5\",\"y\":\"abc\",\"image\":2,"
              "\"layer\":7,\"mode\":3,\"displayTime\":-1,\"objectId\":-1}\n"
              "],\n"
              "\"error\":null,\n"
              "\"errorLine\":null}\n");
}

TEST_F(QelTool, DumpOfAnEmptyFile)
{
    write("empty.ini", "");
    const Outcome result = run({"dump", "empty.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "{\"outFile\":\"\",\n\"files\":[],\n\"images\":[],\n\"mapObjects\":[],\n"
              "\"screenObjects\":[],\n\"error\":null,\n\"errorLine\":null}\n");
}

struct DumpCase {
    const char* name;
    std::string input;
    int exitCode;
    std::vector<std::string> fragments;  // each must appear in the JSON
};

void PrintTo(const DumpCase& value, std::ostream* os)
{
    *os << value.name;
}

class QelToolDump : public QelTool, public testing::WithParamInterface<DumpCase> {};

TEST_P(QelToolDump, ShowsTheDocumentAsTheEditorReadsIt)
{
    write("case.ini", GetParam().input);
    const Outcome result = run({"dump", "case.ini"});
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_EQ(result.err, "");
    for (const std::string& fragment : GetParam().fragments)
        EXPECT_NE(result.out.find(fragment), std::string::npos) << "missing: " << fragment << "\nin:\n" << result.out;
}

const std::string kClean = "\"error\":null,\n\"errorLine\":null}\n";

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, QelToolDump,
    testing::Values(
        DumpCase{"HighBytesAsLatin1",
                 "OutFile=\x80\xe9\xff\r\nFile=\xa0.bmp\r\n[screenobjects]\r\n\xe9,\xff\r\n",
                 0,
                 {"{\"outFile\":\"\xc2\x80\xc3\xa9\xc3\xbf\"", "\"files\":[\"\xc2\xa0.bmp\"]",
                  "\"line\":\"\xc3\xa9,\xc3\xbf\",\"x\":\"\xc3\xa9\",\"y\":\"\xc3\xbf\"", kClean}},
        DumpCase{"ControlBytesEscaped", "OutFile=a\x01\tb\"\\\r\n", 0, {"{\"outFile\":\"a\\u0001\\u0009b\\\"\\\\\""}},
        DumpCase{"NulKeptInTheError",
                 "[mapobjects]\r\n1,2,IMAGE0\0,BelowAll\r\n"s,
                 1,
                 {"\"error\":\"'0\\u0000' is not a valid integer value\",\n\"errorLine\":2}"}},
        DumpCase{"ConversionErrorStopsAtItsLine",
                 "OutFile=x\r\n[mapobjects]\r\n1,2,IMAGE0\r\n;comment\r\n1,2,IMAGE0,AfterTile\r\n3,4,IMAGE0\r\n",
                 1,
                 {"{\"line\":\"1,2,IMAGE0\",\"x\":\"1\",\"y\":\"2\",\"image\":0,\"layer\":-1",
                  // The failing line is listed, without fields; the one after it never read.
                  "{\"line\":\"1,2,IMAGE0,AfterTile\",\"x\":null,\"y\":null,\"image\":null,\"layer\":null,"
                  "\"mode\":null,\"displayTime\":null,\"objectId\":null}\n],",
                  "\"error\":\"'aftertile' is not a valid integer value\",\n\"errorLine\":5}\n"}},
        DumpCase{"ImageKeyErrorShowsTheTextAsWritten",
                 "[objectimages]\nIMAGE0=a\nImAgE5X =b\n",
                 1,
                 {"\"images\":[\n{\"number\":0,\"file\":\"a\"",
                  "\"error\":\"'5X ' is not a valid integer value\",\n\"errorLine\":3}"}},
        DumpCase{"ImageKeyTooShort",
                 "[objectimages]\nIMG5=a.bmp\n",
                 1,
                 {"\"images\":[],", "\"error\":\"'' is not a valid integer value\",\n\"errorLine\":2}"}},
        DumpCase{"ImageNumbers",
                 "[objectimages]\nIMAGE007=a.bmp\nIMAGE 5=b.bmp,0,0,0\nimage1=pics\\c.gif\n",
                 0,
                 {"{\"number\":7,\"file\":\"a.bmp\",\"xTiles\":-1,\"yTiles\":-1,\"aniTime\":-1}",
                  "{\"number\":5,\"file\":\"b.bmp\",\"xTiles\":0,\"yTiles\":0,\"aniTime\":0}",
                  "{\"number\":1,\"file\":\"pics\\\\c.gif\",\"xTiles\":-1", kClean}},
        DumpCase{
            "HeadersInAnyCaseWithTrailingText",
            "[MapObjects] ; the background\n1,2,IMAGE0\n [screenobjects]\n",
            1,
            {"{\"line\":\"1,2,IMAGE0\",\"x\":\"1\"", "\"error\":\"' [screenobjects]' is not a valid integer value\""}},
        DumpCase{"KeysByTheirFirstCharacters",
                 "outfileXpak\nFiles=abc\nFILE\nsome text before any header\n",
                 0,
                 {"{\"outFile\":\"pak\"", "\"files\":[\"=abc\",\"\"]", "\"screenObjects\":[],", kClean}},
        DumpCase{
            "OutFileLineInScreenSection",
            "OutFile=a\n[screenobjects]\nOutFile=b,7\n",
            0,
            {"{\"outFile\":\"b,7\"", "{\"line\":\"OutFile=b,7\",\"x\":\"OutFile=b\",\"y\":\"7\",\"image\":-1", kClean}},
        DumpCase{"SpacesOnlyScreenLine",
                 "[screenobjects]\n   \n\n",
                 0,
                 {"{\"line\":\"   \",\"x\":\"   \",\"y\":\"-1\",\"image\":-1,\"layer\":-1,\"mode\":-1,"
                  "\"displayTime\":-1,\"objectId\":-1}",
                  kClean}},
        DumpCase{"MapFieldsNormalisedLineKept",
                 "[mapobjects]\n 10,$10,image3,3,servercontrolled,0x10,-5",
                 0,
                 {"{\"line\":\" 10,$10,image3,3,servercontrolled,0x10,-5\",\"x\":\"10\",\"y\":\"16\",\"image\":3,"
                  "\"layer\":3,\"mode\":5,\"displayTime\":16,\"objectId\":-5}",
                  kClean}},
        DumpCase{"RepeatedSectionsMergeInFileOrder",
                 "[mapobjects]\r\n1,1,IMAGE0\r\n[screenobjects]\r\n9,9\r\n[MAPOBJECTS]\r\n2,2,IMAGE0",
                 0,
                 {"\"mapObjects\":[\n{\"line\":\"1,1,IMAGE0\"", "},\n{\"line\":\"2,2,IMAGE0\"", kClean}}),
    [](const testing::TestParamInfo<DumpCase>& info) { return info.param.name; });

TEST_F(QelTool, DumpOfAMissingFile)
{
    const Outcome result = run({"dump", "missing.ini"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "{\"outFile\":\"\",\n\"files\":[],\n\"images\":[],\n\"mapObjects\":[],\n"
              "\"screenObjects\":[],\n\"error\":\"File not found\",\n\"errorLine\":null}\n");
}

const std::string kMessy =
    "; made by hand\n"
    "outfile=pack\n"
    "file:b.wav\n"
    "[screenobjects] \t\n"
    "1,2\n"
    ";c\n"
    "[objectimages]\n"
    "image01=a.bmp,1,1,0,extra\n"
    "IMAGE2=b.\xe9mp,2,3,40\n"
    "\n"
    "[mapobjects]\n"
    "5,6,IMAGE1\n"
    "[screenobjects]\n"
    "3,4";

const std::string kMessyFormatted =
    "OutFile=pack\r\n"
    "\r\n"
    "File=b.wav\r\n"
    "\r\n"
    "[objectimages]\r\n"
    "IMAGE1=a.bmp\r\n"
    "IMAGE2=b.\xe9mp,2,3,40\r\n"
    "\r\n"
    "[mapobjects]\r\n"
    "5,6,IMAGE1\r\n"
    "\r\n"
    "[screenobjects]\r\n"
    "1,2\r\n"
    "3,4\r\n";

TEST_F(QelTool, FormatInPlaceWritesTheEditorsLayout)
{
    write("messy.ini", kMessy);
    const Outcome result = run({"format", "messy.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(file("messy.ini")), kMessyFormatted);
    // Formatting what is already in the layout changes nothing.
    EXPECT_EQ(run({"format", "messy.ini"}).exitCode, 0);
    EXPECT_EQ(ReadFile(file("messy.ini")), kMessyFormatted);
}

TEST_F(QelTool, FormatToAnotherFileLeavesTheSourceAlone)
{
    write("messy.ini", kMessy);
    write("old.ini", "previous content");
    for (const auto& args : std::vector<std::vector<std::string>>{{"format", "messy.ini", "-o", "out.ini"},
                                                                  {"format", "-o", "old.ini", "messy.ini"}}) {
        const Outcome result = run(args);
        EXPECT_EQ(result.exitCode, 0) << args[2];
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(ReadFile(file("messy.ini")), kMessy);
    EXPECT_EQ(ReadFile(file("out.ini")), kMessyFormatted);
    EXPECT_EQ(ReadFile(file("old.ini")), kMessyFormatted);
}

TEST_F(QelTool, FormatWritesNothingWhenReadingFails)
{
    const std::string bad = "OutFile=x\r\n[mapobjects]\r\n1,2,IMAGE0\r\n1,2,IMAGE0,BelowAll \r\n";
    write("bad.ini", bad);
    write("target.ini", "keep me");
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"format", "bad.ini"}, "bad.ini:4: 'belowall ' is not a valid integer value\n"},
        {{"format", "bad.ini", "-o", "target.ini"}, "bad.ini:4: 'belowall ' is not a valid integer value\n"},
        {{"format", "bad.ini", "-o", "new.ini"}, "bad.ini:4: 'belowall ' is not a valid integer value\n"},
        {{"format", "missing.ini", "-o", "target.ini"}, "missing.ini: File not found\n"},
    };
    for (const Case& c : cases) {
        const Outcome result = run(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.args.back();
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(ReadFile(file("bad.ini")), bad);
    EXPECT_EQ(ReadFile(file("target.ini")), "keep me");
    EXPECT_FALSE(fs::exists(file("new.ini")));
    EXPECT_FALSE(fs::exists(file("missing.ini")));
}

TEST_F(QelTool, FormatReportsAWriteFailure)
{
    write("good.ini", kExample);
    const Outcome result = run({"format", "good.ini", "-o", "no-such-folder/out.ini"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind("no-such-folder/out.ini: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(file("no-such-folder")));
}

TEST_F(QelTool, CheckReportsEveryFailingFile)
{
    write("good.ini", kExample);
    write("ship.bmp", Bitmap(4, 2));
    write("messy.ini", kMessy);
    write("bad.ini", "[objectimages]\nIMAGE0=a.bmp,1,x,3\n");
    write("badmap.ini", "[mapobjects]\n\n;\n ;not a comment\n");
    struct Case {
        std::vector<std::string> files;
        int exitCode;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"good.ini"}, 0, ""},
        {{"bad.ini"}, 1, "bad.ini:2: error: 'x' is not a valid integer value [read-failed]\n"},
        {{"good.ini", "bad.ini", "missing.ini", "badmap.ini", "messy.ini"},
         1,
         "bad.ini:2: error: 'x' is not a valid integer value [read-failed]\n"
         "missing.ini: error: File not found [read-failed]\n"
         "badmap.ini:4: error: Map object 1 cannot be read: ' ;not a comment' is not a valid integer value "
         "[object-unreadable]\n"
         "messy.ini:3: error: File 'b.wav' does not exist [file-missing]\n"
         "messy.ini:5: error: Screen object 1 uses IMAGE-1, which is not defined [object-image-undefined]\n"
         "messy.ini:8: error: IMAGE1's picture 'a.bmp' does not exist [image-file-missing]\n"
         "messy.ini:9: error: IMAGE2's picture 'b.\xe9mp' does not exist [image-file-missing]\n"
         "messy.ini:14: error: Screen object 2 uses IMAGE-1, which is not defined [object-image-undefined]\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const Outcome result = run(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.files.size();
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(QelTool, UsageErrorsExitWithTwo)
{
    write("good.ini", kExample);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "good.ini"},
        {"dump"},
        {"dump", "good.ini", "good.ini"},
        {"dump", "-x", "good.ini"},
        {"dump", "good.ini", "-o", "out.ini"},
        {"format"},
        {"format", "good.ini", "-o"},
        {"format", "good.ini", "-o", "a.ini", "-o", "b.ini"},
        {"format", "good.ini", "other.ini"},
        {"check"},
        {"check", "--bogus", "good.ini"},
    };
    for (const auto& args : cases) {
        const Outcome result = run(args);
        const std::string shown = args.empty() ? "(none)" : args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(result.exitCode, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(result.err.rfind("qeltool: ", 0), 0u) << shown;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << shown << ": " << result.err;
    }
    EXPECT_FALSE(fs::exists(file("out.ini")));
    EXPECT_FALSE(fs::exists(file("a.ini")));
    EXPECT_EQ(ReadFile(file("good.ini")), kExample);
}

TEST_F(QelTool, HelpForTheCommandAndEachVerb)
{
    struct Case {
        std::vector<std::string> args;
        std::string firstLine;
    };
    const std::vector<Case> cases = {
        {{"--help"}, "Usage: qeltool VERB [ARGS]\n"},
        {{"--version"}, "qeltool 2.2\n"},
        {{"-h"}, "Usage: qeltool VERB [ARGS]\n"},
        {{"dump", "--help"}, "Usage: qeltool dump FILE\n"},
        {{"format", "missing.ini", "-h"}, "Usage: qeltool format FILE [-o OUT] [--drop-ignored]\n"},
        {{"check", "--help"}, "Usage: qeltool check [--strict] [--all] [--json] FILE...\n"},
    };
    for (const Case& c : cases) {
        const Outcome result = run(c.args);
        EXPECT_EQ(result.exitCode, 0) << c.args[0];
        EXPECT_EQ(result.out.substr(0, c.firstLine.size()), c.firstLine);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(QelTool, DoubleDashNamesAFileStartingWithADash)
{
    write("-odd.ini", kExample);
    write("ship.bmp", Bitmap(4, 2));
    const Outcome result = run({"check", "--", "-odd.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

struct CheckCase {
    const char* name;
    std::vector<std::string> args;  // after "check"; each case has the files below
    int exitCode;
    std::string out;
};

void PrintTo(const CheckCase& value, std::ostream* os)
{
    *os << value.name;
}

class QelToolCheck : public QelTool, public testing::WithParamInterface<CheckCase> {};

TEST_P(QelToolCheck, ReportsEveryByteAndEveryIgnoredLine)
{
    write("nul.ini", "[mapobjects]\r\n1,2,IMAGE0\0,BelowAll\r\n"s);
    write("esc.ini", "[mapobjects]\n\x1b[2J\x7f,1\n");
    write("stray.ini", "; made by hand\nOutFile=x\n [mapobjects]\n1,2,IMAGE0\n\n   \n");
    write("bom.ini", "\xEF\xBB\xBFOutFile=x\r\n");
    write("utf16.ini", "\xFF\xFEO\0u\0t\0"s);
    std::vector<std::string> args = {"check"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    RunOptions options;
    options.input = file("stray.ini").string();
    const Outcome result = run(args, options);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_EQ(result.out, GetParam().out);
    EXPECT_EQ(result.err, "");
}

const std::string kStrayWarnings =
    "stray.ini:3: warning: line ignored:  [mapobjects] [ignored-line]\n"
    "stray.ini:4: warning: line ignored: 1,2,IMAGE0 [ignored-line]\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, QelToolCheck,
    testing::Values(
        CheckCase{"NulShownAsBackslashZero",
                  {"nul.ini"},
                  1,
                  "nul.ini:2: error: Map object 1 cannot be read: '0\\0' is not a valid integer value "
                  "[object-unreadable]\n"},
        CheckCase{"ControlBytesShownAsHex",
                  {"esc.ini"},
                  1,
                  "esc.ini:2: error: Map object 1 cannot be read: '\\x1b[2j\\x7f' is not a valid integer value "
                  "[object-unreadable]\n"},
        CheckCase{"IgnoredLinesWarnButPass", {"stray.ini", "bom.ini"}, 0, kStrayWarnings},
        CheckCase{"StrictFailsOnWarnings", {"--strict", "stray.ini"}, 1, kStrayWarnings},
        CheckCase{"Utf16Refused",
                  {"utf16.ini", "bom.ini"},
                  1,
                  "utf16.ini: error: utf16.ini is UTF-16 text; definition files are 8-bit text [read-failed]\n"},
        CheckCase{"StandardInput",
                  {"bom.ini", "-"},
                  0,
                  "(standard input):3: warning: line ignored:  [mapobjects] [ignored-line]\n"
                  "(standard input):4: warning: line ignored: 1,2,IMAGE0 [ignored-line]\n"}),
    [](const testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

struct LeftoverCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::optional<std::string> out;  // not compared when absent
    std::string err;
};

void PrintTo(const LeftoverCase& value, std::ostream* os)
{
    *os << value.name;
}

class QelToolQuotesAndWarns : public QelTool, public testing::WithParamInterface<LeftoverCase> {};

const std::string kDigits200(200, '7');
const std::string kInterrupted =
    "cut.ini: warning: a save of cut.ini was interrupted; its previous content is in cut.ini.qel-backup-Ab12Cd\n";
// check reports it as a problem of the whole file, before the example's own
// (its pictures are not made here).
const std::string kInterruptedProblems =
    "cut.ini: warning: a save of cut.ini was interrupted; its previous content is in cut.ini.qel-backup-Ab12Cd "
    "[save-interrupted]\n"
    "cut.ini:3: error: File 'ship.bmp' does not exist [file-missing]\n"
    "cut.ini:6: error: IMAGE0's picture 'ship.bmp' does not exist [image-file-missing]\n";

TEST_P(QelToolQuotesAndWarns, LongTextsAndCopiesOfInterruptedSaves)
{
    write("long.ini", "[mapobjects]\r\n" + std::string(10'000'000, '7') + "\r\n");
    write("stray.ini", std::string(300, 'x') + "\r\n");
    write("cut.ini", kExample);
    write("cut.ini.qel-backup-Ab12Cd", "OutFile=old\r\n");
    const Outcome result = run(GetParam().args);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    if (GetParam().out) {
        EXPECT_EQ(result.out, *GetParam().out);
    }
    EXPECT_EQ(result.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QelToolQuotesAndWarns,
    testing::Values(
        LeftoverCase{"CheckQuotesTenMillionDigitsShort",
                     {"check", "long.ini"},
                     1,
                     ("long.ini:2: error: Map object 1 cannot be read: '" + kDigits200
                      + "... (10000000 bytes)' is not a valid integer value [object-unreadable]\n"),
                     ""},
        LeftoverCase{"CheckQuotesALongIgnoredLineShort",
                     {"check", "stray.ini"},
                     0,
                     ("stray.ini: warning: No OutFile given [outfile-missing]\nstray.ini:1: warning: line ignored: "
                      + std::string(200, 'x') + "... (300 bytes) [ignored-line]\n"),
                     ""},
        LeftoverCase{"CheckWarnsOfAnInterruptedSave", {"check", "cut.ini"}, 1, kInterruptedProblems, ""},
        LeftoverCase{"DumpWarnsOnStandardError", {"dump", "cut.ini"}, 0, std::nullopt, kInterrupted},
        LeftoverCase{"FormatWarnsOnStandardError", {"format", "cut.ini", "-o", "out.ini"}, 0, "", kInterrupted}),
    [](const testing::TestParamInfo<LeftoverCase>& info) { return info.param.name; });

// A header followed by a lone CR and an entry: one line in a file with a line
// feed, so the entry is text after the header, which every verb must own up to.
TEST_F(QelTool, TextAfterAHeaderIsReportedByEveryVerb)
{
    const std::string text = "[mapobjects]\r8136,8232,IMAGE0,BelowAll,ShowAlways\r\n";
    write("a.ini", text);
    const std::string warning =
        "a.ini: warning: No OutFile given [outfile-missing]\n"
        "a.ini:1: warning: line ignored: [mapobjects]\\x0d8136,8232,IMAGE0,BelowAll,ShowAlways [ignored-line]\n";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {{"check", "--strict", "a.ini"}, 1, warning, ""},
        {{"check", "a.ini"}, 0, warning, ""},
        {{"format", "a.ini", "-o", "b.ini"},
         1,
         "",
         "a.ini: would drop 1 ignored line (first: line 1); give --drop-ignored to drop them\n"},
    };
    for (const Case& c : cases) {
        const Outcome result = run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        EXPECT_EQ(result.out, c.out) << c.args[0];
        EXPECT_EQ(result.err, c.err) << c.args[0];
    }
    EXPECT_FALSE(fs::exists(file("b.ini")));
    // The same entry after a CR alone, in a file with no line feed, is read.
    write("cr.ini", "[mapobjects]\r8136,8232,IMAGE0,BelowAll,ShowAlways\r");
    const Outcome dumped = run({"dump", "cr.ini"});
    EXPECT_EQ(dumped.exitCode, 0);
    EXPECT_NE(dumped.out.find("{\"line\":\"8136,8232,IMAGE0,BelowAll,ShowAlways\",\"x\":\"8136\""), std::string::npos)
        << dumped.out;
    EXPECT_EQ(run({"format", "cr.ini", "-o", "b.ini"}).exitCode, 0);
    EXPECT_EQ(ReadFile(file("b.ini")), "OutFile=\r\n\r\n\r\n[mapobjects]\r\n8136,8232,IMAGE0,BelowAll,ShowAlways\r\n");
}

TEST_F(QelTool, AFifoIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(file("f.ini").c_str(), 0600), 0);
    const Outcome result = run({"check", "f.ini"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "f.ini: error: f.ini is not a regular file [read-failed]\n");
    // Nor is a picture waited for.
    write("p.ini", "OutFile=p\r\nFile=f.ini\r\n[objectimages]\r\nIMAGE0=f.ini\r\n");
    EXPECT_EQ(run({"check", "p.ini"}).out,
              "p.ini:4: error: IMAGE0's picture 'f.ini' cannot be decoded: f.ini is not a regular file "
              "[image-unreadable]\n");
}

TEST_F(QelTool, FormatKeepsIgnoredLinesUnlessToldToDropThem)
{
    const std::string stray = "OutFile=x\r\nstray text\r\n;comment\r\nmore\r\n";
    write("stray.ini", stray);
    Outcome result = run({"format", "stray.ini"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "stray.ini: would drop 2 ignored lines (first: line 2); give --drop-ignored to drop them\n");
    EXPECT_EQ(ReadFile(file("stray.ini")), stray);
    result = run({"format", "--drop-ignored", "stray.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReadFile(file("stray.ini")), "OutFile=x\r\n\r\n");
}

TEST_F(QelTool, OutputThroughALinkToStandardOutput)
{
    // The link stands for /dev/stdout, which the test must not risk replacing.
    write("s.ini", kExample);
    fs::create_symlink("/proc/self/fd/1", file("out.ini"));
    RunOptions closed;
    closed.closeOutput = true;
    Outcome result = run({"format", "s.ini", "-o", "out.ini"}, closed);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(fs::is_symlink(file("out.ini")));
    result = run({"format", "s.ini", "-o", "out.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kExample);
    EXPECT_TRUE(fs::is_symlink(file("out.ini")));
}

TEST_F(QelTool, RunningOutOfMemoryFailsOneFileAndCheckGoesOn)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer ends the program instead of failing an allocation";
#endif
    write("big.ini", "");
    fs::resize_file(file("big.ini"), std::uintmax_t{1} << 30);
    write("bad.ini", "[mapobjects]\nx\n");
    RunOptions limited;
    limited.addressSpace = rlim_t{256} << 20;
    const Outcome result = run({"check", "big.ini", "bad.ini"}, limited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "big.ini: error: big.ini is too large to open: it needs about 2050 MB [read-failed]\n"
              "bad.ini:2: error: Map object 1 cannot be read: 'x' is not a valid integer value [object-unreadable]\n");
    EXPECT_EQ(result.err, "");
}

}  // namespace

namespace {

// A definition and the pictures it names, made here: one good image, one
// of each picture problem, and an image no object uses.
class QelToolProblems : public QelTool {
protected:
    void SetUp() override
    {
        QelTool::SetUp();
        write("ship.bmp", Bitmap(4, 2));
        write("cut.bmp", Bitmap(40, 20).substr(0, 200));
        write("bad.png", "not a picture");
        write("warn.ini",
              "OutFile=p\nFile=ship.bmp\n[objectimages]\nIMAGE0=ship.bmp,3,2,1\n[mapobjects]\n0,0,IMAGE0\n");
        write("info.ini", "OutFile=p\nFile=ship.bmp\n;note\n[objectimages]\nIMAGE0=ship.bmp,4,2,1\n");
        write("errors.ini",
              "File=ship.bmp\nFile=ship.bmp\n[objectimages]\nIMAGE0=ship.bmp,4,2,1\nIMAGE1=cut.bmp\nIMAGE2=bad.png\n"
              "[mapobjects]\n0,0,IMAGE0\n0,0,IMAGE1\n0,0,IMAGE2\n");
    }
};

TEST_F(QelToolProblems, ExitStatusFollowsTheWorstProblemShown)
{
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    };
    const std::string warning =
        "warn.ini:4: warning: IMAGE0's 3 x 2 tiles do not divide its picture of 4 x 2 pixels [image-tiles-uneven]\n";
    const std::vector<Case> cases = {
        {{"warn.ini"}, 0, warning},
        {{"--strict", "warn.ini"}, 1, warning},
        {{"info.ini"}, 0, ""},
        {{"--strict", "--all", "info.ini"},
         0,
         "info.ini:3: info: 1 comment line is not kept when the file is saved [comment-dropped]\n"
         "info.ini:5: info: IMAGE0 is not used by any object [image-unused]\n"},
        {{"errors.ini", "warn.ini"},
         1,
         "errors.ini: warning: No OutFile given [outfile-missing]\n"
         "errors.ini:2: warning: File 'ship.bmp' is listed again [file-duplicate]\n"
         "errors.ini:5: error: IMAGE1's picture 'cut.bmp' cannot be decoded: cut.bmp is cut short: its picture data "
         "ends early "
         "[image-unreadable]\n"
         "errors.ini:5: warning: IMAGE1's picture 'cut.bmp' is not in the file list, so the package would lack it "
         "[image-file-unlisted]\n"
         "errors.ini:6: error: IMAGE2's picture 'bad.png' cannot be decoded: Unable to read image data "
         "[image-unreadable]\n"
         "errors.ini:6: warning: IMAGE2's picture 'bad.png' is not in the file list, so the package would lack it "
         "[image-file-unlisted]\n"
             + warning},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome result = run(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        EXPECT_EQ(result.out, c.out) << c.args[0];
    }
}

TEST_F(QelToolProblems, JsonIsOneArrayOverEveryFile)
{
    write("empty.ini", "");
    const Outcome result = run({"check", "--json", "--all", "info.ini", "empty.ini"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "[\n"
              "{\"file\":\"info.ini\",\"line\":3,\"severity\":\"info\",\"code\":\"comment-dropped\","
              "\"message\":\"1 comment line is not kept when the file is saved\"},\n"
              "{\"file\":\"info.ini\",\"line\":5,\"severity\":\"info\",\"code\":\"image-unused\","
              "\"message\":\"IMAGE0 is not used by any object\"},\n"
              "{\"file\":\"empty.ini\",\"line\":null,\"severity\":\"warning\",\"code\":\"outfile-missing\","
              "\"message\":\"No OutFile given\"}\n"
              "]\n");
    EXPECT_EQ(run({"check", "--json", "info.ini"}).out, "[]\n");
}

}  // namespace
