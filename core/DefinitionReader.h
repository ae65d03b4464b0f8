#pragma once
// Reading a definition file into a document.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "DefinitionDocument.h"

namespace qel {

// What a read saw besides the definition: the lines it ignored. These are the
// non-empty lines outside every section other than comments (";" in the first
// column), out-file and file lines and lines of spaces and tabs; a save drops
// them. Filled as far as the read went, also when it failed.
struct ReadReport {
    std::size_t ignoredLines = 0;
    std::size_t firstIgnoredLine = 0;  // 1-based; 0 when no line was ignored
    // Called with the 1-based number and the text of each ignored line.
    std::function<void(std::size_t line, std::string_view text)> onIgnoredLine;
};

// Reads the file `path` into `doc`, appending to its lists; the caller resets
// the document first. On failure throws Error (FileError or ConversionError)
// whose line() is the 1-based line where reading stopped (0 when the file
// could not be read at all); everything read before that line stays, and an
// entry line that could not be taken apart is kept without fields.
// A leading UTF-8 byte-order mark is skipped. UTF-16 text is refused ("FILE is
// UTF-16 text; definition files are 8-bit text"), and so is an input that does
// not fit in memory ("Not enough memory to read FILE").
void ReadDefinition(DefinitionDocument& doc, const std::string& path, ReadReport* report = nullptr);

// The same from a descriptor that is already open, such as standard input;
// `name` stands for it in messages.
void ReadDefinitionFrom(DefinitionDocument& doc, int fd, const std::string& name, ReadReport* report = nullptr);

// The same for the bytes of a file held in memory. A non-zero `readError` is
// the system error that stopped reading the file after `bytes`: the complete
// lines are read (the last one may have been cut), then FileError is thrown
// for the line after them.
void ReadDefinitionBytes(DefinitionDocument& doc, std::string_view bytes, int readError = 0,
                         ReadReport* report = nullptr, const std::string& name = "The text");

}  // namespace qel
