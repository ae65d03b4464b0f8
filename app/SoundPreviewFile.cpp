#include "app/SoundPreviewFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "core/io/FileIo.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"

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
    const std::string path = FileNameBytes(target);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    int error = platform::WriteAll(fd, bytes.view()) ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw FileError(error);
    }
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
