#pragma once
// Steps that work on many object rows at once: Paste and Duplicate put rows
// in after the last selected row (at the end when none is), Cut takes the
// selected rows out; and the plain selections Select All and Select Objects
// Using Image. The clipboard's text is read and written by the caller: these
// only turn it into rows and back.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ObjectSteps.h"
#include "app/ViewState.h"
#include "core/ObjectClipboard.h"

namespace qel::app {

// Rows put in as one block ("Paste 3 objects", "Duplicate 3 objects"): they
// are selected afterwards, the first of them current. Undo takes them out.
class InsertObjectsStep : public SessionStep {
public:
    InsertObjectsStep(DocumentSession& session, ObjectKind kind, const char* verb, RowLines lines);
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    ObjectKind kind_;
    RowLines lines_;
};

// Delete under the name "Cut N objects": the lines went to the clipboard.
class CutObjectsStep : public DeleteObjectsStep {
public:
    CutObjectsStep(DocumentSession& session, ObjectKind kind, std::vector<std::size_t> rows);
};

// Where new rows go: after the last selected row, or after the last row.
std::size_t InsertionRow(const ObjectList& list, const RowSelection& selected);

// The paste of `text` into `kind`'s list at `row`; with `at`, the group's
// top-left is placed there (map objects). Nothing (no step) for a text
// without lines. Throws MessageError naming a line that is no object line,
// and ConversionError when placing would leave the 32-bit range.
std::unique_ptr<SessionStep> MakePaste(DocumentSession& session, ObjectKind kind, std::u16string_view text,
                                       std::size_t row,
                                       std::optional<std::pair<std::int64_t, std::int64_t>> at = std::nullopt);

// Copies of `rows` (any order; rows past the end left out), moved one tile right and down as a move
// moves them, put in after the last of them. Nothing for no rows.
std::unique_ptr<SessionStep> MakeDuplicate(DocumentSession& session, ObjectKind kind,
                                           const std::vector<std::size_t>& rows);

// Every row of the list.
RowSelection AllRows(const ObjectList& list, std::optional<std::size_t> current);
// Every row whose image is `image`, in runs.
RowSelection RowsUsingImage(const ObjectList& list, std::int32_t image, std::optional<std::size_t> current);
// Only those of `selection`'s rows that are among `shown` (ascending): what a
// filtered list's Select All and Select Objects Using Image select.
RowSelection ShownOnly(const RowSelection& selection, const std::vector<std::uint32_t>& shown);

}  // namespace qel::app
