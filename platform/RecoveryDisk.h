#pragma once
// The recovery folder's rules on disk. The folder holds one user's unsaved
// work, so it is used only when it is a real folder of that user that no one
// else may enter: one the editor made itself, or one left exactly so. Anything
// else there (a symbolic link, another user's folder, a folder of other
// permissions) is the user's or another's doing, and is left as it is.
//
// Copies and their locks are made owner-only whatever the umask. A lock is an
// flock on its file, so it goes with the editor that held it however that
// editor ends, and a lock file no one holds is only a name.
//
// DiskRecoveryFolder is the recovery store's way to the disk, by these rules.

#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/RecoveryFolder.h"

namespace qel::platform {

// A copy's lock is its name with this added.
constexpr std::string_view kRecoveryLockSuffix = ".lock";

// Why copies may not be kept in `folder` ("PATH is a symbolic link", ...);
// empty when they may. A missing folder is not made.
std::string RecoveryFolderProblem(const std::string& folder);

// Makes `folder` when it is missing (and the missing folders above it), each
// owner-only, then checks it as RecoveryFolderProblem does.
std::string MakeRecoveryFolder(const std::string& folder);

// Makes `path` an owner-only regular file (empty when new) without following
// a symbolic link. Throws FileError.
void MakePrivateFile(const std::string& path);

// An exclusive lock held while this lives; its file is removed when let go.
class RecoveryLock final : public RecoveryFolder::Lock {
public:
    // The lock at `path`, its file made owner-only when missing. Null when
    // another holds it (`error` 0) or it cannot be made (`error` says why).
    static std::unique_ptr<RecoveryLock> Take(const std::string& path, int& error);
    ~RecoveryLock() override;
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;

private:
    RecoveryLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    std::string path_;
    int fd_;
};

// Removes what killed editors left in `folder` before `cutoff` and no one
// holds: partial copies (the writer's temporaries, and copies never written
// into) and lock files. Whole copies stay: they are unsaved work.
void SweepRecoveryFolder(const std::string& folder, const std::string& copySuffix, std::time_t cutoff);

class DiskRecoveryFolder final : public RecoveryFolder {
public:
    std::string problem(const std::string& folder) override;
    std::string make(const std::string& folder) override;
    void sweep(const std::string& folder, const std::string& copySuffix, std::time_t cutoff) override;
    std::vector<std::string> list(const std::string& folder, const std::string& pattern) override;
    // The copy's lock file is its name with kRecoveryLockSuffix added.
    std::unique_ptr<Lock> lock(const std::string& copy, int& error) override;
    FileBytes read(const std::string& path) override;
    bool exists(const std::string& path) override;
    void remove(const std::string& path) override;
    void rename(const std::string& from, const std::string& to) override;
    // Through the safe writer, into a file MakePrivateFile made first.
    std::unique_ptr<Writer> write(const std::string& path) override;
};

}  // namespace qel::platform
