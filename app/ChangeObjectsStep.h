#pragma once
// Change Selected Objects: the chosen fields of every given row rewritten
// (see PlanChange), as one step; rows it leaves as they were are not
// counted. Made from the document as it is when the step is built: the
// constructor throws ConversionError, with nothing changed, for a move past
// the 32-bit range. The selections stay as they were.

#include "app/SessionStep.h"
#include "core/ObjectChange.h"

namespace qel::app {

class ChangeObjectsStep : public SessionStep {
public:
    ChangeObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows,
                      const ObjectChange& change);
    // Whether the step changes any row: one that does not is not pushed.
    bool changesAnything() const { return plan_.after.count() > 0; }
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override { plan_ = {}; }

private:
    ChangeObjectsStep(DocumentSession& session, ObjectKind kind, PlannedChange plan);

    ObjectKind kind_;
    PlannedChange plan_;
};

}  // namespace qel::app
