#include "FileIo.h"

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
#include <vector>

#include "Errors.h"
#include "PathText.h"

namespace qel {

namespace {
constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;
// A temporary file this old that no writer holds is left over from a save
// that never finished.
constexpr std::time_t kStaleAfterSeconds = 3600;
constexpr std::string_view kTemporaryTag = ".qel-";
// Not hidden and never of the form the sweep removes: the copy of the old
// bytes that an in-place save makes must outlive the sweep, for it may be all
// that is left of them.
constexpr std::string_view kBackupTag = ".qel-backup-";
// Of the same length, so that a copy's name and its record's differ in the
// tag alone.
constexpr std::string_view kRecordTag = ".qel-record-";
static_assert(kBackupTag.size() == kRecordTag.size());
constexpr std::size_t kUniqueLetters = 6;

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

// A checksum of the new bytes of an in-place save, eight bytes a step: fast
// enough to be no burden on a save of hundreds of megabytes, and a target
// cut short or mixed from old and new bytes matches it only by a one in 2^64
// chance.
std::uint64_t SaveChecksum(std::string_view bytes)
{
    constexpr std::uint64_t kMultiplier = 0xff51afd7ed558ccdull;
    std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ bytes.size();
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 32;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    std::uint64_t tail = 0;
    if (at < bytes.size())  // an empty view may have no data at all
        std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    mix(tail);
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return hash;
}

// The text of a save's record: the length and the checksum of its new bytes.
std::string RecordText(std::string_view bytes)
{
    char text[48];
    std::snprintf(text, sizeof text, "%zu %016llx\n", bytes.size(),
                  static_cast<unsigned long long>(SaveChecksum(bytes)));
    return text;
}

// The name of `kept` (a copy or a record) with the tag `to` in place of
// `from`; empty when it has no such tag.
std::string SwapTag(const std::string& kept, std::string_view from, std::string_view to)
{
    const std::size_t tagLength = from.size() + kUniqueLetters;
    if (kept.size() < tagLength || std::string_view(kept).substr(kept.size() - tagLength, from.size()) != from)
        return {};
    std::string swapped = kept;
    swapped.replace(kept.size() - tagLength, from.size(), to);
    return swapped;
}

// The record that belongs to the copy `backup`.
std::string RecordOf(const std::string& backup)
{
    return SwapTag(backup, kBackupTag, kRecordTag);
}

bool IsUniqueSuffix(std::string_view text)
{
    return text.size() == kUniqueLetters && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

bool IsPrefixAndSuffix(std::string_view name, std::string_view prefix)
{
    return name.size() == prefix.size() + kUniqueLetters && name.substr(0, prefix.size()) == prefix
           && IsUniqueSuffix(name.substr(prefix.size()));
}

// Gives `from` the name `to` unless a file of that name exists: unlike a plain
// rename, no moment shows `to` holding anything but all of `from`.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the call may still have hard links.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // Nor those (a FAT disk, say): a plain rename to a name seen free, which
    // only a file made in the same instant under the same random name could
    // take.
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
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

}  // namespace

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

std::string SafeFileWriter::TemporaryPrefix(std::string_view name, long nameMax)
{
    const long room = nameMax - 1 - static_cast<long>(kTemporaryTag.size() + kUniqueLetters);
    return "." + FitName(name, room) + std::string(kTemporaryTag);
}

std::string SafeFileWriter::BackupPrefix(std::string_view name, long nameMax)
{
    const long room = nameMax - static_cast<long>(kBackupTag.size() + kUniqueLetters);
    return FitName(name, room) + std::string(kBackupTag);
}

std::string SafeFileWriter::RecordPrefix(std::string_view name, long nameMax)
{
    const long room = nameMax - static_cast<long>(kRecordTag.size() + kUniqueLetters);
    return FitName(name, room) + std::string(kRecordTag);
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

void SafeFileWriter::startInPlace(int copyFd)
{
    mode_ = Mode::InPlace;
    copyFd_ = copyFd;
    // Without waiting: the file may have been replaced by a FIFO since it
    // was looked at.
    fd_ = ::open(target_.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    int error = fd_ < 0 ? errno : 0;
    struct stat info {};
    if (error == 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
        dropTemporary();
        throw NotRegularFile(target_);
    }
    if (error == 0) {
        try {
            old_ = ReadWholeDescriptor(fd_);
            error = old_.readError;
        } catch (...) {
            ::close(fd_);
            fd_ = -1;
            dropTemporary();
            throw;
        }
    }
    if (error == 0 && ::lseek(fd_, 0, SEEK_SET) != 0)
        error = errno;
    if (error != 0) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        dropTemporary();
        throw FileError(error);
    }
    if (copyFd_ < 0)
        return;  // no new file can be made here: the old bytes are only in memory
    error = secureCopy();
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
        dropTemporary();
        throw FileError(error);
    }
}

// The copy is all that is left of the old bytes should the process die while
// the target is half written, so it must be whole, on disk and under its
// lasting name before the target changes. It is written hidden and renamed
// when complete: a copy found under its lasting name is never a part.
int SafeFileWriter::secureCopy()
{
    if (!WriteAll(copyFd_, old_.view()) || ::fsync(copyFd_) != 0)
        return errno;
    const std::string start = folder_ + BackupPrefix(NamePart(target_), NameMax(folder_));
    // The temporary's letters are already unique among its kind; others are
    // tried only when a copy of an earlier save holds them.
    std::string letters = temp_.substr(temp_.size() - kUniqueLetters);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint32_t mix = Fnv1a(temp_) ^ static_cast<std::uint32_t>(std::time(nullptr));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string backup = start + letters;
        const int error = RenameNoReplace(temp_, backup);
        if (error == 0) {
            temp_ = backup;
            try {
                SyncFolder(folder_);
            } catch (const FileError& failure) {
                return failure.systemError();
            }
            return 0;
        }
        if (error != EEXIST)
            return error;
        for (char& letter : letters) {
            mix = mix * 1664525u + 1013904223u;
            letter = kLetters[(mix >> 16) % (sizeof kLetters - 1)];
        }
    }
    return EEXIST;
}

// Written, and on disk with the folder, before the target's first byte
// changes: from then on a target that matches it holds the whole save.
int SafeFileWriter::writeRecord()
{
    record_ = RecordOf(temp_);
    const int fd = ::open(record_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        record_.clear();
        return errno;
    }
    int error = WriteAll(fd, RecordText(buffer_)) && ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0) {
        try {
            SyncFolder(folder_);
        } catch (const FileError& failure) {
            error = failure.systemError();
        }
    }
    return error;
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

bool SafeFileWriter::putBack()
{
    if (!touched_)
        return true;
    return ::lseek(fd_, 0, SEEK_SET) == 0 && WriteAll(fd_, old_.view())
           && ::ftruncate(fd_, static_cast<off_t>(old_.size)) == 0 && ::fsync(fd_) == 0;
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

std::string SafeFileWriter::keepBackup()
{
    keepTemporary();  // unlocked: no longer held by a running save
    record_.clear();  // kept with the copy
    return std::exchange(temp_, {});
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
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        const int error = errno;
        dropTemporary();
        throw FileError(error);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        dropTemporary();
        throw FileError(error);
    }
    temp_.clear();
    SyncFolder(folder_);
}

void SafeFileWriter::commitInPlace()
{
    if (copyFd_ >= 0) {
        if (const int error = writeRecord()) {
            ::close(fd_);
            fd_ = -1;
            dropTemporary();
            throw FileError(error);
        }
    }
    // Cut first: the moment the last byte is written, the target is the
    // whole save, with no old tail after it.
    if (buffer_.size() < old_.size) {
        touched_ = true;
        if (::ftruncate(fd_, static_cast<off_t>(buffer_.size())) != 0)
            fail(errno);
    }
    flushBuffer();
    if (::fsync(fd_) != 0)
        fail(errno);
    ::close(fd_);
    fd_ = -1;
    dropTemporary();
}

namespace {

// A copy of old bytes that no running save holds, held by this process while
// it is looked at.
struct Leftover {
    std::string path;
    int fd = -1;
    struct timespec time {};
};

// Whether the save that left `copy` settled after all: the target holds
// exactly the bytes its record names, or exactly the copy's.
bool Settled(const Leftover& copy, const std::optional<FileBytes>& target)
{
    if (!target)
        return false;
    try {
        const FileBytes record = ReadWholeFile(RecordOf(copy.path), 64);
        if (record.readError == 0 && record.view() == RecordText(target->view()))
            return true;
    } catch (const FileError&) {
        // No record: a save that had not yet come to change the target, or
        // one made before records were kept.
    }
    struct stat info {};
    if (::fstat(copy.fd, &info) != 0 || static_cast<std::uintmax_t>(info.st_size) != target->size)
        return false;
    try {
        const FileBytes old = ReadWholeDescriptor(copy.fd);
        return old.readError == 0 && old.view() == target->view();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::optional<std::string> FindInterruptedSave(const std::string& path, SettledSaves settled)
{
    std::string target;
    try {
        target = FollowLinks(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
    const std::string name = NamePart(target);
    if (name.empty())
        return std::nullopt;
    const std::string folder = FolderPart(target);
    const long nameMax = NameMax(folder);
    const std::string prefix = SafeFileWriter::BackupPrefix(name, nameMax);
    const std::string recordPrefix = SafeFileWriter::RecordPrefix(name, nameMax);
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr)
        return std::nullopt;
    std::vector<Leftover> leftovers;
    std::vector<std::string> records;
    while (const dirent* entry = ::readdir(listing)) {
        if (IsPrefixAndSuffix(entry->d_name, recordPrefix)) {
            records.push_back(folder + entry->d_name);
            continue;
        }
        if (!IsPrefixAndSuffix(entry->d_name, prefix))
            continue;
        Leftover copy{folder + entry->d_name};
        copy.fd = ::open(copy.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (copy.fd < 0)
            continue;
        struct stat info {};
        // A running save holds its copy locked: that one is no leftover.
        // Held here until it is settled, so that two editors opening the
        // file do not both act on it.
        if (::fstat(copy.fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(copy.fd, LOCK_EX | LOCK_NB) == 0) {
            copy.time = info.st_mtim;
            leftovers.push_back(std::move(copy));
        } else {
            ::close(copy.fd);
        }
    }
    ::closedir(listing);

    std::optional<FileBytes> now;
    if (!leftovers.empty()) {
        try {
            now = ReadWholeFile(target);
            if (now->readError != 0)
                now.reset();
        } catch (const std::exception&) {
            // Unreadable (gone, say): nothing settles; the copies are offered.
        }
    }
    std::optional<std::string> newest;
    struct timespec newestTime {};
    for (const Leftover& copy : leftovers) {
        if (Settled(copy, now)) {
            if (settled == SettledSaves::Remove) {
                ::unlink(copy.path.c_str());
                ::unlink(RecordOf(copy.path).c_str());  // always a record's name: the copy's matched
            }
        } else if (!newest || copy.time.tv_sec > newestTime.tv_sec
                   || (copy.time.tv_sec == newestTime.tv_sec && copy.time.tv_nsec > newestTime.tv_nsec)) {
            newest = copy.path;
            newestTime = copy.time;
        }
        ::close(copy.fd);
    }
    if (settled == SettledSaves::Remove) {
        // A save records after its copy exists and removes the copy first,
        // so a record whose copy is gone now belongs to no save.
        for (const std::string& record : records) {
            const std::string copy = SwapTag(record, kRecordTag, kBackupTag);
            struct stat info {};
            if (::lstat(copy.c_str(), &info) != 0 && errno == ENOENT)
                ::unlink(record.c_str());
        }
    }
    return newest;
}

void RestoreInterruptedSave(const std::string& path, const std::string& copy)
{
    const FileBytes bytes = ReadWholeFile(copy);
    if (bytes.readError != 0)
        throw FileError(bytes.readError);
    SafeFileWriter writer(path);
    writer.write(bytes.view());
    writer.commit();
    if (::unlink(copy.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        throw FileError(error, "The content of " + copy
                                   + " was put back, but the copy could not be removed: " + FileErrorMessage(error));
    }
    if (const std::string record = RecordOf(copy); !record.empty())
        ::unlink(record.c_str());
}

}  // namespace qel
