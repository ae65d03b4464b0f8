#pragma once
// The open document and its history. Every change to the document is a step
// (a SessionStep) pushed here. A step changes the document only through the
// session's change calls, each of which also tells the views what changed:
// a step cannot change rows without the views learning of it.
//
// Change notices come AFTER the change, as row ranges of one list (map
// objects, screen objects, files), or as a reset for whole-list changes.
// A model answering a notice shows the list as it was until it has begun the
// matching insertion or removal (see ui/ObjectListModel). A change of
// several parts tells of its lists before its images, so that whoever reads
// rows when the images change finds each list as its own notice left it.
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
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DocumentFiles.h"
#include "app/ViewState.h"
#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/ObjectMoves.h"
#include "platform/FileStamp.h"

namespace qel::app {

class SessionStep;

enum class DocumentList { MapObjects, ScreenObjects, Files };

// The parts of the document a whole-part change may touch.
enum class DocumentPart { OutFile, Files, Images, MapObjects, ScreenObjects };

inline DocumentPart PartOf(ObjectKind kind)
{
    return kind == ObjectKind::Map ? DocumentPart::MapObjects : DocumentPart::ScreenObjects;
}

inline DocumentList DocumentListOf(ObjectKind kind)
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

    // Unsaved work: steps since the saved one, or a current file no longer
    // on disk.
    bool modified() const { return !history_.isClean() || fileGone_; }
    // The current file was deleted, renamed away or made something no
    // regular file on disk: what is in memory is then the only copy, unsaved
    // work until it is saved again. Cleared by every read and save, and by
    // the file coming back.
    void setFileGone(bool gone);
    bool fileGone() const { return fileGone_; }

    // Runs `command` and, when it changed the document, makes it the newest
    // step (a command that changed nothing is dropped). When the command
    // fails after changing the document (a line that cannot be taken apart,
    // met by the rebuild), the change is still one step, and the failure is
    // rethrown after it was pushed. Returns the step, or nullptr when dropped.
    SessionStep* push(std::unique_ptr<SessionStep> command);

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

    // Whole-document operations: not steps; each starts an empty, clean history.
    void newDocument();
    // Takes `doc` as it is (its current file included), as an open would.
    void adopt(DefinitionDocument doc);
    // Takes recovered work: `doc` with its current file, modified, with an
    // empty history (nothing to undo to: the saved step is on disk alone).
    void adoptRecovered(DefinitionDocument doc);
    // Reads `path`; a failed read keeps what was read before the failure, is
    // Untitled, clean, and rethrows.
    void open(const std::string& path, ReadReport* report = nullptr);
    // Writes the document to its current file (which must be set) and marks
    // the current step saved. Throws FileError. Right before the new file
    // takes the old one's place, the file is compared once more with its
    // stamp, or with what the user agreed to replace (acceptDiskChange):
    // changed, nothing is written and ChangedBeforeReplace is thrown. The new
    // stamp is the written file's own, never read from the path afterwards.
    void save();
    // The user agreed to replace the current file as it is now (`now`): the
    // next save compares with it instead of the stamp.
    void acceptDiskChange(const platform::FileStamp& now) { accepted_ = now; }
    // Makes `target` the current file (also when writing then fails), writes
    // and marks the current step saved.
    void saveAs(const std::string& target);

    // The current file on disk against its stamp when it was last read or
    // saved (save() refuses to write through one that became a link or a
    // special file); None when there is no such stamp (Untitled, a failed
    // read). `now`, when given, receives the file's stamp as it is.
    DiskChange diskChange(platform::FileStamp* now = nullptr) const;
    // Reads the current file again after another program changed it: one
    // step ("Read NAME again") whose content is the saved state, undone to
    // what was shown before it. `view` is the lists' view before it; the
    // shown list and the rows that still exist stay selected. Content equal
    // to the document's makes no step: the document is only marked saved.
    // A failed read changes nothing and rethrows. True when a step was made.
    bool reread(const std::optional<ViewState>& view, ReadReport* report = nullptr);

    // The changes steps make. Each runs its change and sends the notice of
    // what it changed, also when the change fails part way (a rebuild
    // meeting a line that cannot be taken apart): the failure is rethrown
    // after the notice.
    using Change = std::function<void(DefinitionDocument&)>;
    void setOutFile(std::string text);
    // `change` only appends rows to `kind`'s list or drops rows from its end.
    void resizeObjects(ObjectKind kind, const Change& change);
    // `change` replaces line `row` of `kind`'s list.
    void replaceRow(ObjectKind kind, std::size_t row, const Change& change);
    // Replaces each of `lines.rows` (ascending) by its line; the views hear
    // of each run of neighbouring rows, or of the whole span when the rows
    // are scattered in many runs.
    void replaceRows(ObjectKind kind, const RowLines& lines);
    // Removes `rows` (any order) of `kind`'s list, keeping them in `removed`;
    // insertRows() puts such lines back.
    void removeRows(ObjectKind kind, const std::vector<std::size_t>& rows, RowLines& removed);
    void insertRows(ObjectKind kind, const RowLines& lines);
    // Where each row of an object list went in a change that the views are
    // told of as a reset: the row's place after it, or nothing when it is gone.
    using RowMap = std::function<std::optional<std::size_t>(std::size_t before)>;
    // The maps of rows removed, and of rows put back, at `rows` (ascending:
    // their places in the longer list); each keeps a reference to `rows`.
    static RowMap RowsRemoved(const std::vector<std::size_t>& rows);
    static RowMap RowsPutBack(const std::vector<std::size_t>& rows);
    // `change` may change all of `parts`; the views show each anew. A map
    // given for an object list tells where its rows went (see resetRowMap()).
    void replaceParts(std::initializer_list<DocumentPart> parts, const Change& change, const RowMap& mapRows = {},
                      const RowMap& screenRows = {});
    // While a listReset notice of an object list is sent: where its rows
    // went, when the change knows (scattered rows removed or put back, a sort);
    // nullptr otherwise, and outside such a notice. For views that follow a
    // single row through a reset without walking the list.
    const RowMap* resetRowMap() const { return resetMap_; }

    // Where the rows of the file last opened stood in it, for messages that
    // name lines. Kept only once asked for (it costs a number a row); gone
    // after New, and after a save, which writes the rows to other lines.
    void setKeepSourceLines(bool keep) { keepSourceLines_ = keep; }
    const SourceLines* sourceLines() const { return sourceLines_.get(); }

signals:
    // New or Open replaced the whole document; the list resets follow.
    void documentReplaced();
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
    void resetViews();
    void showParts(std::initializer_list<DocumentPart> parts, const RowMap& mapRows = {},
                   const RowMap& screenRows = {});
    void showReset(DocumentList list, const RowMap& rows);
    // Rows appended or dropped at the end since the list had `before` rows.
    void showLength(ObjectKind kind, std::size_t before);
    // Removed or re-inserted rows: one run row by row, scattered rows reset.
    void showRows(ObjectKind kind, const RowLines& lines, bool inserted);
    void startHistory();
    // Releases the oldest steps past the budget; returns the bytes they held.
    std::size_t keepWithinBudget();
    const SessionStep* step(int index) const;
    // Takes the current file's stamp as it is now (none for Untitled).
    void stampFile();
    void stampWritten(const struct stat& written);
    std::optional<platform::FileStamp> accepted_;

    DefinitionDocument doc_;
    QUndoStack history_;
    std::size_t budget_ = kDefaultHistoryBudget;
    bool keepSourceLines_ = false;
    std::unique_ptr<SourceLines> sourceLines_;
    // The current file as it was read or saved last, and its name then.
    std::optional<platform::FileStamp> stamp_;
    std::string stampedFile_;
    bool fileGone_ = false;
    const RowMap* resetMap_ = nullptr;
};

}  // namespace qel::app
