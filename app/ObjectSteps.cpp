#include "app/ObjectSteps.h"

#include <algorithm>

#include "core/Presets.h"

namespace qel::app {

namespace {
QString KindWords(ObjectKind kind)
{
    return kind == ObjectKind::Map ? QStringLiteral("map objects") : QStringLiteral("screen objects");
}

// Only the last row selected; the current row is the one last clicked or
// reached with the keyboard, so selecting does not move it.
RowSelection LastRowOf(const ObjectList& list, std::optional<std::size_t> current)
{
    if (list.empty())
        return {};
    return RowSelection::ofRows({list.size() - 1}, current);
}

}  // namespace

const char* SortKeyWords(SortKey key)
{
    static const char* const kWords[kSortKeyCount] = {"X-Coord", "Y-Coord",      "Image",    "Layer",
                                                      "Mode",    "Display Time", "Object ID"};
    return kWords[static_cast<int>(key)];
}

// ---------------------------------------------------------------- Add

AddObjectStep::AddObjectStep(DocumentSession& session, ObjectKind kind, EditorValues values)
    : SessionStep(session, QStringLiteral("Add object")), kind_(kind), values_(std::move(values))
{
}

void AddObjectStep::apply()
{
    oldSize_ = document().objects(kind_).size();
    session().resizeObjects(kind_, [&](DefinitionDocument& doc) { AddObject(doc, kind_, values_); });
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.map = LastRowOf(document().mapObjects(), after.map.current);
        after.screen = LastRowOf(document().screenObjects(), after.screen.current);
        setViewAfter(after);
    }
}

void AddObjectStep::revert()
{
    session().resizeObjects(kind_, [&](DefinitionDocument& doc) { doc.objects(kind_).truncate(oldSize_); });
}

// ---------------------------------------------------------------- Apply

ApplyObjectStep::ApplyObjectStep(DocumentSession& session, ObjectKind kind, EditorValues values, std::size_t row)
    : SessionStep(session, QStringLiteral("Apply object")), kind_(kind), values_(std::move(values)), row_(row)
{
}

void ApplyObjectStep::apply()
{
    const ObjectList& list = document().objects(kind_);
    if (row_ >= list.size())
        return;
    if (!oldLine_)
        oldLine_ = std::string(list.line(row_));
    session().replaceRow(kind_, row_, [&](DefinitionDocument& doc) { ApplyObject(doc, kind_, values_, row_); });
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_).add(row_);
        after.of(kind_).current = row_;
        setViewAfter(after);
    }
}

void ApplyObjectStep::revert()
{
    if (!oldLine_)
        return;
    session().replaceRow(kind_, row_, [&](DefinitionDocument& doc) { doc.objects(kind_).replace(row_, *oldLine_); });
}

// ---------------------------------------------------------------- Delete

DeleteObjectsStep::DeleteObjectsStep(DocumentSession& session, ObjectKind kind, std::vector<std::size_t> rows)
    : SessionStep(session, CountedText("Delete", rows.size(), "object", "objects")), kind_(kind), rows_(std::move(rows))
{
}

void DeleteObjectsStep::apply()
{
    session().removeRows(kind_, rows_, removed_);
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_) = {};
        setViewAfter(after);
    }
}

void DeleteObjectsStep::revert()
{
    session().insertRows(kind_, removed_);
}

std::size_t DeleteObjectsStep::keptBytes() const
{
    return removed_.bytes.capacity()
           + (rows_.capacity() + removed_.rows.capacity() + removed_.ends.capacity()) * sizeof(std::size_t);
}

void DeleteObjectsStep::releaseHistory()
{
    RowLines none;
    std::swap(removed_, none);
    std::vector<std::size_t>().swap(rows_);
}

// ---------------------------------------------------------------- Clear

ClearObjectsStep::ClearObjectsStep(DocumentSession& session, ObjectKind kind)
    : SessionStep(session, QStringLiteral("Clear ") + KindWords(kind)), kind_(kind), taken_(kind)
{
}

void ClearObjectsStep::apply()
{
    session().replaceParts({PartOf(kind_)}, [&](DefinitionDocument& doc) { taken_ = ClearObjects(doc, kind_); });
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_) = {};
        setViewAfter(after);
    }
}

void ClearObjectsStep::revert()
{
    session().replaceParts({PartOf(kind_)},
                           [&](DefinitionDocument& doc) { doc.objects(kind_).restoreAll(std::move(taken_)); });
}

std::size_t ClearObjectsStep::keptBytes() const
{
    // The lines it holds are the document's own, moved, not copied; they
    // count while the step is done, as nothing else holds them then.
    return taken_.size() * (sizeof(std::string_view) + sizeof(ObjectFields)) + taken_.size() * 32;
}

void ClearObjectsStep::releaseHistory()
{
    taken_ = ObjectList(kind_);
}

// ---------------------------------------------------------------- Switch

SwitchObjectsStep::SwitchObjectsStep(DocumentSession& session, ObjectKind shownKind, std::vector<std::size_t> rows)
    : SessionStep(session, CountedText("Switch", rows.size(), "object", "objects")),
      shown_(shownKind),
      rows_(std::move(rows))
{
}

void SwitchObjectsStep::apply()
{
    const ObjectKind target = OtherKind(shown_);
    oldTargetSize_ = document().objects(target).size();
    if (viewBefore()) {
        // Shown even when the rebuild of the other kind fails.
        ViewState after = *viewBefore();
        after.shown = target;
        setViewAfter(after);
    }
    session().resizeObjects(target, [&](DefinitionDocument& doc) { SwitchObjects(doc, shown_, rows_); });
}

void SwitchObjectsStep::revert()
{
    const ObjectKind target = OtherKind(shown_);
    session().resizeObjects(target, [&](DefinitionDocument& doc) { doc.objects(target).truncate(oldTargetSize_); });
}

// ---------------------------------------------------------------- Tiled background

TiledBackgroundStep::TiledBackgroundStep(DocumentSession& session, std::int32_t width, std::int32_t height,
                                         int imageChoice)
    : SessionStep(session, QStringLiteral("Background (TiledZindle)")),
      width_(width),
      height_(height),
      imageChoice_(imageChoice)
{
}

void TiledBackgroundStep::apply()
{
    oldSize_ = document().mapObjects().size();
    session().resizeObjects(ObjectKind::Map,
                            [&](DefinitionDocument& doc) { AddTiledBackground(doc, width_, height_, imageChoice_); });
    if (viewBefore())
        setViewAfter(*viewBefore());
}

void TiledBackgroundStep::revert()
{
    session().resizeObjects(ObjectKind::Map, [&](DefinitionDocument& doc) { doc.mapObjects().truncate(oldSize_); });
}

// ---------------------------------------------------------------- Sort

SortObjectsStep::SortObjectsStep(DocumentSession& session, ObjectKind kind, std::optional<SortKey> key)
    : SessionStep(session, key ? QStringLiteral("Sort %1 by %2").arg(KindWords(kind), QLatin1String(SortKeyWords(*key)))
                               : QStringLiteral("Regenerate objects")),
      kind_(kind),
      key_(key)
{
}

void SortObjectsStep::apply()
{
    if (!map_) {
        map_ = document().mapObjects().saveState();
        screen_ = document().screenObjects().saveState();
    }
    // Regenerating keeps every row where it was; only the sorted kind moves.
    const DocumentSession::RowMap stay = [](std::size_t row) { return std::optional<std::size_t>(row); };
    const DocumentSession::RowMap sorted = [this](std::size_t row) -> std::optional<std::size_t> {
        const auto found = std::find(moved_.begin(), moved_.end(), static_cast<std::uint32_t>(row));
        return found == moved_.end() ? row : static_cast<std::size_t>(found - moved_.begin());
    };
    session().replaceParts(
        {DocumentPart::MapObjects, DocumentPart::ScreenObjects},
        [&](DefinitionDocument& doc) { SortObjectsAndRegenerate(doc, kind_, key_, &moved_); },
        kind_ == ObjectKind::Map ? sorted : stay, kind_ == ObjectKind::Screen ? sorted : stay);
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.map = {};
        after.screen = {};
        setViewAfter(after);
    }
}

void SortObjectsStep::revert()
{
    if (!map_)
        return;
    const DocumentSession::RowMap stay = [](std::size_t row) { return std::optional<std::size_t>(row); };
    const DocumentSession::RowMap unsorted = [this](std::size_t row) -> std::optional<std::size_t> {
        return row < moved_.size() ? moved_[row] : row;
    };
    session().replaceParts(
        {DocumentPart::MapObjects, DocumentPart::ScreenObjects},
        [&](DefinitionDocument& doc) {
            doc.mapObjects().restoreState(*map_);
            doc.screenObjects().restoreState(*screen_);
        },
        kind_ == ObjectKind::Map ? unsorted : stay, kind_ == ObjectKind::Screen ? unsorted : stay);
}

std::size_t SortObjectsStep::keptBytes() const
{
    return (map_ ? map_->bytes() : 0) + (screen_ ? screen_->bytes() : 0) + moved_.capacity() * sizeof(std::uint32_t);
}

void SortObjectsStep::releaseHistory()
{
    map_.reset();
    screen_.reset();
    std::vector<std::uint32_t>().swap(moved_);
}

}  // namespace qel::app
