#include "app/OutFileSteps.h"

namespace qel::app {

SetOutFileStep::SetOutFileStep(DocumentSession& session, std::string text)
    : SessionStep(session, QStringLiteral("Edit OutFile")), text_(std::move(text))
{
}

void SetOutFileStep::apply()
{
    if (!before_)
        before_ = document().outFile();
    session().setOutFile(text_);
}

void SetOutFileStep::revert()
{
    if (before_)
        session().setOutFile(*before_);
}

bool SetOutFileStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const SetOutFileStep*>(other);
    if (!next || !continues(*next))
        return false;
    text_ = next->text_;
    setObsolete(before_ && document().outFile() == *before_);
    return true;
}

}  // namespace qel::app
