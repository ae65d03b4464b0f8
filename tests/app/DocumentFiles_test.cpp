// The document commands without a window.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/DocumentFiles.h"
#include "core/Errors.h"
#include "platform/FileOperations.h"

namespace {

using namespace qel;

std::string PathOf(const QTemporaryDir& dir, const char* name)
{
    return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    QFile out(QFile::decodeName(QByteArray::fromStdString(path)));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string ReadBytes(const std::string& path)
{
    QFile in(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!in.open(QIODevice::ReadOnly))
        return "<missing>";
    return in.readAll().toStdString();
}

TEST(SaveAsTarget, AddsIniOnlyWhenTheNameHasNoExtension)
{
    const struct {
        const char* chosen;
        const char* target;
    } cases[] = {
        {"", ""},
        {"defs", "defs.ini"},
        {"/a/defs", "/a/defs.ini"},
        {"/a/defs.txt", "/a/defs.txt"},
        {"/a/defs.", "/a/defs."},
        {"/a.b/defs", "/a.b/defs.ini"},
        {"/a/.hidden", "/a/.hidden"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::SaveAsTarget(c.chosen), c.target) << c.chosen;
}

TEST(OpenDocument, NamesTheFileAndLeavesTheDocumentUnchanged)
{
    QTemporaryDir dir;
    const std::string path = PathOf(dir, "defs.ini");
    WriteBytes(path, "OutFile=a\n[mapobjects]\n1,2,IMAGE0\n");
    DefinitionDocument doc;
    doc.setOutFile("old");
    doc.screenObjects().append("9,9,IMAGE9");
    app::OpenDocument(doc, path);
    EXPECT_EQ(doc.currentFile(), path);
    EXPECT_EQ(doc.documentFolder(), QFile::encodeName(dir.path()).toStdString() + "/");
    EXPECT_EQ(doc.outFile(), "a");
    EXPECT_EQ(doc.mapObjectCount(), 1);
    EXPECT_EQ(doc.screenObjectCount(), 0);
    EXPECT_EQ(app::WindowTitle(doc), "defs.ini - QEL v2 [Tarnwick]");
    EXPECT_EQ(app::StatusText(doc), path);
}

TEST(OpenDocument, FailureReturnsToUntitledKeepingWhatWasRead)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        const char* content;
        const char* message;
        std::size_t line;
        int mapRows;
    } cases[] = {
        {"bad.ini", "OutFile=x\n[mapobjects]\n1,2,IMAGE0\nq,2,IMAGE0\n", "'q' is not a valid integer value", 4, 2},
        {"badimage.ini", "[objectimages]\nIMAGEx=a.bmp\n", "'x' is not a valid integer value", 2, 0},
        {"missing.ini", nullptr, "File not found", 0, 0},
    };
    for (const auto& c : cases) {
        const std::string path = PathOf(dir, c.name);
        if (c.content)
            WriteBytes(path, c.content);
        DefinitionDocument doc;
        doc.setCurrentFile("/elsewhere/old.ini");
        try {
            app::OpenDocument(doc, path);
            ADD_FAILURE() << c.name << " opened";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.message) << c.name;
            EXPECT_EQ(error.line(), c.line) << c.name;
        }
        EXPECT_EQ(doc.currentFile(), "") << c.name;
        EXPECT_EQ(doc.documentFolder(), "") << c.name;
        EXPECT_EQ(app::WindowTitle(doc), "QEL v2 [Tarnwick]") << c.name;
        EXPECT_EQ(app::StatusText(doc), "") << c.name;
        EXPECT_EQ(doc.mapObjectCount(), c.mapRows) << c.name;
    }
}

TEST(SaveDocument, WritesTheCurrentFile)
{
    QTemporaryDir dir;
    const std::string path = PathOf(dir, "defs.ini");
    WriteBytes(path, "[mapobjects]\n1,2,IMAGE0\n");
    DefinitionDocument doc;
    app::OpenDocument(doc, path);
    doc.setOutFile("new");
    app::SaveDocument(doc);
    EXPECT_EQ(ReadBytes(path), "OutFile=new\r\n\r\n\r\n[mapobjects]\r\n1,2,IMAGE0\r\n");
}

TEST(SaveDocumentAs, FailedWriteKeepsTheChangesAndNamesTheTarget)
{
    QTemporaryDir dir;
    DefinitionDocument doc;
    doc.setOutFile("new");
    // A folder of that name cannot be replaced by the definition.
    const std::string target = PathOf(dir, "taken.ini");
    ASSERT_TRUE(QDir().mkdir(QFile::decodeName(QByteArray::fromStdString(target))));
    EXPECT_THROW(app::SaveDocumentAs(doc, target), FileError);
    EXPECT_TRUE(QFileInfo(QFile::decodeName(QByteArray::fromStdString(target))).isDir());
    EXPECT_EQ(doc.outFile(), "new");
    EXPECT_EQ(doc.currentFile(), target);
}

// Nothing is taken from a FIFO (which would hold the window until a writer
// came) nor from a device; a regular file is copied whole.
TEST(CopyingFiles, TakesOnlyRegularFiles)
{
    QTemporaryDir dir;
    const std::string fifo = PathOf(dir, "pipe.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    platform::QtFileOperations files;
    const std::string copy = PathOf(dir, "copy.wav");
    for (const std::string& source : {fifo, std::string("/dev/zero")})
        EXPECT_FALSE(files.copy(source, copy, true)) << source;
    WriteBytes(PathOf(dir, "a.wav"), "RIFF");
    EXPECT_TRUE(files.copy(PathOf(dir, "a.wav"), copy, false));
    EXPECT_FALSE(files.copy(fifo, copy, true));
    EXPECT_EQ(ReadBytes(copy), "RIFF");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 3) << "no part left";
}

TEST(SaveDocumentAs, MakesTheTargetCurrent)
{
    QTemporaryDir dir;
    DefinitionDocument doc;
    const std::string target = app::SaveAsTarget(PathOf(dir, "defs"));
    app::SaveDocumentAs(doc, target);
    EXPECT_EQ(doc.currentFile(), target);
    EXPECT_EQ(app::WindowTitle(doc), "defs.ini - QEL v2 [Tarnwick]");
    EXPECT_EQ(ReadBytes(target), "OutFile=\r\n\r\n");
}

TEST(SaveChangesQuestion, NamesTheFileOrUntitled)
{
    DefinitionDocument doc;
    EXPECT_EQ(app::SaveChangesQuestion(doc), "Save changes to Untitled?");
    doc.setCurrentFile("/some/folder/my defs.ini");
    EXPECT_EQ(app::SaveChangesQuestion(doc), "Save changes to my defs.ini?");
}

TEST(NewDocument, EmptiesAndReturnsToUntitled)
{
    DefinitionDocument doc;
    doc.setCurrentFile("/a/b.ini");
    doc.mapObjects().append("1,2,IMAGE0");
    doc.editFiles().push_back("f");
    app::NewDocument(doc);
    EXPECT_EQ(doc.currentFile(), "");
    EXPECT_EQ(doc.mapObjectCount(), 0);
    EXPECT_TRUE(doc.files().empty());
    EXPECT_EQ(app::WindowTitle(doc), "QEL v2 [Tarnwick]");
}

}  // namespace
