#include "ObjectCommands.h"

#include <algorithm>

#include "Presets.h"

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

// Tells the views about rows added at the end or dropped from it.
void NotifyLength(DocumentSession& session, ObjectKind kind, std::size_t before, std::size_t after)
{
    if (after > before)
        session.notifyRowsInserted(ListOf(kind), before, after - 1);
    else if (after < before)
        session.notifyRowsRemoved(ListOf(kind), after, before - 1);
}

// Tells the views that one row changed when it goes out of scope, also when
// the change failed after replacing the line.
struct RowChangeNotice {
    DocumentSession& session;
    ObjectKind kind;
    std::size_t row;
    ~RowChangeNotice() { session.notifyRowsChanged(ListOf(kind), row, row); }
};

// Runs `change`, then tells the views how the list's length moved, also when
// the change failed after changing (a rebuild meeting a bad line).
template <class Change>
void ChangingLength(DocumentSession& session, ObjectKind kind, Change&& change)
{
    const std::size_t before = session.document().objects(kind).size();
    try {
        change();
    } catch (...) {
        NotifyLength(session, kind, before, session.document().objects(kind).size());
        throw;
    }
    NotifyLength(session, kind, before, session.document().objects(kind).size());
}

}  // namespace

const char* SortKeyWords(SortKey key)
{
    static const char* const kWords[kSortKeyCount] = {"X-Coord", "Y-Coord",      "Image",    "Layer",
                                                      "Mode",    "Display Time", "Object ID"};
    return kWords[static_cast<int>(key)];
}

// ---------------------------------------------------------------- Add

AddObjectCommand::AddObjectCommand(DocumentSession& session, ObjectKind kind, EditorValues values)
    : SessionCommand(session, QStringLiteral("Add object")), kind_(kind), values_(std::move(values))
{
}

void AddObjectCommand::apply()
{
    oldSize_ = doc().objects(kind_).size();
    ChangingLength(session(), kind_, [&] { AddObject(doc(), kind_, values_); });
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.map = LastRowOf(doc().mapObjects(), after.map.current);
        after.screen = LastRowOf(doc().screenObjects(), after.screen.current);
        setViewAfter(after);
    }
}

void AddObjectCommand::revert()
{
    ChangingLength(session(), kind_, [&] { doc().objects(kind_).truncate(oldSize_); });
}

// ---------------------------------------------------------------- Apply

ApplyObjectCommand::ApplyObjectCommand(DocumentSession& session, ObjectKind kind, EditorValues values, std::size_t row)
    : SessionCommand(session, QStringLiteral("Apply object")), kind_(kind), values_(std::move(values)), row_(row)
{
}

void ApplyObjectCommand::apply()
{
    const ObjectList& list = doc().objects(kind_);
    if (row_ >= list.size())
        return;
    if (!oldLine_)
        oldLine_ = std::string(list.line(row_));
    const RowChangeNotice notice{session(), kind_, row_};
    ApplyObject(doc(), kind_, values_, row_);
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_).add(row_);
        after.of(kind_).current = row_;
        setViewAfter(after);
    }
}

void ApplyObjectCommand::revert()
{
    if (!oldLine_)
        return;
    const RowChangeNotice notice{session(), kind_, row_};
    doc().objects(kind_).replace(row_, *oldLine_);
}

// ---------------------------------------------------------------- Delete

DeleteObjectsCommand::DeleteObjectsCommand(DocumentSession& session, ObjectKind kind, std::vector<std::size_t> rows)
    : SessionCommand(session, CountedText("Delete", rows.size(), "object", "objects")),
      kind_(kind),
      rows_(std::move(rows))
{
}

namespace {
// One contiguous run is an insertion or removal the views can follow row by
// row; scattered rows reset the list.
void NotifyRows(DocumentSession& session, ObjectKind kind, const RemovedLines& lines, bool inserted)
{
    if (lines.count() == 0)
        return;
    const std::size_t first = lines.rows.front();
    const std::size_t last = lines.rows.back();
    if (last - first + 1 != lines.count())
        session.notifyListReset(ListOf(kind));
    else if (inserted)
        session.notifyRowsInserted(ListOf(kind), first, last);
    else
        session.notifyRowsRemoved(ListOf(kind), first, last);
}
}  // namespace

void DeleteObjectsCommand::apply()
{
    try {
        DeleteObjects(doc(), kind_, rows_, &removed_);
    } catch (...) {
        NotifyRows(session(), kind_, removed_, false);
        throw;
    }
    NotifyRows(session(), kind_, removed_, false);
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_) = {};
        setViewAfter(after);
    }
}

void DeleteObjectsCommand::revert()
{
    if (removed_.count() == 0)
        return;
    try {
        doc().objects(kind_).insertRows(removed_);
    } catch (...) {
        NotifyRows(session(), kind_, removed_, true);
        throw;
    }
    NotifyRows(session(), kind_, removed_, true);
}

std::size_t DeleteObjectsCommand::keptBytes() const
{
    return removed_.bytes.capacity()
           + (rows_.capacity() + removed_.rows.capacity() + removed_.ends.capacity()) * sizeof(std::size_t);
}

void DeleteObjectsCommand::releaseHistory()
{
    RemovedLines none;
    std::swap(removed_, none);
    std::vector<std::size_t>().swap(rows_);
}

// ---------------------------------------------------------------- Clear

ClearObjectsCommand::ClearObjectsCommand(DocumentSession& session, ObjectKind kind)
    : SessionCommand(session, QStringLiteral("Clear ") + KindWords(kind)), kind_(kind), taken_(kind)
{
}

void ClearObjectsCommand::apply()
{
    taken_ = ClearObjects(doc(), kind_);
    session().notifyListReset(ListOf(kind_));
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.of(kind_) = {};
        setViewAfter(after);
    }
}

void ClearObjectsCommand::revert()
{
    doc().objects(kind_).restoreAll(std::move(taken_));
    session().notifyListReset(ListOf(kind_));
}

std::size_t ClearObjectsCommand::keptBytes() const
{
    // The lines it holds are the document's own, moved, not copied; they
    // count while the step is done, as nothing else holds them then.
    return taken_.size() * (sizeof(std::string_view) + sizeof(ObjectFields)) + taken_.size() * 32;
}

void ClearObjectsCommand::releaseHistory()
{
    taken_ = ObjectList(kind_);
}

// ---------------------------------------------------------------- Switch

SwitchObjectsCommand::SwitchObjectsCommand(DocumentSession& session, ObjectKind shownKind,
                                           std::vector<std::size_t> rows)
    : SessionCommand(session, CountedText("Switch", rows.size(), "object", "objects")),
      shown_(shownKind),
      rows_(std::move(rows))
{
}

void SwitchObjectsCommand::apply()
{
    const ObjectKind target = OtherKind(shown_);
    oldTargetSize_ = doc().objects(target).size();
    if (viewBefore()) {
        // Shown even when the rebuild of the other kind fails.
        ViewState after = *viewBefore();
        after.shown = target;
        setViewAfter(after);
    }
    ChangingLength(session(), target, [&] { SwitchObjects(doc(), shown_, rows_); });
}

void SwitchObjectsCommand::revert()
{
    const ObjectKind target = OtherKind(shown_);
    ChangingLength(session(), target, [&] { doc().objects(target).truncate(oldTargetSize_); });
}

// ---------------------------------------------------------------- Tiled background

TiledBackgroundCommand::TiledBackgroundCommand(DocumentSession& session, std::int32_t width, std::int32_t height,
                                               int imageChoice)
    : SessionCommand(session, QStringLiteral("Background (TiledZindle)")),
      width_(width),
      height_(height),
      imageChoice_(imageChoice)
{
}

void TiledBackgroundCommand::apply()
{
    oldSize_ = doc().mapObjects().size();
    ChangingLength(session(), ObjectKind::Map, [&] { AddTiledBackground(doc(), width_, height_, imageChoice_); });
    if (viewBefore())
        setViewAfter(*viewBefore());
}

void TiledBackgroundCommand::revert()
{
    ChangingLength(session(), ObjectKind::Map, [&] { doc().mapObjects().truncate(oldSize_); });
}

// ---------------------------------------------------------------- Sort

SortObjectsCommand::SortObjectsCommand(DocumentSession& session, ObjectKind kind, std::optional<SortKey> key)
    : SessionCommand(session,
                     key ? QStringLiteral("Sort %1 by %2").arg(KindWords(kind), QLatin1String(SortKeyWords(*key)))
                         : QStringLiteral("Regenerate objects")),
      kind_(kind),
      key_(key)
{
}

void SortObjectsCommand::apply()
{
    if (!map_) {
        map_ = doc().mapObjects().saveState();
        screen_ = doc().screenObjects().saveState();
    }
    struct Notice {
        DocumentSession& session;
        ~Notice()
        {
            session.notifyListReset(DocumentList::MapObjects);
            session.notifyListReset(DocumentList::ScreenObjects);
        }
    } notice{session()};
    SortObjectsAndRegenerate(doc(), kind_, key_);
    if (viewBefore()) {
        ViewState after = *viewBefore();
        after.map = {};
        after.screen = {};
        setViewAfter(after);
    }
}

void SortObjectsCommand::revert()
{
    if (!map_)
        return;
    doc().mapObjects().restoreState(*map_);
    doc().screenObjects().restoreState(*screen_);
    session().notifyListReset(DocumentList::MapObjects);
    session().notifyListReset(DocumentList::ScreenObjects);
}

std::size_t SortObjectsCommand::keptBytes() const
{
    return (map_ ? map_->bytes() : 0) + (screen_ ? screen_->bytes() : 0);
}

void SortObjectsCommand::releaseHistory()
{
    map_.reset();
    screen_.reset();
}

}  // namespace qel::app
