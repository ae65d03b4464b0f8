#pragma once
// Whole-file reading and safe replacement of a file, with failures reported as
// FileError (the system's error number mapped to the user's message).

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/Errors.h"
#include "core/FileBytes.h"
// Callers of the writer find what an interrupted one left with it.
#include "core/io/InterruptedSave.h"

namespace qel {

// The largest input read. A definition is text; anything larger is not one,
// or never ends (a device that always has more to give).
constexpr std::size_t kMaxInputSize = std::size_t{2} << 30;

// Reads the whole file. Throws FileError when it cannot be opened, when it is
// not a regular file ("NAME is not a regular file" for a FIFO, a device or a
// socket, refused before anything could block), and "File too large" beyond
// `limit` bytes. A failure while reading returns what was read before it, with
// `readError` set. Running out of memory throws std::bad_alloc.
FileBytes ReadWholeFile(const std::string& path, std::size_t limit = kMaxInputSize);

// The same from a descriptor that is already open (standard input); it is
// left open. A pipe or a character device is read too; anything else that is
// not a regular file is refused before anything is allocated.
FileBytes ReadWholeDescriptor(int fd, std::size_t limit = kMaxInputSize);

// The call every read above goes through: ::read, unless a test puts another
// in its place to make reads fail or come in small pieces. nullptr restores
// ::read.
using ReadCall = ssize_t (*)(int fd, void* buffer, std::size_t size);
void SetReadCall(ReadCall call);

// The call every write of SafeFileWriter goes through: ::write, unless a test
// puts another in its place to make writes fail, come in small pieces or end
// the process part way. nullptr restores ::write.
using WriteCall = ssize_t (*)(int fd, const void* buffer, std::size_t size);
void SetWriteCall(WriteCall call);

// What a save does with a target that exists but is no regular file (a FIFO,
// a device, a socket, a folder). A document is never sent into one: opening a
// FIFO blocks until a reader comes, and what went in is gone. Writing through
// is for output the user named as such (standard output, a pipe).
enum class SpecialFiles { Refuse, WriteThrough };

// "NAME is not a regular file".
FileError NotRegularFile(const std::string& name);

// What the caller of a save runs at its edges (SafeFileWriter::setSeams).
struct SaveSeams {
    // Right before the new bytes take the target's place, once they are on
    // disk (in place: before the target's first byte changes), so that the
    // caller's "changed since read?" leaves no gap that another program's
    // save could fall into. Throwing leaves the target as it was.
    std::function<void()> beforeReplace;
    // Set to the file written, from its descriptor once its last byte is on
    // disk: what the target holds after the save unless another program
    // replaced it since, which a look at the path afterwards cannot tell.
    struct stat* written = nullptr;
};

// Where a save stands, for tests that act as another program at that moment:
// just before the caller's beforeReplace, and just after the replace.
enum class SavePoint { BeforeReplaceCheck, Replaced };
using SavePointCall = std::function<void(SavePoint)>;
// Empty: none.
void SetSavePointCall(SavePointCall call);

// Writes a file so that a failure never leaves it damaged:
// - Normally the bytes go to a hidden temporary file beside the target, which
//   gets the target's owner, group and permissions and replaces it once it is
//   complete and on disk; then the folder is synced as well.
// - Symbolic links are followed, dangling or not: the file they lead to is
//   written and the links stay links.
// - A target that has other hard links, whose owner the writer cannot give to
//   a new file, or beside which no new file can be made, is written in place.
//   Before its first byte changes, its old bytes are copied to
//   NAME.qel-backup-XXXXXX beside it, and the copy and the folder are synced;
//   a copy that cannot be completed refuses the save with the target
//   untouched. The copy is removed once the new bytes are on disk, and when a
//   failed write could put the old bytes back. Should the process die part
//   way, the copy stays (FindInterruptedSave). Only where no new file can be
//   made at all are the old bytes kept in memory alone.
// - Any other kind of file is refused ("NAME is not a regular file") before
//   it is opened; with SpecialFiles::WriteThrough a device or a pipe is
//   simply written instead.
// A target that exists but may not be written is refused, as a direct write
// would be. Destroying a writer that was not committed leaves the target as
// it was. Temporary files older than an hour that a crashed save of the same
// target left behind are removed; copies of old bytes never are.
//
// An in-place write holds the new bytes until commit(). Before the target's
// first byte changes, their length and checksum go to a record beside the
// copy (NAME.qel-record-XXXXXX, with the copy's letters), synced with it: a
// target found later to match the record was saved completely. The copy is
// removed before its record, so a copy is never left without the record of
// a save that may have finished.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string target, SpecialFiles special = SpecialFiles::Refuse);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    void write(std::string_view bytes);
    void commit();
    void setSeams(SaveSeams seams) { seams_ = std::move(seams); }

    // Where an in-place write keeps the copy of the old bytes: a name the
    // removal of stale temporaries never matches.
    static std::string BackupPrefix(std::string_view name, long nameMax);
    // The record of the new bytes beside the copy: its name with this in
    // place of BackupPrefix.
    static std::string RecordPrefix(std::string_view name, long nameMax);

private:
    enum class Mode { Replace, InPlace, Device };

    void startInPlace(int copyFd);
    int secureCopy();
    int writeRecord();
    void commitInPlace();
    void writeOut(std::string_view bytes);
    void flushBuffer();
    bool putBack();
    void dropTemporary();
    void keepTemporary();
    std::string keepBackup();
    [[noreturn]] void fail(int error);
    // The seams at the replace: the descriptor's stamp, then the caller's check.
    void noteWritten();
    void checkBeforeReplace();

    Mode mode_ = Mode::Replace;
    std::string target_;
    std::string folder_;
    // Replace: the new file, written through fd_. In place: the copy of the
    // old bytes, open (and locked) as copyFd_; empty when there is none.
    std::string temp_;
    // In place: the record of the new bytes, once written.
    std::string record_;
    int fd_ = -1;
    int copyFd_ = -1;
    std::string buffer_;
    // In place: the target's old bytes, and whether any new byte reached it.
    FileBytes old_;
    bool touched_ = false;
    SaveSeams seams_;
};

}  // namespace qel
