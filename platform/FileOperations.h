#pragma once
// The few file operations the file list and the preview need: whether a file
// exists, copying and deleting. Paths are the system's file name bytes, as
// the document holds them.

#include <string>
#include <string_view>

namespace qel::platform {

class FileOperations {
public:
    virtual ~FileOperations() = default;

    // A file that is no folder (a special file counts).
    virtual bool exists(const std::string& path) const = 0;
    // A regular file, or a link to one.
    virtual bool isFile(const std::string& path) const = 0;
    // A folder, or a link to one.
    virtual bool isFolder(const std::string& path) const = 0;
    // Copies `source` to `target`. Without `replace` an existing target is
    // left alone and the copy fails. False when the copy did not happen.
    virtual bool copy(const std::string& source, const std::string& target, bool replace) = 0;
    // False when there was a file and it could not be deleted.
    virtual bool remove(const std::string& path) = 0;
};

class QtFileOperations : public FileOperations {
public:
    bool exists(const std::string& path) const override;
    bool isFile(const std::string& path) const override;
    bool isFolder(const std::string& path) const override;
    bool copy(const std::string& source, const std::string& target, bool replace) override;
    bool remove(const std::string& path) override;
};

}  // namespace qel::platform
