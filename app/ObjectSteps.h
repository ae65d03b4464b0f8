#pragma once
// Steps on the object lists. Each keeps only what its undo needs: Add and
// the tiled background the list's old length (undo truncates), Apply the old
// line, Delete the removed lines with their rows, Clear the lines it took
// (handed back, not copied), Switch the other list's old length, Sort the
// saved states of both lists (views and fields; the bytes are shared).
//
// Views: each step takes the view state before it (setViewBefore) and
// leaves the one its rules give; without a "before" it leaves none.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SessionStep.h"
#include "core/ObjectEditor.h"
#include "core/ObjectMoves.h"
#include "core/ObjectSort.h"

namespace qel::app {

// The Sort Objects dialog's caption for a key, which the sort step's text
// repeats ("Sort map objects by Y-Coord").
const char* SortKeyWords(SortKey key);

// Add: the values are expanded ("@") into values() when the step is made;
// afterwards each list has only its last row selected; the current rows stay.
class AddObjectStep : public SessionStep {
public:
    AddObjectStep(DocumentSession& session, ObjectKind kind, EditorValues values);
    const EditorValues& values() const { return values_; }

protected:
    void apply() override;
    void revert() override;

private:
    ObjectKind kind_;
    EditorValues values_;
    std::size_t oldSize_ = 0;
};

// Apply: replaces the line at `row` (expanded with "t"); the row is selected
// and current, the others keep their selection.
class ApplyObjectStep : public SessionStep {
public:
    ApplyObjectStep(DocumentSession& session, ObjectKind kind, EditorValues values, std::size_t row);
    const EditorValues& values() const { return values_; }

protected:
    void apply() override;
    void revert() override;

private:
    ObjectKind kind_;
    EditorValues values_;
    std::size_t row_;
    std::optional<std::string> oldLine_;
};

// Delete: no row of that list is selected afterwards.
class DeleteObjectsStep : public SessionStep {
public:
    DeleteObjectsStep(DocumentSession& session, ObjectKind kind, std::vector<std::size_t> rows);
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    ObjectKind kind_;
    std::vector<std::size_t> rows_;
    RowLines removed_;
};

class ClearObjectsStep : public SessionStep {
public:
    ClearObjectsStep(DocumentSession& session, ObjectKind kind);
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    ObjectKind kind_;
    ObjectList taken_;
};

// Switch: the selected rows of the shown kind are appended to the other kind,
// which is shown afterwards; the selections stay.
class SwitchObjectsStep : public SessionStep {
public:
    SwitchObjectsStep(DocumentSession& session, ObjectKind shownKind, std::vector<std::size_t> rows);
    std::size_t keptBytes() const override { return rows_.capacity() * sizeof(std::size_t); }

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override { std::vector<std::size_t>().swap(rows_); }

private:
    ObjectKind shown_;
    std::vector<std::size_t> rows_;
    std::size_t oldTargetSize_ = 0;
};

// Background (TiledZindle): appended to the map objects; the views stay.
class TiledBackgroundStep : public SessionStep {
public:
    TiledBackgroundStep(DocumentSession& session, std::int32_t width, std::int32_t height, int imageChoice);

protected:
    void apply() override;
    void revert() override;

private:
    std::int32_t width_;
    std::int32_t height_;
    int imageChoice_;
    std::size_t oldSize_ = 0;
};

// Sort (when a key is given) and regeneration of both lists, as one step;
// no row is selected afterwards. Each row's place after the step (and after
// its undo) is told with the lists' resets.
class SortObjectsStep : public SessionStep {
public:
    SortObjectsStep(DocumentSession& session, ObjectKind kind, std::optional<SortKey> key);
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    ObjectKind kind_;
    std::optional<SortKey> key_;
    std::optional<ObjectList::State> map_;
    std::optional<ObjectList::State> screen_;
    // Where the sorted kind's entries came from (empty: none moved), so the
    // views can follow a row through the sort and its undo.
    std::vector<std::uint32_t> moved_;
};

}  // namespace qel::app
