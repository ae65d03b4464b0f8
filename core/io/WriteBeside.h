#pragma once
// Writing a whole file and putting a new file in an old one's place, for
// every writer that is not the save itself: the file list's copies, the
// sound preview's copy.

#include <functional>
#include <string>
#include <string_view>

namespace qel {

// Writes all of `bytes` to `fd` through the write call that SetWriteCall
// (FileIo.h) put in place, again after an interrupted write; false with
// errno set when a write fails.
bool WriteAll(int fd, std::string_view bytes);

// What WriteBeside does with a target that exists.
enum class ExistingTarget { Replace, Keep };

// Writes a new file beside `target` and gives it the target's name only once
// it is complete, so that a failure leaves an old target whole and no part of
// the new file: `fill` writes into the new file (the target's name and six
// letters) and returns false, errno set, when it could not. The file gets
// `mode` less the umask, is synced before the rename when `sync` says so
// (what only a save needs), and replaces the target; with Keep an existing
// target stays and the call fails with EEXIST. Returns 0 or the error
// number; the new file never stays under its temporary name. The save
// itself (SafeFileWriter) does more: owners, links, writing in place.
int WriteBeside(const std::string& target, unsigned mode, ExistingTarget existing, bool sync,
                const std::function<bool(int fd)>& fill);

}  // namespace qel
