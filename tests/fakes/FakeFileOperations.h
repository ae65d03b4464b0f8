#pragma once
// File operations for tests, over the real files: every call is recorded,
// and copies to chosen targets can be made to fail.

#include <set>
#include <string>
#include <vector>

#include "platform/FileOperations.h"

namespace qel::platform {

class FakeFileOperations : public QtFileOperations {
public:
    struct Copy {
        std::string source;
        std::string target;
        bool replace = false;
        friend bool operator==(const Copy&, const Copy&) = default;
    };
    std::vector<Copy> copies;
    std::vector<std::string> removed;
    // Copies to these targets fail without touching anything.
    std::set<std::string> failingTargets;

    bool copy(const std::string& source, const std::string& target, bool replace) override
    {
        copies.push_back({source, target, replace});
        if (failingTargets.count(target))
            return false;
        return QtFileOperations::copy(source, target, replace);
    }

    bool remove(const std::string& path) override
    {
        removed.push_back(path);
        return QtFileOperations::remove(path);
    }
};

}  // namespace qel::platform
