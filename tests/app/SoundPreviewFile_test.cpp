// Where the copy "prev.wav" goes, and that it keeps every byte.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <numeric>
#include <string>

#include "Errors.h"
#include "SoundPreviewFile.h"

using qel::app::SoundPreviewFile;

namespace {

QByteArray AllByteValues()
{
    QByteArray bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), char(0));
    return bytes + "\r\n\n\r";
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

enum class Place { Program, Cache, Neither };

struct CopyCase {
    const char* name;
    bool programFolderExists;
    bool earlierCopy;         // a "prev.wav" of other bytes in the program folder
    bool cacheBlocked;        // "prev.wav" in the cache folder is a folder
    Place place;
    std::string message;      // when Neither
};

class SoundPreviewCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(SoundPreviewCopyTest, GoesWhereItCanKeepingEveryByte)
{
    const CopyCase& c = GetParam();
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("program"));
    const QString cache = root.filePath(QStringLiteral("cache/qel"));
    if (c.programFolderExists)
        QDir().mkpath(program);
    if (c.earlierCopy)
        Write(program + QStringLiteral("/prev.wav"), "older sound");
    if (c.cacheBlocked)
        QDir().mkpath(cache + QStringLiteral("/prev.wav"));
    const QString source = root.filePath(QStringLiteral("jingle.wa2"));
    Write(source, AllByteValues());

    SoundPreviewFile copy(program, cache);
    QString copied;
    std::string message;
    try {
        copied = copy.copy(source);
    } catch (const qel::FileError& e) {
        message = e.what();
    }

    switch (c.place) {
    case Place::Program:
        EXPECT_EQ(copied, program + QStringLiteral("/prev.wav"));
        break;
    case Place::Cache:
        EXPECT_EQ(copied, cache + QStringLiteral("/prev.wav"));
        break;
    case Place::Neither:
        EXPECT_EQ(message, c.message);
        EXPECT_FALSE(QFile::exists(program + QStringLiteral("/prev.wav")));
        return;
    }
    EXPECT_EQ(Read(copied), AllByteValues());
    EXPECT_EQ(QDir(QFileInfo(copied).path()).entryList(QDir::Files), QStringList{QStringLiteral("prev.wav")})
        << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundPreviewCopyTest,
    ::testing::Values(CopyCase{"ProgramFolder", true, false, false, Place::Program, ""},
                      CopyCase{"ReplacesTheEarlierCopy", true, true, false, Place::Program, ""},
                      CopyCase{"NoProgramFolderUsesTheCache", false, false, false, Place::Cache, ""},
                      CopyCase{"NeitherFolderTakesIt", false, false, true, Place::Neither, "File not found"}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

}  // namespace
