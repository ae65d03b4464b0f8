#include "core/io/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <utility>

#include "core/Errors.h"
#include "core/PathText.h"
#include "core/io/SaveSupport.h"
#include "core/io/WriteBeside.h"

namespace qel {

using namespace fileio;

namespace {
constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;
// A temporary file this old that no writer holds is left over from a save
// that never finished.
constexpr std::time_t kStaleAfterSeconds = 3600;
constexpr std::string_view kTemporaryTag = ".qel-";

ReadCall gReadCall = ::read;
WriteCall gWriteCall = ::write;

struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
};

constexpr std::size_t kOwnMappingFrom = std::size_t{8} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Anonymous memory of its own for a large buffer, asked to use huge pages
// where the system has them; empty (data null) when it cannot be had, and the
// caller falls back to the heap.
struct MappedBytes {
    char* data = nullptr;
    std::size_t length = 0;

    explicit MappedBytes(std::size_t size)
    {
        if (size == 0)
            return;
        length = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* got = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (got == MAP_FAILED) {
            length = 0;
            return;
        }
        data = static_cast<char*>(got);
#ifdef MADV_HUGEPAGE
        (void)::madvise(data, length, MADV_HUGEPAGE);  // only a hint
#endif
    }
    ~MappedBytes()
    {
        if (data != nullptr)
            ::munmap(data, length);
    }
    MappedBytes(const MappedBytes&) = delete;
    MappedBytes& operator=(MappedBytes&& other) noexcept
    {
        std::swap(data, other.data);
        std::swap(length, other.length);
        return *this;
    }
    char* release()
    {
        return std::exchange(data, nullptr);
    }
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileError TooLarge()
{
    return FileError(EFBIG, "File too large");
}

bool IsUniqueSuffix(std::string_view text)
{
    return text.size() == kUniqueLetters && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// Removes the temporary files of one target that an interrupted save left in
// `folder`. Every writer holds a lock on its temporary file while it lives, so
// one that can be locked is not in use.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix)
{
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr)
        return;
    const std::time_t cutoff = std::time(nullptr) - kStaleAfterSeconds;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!IsPrefixAndSuffix(name, prefix))
            continue;
        const std::string path = folder + std::string(name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_mtime < cutoff
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

// Gives the new file the owner and group of the file it replaces; false when
// the writer may not.
bool KeepOwner(int fd, const struct stat& target)
{
    struct stat mine {};
    if (::fstat(fd, &mine) != 0)
        return false;
    if (mine.st_uid == target.st_uid && mine.st_gid == target.st_gid)
        return true;
    return ::fchown(fd, target.st_uid, target.st_gid) == 0;
}

// The names the temporary files of a target named `name` get start with
// this, and kUniqueLetters letters or digits follow it.
std::string TemporaryPrefix(std::string_view name, long nameMax)
{
    const long room = nameMax - 1 - static_cast<long>(kTemporaryTag.size() + kUniqueLetters);
    // Appended piece by piece: in "." + a temporary string, once inlined,
    // GCC 12 sees an overlap that cannot happen (-Wrestrict).
    std::string prefix = ".";
    prefix += FitName(name, room);
    prefix += kTemporaryTag;
    return prefix;
}

}  // namespace

namespace fileio {

// The name that writing `path` really makes or replaces: symbolic links are
// followed to their end, even when that end does not exist yet.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return path;
            throw FileError(errno);
        }
        if (!S_ISLNK(info.st_mode))
            return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0)
            throw FileError(errno);
        link.resize(static_cast<std::size_t>(length));
        path = !link.empty() && link[0] == '/' ? link : FolderPart(path) + link;
    }
    throw FileError(ELOOP);
}

std::uint32_t Fnv1a(std::string_view bytes)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

bool IsPrefixAndSuffix(std::string_view name, std::string_view prefix)
{
    return name.size() == prefix.size() + kUniqueLetters && name.substr(0, prefix.size()) == prefix
           && IsUniqueSuffix(name.substr(prefix.size()));
}

// After a rename only the folder records the new name: without this, a power
// loss can bring the old file back after the save was reported done.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;  // a folder we may not read cannot be synced by us
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL && error != EROFS)
        throw FileError(error);
}

// `name`, or when it is longer than `room` its start and a hash of it.
std::string FitName(std::string_view name, long room)
{
    if (static_cast<long>(name.size()) <= room)
        return std::string(name);
    // A hash of the whole name keeps apart the names made from two long names
    // that begin alike.
    char hash[16];
    std::snprintf(hash, sizeof hash, "~%08x", static_cast<unsigned>(Fnv1a(name)));
    std::size_t cut = room > 9 ? static_cast<std::size_t>(room - 9) : 0;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a UTF-8 sequence
    return std::string(name.substr(0, cut)) + hash;
}

long NameMax(const std::string& folder)
{
    const long nameMax = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return nameMax > 0 ? nameMax : NAME_MAX;
}

}  // namespace fileio

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = gWriteCall(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

void SetReadCall(ReadCall call)
{
    gReadCall = call != nullptr ? call : ::read;
}

void SetWriteCall(WriteCall call)
{
    gWriteCall = call != nullptr ? call : ::write;
}

FileBytes ReadWholeDescriptor(int fd, std::size_t limit)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw FileError(errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(EISDIR);
    const bool regular = S_ISREG(info.st_mode);
    // A socket or a disk, say: nothing a definition is kept in.
    if (!regular && !S_ISFIFO(info.st_mode) && !S_ISCHR(info.st_mode))
        throw FileError(EACCES);
    if (regular && static_cast<std::uintmax_t>(info.st_size) > limit)
        throw TooLarge();
    // One byte more than the size, so that reading a file of unchanged size
    // ends without growing the buffer just to learn that nothing follows. The
    // buffer is not zero-filled first: read() fills what is used.
    std::size_t capacity = regular && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1
                                                       : std::min<std::size_t>(65536, limit + 1);
    // A large file goes into a mapping of its own that may use huge pages:
    // page faults were a third of the time of reading a large file.
    std::unique_ptr<char, FreeBytes> buffer;
    MappedBytes mapped(capacity >= kOwnMappingFrom ? capacity : 0);
    if (!mapped.data)
        buffer.reset(static_cast<char*>(std::malloc(capacity)));
    if (!mapped.data && !buffer)
        throw std::bad_alloc();
    std::size_t used = 0;
    int readError = 0;
    for (;;) {
        if (used == capacity) {
            if (used > limit)
                throw TooLarge();
            const std::size_t larger = std::min(capacity * 2, limit + 1);
            if (mapped.data) {
                // The file grew while it was read: rare enough for one copy.
                buffer.reset(static_cast<char*>(std::malloc(larger)));
                if (!buffer)
                    throw std::bad_alloc();
                std::memcpy(buffer.get(), mapped.data, used);
                mapped = MappedBytes(0);
            } else {
                // realloc can move a large block's pages instead of copying them.
                char* grown = static_cast<char*>(std::realloc(buffer.get(), larger));
                if (grown == nullptr)
                    throw std::bad_alloc();
                (void)buffer.release();
                buffer.reset(grown);
            }
            capacity = larger;
        }
        char* const at = mapped.data ? mapped.data : buffer.get();
        const ssize_t got = gReadCall(fd, at + used, capacity - used);
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
    FileBytes bytes;
    if (mapped.data) {
        const std::size_t length = mapped.length;
        bytes.data = std::shared_ptr<const char[]>(
            mapped.release(), [length](const char* data) { ::munmap(const_cast<char*>(data), length); });
    } else {
        bytes.data = std::shared_ptr<const char[]>(buffer.release(),
                                                   [](const char* data) { std::free(const_cast<char*>(data)); });
    }
    bytes.size = used;
    bytes.readError = readError;
    return bytes;
}

FileBytes ReadWholeFile(const std::string& path, std::size_t limit)
{
    if (path.empty())
        throw FileError(ENOENT);
    // Opening a FIFO without a writer, or some devices, blocks in open()
    // itself: opening without waiting and looking first keeps a mistaken name
    // from freezing the caller.
    const auto notRegular = [&path] { return FileError(EINVAL, path + " is not a regular file"); };
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0) {
        const int error = errno;
        // A socket cannot be opened at all (ENXIO); say what it is instead.
        if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            throw notRegular();
        throw FileError(error);
    }
    if (::fstat(fd.get(), &info) != 0)
        throw FileError(errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(EISDIR);
    if (!S_ISREG(info.st_mode))
        throw notRegular();
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw FileError(errno);
    return ReadWholeDescriptor(fd.get(), limit);
}

FileError NotRegularFile(const std::string& name)
{
    return FileError(EINVAL, name + " is not a regular file");
}

SafeFileWriter::SafeFileWriter(std::string target, SpecialFiles special) : target_(std::move(target))
{
    if (target_.empty() || NamePart(target_).empty())
        throw FileError(EINVAL);
    struct stat info {};
    const bool exists = ::stat(target_.c_str(), &info) == 0;
    if (exists) {
        if (!S_ISREG(info.st_mode) && special == SpecialFiles::Refuse)
            throw NotRegularFile(target_);
        if (S_ISDIR(info.st_mode))
            throw FileError(EISDIR);
        if (!S_ISREG(info.st_mode)) {
            // There is no file content to protect and nothing to rename.
            mode_ = Mode::Device;
            fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd_ < 0)
                throw FileError(errno);
            buffer_.reserve(kWriteBuffer);
            return;
        }
        // Replacing a file we may not write would bypass its protection.
        if (::access(target_.c_str(), W_OK) != 0)
            throw FileError(errno);
    } else if (errno != ENOENT) {
        throw FileError(errno);
    }
    target_ = FollowLinks(target_);
    const std::string name = NamePart(target_);
    if (name.empty())
        throw FileError(EINVAL);
    folder_ = FolderPart(target_);
    const std::string prefix = TemporaryPrefix(name, NameMax(folder_));
    RemoveStaleTemporaries(folder_, prefix);

    temp_ = folder_ + prefix + std::string(kUniqueLetters, 'X');
    const int tempFd = ::mkostemp(temp_.data(), O_CLOEXEC);
    const int tempError = errno;
    if (tempFd < 0)
        temp_.clear();
    else
        ::flock(tempFd, LOCK_EX);  // in use: not stale for other writers
    buffer_.reserve(kWriteBuffer);
    if (!exists) {
        if (tempFd < 0)
            throw FileError(tempError);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(tempFd, 0666 & ~mask);
        fd_ = tempFd;
        return;
    }
    // Another hard link would keep the old bytes; another owner would lose
    // the file to the writer.
    if (tempFd < 0 || info.st_nlink > 1 || !KeepOwner(tempFd, info)) {
        startInPlace(tempFd);
        return;
    }
    ::fchmod(tempFd, info.st_mode & 07777);  // after fchown, which clears set-id bits
    fd_ = tempFd;
}

SafeFileWriter::~SafeFileWriter()
{
    if (fd_ < 0)
        return;
    if (mode_ == Mode::InPlace) {
        const bool restored = putBack();
        ::close(fd_);
        if (restored)
            dropTemporary();
        else
            keepBackup();
        return;
    }
    ::close(fd_);
    dropTemporary();
}

void SafeFileWriter::dropTemporary()
{
    keepTemporary();
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    // After the copy: a copy without its record would stand for a save that
    // may not have finished.
    if (!record_.empty())
        ::unlink(record_.c_str());
    record_.clear();
}

void SafeFileWriter::keepTemporary()
{
    if (copyFd_ >= 0)
        ::close(copyFd_);
    copyFd_ = -1;
}

void SafeFileWriter::fail(int error)
{
    if (mode_ != Mode::InPlace) {
        ::close(fd_);
        fd_ = -1;
        dropTemporary();
        throw FileError(error);
    }
    const bool restored = putBack();
    ::close(fd_);
    fd_ = -1;
    std::string message = FileErrorMessage(error) + " while rewriting the file; ";
    if (restored) {
        message += "its previous content was put back";
        dropTemporary();
    } else if (!temp_.empty()) {
        message += "it may be incomplete, and its previous content is kept in " + keepBackup();
    } else {
        message += "it may be incomplete";
    }
    throw FileError(error, message);
}

void SafeFileWriter::writeOut(std::string_view bytes)
{
    touched_ = true;
    if (!WriteAll(fd_, bytes))
        fail(errno);
}

void SafeFileWriter::flushBuffer()
{
    if (buffer_.empty())
        return;
    writeOut(buffer_);
    buffer_.clear();
}

void SafeFileWriter::write(std::string_view bytes)
{
    if (fd_ < 0)
        throw FileError(EBADF);
    // In place, nothing changes before the record of all the new bytes is
    // on disk.
    if (mode_ == Mode::InPlace) {
        buffer_.append(bytes);
        return;
    }
    if (buffer_.size() + bytes.size() > kWriteBuffer) {
        flushBuffer();
        // Gathering a piece this large saves no system call, only a copy.
        if (bytes.size() >= kWriteBuffer) {
            writeOut(bytes);
            return;
        }
    }
    buffer_.append(bytes);
}

void SafeFileWriter::commit()
{
    if (fd_ < 0)
        throw FileError(EBADF);
    if (mode_ == Mode::InPlace) {
        commitInPlace();
        return;
    }
    flushBuffer();
    if (mode_ == Mode::Device) {
        const int result = ::close(fd_);
        fd_ = -1;
        if (result != 0)
            throw FileError(errno);
        return;
    }
    // The new content must be on disk before it replaces the old file.
    if (::fsync(fd_) != 0)
        fail(errno);
    noteWritten();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        const int error = errno;
        dropTemporary();
        throw FileError(error);
    }
    try {
        checkBeforeReplace();
    } catch (...) {
        dropTemporary();
        throw;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        dropTemporary();
        throw FileError(error);
    }
    temp_.clear();
    if (SavePointSeam())
        SavePointSeam()(SavePoint::Replaced);
    SyncFolder(folder_);
}

}  // namespace qel
