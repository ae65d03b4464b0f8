#pragma once
// Steps on the out-file name.

#include <memory>
#include <string>

#include "ContentCommand.h"

namespace qel::app {

// Stores the out-file edit's whole text. Consecutive stores merge into one
// step, and typing back to the text before them leaves no step.
std::unique_ptr<SessionCommand> MakeSetOutFile(DocumentSession& session, std::string text);

}  // namespace qel::app
