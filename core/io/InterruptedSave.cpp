#include "core/io/InterruptedSave.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <exception>
#include <utility>
#include <vector>

#include "core/Errors.h"
#include "core/PathText.h"
#include "core/io/FileIo.h"
#include "core/io/SaveSupport.h"

namespace qel {

using namespace fileio;

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
