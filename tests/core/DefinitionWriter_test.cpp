#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "core/io/DefinitionFiles.h"
#include "core/io/FileIo.h"
#include "tests/core/TempFolder.h"
#include "tests/core/TestUser.h"

namespace {

using qel::DefinitionDocument;
namespace fs = std::filesystem;

using qeltest::Slurp;
using qeltest::Spit;
using qeltest::TempFolder;

DefinitionDocument Parse(const std::string& text)
{
    DefinitionDocument doc;
    qel::ReadDefinitionBytes(doc, text);
    return doc;
}

TEST(Writer, EmptyDocumentIsTwoLines)
{
    EXPECT_EQ(qel::ComposeDefinition(DefinitionDocument{}), "OutFile=\r\n\r\n");
}

TEST(Writer, ExampleFileLayout)
{
    DefinitionDocument doc;
    doc.setOutFile("example");
    doc.editFiles().push_back("ship.bmp");
    doc.editImages().push_back({0, "ship.bmp", 4, 2, 100});
    doc.mapObjects().append("100,200,IMAGE0,AfterTiles,ShowAlways");
    doc.mapObjects().append("300,200,IMAGE0,AfterTiles,ShowAlways,0,7");
    EXPECT_EQ(qel::ComposeDefinition(doc),
              "OutFile=example\r\n\r\nFile=ship.bmp\r\n\r\n[objectimages]\r\nIMAGE0=ship.bmp,4,2,100\r\n\r\n"
              "[mapobjects]\r\n100,200,IMAGE0,AfterTiles,ShowAlways\r\n300,200,IMAGE0,AfterTiles,ShowAlways,0,7\r\n");
}

TEST(Writer, ImagesWithoutFilesGiveTwoEmptyLinesInARow)
{
    DefinitionDocument doc;
    doc.editImages().push_back({0, "", -1, -1, -1});
    doc.screenObjects().append("C-1,C-1,IMAGE0");
    EXPECT_EQ(qel::ComposeDefinition(doc),
              "OutFile=\r\n\r\n\r\n[objectimages]\r\nIMAGE0=\r\n\r\n[screenobjects]\r\nC-1,C-1,IMAGE0\r\n");
}

struct ImageLineCase {
    qel::ObjectImage image;
    const char* line;
};

class ImageLine : public ::testing::TestWithParam<ImageLineCase> {};

TEST_P(ImageLine, NumbersAreWrittenAllOrNone)
{
    EXPECT_EQ(qel::ComposeImageLine(GetParam().image), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageLine,
                         ::testing::Values(ImageLineCase{{0, "a.bmp", 4, 2, 0}, "IMAGE0=a.bmp"},
                                           ImageLineCase{{1, "a.bmp", -1, -1, -1}, "IMAGE1=a.bmp"},
                                           ImageLineCase{{2, "a.bmp", 1, 1, 10}, "IMAGE2=a.bmp,1,1,10"},
                                           ImageLineCase{{3, "a.bmp", 0, 5, 5}, "IMAGE3=a.bmp"},
                                           ImageLineCase{{4, "a.bmp", 5, -1, 5}, "IMAGE4=a.bmp"},
                                           ImageLineCase{{5, "a.bmp", -2, 3, 40000}, "IMAGE5=a.bmp,-2,3,40000"},
                                           ImageLineCase{{-7, "", 1, 1, 1}, "IMAGE-7=,1,1,1"}));

TEST(Writer, OtherSourcesAreNormalised)
{
    const DefinitionDocument doc = Parse(
        "; header comment\nFile:one\nnoise\n[MapObjects] trailing\n0080,1,image0,aftertiles\n;c\n\n"
        "[objectimages]\nimage007= x\nIMAGE 8=y.bmp,1,1,0\nIMAGE9=z.bmp,+2,$3,0x4,rest\n");
    EXPECT_EQ(
        qel::ComposeDefinition(doc),
        "OutFile=\r\n\r\nFile=one\r\n\r\n[objectimages]\r\nIMAGE7= x\r\nIMAGE8=y.bmp\r\nIMAGE9=z.bmp,2,3,4\r\n\r\n"
        "[mapobjects]\r\n0080,1,image0,aftertiles\r\n");
}

TEST(Writer, RoundTripKeepsTheDocumentAndTheBytes)
{
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    DefinitionDocument doc;
    doc.setOutFile("pkg" + high);
    doc.editFiles() = {"a.bmp", "", "sound.wav", high};
    doc.editImages() = {{0, "a.bmp", 4, 2, 100}, {5, high, -1, -1, -1}, {2, "c=d.gif", 1, 1, 1}};
    doc.mapObjects().append("100,200,IMAGE0,AfterTiles,ShowAlways,0,7");
    doc.mapObjects().append("  5,$10,image5");
    doc.screenObjects().append(high + ", odd ,IMAGE2,kill");
    doc.screenObjects().append("\x01\x02\t,x");
    const std::string bytes = qel::ComposeDefinition(doc);
    const DefinitionDocument again = Parse(bytes);
    EXPECT_EQ(again.outFile(), doc.outFile());
    EXPECT_EQ(again.files(), doc.files());
    EXPECT_EQ(again.images(), doc.images());
    ASSERT_EQ(again.mapObjectCount(), 2);
    ASSERT_EQ(again.screenObjectCount(), 2);
    for (std::size_t row = 0; row < 2; ++row) {
        EXPECT_EQ(again.mapObjects().line(row), doc.mapObjects().line(row));
        EXPECT_EQ(again.mapObjects().fields(row), doc.mapObjects().fields(row));
        EXPECT_EQ(again.screenObjects().line(row), doc.screenObjects().line(row));
        EXPECT_EQ(again.screenObjects().fields(row), doc.screenObjects().fields(row));
    }
    EXPECT_EQ(qel::ComposeDefinition(again), bytes);
}

TEST(Writer, DroppedTileNumbersComeBackAsNotGiven)
{
    DefinitionDocument doc;
    doc.editImages() = {{0, "a.bmp", 4, 2, 0}};
    const DefinitionDocument again = Parse(qel::ComposeDefinition(doc));
    EXPECT_EQ(again.images()[0], (qel::ObjectImage{0, "a.bmp", -1, -1, -1}));
}

TEST(WriteDefinition, WritesTheFileAndLeavesTheDocumentStateAlone)
{
    TempFolder folder;
    DefinitionDocument doc;
    doc.setOutFile("x");
    const std::uint64_t changes = doc.changeCount();
    const std::string path = folder.file("defs.ini");
    qel::WriteDefinition(doc, path);
    EXPECT_EQ(Slurp(path), "OutFile=x\r\n\r\n");
    EXPECT_EQ(doc.currentFile(), "");
    EXPECT_EQ(doc.changeCount(), changes);
    qel::WriteDefinition(doc, path);
    EXPECT_EQ(Slurp(path), "OutFile=x\r\n\r\n") << "saving twice gives identical files";
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

struct WriteFailureCase {
    const char* name;
    std::string (*target)(const TempFolder&);
    const char* message;  // how the message ends
    qel::SpecialFiles special = qel::SpecialFiles::Refuse;
};

class WriteFailure : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(WriteFailure, ReportsTheMessage)
{
    TempFolder folder;
    const std::string target = GetParam().target(folder);
    DefinitionDocument doc;
    doc.setOutFile("new");
    try {
        qel::WriteDefinition(doc, target, GetParam().special);
        FAIL() << "no error";
    } catch (const qel::FileError& error) {
        EXPECT_TRUE(std::string_view(error.what()).ends_with(GetParam().message)) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteFailure,
    ::testing::Values(
        WriteFailureCase{"MissingFolder", [](const TempFolder& f) { return f.file("nope/defs.ini"); },
                         "File not found"},
        WriteFailureCase{"TargetIsAFolder",
                         [](const TempFolder& f) {
                             fs::create_directory(f.file("dir.ini"));
                             return f.file("dir.ini");
                         },
                         "/dir.ini is not a regular file"},
        WriteFailureCase{"EmptyName", [](const TempFolder&) { return std::string(); }, "Invalid filename"},
        WriteFailureCase{"FolderOnly", [](const TempFolder& f) { return f.file("") + "/"; }, "Invalid filename"},
        WriteFailureCase{"NameTooLong", [](const TempFolder& f) { return f.file(std::string(300, 'n')); },
                         "Invalid filename"},
        WriteFailureCase{"Device", [](const TempFolder&) { return std::string("/dev/full"); },
                         "/dev/full is not a regular file"},
        WriteFailureCase{"DeviceWrittenThroughIsFull", [](const TempFolder&) { return std::string("/dev/full"); },
                         "Disk full", qel::SpecialFiles::WriteThrough}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs `attempt` without the superuser's right to write any file: as the
// test user when the tests run as root (or as nobody should it be missing).
std::string WithoutSuperuserRights(const std::function<std::string()>& attempt)
{
    std::string whyNot;
    std::optional<qeltest::TestUser> user = qeltest::UnprivilegedUser(whyNot);
    if (!user && ::geteuid() == 0)
        user = qeltest::TestUser{65534, 65534};
    return qeltest::RunAs(user, attempt);
}

TEST(WriteDefinition, UnwritableTargetIsRefusedAndKeptIntact)
{
    TempFolder folder;
    fs::permissions(folder.file(""), fs::perms::all);
    const std::string path = folder.file("locked.ini");
    Spit(path, "old content");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string message = WithoutSuperuserRights([&] {
        DefinitionDocument doc;
        try {
            qel::WriteDefinition(doc, path);
        } catch (const qel::FileError& error) {
            return std::string(error.what());
        }
        return std::string("written");
    });
    EXPECT_EQ(message, "File access denied");
    EXPECT_EQ(Slurp(path), "old content");
}

// Runs `attempt` with files limited to `bytes`, so that writing fails part
// way as on a full disk.
std::string WithFileSizeLimit(rlim_t bytes, const std::function<std::string()>& attempt)
{
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limited = old;
    limited.rlim_cur = bytes;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const std::string result = attempt();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

std::string WriteLargeDocument(const std::string& path)
{
    DefinitionDocument doc;
    for (int row = 0; row < 200000; ++row)
        doc.mapObjects().append("1000,2000,IMAGE1,AfterTiles,ShowAlways,0,5");
    try {
        qel::WriteDefinition(doc, path);
    } catch (const qel::FileError& error) {
        return error.message();
    }
    return "written";
}

TEST(WriteDefinition, AFailureHalfwayLeavesThePreviousFileIntact)
{
    TempFolder folder;
    const std::string path = folder.file("big.ini");
    Spit(path, "previous content");
    EXPECT_EQ(WithFileSizeLimit(1 << 20, [&] { return WriteLargeDocument(path); }),
              "I/O error " + std::to_string(EFBIG));
    EXPECT_EQ(Slurp(path), "previous content");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()), 1);
}

// A second name makes the save write in place.
TEST(WriteDefinition, AFailureInPlacePutsThePreviousBytesBackAndSaysSo)
{
    TempFolder folder;
    Spit(folder.file("a.ini"), "previous content");
    fs::create_hard_link(folder.file("a.ini"), folder.file("b.ini"));
    EXPECT_EQ(WithFileSizeLimit(1 << 16, [&] { return WriteLargeDocument(folder.file("a.ini")); }),
              "I/O error " + std::to_string(EFBIG) + " while rewriting the file; its previous content was put back");
    EXPECT_EQ(Slurp(folder.file("b.ini")), "previous content");
    EXPECT_EQ(folder.hidden(), "");
}

TEST(WriteDefinition, KeepsThePermissionsOfTheReplacedFile)
{
    TempFolder folder;
    const std::string path = folder.file("perm.ini");
    Spit(path, "x");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    DefinitionDocument doc;
    qel::WriteDefinition(doc, path);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(WriteDefinition, WritesThroughASymbolicLinkToItsTarget)
{
    TempFolder folder;
    const std::string real = folder.file("real.ini");
    const std::string link = folder.file("link.ini");
    Spit(real, "old");
    fs::create_symlink(real, link);
    DefinitionDocument doc;
    qel::WriteDefinition(doc, link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "OutFile=\r\n\r\n");
}

TEST(FileErrorMessages, MapSystemErrors)
{
    EXPECT_EQ(qel::FileErrorMessage(ENOENT), "File not found");
    EXPECT_EQ(qel::FileErrorMessage(EACCES), "File access denied");
    EXPECT_EQ(qel::FileErrorMessage(EMFILE), "Too many open files");
    EXPECT_EQ(qel::FileErrorMessage(ENOSPC), "Disk full");
    EXPECT_EQ(qel::FileErrorMessage(ENAMETOOLONG), "Invalid filename");
    EXPECT_EQ(qel::FileErrorMessage(EIO), "I/O error " + std::to_string(EIO));
}

}  // namespace
