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

    virtual bool exists(const std::string& path) const = 0;
    // Copies `source` to `target`. Without `replace` an existing target is
    // left alone and the copy fails. False when the copy did not happen.
    virtual bool copy(const std::string& source, const std::string& target, bool replace) = 0;
    // False when there was a file and it could not be deleted.
    virtual bool remove(const std::string& path) = 0;
};

class QtFileOperations : public FileOperations {
public:
    bool exists(const std::string& path) const override;
    bool copy(const std::string& source, const std::string& target, bool replace) override;
    bool remove(const std::string& path) override;
};

// Writes all of `bytes` to `fd`, again after an interrupted write; false
// with errno set when a write fails.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace qel::platform
