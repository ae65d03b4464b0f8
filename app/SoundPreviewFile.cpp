#include "app/SoundPreviewFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <optional>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "core/io/FileIo.h"
#include "core/io/WriteBeside.h"
#include "platform/FileNameText.h"

namespace qel::app {

namespace {

// No folder gives no path, never a name relative to the current folder.
QString InFolder(const QString& folder, const char* name)
{
    if (folder.isEmpty())
        return {};
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QString::fromLatin1(name);
}

// A throw-away copy, made again on the next click: the rename keeps the
// player from opening it half written, but it is not worth the wait for the
// disk (a sync per click) on the UI thread.
void WriteCopy(const QString& target, const FileBytes& bytes)
{
    const int error = WriteBeside(FileNameBytes(target), 0666, ExistingTarget::Replace, false,
                                  [&](int fd) { return WriteAll(fd, bytes.view()); });
    if (error != 0)
        throw FileError(error);
}

}  // namespace

SoundPreviewFile::SoundPreviewFile(QString programFolder, QString cacheFolder)
    : cacheFolder_(std::move(cacheFolder)),
      programCopy_(InFolder(programFolder, kSoundPreviewName)),
      cacheCopy_(InFolder(cacheFolder_, kSoundPreviewName))
{
}

QString SoundPreviewFile::DefaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString SoundPreviewFile::copy(const QString& source)
{
    const FileBytes bytes = ReadWholeFile(FileNameBytes(source));
    if (bytes.readError != 0)
        throw FileError(bytes.readError);

    std::optional<FileError> firstFailure;
    try {
        WriteCopy(programCopy_, bytes);
        return programCopy_;
    } catch (const FileError& e) {
        firstFailure = e;
    }
    try {
        if (!cacheFolder_.isEmpty())
            QDir().mkpath(cacheFolder_);
        WriteCopy(cacheCopy_, bytes);
        return cacheCopy_;
    } catch (const FileError&) {
    }
    remove();
    throw *firstFailure;
}

void SoundPreviewFile::remove()
{
    for (const QString& path : {programCopy_, cacheCopy_})
        if (!path.isEmpty())
            QFile::remove(path);
}

}  // namespace qel::app
