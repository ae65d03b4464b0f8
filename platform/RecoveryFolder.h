#pragma once
// The disk as the recovery store (RecoveryStore.h) reaches it: the folder of
// copies checked, made and swept, and the copies in it listed, locked, read,
// written, renamed and removed. Paths are the system's file name bytes. The
// real one is DiskRecoveryFolder (RecoveryDisk.h).

#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileBytes.h"

namespace qel::platform {

class RecoveryFolder {
public:
    // A copy held by this editor until this is destroyed.
    class Lock {
    public:
        virtual ~Lock() = default;
    };
    // A copy being written: an earlier copy of the name is replaced only by
    // a complete one, at commit(). Throws FileError.
    class Writer {
    public:
        virtual ~Writer() = default;
        virtual void write(std::string_view bytes) = 0;
        virtual void commit() = 0;
    };

    virtual ~RecoveryFolder() = default;

    // Why copies may not be kept in `folder` ("PATH is a symbolic link",
    // ...); empty when they may. A missing folder is not made.
    virtual std::string problem(const std::string& folder) = 0;
    // The same, after making `folder` when it is missing.
    virtual std::string make(const std::string& folder) = 0;
    // Removes what killed editors left in `folder` before `cutoff` and no
    // one holds; copies with something in them stay.
    virtual void sweep(const std::string& folder, const std::string& copySuffix, std::time_t cutoff) = 0;
    // The names of the files in `folder` that the wildcard `pattern`
    // matches, in the order of their names.
    virtual std::vector<std::string> list(const std::string& folder, const std::string& pattern) = 0;
    // Holds `copy`. Null when another editor holds it (`error` 0) or it
    // cannot be held (`error` says why).
    virtual std::unique_ptr<Lock> lock(const std::string& copy, int& error) = 0;
    // Throws FileError.
    virtual FileBytes read(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Failures are ignored: a copy that stays is offered again.
    virtual void remove(const std::string& path) = 0;
    // Fails, changing nothing, when `to` exists.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    // Writes `path` owner-only from its first byte. Called on a thread of
    // the store's own. Throws FileError.
    virtual std::unique_ptr<Writer> write(const std::string& path) = 0;
};

}  // namespace qel::platform
