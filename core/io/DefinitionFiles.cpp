#include "core/io/DefinitionFiles.h"

#include <new>

#include "core/Errors.h"
#include "core/io/FileIo.h"

namespace qel {

namespace {
// Running out of memory while the file is read is a failure of this read.
template <typename Read>
FileBytes ReadOrReport(const std::string& name, Read read)
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        throw MessageError("Not enough memory to read " + name);
    }
}
}  // namespace

void ReadDefinition(DefinitionDocument& doc, const std::string& path, ReadReport* report)
{
    ReadDefinitionBuffer(doc, ReadOrReport(path, [&] { return ReadWholeFile(path); }), path, report);
}

void ReadDefinitionFrom(DefinitionDocument& doc, int fd, const std::string& name, ReadReport* report)
{
    ReadDefinitionBuffer(doc, ReadOrReport(name, [&] { return ReadWholeDescriptor(fd); }), name, report);
}

void WriteDefinition(const DefinitionDocument& doc, const std::string& path, SpecialFiles special)
{
    SafeFileWriter writer(path, special);
    ComposeDefinition(doc, [&writer](std::string_view piece) { writer.write(piece); });
    writer.commit();
}

}  // namespace qel
