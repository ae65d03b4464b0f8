#pragma once
// One step of the document's history. A step changes the document through
// DocumentSession::edit() in apply(), and puts it back in revert(); both tell
// the session what changed. The first apply() runs when the step is pushed;
// redo runs it again on the document as it was then, so a step may redo by
// repeating its operation, or by putting back what it kept.
//
// A step may keep what its undo needs (removed lines, saved list states);
// keptBytes() says how much, and release() lets go of it when the history
// goes over its budget. A released step ends the history: it is neither
// undone nor redone again.

#include <QUndoCommand>
#include <cstddef>
#include <optional>

#include "DocumentSession.h"
#include "ViewState.h"

namespace qel::app {

// A step's text with a count: "Delete 1 object", "Delete 3 objects".
QString CountedText(const char* verb, std::size_t count, const char* one, const char* many);

class SessionCommand : public QUndoCommand {
public:
    SessionCommand(DocumentSession& session, const QString& text);

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

    DefinitionDocument& doc() { return session_.edit(); }
    DocumentSession& session() { return session_; }
    void setViewAfter(const ViewState& state) { viewAfter_ = state; }

private:
    friend class DocumentSession;
    void firstApply();

    DocumentSession& session_;
    std::optional<ViewState> viewBefore_;
    std::optional<ViewState> viewAfter_;
    bool pushing_ = false;
    bool released_ = false;
};

}  // namespace qel::app
