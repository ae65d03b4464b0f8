#pragma once
// Reading a definition file into a document.

#include <string>
#include <string_view>

#include "DefinitionDocument.h"

namespace qel {

// Reads the file `path` into `doc`, appending to its lists; the caller resets
// the document first. On failure throws Error (FileError or ConversionError)
// whose line() is the 1-based line where reading stopped (0 when the file
// could not be read at all); everything read before that line stays, and an
// entry line that could not be taken apart is kept without fields.
void ReadDefinition(DefinitionDocument& doc, const std::string& path);

// The same for the bytes of a file held in memory. A non-zero `readError` is
// the system error that stopped reading the file after `bytes`: the complete
// lines are read (the last one may have been cut), then FileError is thrown
// for the line after them.
void ReadDefinitionBytes(DefinitionDocument& doc, std::string_view bytes, int readError = 0);

}  // namespace qel
