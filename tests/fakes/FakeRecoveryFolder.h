#pragma once
// The recovery folder in memory: files are bytes under their paths, locks a
// set of held copies (this store's and other editors'). What the folder's
// check says and whether writes fail are chosen by the test.

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "core/Errors.h"
#include "platform/RecoveryFolder.h"

namespace qel::platform {

class FakeRecoveryFolder : public RecoveryFolder {
public:
    std::string folderProblem;  // what problem() and make() say
    std::map<std::string, std::string> files;
    std::set<std::string> held;
    std::set<std::string> unreadable;  // read() fails with EIO
    int writeError = 0;                // every write fails with it when set
    int sweeps = 0;

    std::string problem(const std::string&) override { return folderProblem; }
    std::string make(const std::string&) override { return folderProblem; }
    void sweep(const std::string&, const std::string&, std::time_t) override { ++sweeps; }
    // `pattern` is START "*" END.
    std::vector<std::string> list(const std::string& folder, const std::string& pattern) override
    {
        const std::string start = folder + "/" + pattern.substr(0, pattern.find('*'));
        const std::string end = pattern.substr(pattern.find('*') + 1);
        std::vector<std::string> names;
        for (const auto& [path, bytes] : files)
            if (path.size() >= start.size() + end.size() && path.starts_with(start) && path.ends_with(end))
                names.push_back(path.substr(folder.size() + 1));
        return names;
    }
    std::unique_ptr<Lock> lock(const std::string& copy, int& error) override
    {
        error = 0;
        const std::lock_guard guard(mutex_);
        return held.insert(copy).second ? std::make_unique<Held>(*this, copy) : nullptr;
    }
    FileBytes read(const std::string& path) override
    {
        const std::lock_guard guard(mutex_);
        const auto found = files.find(path);
        if (found == files.end() || unreadable.count(path))
            throw FileError(found == files.end() ? ENOENT : EIO);
        const auto data = std::make_shared<char[]>(found->second.size());
        std::memcpy(data.get(), found->second.data(), found->second.size());
        return {data, found->second.size()};
    }
    bool exists(const std::string& path) override
    {
        const std::lock_guard guard(mutex_);
        return files.count(path) != 0;
    }
    void remove(const std::string& path) override
    {
        const std::lock_guard guard(mutex_);
        files.erase(path);
    }
    void rename(const std::string& from, const std::string& to) override
    {
        const std::lock_guard guard(mutex_);
        if (files.count(from) && !files.count(to))
            files[to] = std::move(files.extract(from).mapped());
    }
    std::unique_ptr<Writer> write(const std::string& path) override
    {
        const std::lock_guard guard(mutex_);
        files.try_emplace(path);  // made empty before a byte is written, as on disk
        return std::make_unique<Pending>(*this, path);
    }

private:
    struct Held : Lock {
        Held(FakeRecoveryFolder& folder, std::string copy) : folder(folder), copy(std::move(copy)) {}
        ~Held() override
        {
            const std::lock_guard guard(folder.mutex_);
            folder.held.erase(copy);
        }
        FakeRecoveryFolder& folder;
        std::string copy;
    };
    struct Pending : Writer {
        Pending(FakeRecoveryFolder& folder, std::string path) : folder(folder), path(std::move(path)) {}
        void write(std::string_view piece) override { bytes += piece; }
        void commit() override
        {
            const std::lock_guard guard(folder.mutex_);
            if (folder.writeError != 0)
                throw FileError(folder.writeError);
            folder.files[path] = bytes;
        }
        FakeRecoveryFolder& folder;
        std::string path;
        std::string bytes;
    };
    std::mutex mutex_;
};

}  // namespace qel::platform
