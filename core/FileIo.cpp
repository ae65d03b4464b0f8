#include "FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Errors.h"
#include "PathText.h"

#ifdef _WIN32
#include <io.h>
#endif

namespace qel {

namespace {
constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;

int OpenForReading(const std::string& path)
{
    if (path.empty())
        throw FileError(ENOENT);
#ifdef _WIN32
    int fd = ::open(path.c_str(), O_RDONLY | O_BINARY);
#else
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (fd < 0)
        throw FileError(errno);
    return fd;
}
}  // namespace

FileBytes ReadWholeFile(const std::string& path)
{
    const int fd = OpenForReading(path);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileError(error);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw FileError(EISDIR);
    }
    // One byte more than the size, so that reading a file of unchanged size
    // ends without growing the buffer just to learn that nothing follows. The
    // buffer is not zero-filled first: read() fills what is used.
    std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 65536;
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t used = 0;
    int readError = 0;
    for (;;) {
        if (used == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::memcpy(larger.get(), buffer.get(), used);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, buffer.get() + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            readError = errno;
            break;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    FileBytes bytes;
    bytes.data = std::shared_ptr<const char[]>(buffer.release());
    bytes.size = used;
    bytes.readError = readError;
    return bytes;
}

SafeFileWriter::SafeFileWriter(std::string target) : target_(std::move(target))
{
    if (target_.empty() || NamePart(target_).empty())
        throw FileError(EINVAL);
    struct stat info {};
    bool exists = ::stat(target_.c_str(), &info) == 0;
    if (exists) {
        if (S_ISDIR(info.st_mode))
            throw FileError(EISDIR);
        if (!S_ISREG(info.st_mode)) {
            // A device or pipe (standard output, say) is written in place:
            // there is no file content to protect and nothing to rename.
            fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC);
            if (fd_ < 0)
                throw FileError(errno);
            buffer_.reserve(kWriteBuffer);
            return;
        }
        // Replacing a file we may not write would bypass its protection.
        if (::access(target_.c_str(), W_OK) != 0)
            throw FileError(errno);
        // Replace what a symbolic link points to, not the link itself.
        char resolved[PATH_MAX];
        if (::realpath(target_.c_str(), resolved) != nullptr)
            target_ = resolved;
    } else if (errno != ENOENT) {
        throw FileError(errno);
    }
    temp_ = target_ + ".qel-XXXXXX";
#ifdef _WIN32
    fd_ = ::_open(_mktemp(temp_.data()), O_CREAT | O_EXCL | O_WRONLY | O_BINARY, 0666);
#else
    fd_ = ::mkstemp(temp_.data());
#endif
    if (fd_ < 0)
        throw FileError(errno);
#ifndef _WIN32
    mode_t mode;
    if (exists) {
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
#endif
    buffer_.reserve(kWriteBuffer);
}

SafeFileWriter::~SafeFileWriter()
{
    if (fd_ >= 0) {
        ::close(fd_);
        if (!temp_.empty())
            ::unlink(temp_.c_str());
    }
}

void SafeFileWriter::fail(int error)
{
    ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    throw FileError(error);
}

void SafeFileWriter::flushBuffer()
{
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t put = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(put);
    }
    buffer_.clear();
}

void SafeFileWriter::write(std::string_view bytes)
{
    if (fd_ < 0)
        throw FileError(EBADF);
    if (buffer_.size() + bytes.size() > kWriteBuffer) {
        flushBuffer();
        if (bytes.size() >= kWriteBuffer) {
            buffer_.assign(bytes);
            flushBuffer();
            return;
        }
    }
    buffer_.append(bytes);
}

void SafeFileWriter::commit()
{
    if (fd_ < 0)
        throw FileError(EBADF);
    flushBuffer();
    if (temp_.empty()) {
        const int result = ::close(fd_);
        fd_ = -1;
        if (result != 0)
            throw FileError(errno);
        return;
    }
#ifndef _WIN32
    // The new content must be on disk before it replaces the old file.
    if (::fsync(fd_) != 0)
        fail(errno);
#endif
    if (::close(fd_) != 0) {
        fd_ = -1;
        const int error = errno;
        ::unlink(temp_.c_str());
        throw FileError(error);
    }
    fd_ = -1;
#ifdef _WIN32
    ::remove(target_.c_str());
#endif
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp_.c_str());
        throw FileError(error);
    }
}

}  // namespace qel
