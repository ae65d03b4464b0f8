#include "SoundPreviewFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <optional>
#include <string>

#include "Errors.h"
#include "FileIo.h"
#include "PreviewRules.h"

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

std::string PathBytes(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteCopy(const QString& target, const FileBytes& bytes)
{
    SafeFileWriter writer(PathBytes(target));
    writer.write(bytes.view());
    writer.commit();
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
    const FileBytes bytes = ReadWholeFile(PathBytes(source));
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
