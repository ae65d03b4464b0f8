// The safe writer's save in place (FileIo.h): for a target that cannot be
// replaced by a new file, a locked copy of its old bytes and a record of the
// new ones are on disk beside it before its first byte changes.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "core/Errors.h"
#include "core/PathText.h"
#include "core/io/FileIo.h"
#include "core/io/SaveSupport.h"
#include "core/io/WriteBeside.h"

namespace qel {

namespace {

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

}  // namespace

namespace fileio {

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

}  // namespace fileio

using namespace fileio;

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

bool SafeFileWriter::putBack()
{
    if (!touched_)
        return true;
    return ::lseek(fd_, 0, SEEK_SET) == 0 && WriteAll(fd_, old_.view())
           && ::ftruncate(fd_, static_cast<off_t>(old_.size)) == 0 && ::fsync(fd_) == 0;
}

std::string SafeFileWriter::keepBackup()
{
    keepTemporary();  // unlocked: no longer held by a running save
    record_.clear();  // kept with the copy
    return std::exchange(temp_, {});
}

void SafeFileWriter::commitInPlace()
{
    checkBeforeReplace();
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
    noteWritten();
    ::close(fd_);
    fd_ = -1;
    dropTemporary();
    if (SavePointSeam())
        SavePointSeam()(SavePoint::Replaced);
}

}  // namespace qel
