#pragma once
// Splitting file names held as bytes. The folder separators are "/" and, on
// Windows, also "\" and the drive colon.

#include <string>
#include <string_view>

namespace qel {

bool IsFolderSeparator(char c);

// Everything up to and including the last separator; empty when there is none.
std::string FolderPart(std::string_view path);
// Everything after the last separator.
std::string NamePart(std::string_view path);
// From the last "." of the name part on, the "." included; empty when the name
// part has no ".".
std::string ExtensionPart(std::string_view path);

// True for ".bmp", ".bm2", ".gif", ".jpg", ".jpeg" and ".png" in any case;
// `extension` is the extension alone, its "." included.
bool IsPictureExtension(std::string_view extension);

// The name a Save As writes to: ".ini" appended when the name part has no
// extension; a name ending in "." or with any other extension is kept.
std::string WithDefaultExtension(std::string_view path);

}  // namespace qel
