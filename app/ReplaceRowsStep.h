#pragma once
// Steps that rewrite rows in place: each keeps the rows' lines before and
// after (RowLines: the rows with their bytes), applies the one and reverts
// to the other; only those rows are taken apart again. Rows the plan leaves
// as they were are not in it and not counted in the step's text. The
// selections stay as they were.

#include <cstdint>
#include <vector>

#include "app/SessionStep.h"
#include "core/ObjectChange.h"
#include "core/ObjectMoves.h"

namespace qel::app {

class ReplaceRowsStep : public SessionStep {
public:
    // "`verb` N objects" names the step, N being the rows `after` holds.
    ReplaceRowsStep(DocumentSession& session, ObjectKind kind, const char* verb, RowLines before, RowLines after);
    // Whether the step changes any row: one that does not is not pushed.
    bool changesAnything() const { return after_.count() > 0; }
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    ObjectKind kind_;
    RowLines before_;
    RowLines after_;
};

// Move: fields 0 and 1 of each movable row rewritten for the move, every
// other byte kept. Screen moves keep each coordinate's form and stop where a
// "C-n" would go below 0. Made from the document as it is when the step is
// built: the constructor throws ConversionError, with nothing changed, for a
// move past the 32-bit range.
class MoveObjectsStep : public ReplaceRowsStep {
public:
    MoveObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows, std::int64_t dx,
                    std::int64_t dy);

private:
    MoveObjectsStep(DocumentSession& session, ObjectKind kind, PlannedMove plan);
};

// Change Selected Objects: the chosen fields of every given row rewritten
// (see PlanChange). Throws as Move does, for the same reason.
class ChangeObjectsStep : public ReplaceRowsStep {
public:
    ChangeObjectsStep(DocumentSession& session, ObjectKind kind, const std::vector<std::size_t>& rows,
                      const ObjectChange& change);

private:
    ChangeObjectsStep(DocumentSession& session, ObjectKind kind, PlannedChange plan);
};

}  // namespace qel::app
