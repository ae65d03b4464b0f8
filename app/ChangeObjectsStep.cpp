#include "app/ChangeObjectsStep.h"

namespace qel::app {

ChangeObjectsStep::ChangeObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows,
                                     const ObjectChange& change)
    : ChangeObjectsStep(session, kind, PlanChange(session.document().objects(kind), rows, change))
{
}

ChangeObjectsStep::ChangeObjectsStep(DocumentSession& session, ObjectKind kind, PlannedChange plan)
    : SessionStep(session, CountedText("Change", plan.after.count(), "object", "objects")),
      kind_(kind),
      plan_(std::move(plan))
{
}

void ChangeObjectsStep::apply()
{
    session().replaceRows(kind_, plan_.after);
    if (viewBefore())
        setViewAfter(*viewBefore());
}

void ChangeObjectsStep::revert()
{
    session().replaceRows(kind_, plan_.before);
}

std::size_t ChangeObjectsStep::keptBytes() const
{
    const auto bytesOf = [](const RowLines& lines) {
        return lines.bytes.capacity() + (lines.rows.capacity() + lines.ends.capacity()) * sizeof(std::size_t);
    };
    return bytesOf(plan_.before) + bytesOf(plan_.after);
}

}  // namespace qel::app
