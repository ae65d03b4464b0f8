#include "platform/RecoveryDisk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/Errors.h"
#include "core/io/FileIo.h"
#include "platform/FileNameText.h"

namespace qel::platform {

namespace {
constexpr mode_t kOwnerOnlyFolder = 0700;
constexpr mode_t kOwnerOnlyFile = 0600;
// The writer's temporary beside a copy: "." COPY-NAME ".qel-" SIX-LETTERS.
constexpr std::string_view kTemporaryTag = ".qel-";

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string Octal(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
    return text;
}

// A folder this editor just made: owner-only exactly, whatever the umask
// narrowed it to, so that the folders below it can be made too.
bool MakeOwnerOnlyFolder(const std::string& path, int& error)
{
    if (::mkdir(path.c_str(), kOwnerOnlyFolder) != 0) {
        error = errno;
        return error == EEXIST;  // made meanwhile by another editor: checked below
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        ::fchmod(fd, kOwnerOnlyFolder);
        ::close(fd);
    }
    return true;
}

class SafeWriter final : public RecoveryFolder::Writer {
public:
    explicit SafeWriter(const std::string& path) : writer_(path) {}
    void write(std::string_view bytes) override { writer_.write(bytes); }
    void commit() override { writer_.commit(); }

private:
    SafeFileWriter writer_;
};

// The lock file at `path` is stale when no one holds it; takes and removes it.
void RemoveIfFree(const std::string& path)
{
    int error = 0;
    RecoveryLock::Take(path, error);
}
}  // namespace

std::string RecoveryFolderProblem(const std::string& folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return folder + ": " + FileErrorMessage(errno);
    if (S_ISLNK(info.st_mode))
        return folder + " is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    if (info.st_uid != ::geteuid())
        return folder + " belongs to another user";
    const mode_t mode = info.st_mode & 07777;
    if (mode != kOwnerOnlyFolder)
        return folder + " has permissions " + Octal(mode) + " instead of " + Octal(kOwnerOnlyFolder);
    return {};
}

std::string MakeRecoveryFolder(const std::string& folder)
{
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        // The folders above may be links (a home moved elsewhere): followed.
        for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
            const std::string above = folder.substr(0, slash);
            if (::stat(above.c_str(), &info) == 0) {
                if (!S_ISDIR(info.st_mode))
                    return above + " is not a folder";
                continue;
            }
            int error = errno;
            if (error != ENOENT || !MakeOwnerOnlyFolder(above, error))
                return above + " cannot be made: " + FileErrorMessage(error);
        }
        int error = 0;
        if (!MakeOwnerOnlyFolder(folder, error))
            return folder + " cannot be made: " + FileErrorMessage(error);
    }
    return RecoveryFolderProblem(folder);
}

void MakePrivateFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kOwnerOnlyFile);
    if (fd < 0)
        throw FileError(errno);
    struct stat info {};
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileError(EINVAL, path + " is not a regular file");
    }
    // The umask may have left less; a copy of an earlier editor may have more.
    if (error == 0 && (info.st_mode & 07777) != kOwnerOnlyFile && ::fchmod(fd, kOwnerOnlyFile) != 0)
        error = errno;
    ::close(fd);
    if (error != 0)
        throw FileError(error);
}

std::unique_ptr<RecoveryLock> RecoveryLock::Take(const std::string& path, int& error)
{
    error = 0;
    // The holder removes its lock file as it lets go: a lock taken on a file
    // already removed is no lock, and the file there now is tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kOwnerOnlyFile);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errno == EWOULDBLOCK ? 0 : errno;
            ::close(fd);
            return nullptr;
        }
        struct stat held {};
        struct stat there {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &there) == 0 && held.st_dev == there.st_dev
            && held.st_ino == there.st_ino) {
            if (!S_ISREG(held.st_mode)) {
                ::close(fd);
                error = EINVAL;
                return nullptr;
            }
            if ((held.st_mode & 07777) != kOwnerOnlyFile)
                ::fchmod(fd, kOwnerOnlyFile);
            return std::unique_ptr<RecoveryLock>(new RecoveryLock(path, fd));
        }
        ::close(fd);
    }
    return nullptr;
}

RecoveryLock::~RecoveryLock()
{
    ::unlink(path_.c_str());
    ::close(fd_);
}

void SweepRecoveryFolder(const std::string& folder, const std::string& copySuffix, std::time_t cutoff)
{
    std::vector<std::string> names;
    if (DIR* listing = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(listing))
            names.emplace_back(entry->d_name);
        ::closedir(listing);
    }
    const std::string partialTag = copySuffix + std::string(kTemporaryTag);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_mtime >= cutoff)
            continue;
        if (EndsWith(name, kRecoveryLockSuffix)) {
            RemoveIfFree(path);
        } else if (name.front() == '.' && name.find(partialTag) != std::string::npos) {
            // A writer holds its temporary's flock while it writes.
            const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                continue;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                ::unlink(path.c_str());
            ::close(fd);
        } else if (EndsWith(name, copySuffix) && info.st_size == 0) {
            // Made for a first copy that was never written.
            int error = 0;
            if (const auto lock = RecoveryLock::Take(path + std::string(kRecoveryLockSuffix), error))
                ::unlink(path.c_str());
        }
    }
}

std::string DiskRecoveryFolder::problem(const std::string& folder)
{
    return RecoveryFolderProblem(folder);
}

std::string DiskRecoveryFolder::make(const std::string& folder)
{
    return MakeRecoveryFolder(folder);
}

void DiskRecoveryFolder::sweep(const std::string& folder, const std::string& copySuffix, std::time_t cutoff)
{
    SweepRecoveryFolder(folder, copySuffix, cutoff);
}

std::vector<std::string> DiskRecoveryFolder::list(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    for (const QString& name : QDir(FileNameText(folder)).entryList({FileNameText(pattern)}, QDir::Files))
        names.push_back(FileNameBytes(name));
    return names;
}

std::unique_ptr<RecoveryFolder::Lock> DiskRecoveryFolder::lock(const std::string& copy, int& error)
{
    return RecoveryLock::Take(copy + std::string(kRecoveryLockSuffix), error);
}

FileBytes DiskRecoveryFolder::read(const std::string& path)
{
    FileBytes bytes = ReadWholeFile(path);
    if (bytes.readError != 0)
        throw FileError(bytes.readError);
    return bytes;
}

bool DiskRecoveryFolder::exists(const std::string& path)
{
    return QFile::exists(FileNameText(path));
}

void DiskRecoveryFolder::remove(const std::string& path)
{
    QFile::remove(FileNameText(path));
}

void DiskRecoveryFolder::rename(const std::string& from, const std::string& to)
{
    QFile::rename(FileNameText(from), FileNameText(to));
}

std::unique_ptr<RecoveryFolder::Writer> DiskRecoveryFolder::write(const std::string& path)
{
    // The writer's temporary takes the permissions of the file it replaces:
    // owner-only from the first byte, whatever the umask.
    MakePrivateFile(path);
    return std::make_unique<SafeWriter>(path);
}

}  // namespace qel::platform
