#include "core/io/WriteBeside.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qel {

int WriteBeside(const std::string& target, unsigned mode, ExistingTarget existing, bool sync,
                const std::function<bool(int fd)>& fill)
{
    std::string fresh = target + ".XXXXXX";
    const int fd = ::mkostemp(fresh.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    int error = ::fchmod(fd, mode & 0777 & ~mask) == 0 && fill(fd) && (!sync || ::fsync(fd) == 0) ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0) {
        if (existing == ExistingTarget::Replace) {
            if (::rename(fresh.c_str(), target.c_str()) != 0)
                error = errno;
        } else if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
            // Where the file system cannot rename without replacing, a hard
            // link refuses an existing target as well.
            error = errno;
            if (error != EEXIST)
                error = ::link(fresh.c_str(), target.c_str()) == 0 ? 0 : errno;
        }
    }
    ::unlink(fresh.c_str());  // gone already when renamed
    return error;
}

}  // namespace qel
