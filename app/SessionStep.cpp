#include "app/SessionStep.h"

#include "core/Errors.h"

namespace qel::app {

QString CountedText(const char* verb, std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(verb)).arg(count).arg(QLatin1String(count == 1 ? one : many));
}

SessionStep::SessionStep(DocumentSession& session, const QString& text) : QUndoCommand(text), session_(session) {}

void SessionStep::firstApply()
{
    changesBefore_ = document().changeCount();
    try {
        apply();
    } catch (...) {
        changesAfter_ = document().changeCount();
        throw;
    }
    changesAfter_ = document().changeCount();
}

bool SessionStep::continues(const SessionStep& next)
{
    if (undone_ || released_ || next.changesBefore_ != changesAfter_)
        return false;
    changesAfter_ = next.changesAfter_;
    return true;
}

void SessionStep::redo()
{
    // The stack redoes a step when it is pushed; it was applied just before.
    if (pushing_) {
        pushing_ = false;
        return;
    }
    if (released_)
        return;
    try {
        apply();
    } catch (const ConversionError&) {
        // The same line failed when the step was made, and was reported then;
        // the lines are as they were after it.
    }
}

void SessionStep::undo()
{
    undone_ = true;
    if (released_)
        return;
    try {
        revert();
    } catch (const ConversionError&) {
        // As in redo(): the lines are back; a line without fields stays so.
    }
}

void SessionStep::release()
{
    released_ = true;
    releaseHistory();
}

}  // namespace qel::app
