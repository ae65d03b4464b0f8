#include "app/ReplaceRowsStep.h"

namespace qel::app {

ReplaceRowsStep::ReplaceRowsStep(DocumentSession& session, ObjectKind kind, const char* verb, RowLines before,
                                 RowLines after)
    : SessionStep(session, CountedText(verb, after.count(), "object", "objects")),
      kind_(kind),
      before_(std::move(before)),
      after_(std::move(after))
{
}

void ReplaceRowsStep::apply()
{
    session().replaceRows(kind_, after_);
    if (viewBefore())
        setViewAfter(*viewBefore());
}

void ReplaceRowsStep::revert()
{
    session().replaceRows(kind_, before_);
}

std::size_t ReplaceRowsStep::keptBytes() const
{
    const auto bytesOf = [](const RowLines& lines) {
        return lines.bytes.capacity() + (lines.rows.capacity() + lines.ends.capacity()) * sizeof(std::size_t);
    };
    return bytesOf(before_) + bytesOf(after_);
}

void ReplaceRowsStep::releaseHistory()
{
    before_ = {};
    after_ = {};
}

MoveObjectsStep::MoveObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows,
                                 std::int64_t dx, std::int64_t dy)
    : MoveObjectsStep(session, kind, PlanMove(session.document().objects(kind), rows, dx, dy))
{
}

MoveObjectsStep::MoveObjectsStep(DocumentSession& session, ObjectKind kind, PlannedMove plan)
    : ReplaceRowsStep(session, kind, "Move", std::move(plan.before), std::move(plan.after))
{
}

ChangeObjectsStep::ChangeObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows,
                                     const ObjectChange& change)
    : ChangeObjectsStep(session, kind, PlanChange(session.document().objects(kind), rows, change))
{
}

ChangeObjectsStep::ChangeObjectsStep(DocumentSession& session, ObjectKind kind, PlannedChange plan)
    : ReplaceRowsStep(session, kind, "Change", std::move(plan.before), std::move(plan.after))
{
}

}  // namespace qel::app
