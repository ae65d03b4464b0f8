#pragma once
// Reading and writing definition files on disk: the model's reader and writer
// over the system's files.

#include <cstddef>
#include <string>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/io/FileIo.h"

namespace qel {

// Reads the file `path` into `doc`, as ReadDefinitionBuffer reads its bytes;
// a file that cannot be read at all fails with line() 0. Files that are not
// files are refused as ReadWholeFile says. Running out of memory while
// reading leaves `doc` empty and fails with TooLargeToOpenMessage.
void ReadDefinition(DefinitionDocument& doc, const std::string& path, ReadReport* report = nullptr);

// The same from a descriptor that is already open, such as standard input;
// `name` stands for it in messages.
void ReadDefinitionFrom(DefinitionDocument& doc, int fd, const std::string& name, ReadReport* report = nullptr);

// Writes the document through a temporary file that replaces `path` only when
// complete (SafeFileWriter). The document state is the caller's: saving names
// the file before the write and marks the document saved after it. Throws
// FileError; "NAME is not a regular file" for a FIFO, a device, a socket or a
// folder unless `special` lets a device or a pipe be written through.
// `seams`, when given, run at the replace.
void WriteDefinition(const DefinitionDocument& doc, const std::string& path,
                     SpecialFiles special = SpecialFiles::Refuse, const SaveSeams* seams = nullptr);

}  // namespace qel
