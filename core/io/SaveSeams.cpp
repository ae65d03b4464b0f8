// The seams of a save at its replace: the caller's look before it, the
// written file's stamp, and the points tests act at.

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "core/io/FileIo.h"
#include "core/io/SaveSupport.h"

namespace qel {

SavePointCall& fileio::SavePointSeam()
{
    static SavePointCall call;
    return call;
}

using fileio::SavePointSeam;

void SetSavePointCall(SavePointCall call)
{
    SavePointSeam() = std::move(call);
}

void SafeFileWriter::noteWritten()
{
    if (seams_.written != nullptr && ::fstat(fd_, seams_.written) != 0)
        fail(errno);
}

void SafeFileWriter::checkBeforeReplace()
{
    if (SavePointSeam())
        SavePointSeam()(SavePoint::BeforeReplaceCheck);
    if (seams_.beforeReplace)
        seams_.beforeReplace();
}

}  // namespace qel
