#pragma once
// The open document and its history. Every change to the document is a step
// (a SessionCommand) pushed here; the session tells the views what changed
// through its signals, so no caller resets a model by hand.
//
// Change notices come AFTER the change, as row ranges of one list (map
// objects, screen objects, files), or as a reset for whole-list changes.
// A model answering a notice shows the list as it was until it has begun the
// matching insertion or removal (see ui/ObjectListModel).
//
// "Modified" is "the history is not at the saved step": undoing back to what
// was saved makes the document unmodified again. New and Open start an
// empty, clean history; a successful save marks the current step saved.
//
// The history's memory budget (historyBudget(), 512 MiB by default) counts
// the bytes steps keep for undoing: removed lines, saved list states. When a
// push goes over it, the oldest steps let go of what they keep and become the
// end of the history (undo stops before them); the newest step is always
// kept. A Clear keeps the lines it took, not a copy, so it costs nothing
// beyond the document as it was.

#include <QObject>
#include <QUndoStack>
#include <cstddef>
#include <exception>
#include <memory>
#include <string>

#include "DefinitionDocument.h"
#include "DefinitionReader.h"
#include "ViewState.h"

namespace qel::app {

class SessionCommand;

enum class DocumentList { MapObjects, ScreenObjects, Files };

inline DocumentList ListOf(ObjectKind kind)
{
    return kind == ObjectKind::Map ? DocumentList::MapObjects : DocumentList::ScreenObjects;
}

class DocumentSession : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kDefaultHistoryBudget = std::size_t{512} << 20;

    explicit DocumentSession(QObject* parent = nullptr);
    ~DocumentSession() override;

    const DefinitionDocument& document() const { return doc_; }
    QUndoStack& history() { return history_; }
    const QUndoStack& history() const { return history_; }

    bool modified() const { return !history_.isClean(); }

    // Runs `command` and, when it changed the document, makes it the newest
    // step (a command that changed nothing is dropped). When the command
    // fails after changing the document (a line that cannot be taken apart,
    // met by the rebuild), the change is still one step, and the failure is
    // rethrown after it was pushed. Returns the step, or nullptr when dropped.
    SessionCommand* push(std::unique_ptr<SessionCommand> command);

    // Undo and redo skip nothing: a step replayed over a line that cannot be
    // taken apart keeps the same state as when it was made (the failure was
    // reported then).
    bool canUndo() const;
    bool canRedo() const;
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    std::size_t historyBudget() const { return budget_; }
    void setHistoryBudget(std::size_t bytes);
    std::size_t historyBytes() const;

    // Whole-document commands: not steps; each starts an empty, clean history.
    void newDocument();
    // Takes recovered work: `doc` with its current file, modified, with an
    // empty history (nothing to undo to: the saved step is on disk alone).
    void adoptRecovered(DefinitionDocument doc);
    // Reads `path`; a failed read keeps what was read before the failure, is
    // Untitled, clean, and rethrows.
    void open(const std::string& path, ReadReport* report = nullptr);
    // Writes the document to its current file (which must be set) and marks
    // the current step saved. Throws FileError.
    void save();
    // Makes `target` the current file (also when writing then fails), writes
    // and marks the current step saved.
    void saveAs(const std::string& target);

    // For steps: the document to change, and the notices of what changed.
    DefinitionDocument& edit() { return doc_; }
    void notifyRowsInserted(DocumentList list, std::size_t first, std::size_t last);
    void notifyRowsRemoved(DocumentList list, std::size_t first, std::size_t last);
    void notifyRowsChanged(DocumentList list, std::size_t first, std::size_t last);
    void notifyListReset(DocumentList list);
    void notifyImagesChanged() { emit imagesChanged(); }
    void notifyOutFileChanged() { emit outFileChanged(); }
    void requestViewState(const ViewState& state) { emit viewStateRequested(state); }

signals:
    void rowsInserted(qel::app::DocumentList list, int first, int last);
    void rowsRemoved(qel::app::DocumentList list, int first, int last);
    void rowsChanged(qel::app::DocumentList list, int first, int last);
    void listReset(qel::app::DocumentList list);
    void imagesChanged();
    void outFileChanged();
    // The current file, the title, the status text or "modified" changed.
    void documentStateChanged();
    // Undo or redo became possible or not, or their texts changed.
    void historyChanged();
    // A step was made, undone or redone: show the lists this way.
    void viewStateRequested(const qel::app::ViewState& state);

private:
    friend class SessionCommand;
    void resetViews();
    void startHistory();
    void keepWithinBudget();
    const SessionCommand* step(int index) const;
    // A replayed step's failure; the step's state is as when it was made.
    void replayFailed(std::exception_ptr failure);

    DefinitionDocument doc_;
    QUndoStack history_;
    std::size_t budget_ = kDefaultHistoryBudget;
};

}  // namespace qel::app
