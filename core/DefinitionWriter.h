#pragma once
// Writing a document in the fixed layout of a definition file: CR LF after
// every line, sections in the order images, map objects, screen objects, each
// only when it has entries; entry lines unchanged.

#include <functional>
#include <string>
#include <string_view>

#include "core/DefinitionDocument.h"

namespace qel {

// The bytes WriteDefinition writes, handed out in pieces.
void ComposeDefinition(const DefinitionDocument& doc, const std::function<void(std::string_view)>& out);
std::string ComposeDefinition(const DefinitionDocument& doc);

// One image line: "IMAGE" number "=" file, then the three numbers only when
// none of them is 0 or -1.
std::string ComposeImageLine(const ObjectImage& image);

}  // namespace qel
