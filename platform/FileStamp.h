#pragma once
// What a file was on disk at one moment: enough to tell that another program
// rewrote it (size or time), put a new file in its place (another inode, as a
// file renamed over it has), removed it, or left something other than a file
// under its name. Times count nanoseconds, so two writes within one
// millisecond still differ.

#include <sys/stat.h>

#include <QtGlobal>
#include <string>

namespace qel::platform {

// What the name itself is: a link to a regular file is a Symlink; anything
// that is no regular file (a folder, a pipe, a device, or a link to one) is
// Other.
enum class FileKind : unsigned char { Missing, Regular, Symlink, Other };

struct FileStamp {
    qint64 size = -1;     // -1: no file (or a link that leads nowhere)
    qint64 modified = 0;  // nanoseconds since the epoch
    quint64 inode = 0;
    quint64 device = 0;
    FileKind kind = FileKind::Missing;

    bool exists() const { return size >= 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of `path` (file name bytes) now. A link is told by its kind; the
// size, time and inode are those of the file it leads to.
FileStamp ReadFileStamp(const std::string& path);

// The stamp of a file just written, from its descriptor's `info`, as
// ReadFileStamp(path) gives it while nothing else has replaced it: only
// whether the name is a link is read from the path.
FileStamp WrittenFileStamp(const struct stat& info, const std::string& path);

}  // namespace qel::platform
