#pragma once
// Whole-file reading and safe replacement of a file, with failures reported as
// FileError (the system's error number mapped to the user's message).

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace qel {

// The bytes of a whole file, shared by whatever keeps views into them.
struct FileBytes {
    std::shared_ptr<const char[]> data;
    std::size_t size = 0;
    // The system error that stopped reading after `size` bytes; 0 when the
    // whole file was read.
    int readError = 0;
    std::string_view view() const { return {data.get(), size}; }
};

// Reads the whole file. Throws FileError when it cannot be opened; a failure
// while reading returns what was read before it, with `readError` set.
FileBytes ReadWholeFile(const std::string& path);

// Writes a new file next to the target and puts it in the target's place only
// once everything was written, so a failure never leaves the target truncated.
// A target that exists but may not be written is refused, as a direct write
// would be. Until commit(), the target is untouched; destroying an uncommitted
// writer removes the temporary file.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string target);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    void write(std::string_view bytes);
    void commit();

private:
    void flushBuffer();
    void fail(int error);

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace qel
