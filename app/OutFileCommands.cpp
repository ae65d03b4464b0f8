#include "OutFileCommands.h"

namespace qel::app {

namespace {
constexpr int kOutFileMergeKey = 1;
}

std::unique_ptr<SessionCommand> MakeSetOutFile(DocumentSession& session, std::string text)
{
    return std::make_unique<ContentCommand>(
        session, QStringLiteral("Edit OutFile"), kOutFilePart,
        [text = std::move(text)](DefinitionDocument& doc) { doc.setOutFile(text); }, kOutFileMergeKey);
}

}  // namespace qel::app
