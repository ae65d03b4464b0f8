// Where the copy "prev.wav" goes, and that it keeps every byte.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <numeric>
#include <string>

#include "app/SoundPreviewFile.h"
#include "core/Errors.h"

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

struct CopyCase {
    const char* name;
    bool programFolderExists;
    bool earlierCopy;        // a "prev.wav" of other bytes in the program folder
    bool cacheBlocked;       // "prev.wav" in the cache folder is a folder
    const char* copiedInto;  // "program" or "cache"; "" when it fails
    std::string message;
};

class SoundPreviewCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(SoundPreviewCopyTest, GoesWhereItCanKeepingEveryByte)
{
    const CopyCase& c = GetParam();
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("program"));
    const QString cache = root.filePath(QStringLiteral("cache"));
    if (c.programFolderExists)
        QDir().mkpath(program);
    if (c.earlierCopy)
        Write(program + QStringLiteral("/prev.wav"), "older sound");
    if (c.cacheBlocked)
        QDir().mkpath(cache + QStringLiteral("/prev.wav"));
    Write(root.filePath(QStringLiteral("jingle.wa2")), AllByteValues());

    QString copied;
    std::string message;
    try {
        copied = SoundPreviewFile(program, cache).copy(root.filePath(QStringLiteral("jingle.wa2")));
    } catch (const qel::FileError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, c.message);
    if (*c.copiedInto == '\0')
        return;
    const QString folder = root.filePath(QString::fromLatin1(c.copiedInto));
    EXPECT_EQ(copied, folder + QStringLiteral("/prev.wav"));
    EXPECT_EQ(Read(copied), AllByteValues());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("prev.wav")})
        << "a temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Cases, SoundPreviewCopyTest,
                         ::testing::Values(CopyCase{"ProgramFolder", true, false, false, "program", ""},
                                           CopyCase{"ReplacesTheEarlierCopy", true, true, false, "program", ""},
                                           CopyCase{"NoProgramFolderUsesTheCache", false, false, false, "cache", ""},
                                           CopyCase{"NeitherFolderTakesIt", false, false, true, "", "File not found"}),
                         [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

}  // namespace
