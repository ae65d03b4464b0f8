#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace qel::platform {

FileStamp ReadFileStamp(const std::string& path)
{
    FileStamp stamp;
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0)
        return stamp;
    const bool link = S_ISLNK(info.st_mode);
    if (link && ::stat(path.c_str(), &info) != 0) {
        stamp.kind = FileKind::Symlink;
        return stamp;
    }
    if (!S_ISREG(info.st_mode))
        stamp.kind = FileKind::Other;
    else
        stamp.kind = link ? FileKind::Symlink : FileKind::Regular;
    stamp.size = static_cast<qint64>(info.st_size);
    stamp.modified = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = static_cast<quint64>(info.st_ino);
    stamp.device = static_cast<quint64>(info.st_dev);
    return stamp;
}

FileStamp WrittenFileStamp(const struct stat& info, const std::string& path)
{
    struct stat name {};
    FileStamp stamp;
    stamp.kind = ::lstat(path.c_str(), &name) == 0 && S_ISLNK(name.st_mode) ? FileKind::Symlink : FileKind::Regular;
    stamp.size = static_cast<qint64>(info.st_size);
    stamp.modified = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = static_cast<quint64>(info.st_ino);
    stamp.device = static_cast<quint64>(info.st_dev);
    return stamp;
}

}  // namespace qel::platform
