#include "platform/FileOperations.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <string_view>
#include <vector>

#include "core/io/WriteBeside.h"
#include "platform/FileNameText.h"

namespace qel::platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool CopyBytes(int from, int to)
{
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(got))))
            return false;
    }
}

}  // namespace

bool QtFileOperations::exists(const std::string& path) const
{
    if (path.empty())
        return false;
    const QFileInfo info(FileNameText(path));
    return info.exists() && !info.isDir();
}

bool QtFileOperations::isFile(const std::string& path) const
{
    return !path.empty() && QFileInfo(FileNameText(path)).isFile();
}

bool QtFileOperations::isFolder(const std::string& path) const
{
    return !path.empty() && QFileInfo(FileNameText(path)).isDir();
}

bool QtFileOperations::copy(const std::string& source, const std::string& target, bool replace)
{
    if (source.empty() || target.empty())
        return false;
    // Opened without waiting and looked at before a byte is read: a FIFO
    // would hold the window until something wrote to it, a device could
    // fill the disk.
    const Descriptor from(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (from.get() < 0 || ::fstat(from.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int flags = ::fcntl(from.get(), F_GETFL);
    if (flags < 0 || ::fcntl(from.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    // Copied beside the target first and given its name only when complete,
    // so that a failed copy leaves an old target whole and no part behind.
    return WriteBeside(target, info.st_mode, replace ? ExistingTarget::Replace : ExistingTarget::Keep, false,
                       [&](int fd) { return CopyBytes(from.get(), fd); })
           == 0;
}

bool QtFileOperations::remove(const std::string& path)
{
    const QString name = FileNameText(path);
    return !QFileInfo::exists(name) || QFile::remove(name);
}

}  // namespace qel::platform
