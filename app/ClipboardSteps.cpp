#include "app/ClipboardSteps.h"

#include <algorithm>

#include "core/Errors.h"

namespace qel::app {

InsertObjectsStep::InsertObjectsStep(DocumentSession& session, ObjectKind kind, const char* verb, RowLines lines)
    : SessionStep(session, CountedText(verb, lines.count(), "object", "objects")), kind_(kind), lines_(std::move(lines))
{
}

void InsertObjectsStep::apply()
{
    if (viewBefore()) {
        // Set before the change, so a rebuild that fails still leaves the
        // new rows in view.
        ViewState after = *viewBefore();
        after.shown = kind_;
        RowSelection& rows = after.of(kind_);
        rows = {};
        if (lines_.count() != 0) {
            rows.ranges.emplace_back(lines_.rows.front(), lines_.rows.back());
            rows.current = lines_.rows.front();
        }
        setViewAfter(after);
    }
    session().insertRows(kind_, lines_);
}

void InsertObjectsStep::revert()
{
    RowLines removed;
    session().removeRows(kind_, lines_.rows, removed);
}

std::size_t InsertObjectsStep::keptBytes() const
{
    return lines_.bytes.capacity() + (lines_.rows.capacity() + lines_.ends.capacity()) * sizeof(std::size_t);
}

void InsertObjectsStep::releaseHistory()
{
    lines_ = {};
}

CutObjectsStep::CutObjectsStep(DocumentSession& session, ObjectKind kind, std::vector<std::size_t> rows)
    : DeleteObjectsStep(session, kind, rows)
{
    setText(CountedText("Cut", rows.size(), "object", "objects"));
}

std::size_t InsertionRow(const ObjectList& list, const RowSelection& selected)
{
    if (selected.empty())
        return list.size();
    return std::min(selected.ranges.back().second + 1, list.size());
}

std::unique_ptr<SessionStep> MakePaste(DocumentSession& session, ObjectKind kind, std::u16string_view text,
                                       std::size_t row, std::optional<std::pair<std::int64_t, std::int64_t>> at)
{
    const ObjectList group = PastedObjects(text, kind);
    if (group.empty())
        return nullptr;
    const auto [dx, dy] = at ? PlacementMove(group, at->first, at->second) : std::pair<std::int64_t, std::int64_t>{};
    row = std::min(row, session.document().objects(kind).size());
    return std::make_unique<InsertObjectsStep>(session, kind, "Paste", PlacedLines(group, row, dx, dy));
}

std::unique_ptr<SessionStep> MakeDuplicate(DocumentSession& session, ObjectKind kind,
                                           const std::vector<std::size_t>& rows)
{
    const ObjectList& list = session.document().objects(kind);
    std::vector<std::size_t> kept;
    kept.reserve(rows.size());
    for (std::size_t row : rows)
        if (row < list.size())
            kept.push_back(row);
    if (kept.empty())
        return nullptr;
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    ObjectList group(kind);
    try {
        group.appendRowsOf(list, kept);
    } catch (const ConversionError&) {
        // A row without fields is copied as it is; it cannot move.
    }
    return std::make_unique<InsertObjectsStep>(session, kind, "Duplicate",
                                               PlacedLines(group, kept.back() + 1, kDuplicateOffset, kDuplicateOffset));
}

RowSelection AllRows(const ObjectList& list, std::optional<std::size_t> current)
{
    RowSelection all;
    if (!list.empty())
        all.ranges.emplace_back(0, list.size() - 1);
    all.current = current;
    return all;
}

RowSelection RowsUsingImage(const ObjectList& list, std::int32_t image, std::optional<std::size_t> current)
{
    RowSelection found;
    found.current = current;
    for (std::size_t row = 0; row < list.takenApart(); ++row) {
        if (list.fields(row).image != image)
            continue;
        if (!found.ranges.empty() && found.ranges.back().second + 1 == row)
            found.ranges.back().second = row;
        else
            found.ranges.emplace_back(row, row);
    }
    return found;
}

RowSelection ShownOnly(const RowSelection& selection, const std::vector<std::uint32_t>& shown)
{
    RowSelection kept;
    kept.current = selection.current;
    for (const std::uint32_t row : shown)
        if (selection.contains(row))
            kept.add(row);
    return kept;
}

}  // namespace qel::app
