#pragma once
// One step of the document's history. Every step is built the same way: it
// changes the document in apply() and puts it back in revert(), both only
// through the session's change calls, which tell the views what changed.
// The first apply() runs when the step is pushed; redo runs it again on the
// document as it was then, so a step may redo by repeating its operation.
//
// A step may keep what its undo needs (removed lines, saved list states);
// keptBytes() says how much, and release() lets go of it when the history
// goes over its budget. A released step ends the history: it is neither
// undone nor redone again.
//
// Steps that merge with the one before them (typing into one edit) answer
// id() with their entry of StepMergeId and decide in mergeWith(), which
// merges only what continues() allows.

#include <QUndoCommand>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/DocumentSession.h"
#include "app/ViewState.h"

namespace qel::app {

// The merge ids of all steps that merge; every other step keeps
// QUndoCommand's -1, "never merges".
enum StepMergeId : int {
    kOutFileEdit = 1,
    kImageFieldEdit = 2,
};

// A step's text with a count: "Delete 1 object", "Delete 3 objects".
QString CountedText(const char* verb, std::size_t count, const char* one, const char* many);

class SessionStep : public QUndoCommand {
public:
    SessionStep(DocumentSession& session, const QString& text);

    void redo() final;
    void undo() final;

    std::size_t historyBytes() const { return released_ ? 0 : keptBytes(); }
    void release();
    bool released() const { return released_; }

    // The views around the step: `before` is handed in by whoever makes the
    // step; `after` is what the step's rules leave (see each step).
    void setViewBefore(const ViewState& state) { viewBefore_ = state; }
    const std::optional<ViewState>& viewBefore() const { return viewBefore_; }
    const std::optional<ViewState>& viewAfter() const { return viewAfter_; }

protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    // Bytes kept for undoing; released steps count none.
    virtual std::size_t keptBytes() const { return 0; }
    virtual void releaseHistory() {}

    const DefinitionDocument& document() const { return session_.document(); }
    DocumentSession& session() { return session_; }
    void setViewAfter(const ViewState& state) { viewAfter_ = state; }
    // For mergeWith(): true when `next` was made right after this step, with
    // nothing done, undone or redone in between; this step then ends where
    // `next` does. Typing that comes back to a step after anything else
    // happened starts a step of its own, so one undo never takes back more
    // than the typing since the last other change.
    bool continues(const SessionStep& next);

private:
    friend class DocumentSession;
    void firstApply();

    DocumentSession& session_;
    std::optional<ViewState> viewBefore_;
    std::optional<ViewState> viewAfter_;
    bool pushing_ = false;
    bool released_ = false;
    // Undone once: closed to merging for good.
    bool undone_ = false;
    // The document's change count around the first apply and the merges.
    std::uint64_t changesBefore_ = 0;
    std::uint64_t changesAfter_ = 0;
};

}  // namespace qel::app
