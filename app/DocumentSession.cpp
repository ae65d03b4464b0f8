#include "app/DocumentSession.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QSignalBlocker>
#include <algorithm>
#include <exception>
#include <utility>

#include "app/DocumentFiles.h"
#include "app/RereadStep.h"
#include "app/SessionStep.h"
#include "core/Errors.h"
#include "core/ObjectEditor.h"
#include "core/io/DefinitionFiles.h"
#include "platform/AvailableMemory.h"

namespace qel::app {

namespace {
// Steps beyond this count go first, whatever their size: each keeps at least
// its texts.
constexpr int kMaxSteps = 10000;
// Freeing more than this hands the memory back to the system at once: a
// million-row step leaves tens of megabytes that would otherwise stay with
// the program after it is undone or dropped.
constexpr std::size_t kReturnAfter = std::size_t{16} << 20;
}  // namespace

DocumentSession::DocumentSession(QObject* parent) : QObject(parent)
{
    history_.setUndoLimit(kMaxSteps);
    connect(&history_, &QUndoStack::cleanChanged, this, &DocumentSession::documentStateChanged);
    connect(&history_, &QUndoStack::indexChanged, this, &DocumentSession::historyChanged);
    platform::ReturnFreedMemory();
}

DocumentSession::~DocumentSession()
{
    // The steps refer to this session; let them go while it is whole, and
    // without telling views that may be half destroyed already.
    const QSignalBlocker quiet(history_);
    history_.clear();
}

const SessionStep* DocumentSession::step(int index) const
{
    return static_cast<const SessionStep*>(history_.command(index));
}

SessionStep* DocumentSession::push(std::unique_ptr<SessionStep> command)
{
    const std::uint64_t before = doc_.changeCount();
    std::exception_ptr failure;
    try {
        command->firstApply();
    } catch (...) {
        failure = std::current_exception();
    }
    if (doc_.changeCount() == before) {
        if (failure)
            std::rethrow_exception(failure);
        return nullptr;
    }
    command->pushing_ = true;
    const int indexBefore = history_.index();
    // The steps that could be redone go with this push.
    std::size_t freed = 0;
    for (int i = indexBefore; i < history_.count(); ++i)
        freed += step(i)->historyBytes();
    history_.push(command.release());
    const int after = history_.index();
    // A new step raises the index; a step merged into the one before it
    // leaves it (that one stands for both); typing back to where the merged
    // step began removes it, and no step stands for it.
    SessionStep* newest = after >= indexBefore && after > 0 ? const_cast<SessionStep*>(step(after - 1)) : nullptr;
    if (newest && newest->viewAfter())
        emit viewStateRequested(*newest->viewAfter());
    freed += keepWithinBudget();
    if (freed > kReturnAfter)
        platform::ReturnFreedMemory();
    emit historyChanged();
    if (failure)
        std::rethrow_exception(failure);
    return newest;
}

bool DocumentSession::canUndo() const
{
    return history_.canUndo() && !step(history_.index() - 1)->released();
}

bool DocumentSession::canRedo() const
{
    return history_.canRedo() && !step(history_.index())->released();
}

QString DocumentSession::undoText() const
{
    return canUndo() ? history_.undoText() : QString();
}

QString DocumentSession::redoText() const
{
    return canRedo() ? history_.redoText() : QString();
}

void DocumentSession::undo()
{
    if (!canUndo())
        return;
    const SessionStep* undone = step(history_.index() - 1);
    const std::optional<ViewState> view = undone->viewBefore();
    const std::size_t held = undone->historyBytes();
    history_.undo();
    if (held > kReturnAfter)
        platform::ReturnFreedMemory();
    if (view)
        emit viewStateRequested(*view);
    emit historyChanged();
}

void DocumentSession::redo()
{
    if (!canRedo())
        return;
    const SessionStep* redone = step(history_.index());
    const std::size_t held = redone->historyBytes();
    history_.redo();
    if (held > kReturnAfter)
        platform::ReturnFreedMemory();
    if (redone->viewAfter())
        emit viewStateRequested(*redone->viewAfter());
    emit historyChanged();
}

void DocumentSession::setHistoryBudget(std::size_t bytes)
{
    budget_ = bytes;
    if (keepWithinBudget() > kReturnAfter)
        platform::ReturnFreedMemory();
    emit historyChanged();
}

std::size_t DocumentSession::historyBytes() const
{
    std::size_t total = 0;
    for (int i = 0; i < history_.count(); ++i)
        total += step(i)->historyBytes();
    return total;
}

std::size_t DocumentSession::keepWithinBudget()
{
    std::size_t total = historyBytes();
    std::size_t released = 0;
    // The newest step stays whole: it is what the user just did.
    for (int i = 0; total > budget_ && i + 1 < history_.count(); ++i) {
        auto* oldest = const_cast<SessionStep*>(step(i));
        if (oldest->released())
            continue;
        total -= oldest->historyBytes();
        released += oldest->historyBytes();
        oldest->release();
    }
    return released;
}

void DocumentSession::startHistory()
{
    history_.clear();
    history_.setClean();
    platform::ReturnFreedMemory();
}

void DocumentSession::resetViews()
{
    emit documentReplaced();
    for (DocumentList list : {DocumentList::MapObjects, DocumentList::ScreenObjects, DocumentList::Files})
        emit listReset(list);
    emit imagesChanged();
    emit outFileChanged();
    emit documentStateChanged();
    emit historyChanged();
}

void DocumentSession::newDocument()
{
    NewDocument(doc_);
    stampFile();
    sourceLines_.reset();
    startHistory();
    resetViews();
}

void DocumentSession::adoptRecovered(DefinitionDocument doc)
{
    doc_ = std::move(doc);
    // Recovered over the file just read, whose stamp stands.
    if (stampedFile_ != doc_.currentFile())
        stampFile();
    {
        // Not clean even for a moment: a watcher of "modified" would take the
        // recovered work for saved and let its recovery copy go.
        const QSignalBlocker quiet(history_);
        startHistory();
        // No step is the saved one: the document stays modified until saved.
        history_.resetClean();
    }
    resetViews();
}

void DocumentSession::open(const std::string& path, ReadReport* report)
{
    // Taken before the read: a change while reading shows as a change later.
    const platform::FileStamp stamp = platform::ReadFileStamp(path);
    stamp_.reset();
    fileGone_ = false;
    sourceLines_.reset();
    ReadReport own;
    if (report == nullptr)
        report = &own;
    if (keepSourceLines_) {
        sourceLines_ = std::make_unique<SourceLines>();
        report->lines = sourceLines_.get();
    }
    try {
        OpenDocument(doc_, path, report);
    } catch (...) {
        startHistory();
        resetViews();
#ifdef __GLIBC__
        // A read that ran out of memory let go of gigabytes: they go back
        // to the system now, not when the heap happens to shrink.
        ::malloc_trim(0);
#endif
        throw;
    }
    stamp_ = stamp;
    stampedFile_ = path;
    fileGone_ = false;
    accepted_.reset();
    startHistory();
    resetViews();
}

void DocumentSession::save()
{
    struct stat written {};
    SaveSeams seams;
    seams.written = &written;
    if (stamp_ && stampedFile_ == doc_.currentFile()) {
        CheckSaveTarget(stampedFile_, *stamp_);
        seams.beforeReplace = [this, known = std::exchange(accepted_, std::nullopt).value_or(*stamp_)] {
            const platform::FileStamp now = platform::ReadFileStamp(stampedFile_);
            if (CompareStamps(known, now) == DiskChange::Changed)
                throw ChangedBeforeReplace(doc_, now);
        };
    }
    try {
        SaveDocument(doc_, seams);
    } catch (...) {
        emit documentStateChanged();
        throw;
    }
    stampWritten(written);
    sourceLines_.reset();
    history_.setClean();
    emit documentStateChanged();
}

void DocumentSession::saveAs(const std::string& target)
{
    struct stat written {};
    SaveSeams seams;
    seams.written = &written;
    try {
        SaveDocumentAs(doc_, target, seams);
    } catch (...) {
        emit documentStateChanged();
        throw;
    }
    stampWritten(written);
    sourceLines_.reset();
    history_.setClean();
    emit documentStateChanged();
}

void DocumentSession::adopt(DefinitionDocument doc)
{
    doc_ = std::move(doc);
    stampFile();
    sourceLines_.reset();
    startHistory();
    resetViews();
}

void DocumentSession::setFileGone(bool gone)
{
    if (std::exchange(fileGone_, gone) != gone)
        emit documentStateChanged();
}

void DocumentSession::stampFile()
{
    fileGone_ = false;
    accepted_.reset();
    stampedFile_ = doc_.currentFile();
    if (stampedFile_.empty())
        stamp_.reset();
    else
        stamp_ = platform::ReadFileStamp(stampedFile_);
}

void DocumentSession::stampWritten(const struct stat& written)
{
    // Written again: a file that was gone is back.
    fileGone_ = false;
    accepted_.reset();
    stampedFile_ = doc_.currentFile();
    stamp_ = platform::WrittenFileStamp(written, stampedFile_);
}

DiskChange DocumentSession::diskChange(platform::FileStamp* now) const
{
    if (!stamp_ || stampedFile_ != doc_.currentFile())
        return DiskChange::None;
    const platform::FileStamp current = platform::ReadFileStamp(stampedFile_);
    if (now != nullptr)
        *now = current;
    return CompareStamps(*stamp_, current);
}

bool DocumentSession::reread(const std::optional<ViewState>& view, ReadReport* report)
{
    const std::string path = doc_.currentFile();
    const platform::FileStamp stamp = platform::ReadFileStamp(path);
    DefinitionDocument read;
    ReadDefinition(read, path, report);
    stamp_ = stamp;
    stampedFile_ = path;
    fileGone_ = false;
    // The rows now stand at the lines of the file read, or, undone, at none.
    sourceLines_.reset();
    bool made = false;
    if (!SameContent(read, doc_)) {
        auto step = std::make_unique<RereadStep>(*this, std::move(read));
        if (view)
            step->setViewBefore(*view);
        made = push(std::move(step)) != nullptr;
    }
    history_.setClean();
    emit documentStateChanged();
    return made;
}

void DocumentSession::showReset(DocumentList list, const RowMap& rows)
{
    const RowMap* outer = resetMap_;
    resetMap_ = rows ? &rows : nullptr;
    try {
        emit listReset(list);
    } catch (...) {
        resetMap_ = outer;
        throw;
    }
    resetMap_ = outer;
}

void DocumentSession::showParts(std::initializer_list<DocumentPart> parts, const RowMap& mapRows,
                                const RowMap& screenRows)
{
    // The lists first, the images last: a follower of the images (the
    // problems, the map's pictures) reads the rows that use them, and must
    // not meet a row that its list's own notice has not yet taken away.
    bool images = false;
    for (DocumentPart part : parts) {
        switch (part) {
        case DocumentPart::OutFile:
            emit outFileChanged();
            break;
        case DocumentPart::Files:
            emit listReset(DocumentList::Files);
            break;
        case DocumentPart::Images:
            images = true;
            break;
        case DocumentPart::MapObjects:
            showReset(DocumentList::MapObjects, mapRows);
            break;
        case DocumentPart::ScreenObjects:
            showReset(DocumentList::ScreenObjects, screenRows);
            break;
        }
    }
    if (images)
        emit imagesChanged();
}

DocumentSession::RowMap DocumentSession::RowsRemoved(const std::vector<std::size_t>& rows)
{
    return [&rows](std::size_t before) -> std::optional<std::size_t> {
        const auto gone = std::lower_bound(rows.begin(), rows.end(), before);
        if (gone != rows.end() && *gone == before)
            return std::nullopt;
        return before - static_cast<std::size_t>(gone - rows.begin());
    };
}

DocumentSession::RowMap DocumentSession::RowsPutBack(const std::vector<std::size_t>& rows)
{
    // Each row put back before a kept row moves that row on by one.
    return [&rows](std::size_t before) -> std::optional<std::size_t> {
        std::size_t at = before;
        for (auto row = rows.begin(); row != rows.end() && *row <= at; ++row)
            ++at;
        return at;
    };
}

void DocumentSession::showLength(ObjectKind kind, std::size_t before)
{
    const std::size_t after = doc_.objects(kind).size();
    if (after > before)
        emit rowsInserted(DocumentListOf(kind), static_cast<int>(before), static_cast<int>(after - 1));
    else if (after < before)
        emit rowsRemoved(DocumentListOf(kind), static_cast<int>(after), static_cast<int>(before - 1));
}

void DocumentSession::showRows(ObjectKind kind, const RowLines& lines, bool inserted)
{
    if (lines.count() == 0)
        return;
    const std::size_t first = lines.rows.front();
    const std::size_t last = lines.rows.back();
    if (last - first + 1 != lines.count()) {
        showReset(DocumentListOf(kind), inserted ? RowsPutBack(lines.rows) : RowsRemoved(lines.rows));
    } else if (inserted)
        emit rowsInserted(DocumentListOf(kind), static_cast<int>(first), static_cast<int>(last));
    else
        emit rowsRemoved(DocumentListOf(kind), static_cast<int>(first), static_cast<int>(last));
}

void DocumentSession::setOutFile(std::string text)
{
    doc_.setOutFile(std::move(text));
    emit outFileChanged();
}

void DocumentSession::resizeObjects(ObjectKind kind, const Change& change)
{
    const std::size_t before = doc_.objects(kind).size();
    try {
        change(doc_);
    } catch (...) {
        showLength(kind, before);
        throw;
    }
    showLength(kind, before);
}

void DocumentSession::replaceRow(ObjectKind kind, std::size_t row, const Change& change)
{
    try {
        change(doc_);
    } catch (...) {
        emit rowsChanged(DocumentListOf(kind), static_cast<int>(row), static_cast<int>(row));
        throw;
    }
    emit rowsChanged(DocumentListOf(kind), static_cast<int>(row), static_cast<int>(row));
}

void DocumentSession::replaceRows(ObjectKind kind, const RowLines& lines)
{
    if (lines.count() == 0)
        return;
    ObjectList& list = doc_.objects(kind);
    std::size_t done = 0;
    auto tell = [&] {
        if (done == 0)
            return;
        // Past this many runs one notice over the span costs the views less
        // than a notice per run.
        constexpr std::size_t kManyRuns = 64;
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        for (std::size_t i = 0; i < done && runs.size() <= kManyRuns; ++i) {
            const std::size_t row = lines.rows[i];
            if (!runs.empty() && runs.back().second + 1 == row)
                runs.back().second = row;
            else
                runs.emplace_back(row, row);
        }
        if (runs.size() > kManyRuns)
            runs = {{lines.rows.front(), lines.rows[done - 1]}};
        for (const auto& [first, last] : runs)
            emit rowsChanged(DocumentListOf(kind), static_cast<int>(first), static_cast<int>(last));
    };
    // A line that cannot be taken apart is kept without fields, and the rows
    // after it are replaced all the same: an undo that stopped there would
    // leave the other rows as the step made them.
    std::exception_ptr unreadable;
    try {
        for (; done < lines.count(); ++done) {
            try {
                list.replace(lines.rows[done], lines.line(done));
            } catch (const ConversionError&) {
                if (!unreadable)
                    unreadable = std::current_exception();
            }
        }
    } catch (...) {
        // The row that failed was replaced too: its line is kept without fields.
        done = std::min(done + 1, lines.count());
        tell();
        throw;
    }
    tell();
    if (unreadable)
        std::rethrow_exception(unreadable);
}

void DocumentSession::removeRows(ObjectKind kind, const std::vector<std::size_t>& rows, RowLines& removed)
{
    try {
        DeleteObjects(doc_, kind, rows, &removed);
    } catch (...) {
        showRows(kind, removed, false);
        throw;
    }
    showRows(kind, removed, false);
}

void DocumentSession::insertRows(ObjectKind kind, const RowLines& lines)
{
    if (lines.count() == 0)
        return;
    try {
        doc_.objects(kind).insertRows(lines);
    } catch (...) {
        showRows(kind, lines, true);
        throw;
    }
    showRows(kind, lines, true);
}

void DocumentSession::replaceParts(std::initializer_list<DocumentPart> parts, const Change& change,
                                   const RowMap& mapRows, const RowMap& screenRows)
{
    try {
        change(doc_);
    } catch (...) {
        // Rows a failed change left are not known to be where the maps say.
        showParts(parts);
        throw;
    }
    showParts(parts, mapRows, screenRows);
}

}  // namespace qel::app
