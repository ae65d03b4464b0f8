#include "core/io/DefinitionFiles.h"

#include <sys/stat.h>

#include <new>

#include "core/Errors.h"
#include "core/io/FileIo.h"

namespace qel {

namespace {

// Running out of memory while the file is read or taken apart is a failure of
// this read, told in the user's terms; what was read so far is dropped, so
// that the memory it took comes back at once.
template <typename Read>
void ReadOrReport(DefinitionDocument& doc, const std::string& name, std::size_t size, Read read)
{
    try {
        read();
    } catch (const std::bad_alloc&) {
        doc = DefinitionDocument();
        throw MessageError(TooLargeToOpenMessage(name, size));
    }
}

std::size_t SizeOf(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
}

}  // namespace

void ReadDefinition(DefinitionDocument& doc, const std::string& path, ReadReport* report)
{
    struct stat info {};
    const std::size_t size = ::stat(path.c_str(), &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
    ReadOrReport(doc, path, size, [&] { ReadDefinitionBuffer(doc, ReadWholeFile(path), path, report); });
}

void ReadDefinitionFrom(DefinitionDocument& doc, int fd, const std::string& name, ReadReport* report)
{
    ReadOrReport(doc, name, SizeOf(fd), [&] { ReadDefinitionBuffer(doc, ReadWholeDescriptor(fd), name, report); });
}

void WriteDefinition(const DefinitionDocument& doc, const std::string& path, SpecialFiles special,
                     const SaveSeams* seams)
{
    SafeFileWriter writer(path, special);
    if (seams != nullptr)
        writer.setSeams(*seams);
    ComposeDefinition(doc, [&writer](std::string_view piece) { writer.write(piece); });
    writer.commit();
}

}  // namespace qel
