#include "FileStamp.h"

#include <sys/stat.h>

namespace qel::platform {

FileStamp ReadFileStamp(const std::string& path)
{
    FileStamp stamp;
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0)
        return stamp;
    if (S_ISLNK(info.st_mode)) {
        stamp.kind = FileKind::Symlink;
        if (::stat(path.c_str(), &info) != 0)
            return stamp;
    } else {
        stamp.kind = S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    }
    stamp.size = static_cast<qint64>(info.st_size);
    stamp.modified = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = static_cast<quint64>(info.st_ino);
    stamp.device = static_cast<quint64>(info.st_dev);
    return stamp;
}

}  // namespace qel::platform
