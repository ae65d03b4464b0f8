#include "app/ProblemMonitor.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>

#include "app/ProblemPictures.h"
#include "core/EntryLine.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"

namespace qel::app {

namespace {

// Long enough to get through tens of thousands of rows, short enough that
// the window still draws every frame.
constexpr auto kSliceTime = std::chrono::milliseconds(4);

// Checking the parts again after pictures or facts came waits this many
// times what the last check took, so that a hundred thousand pictures coming
// one by one leave the window most of its time.
constexpr int kPartsWaitFactor = 8;
constexpr int kLongestPartsWaitMs = 1000;

int PlaceRank(ProblemPlace place)
{
    return static_cast<int>(place);
}

void ShiftLines(std::vector<std::size_t>& lines, std::size_t first, std::size_t count, bool inserted)
{
    if (lines.empty() || first > lines.size())
        return;
    const auto at = lines.begin() + static_cast<std::ptrdiff_t>(first);
    if (inserted)
        lines.insert(at, count, 0);
    else
        lines.erase(at, lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), first + count)));
}

void ShiftLines(RowChunks<std::size_t>& lines, std::size_t first, std::size_t count, bool inserted)
{
    if (lines.empty() || first > lines.size())
        return;
    if (inserted)
        lines.insert(first, count, 0);
    else
        lines.erase(first, first + count);
}

auto RowBefore = [](const Problem& problem, std::size_t row) { return problem.row < row; };

}  // namespace

ProblemMonitor::ProblemMonitor(DocumentSession& session, ProblemPictures& pictures,
                               const platform::FileOperations& files, bool background, QObject* parent)
    : QObject(parent),
      session_(session),
      pictures_(pictures),
      files_(files),
      facts_(StampThrough(files), background),
      index_(session.document().images())
{
    slice_.setSingleShot(true);
    slice_.setInterval(0);
    notice_.setSingleShot(true);
    notice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, [this] {
        if (runSlice())
            slice_.start();
        else
            changed();
    });
    connect(&notice_, &QTimer::timeout, this, &ProblemMonitor::tell);
    // Pictures come back one by one, often dozens in one turn: the images
    // are checked once for all of them.
    partsLater_.setSingleShot(true);
    partsLater_.setInterval(0);
    connect(&pictures_, &ProblemPictures::decoded, this, &ProblemMonitor::checkPartsLater);
    connect(&facts_, &FileFacts::learned, this, &ProblemMonitor::checkPartsLater);
    connect(&partsLater_, &QTimer::timeout, this, [this] {
        checkParts();
        changed();
    });

    connect(&session_, &DocumentSession::documentReplaced, this, &ProblemMonitor::onReplaced);
    pass_.setSingleShot(true);
    pass_.setInterval(0);
    connect(&pass_, &QTimer::timeout, this, &ProblemMonitor::follow);
    using What = Notice::What;
    connect(&session_, &DocumentSession::rowsInserted, this, [this](DocumentList list, int first, int last) {
        note({What::Inserted, list, first, last});
    });
    connect(&session_, &DocumentSession::rowsRemoved, this, [this](DocumentList list, int first, int last) {
        note({What::Removed, list, first, last});
    });
    connect(&session_, &DocumentSession::rowsChanged, this, [this](DocumentList list, int first, int last) {
        note({What::Changed, list, first, last});
    });
    connect(&session_, &DocumentSession::listReset, this, [this](DocumentList list) {
        // The resets that follow New or Open keep the lines just read.
        note({What::Reset, list, 0, 0, replaced_ && session_.document().changeCount() == replacedAt_});
    });
    connect(&session_, &DocumentSession::imagesChanged, this, [this] { note({What::Images}); });
    connect(&session_, &DocumentSession::outFileChanged, this, [this] {
        // Only whether there is one is checked: typing in it names no file.
        if (session_.document().outFile().empty() == outFileEmpty_)
            return;
        checkParts();
        changed();
    });
    connect(&session_, &DocumentSession::documentStateChanged, this, &ProblemMonitor::onStateChanged);

    session_.setKeepSourceLines(true);
    resetRows(0);
    resetRows(1);
    checkParts();
    changed();
}

bool ProblemMonitor::checking() const
{
    return !notices_.empty() || facts_.asking() || rows_[0].checked < rows_[0].images.size()
           || rows_[1].checked < rows_[1].images.size();
}

bool ProblemMonitor::used(std::int32_t number) const
{
    return rows_[0].uses.contains(number) || rows_[1].uses.contains(number);
}

void ProblemMonitor::use(Rows& rows, std::int64_t image, std::ptrdiff_t by)
{
    if (image < INT32_MIN)
        return;
    const auto number = static_cast<std::int32_t>(image);
    if (by > 0) {
        ++rows.uses[number];
        return;
    }
    const auto found = rows.uses.find(number);
    if (found != rows.uses.end() && --found->second == 0)
        rows.uses.erase(found);
}

void ProblemMonitor::checkRow(std::size_t index, std::size_t row)
{
    Rows& rows = rows_[index];
    const ObjectKind kind = KindOf(index);
    const ObjectList& list = session_.document().objects(kind);
    // Never a row that is gone: its list's notice is still on its way.
    if (row >= list.size() || row >= rows.images.size())
        return;
    use(rows, rows.images[row], -1);
    scratch_.clear();
    CheckObjectRow(list, row, index_, row < rows.lines.size() ? rows.lines[row] : 0, scratch_);
    std::int64_t image = kUnreadable;
    const bool unreadable = std::any_of(scratch_.begin(), scratch_.end(),
                                        [](const Problem& problem) { return problem.code == "object-unreadable"; });
    if (!unreadable)
        image = list.hasFields(row) ? list.fields(row).image : TakeApartEntryLine(list.line(row), kind).image;
    rows.images[row] = image;
    use(rows, image, +1);

    const auto first = std::lower_bound(rows.problems.begin(), rows.problems.end(), row, RowBefore);
    auto last = first;
    while (last != rows.problems.end() && last->row == row)
        ++last;
    const auto at = rows.problems.erase(first, last);
    rows.problems.insert(at, scratch_.begin(), scratch_.end());
}

void ProblemMonitor::note(const Notice& notice)
{
    // The files are few and not followed row by row: checked at once.
    if (notice.list == DocumentList::Files && notice.what != Notice::What::Images) {
        const bool ranged = notice.first >= 0 && notice.last >= notice.first;
        switch (notice.what) {
        case Notice::What::Inserted:
        case Notice::What::Removed:
            if (ranged)
                ShiftLines(partLines_.files, static_cast<std::size_t>(notice.first),
                           static_cast<std::size_t>(notice.last - notice.first) + 1,
                           notice.what == Notice::What::Inserted);
            else if (!(replaced_ && session_.document().changeCount() == replacedAt_))
                partLines_.files.clear();
            break;
        case Notice::What::Reset:
            if (!notice.fresh)
                partLines_.files.clear();
            facts_.forgetAll();
            break;
        default:
            break;
        }
        // A file added may have been copied in just now.
        if (notice.what == Notice::What::Inserted || notice.what == Notice::What::Changed)
            forgetFiles(notice.first, notice.last);
        checkParts();
        return changed();
    }
    // Images whose count changed lose their lines, also when a later step
    // of the burst brings the count back.
    if (notice.what == Notice::What::Images && partLines_.images.size() != session_.document().images().size())
        partLines_.images.clear();
    notices_.push_back(notice);
    pass_.start();
}

void ProblemMonitor::follow()
{
    pass_.stop();
    if (notices_.empty())
        return;
    // Taken first: a notice sent while following is followed in a pass of its own.
    std::vector<Notice> notices;
    notices.swap(notices_);
    // The rows' state follows the notices in order, as the list changed step
    // by step; the rows named are checked at the end, against the document
    // as it is now, which the state by then matches row for row.
    for (const Notice& notice : notices) {
        switch (notice.what) {
        case Notice::What::Inserted:
            onRowsInserted(notice.list, notice.first, notice.last);
            break;
        case Notice::What::Removed:
            onRowsRemoved(notice.list, notice.first, notice.last);
            break;
        case Notice::What::Changed:
            onRowsChanged(notice.list, notice.first, notice.last);
            break;
        case Notice::What::Reset:
            onListReset(notice.list, notice.fresh);
            break;
        case Notice::What::Images:
            onImagesChanged();
            break;
        }
    }
    for (std::size_t index = 0; index < 2; ++index) {
        Rows& rows = rows_[index];
        // Never met when every change was told; a list left different would
        // otherwise keep problems of rows that are gone.
        if (rows.images.size() != session_.document().objects(KindOf(index)).size())
            resetRows(index);
        std::vector<std::size_t> dirty;
        dirty.swap(rows.dirty);
        std::sort(dirty.begin(), dirty.end());
        dirty.erase(std::unique(dirty.begin(), dirty.end()), dirty.end());
        for (const std::size_t row : dirty)
            if (row < rows.checked)
                checkRow(index, row);
    }
    changed();
}

void ProblemMonitor::markDirty(std::size_t index, std::size_t row)
{
    rows_[index].dirty.push_back(row);
}

void ProblemMonitor::shiftDirty(Rows& rows, std::size_t at, std::size_t count, bool inserted)
{
    std::size_t kept = 0;
    for (const std::size_t row : rows.dirty) {
        if (row < at)
            rows.dirty[kept++] = row;
        else if (inserted)
            rows.dirty[kept++] = row + count;
        else if (row >= at + count)
            rows.dirty[kept++] = row - count;
    }
    rows.dirty.resize(kept);
}

void ProblemMonitor::restartFrom(std::size_t index, std::size_t row)
{
    Rows& rows = rows_[index];
    for (std::size_t i = row; i < rows.checked; ++i) {
        use(rows, rows.images[i], -1);
        rows.images[i] = kUnchecked;
    }
    rows.checked = std::min(rows.checked, row);
    rows.problems.erase(std::lower_bound(rows.problems.begin(), rows.problems.end(), row, RowBefore),
                        rows.problems.end());
    slice_.start();
}

void ProblemMonitor::resetRows(std::size_t index)
{
    Rows& rows = rows_[index];
    rows.uses.clear();
    rows.dirty.clear();
    rows.images.assign(session_.document().objects(KindOf(index)).size(), kUnchecked);
    rows.problems.clear();
    rows.checked = 0;
    if (!rows.images.empty())
        slice_.start();
}

void ProblemMonitor::onReplaced()
{
    // Every list and the images are told anew right after: what waits is moot.
    notices_.clear();
    replaced_ = true;
    replacedAt_ = session_.document().changeCount();
    partLines_ = {};
    rows_[0].lines.clear();
    rows_[1].lines.clear();
    const SourceLines* lines = session_.sourceLines();
    haveLines_ = lines != nullptr;
    if (lines != nullptr) {
        partLines_.outFile = lines->outFile;
        partLines_.files = lines->files;
        partLines_.images = lines->images;
        partLines_.comments = lines->comments;
        partLines_.firstComment = lines->firstComment;
        partLines_.ignored = lines->ignored;
        for (std::size_t index = 0; index < 2; ++index) {
            const std::vector<std::size_t> all = (index == 0 ? lines->mapObjects : lines->screenObjects).all();
            for (const std::size_t line : all)
                rows_[index].lines.push_back(line);
        }
    }
    index_ = ImageIndex(session_.document().images());
}

void ProblemMonitor::onRowsInserted(DocumentList list, int first, int last)
{
    if (first < 0 || last < first)
        return onListReset(list, false);
    const auto at = static_cast<std::size_t>(first);
    const std::size_t count = static_cast<std::size_t>(last) - at + 1;
    const std::size_t index = list == DocumentList::MapObjects ? 0 : 1;
    Rows& rows = rows_[index];
    if (at > rows.images.size())
        return onListReset(list, false);
    rows.images.insert(at, count, kUnchecked);
    ShiftLines(rows.lines, at, count, true);
    shiftDirty(rows, at, count, true);
    if (at <= rows.checked && count <= kRowsAtOnce) {
        // Later rows' messages name them by their new numbers.
        for (auto p = std::lower_bound(rows.problems.begin(), rows.problems.end(), at, RowBefore);
             p != rows.problems.end(); ++p) {
            p->row += count;
            markDirty(index, p->row);
        }
        rows.checked += count;
        for (std::size_t row = at; row < at + count; ++row)
            markDirty(index, row);
    } else if (at < rows.checked) {
        rows.checked += count;
        restartFrom(index, at);
    }
    if (rows.checked < rows.images.size())
        slice_.start();
}

void ProblemMonitor::onRowsRemoved(DocumentList list, int first, int last)
{
    if (first < 0 || last < first)
        return onListReset(list, false);
    const auto at = static_cast<std::size_t>(first);
    const std::size_t count = static_cast<std::size_t>(last) - at + 1;
    const std::size_t index = list == DocumentList::MapObjects ? 0 : 1;
    Rows& rows = rows_[index];
    if (at + count > rows.images.size())
        return onListReset(list, false);
    shiftDirty(rows, at, count, false);
    const std::size_t end = at + count;
    for (std::size_t row = at; row < std::min(end, rows.checked); ++row)
        use(rows, rows.images[row], -1);
    rows.images.erase(at, end);
    ShiftLines(rows.lines, at, count, false);

    const auto gone = std::lower_bound(rows.problems.begin(), rows.problems.end(), at, RowBefore);
    const auto kept = std::lower_bound(gone, rows.problems.end(), end, RowBefore);
    const auto after = rows.problems.erase(gone, kept);
    for (auto p = after; p != rows.problems.end(); ++p) {
        p->row -= count;
        markDirty(index, p->row);
    }
    if (rows.checked >= end)
        rows.checked -= count;
    else if (rows.checked > at)
        rows.checked = at;
}

void ProblemMonitor::onRowsChanged(DocumentList list, int first, int last)
{
    if (first < 0 || last < first)
        return onListReset(list, false);
    const std::size_t index = list == DocumentList::MapObjects ? 0 : 1;
    Rows& rows = rows_[index];
    const auto from = static_cast<std::size_t>(first);
    const std::size_t to = std::min(static_cast<std::size_t>(last) + 1, rows.checked);
    if (from >= to)
        return;
    if (to - from > kRowsAtOnce)
        restartFrom(index, from);
    else
        for (std::size_t row = from; row < to; ++row)
            markDirty(index, row);
}

void ProblemMonitor::onListReset(DocumentList list, bool fresh)
{
    const std::size_t index = list == DocumentList::MapObjects ? 0 : 1;
    if (!fresh)
        rows_[index].lines.clear();
    resetRows(index);
}

void ProblemMonitor::onImagesChanged()
{
    const std::vector<ObjectImage>& images = session_.document().images();
    ImageIndex fresh(images);
    // Only rows using a number that became defined or undefined change.
    std::vector<std::int32_t> flipped;
    for (const Rows& rows : rows_)
        for (const auto& [number, count] : rows.uses)
            if (fresh.defines(number) != index_.defines(number))
                flipped.push_back(number);
    std::sort(flipped.begin(), flipped.end());
    index_ = std::move(fresh);
    if (!flipped.empty()) {
        for (std::size_t index = 0; index < 2; ++index) {
            Rows& rows = rows_[index];
            for (std::size_t row = 0; row < rows.checked; ++row) {
                const std::int64_t image = rows.images[row];
                if (image >= INT32_MIN
                    && std::binary_search(flipped.begin(), flipped.end(), static_cast<std::int32_t>(image)))
                    markDirty(index, row);
            }
        }
    }
    checkParts();
}

void ProblemMonitor::onStateChanged()
{
    // A save writes the rows to other lines than those read; a save into
    // another folder makes the names stand for other files.
    const bool linesGone = haveLines_ && session_.sourceLines() == nullptr;
    if (!linesGone && session_.document().documentFolder() == checkedFolder_)
        return;
    if (linesGone) {
        haveLines_ = false;
        partLines_ = {};
        for (Rows& rows : rows_) {
            rows.lines.clear();
            for (Problem& problem : rows.problems)
                problem.line = 0;
        }
    }
    checkParts();
    changed();
}

void ProblemMonitor::checkParts()
{
    // Everything but the objects, so images, files and the out file never
    // wait for a pass over a million rows.
    const DefinitionDocument& doc = session_.document();
    DefinitionDocument parts;
    parts.setOutFile(doc.outFile());
    parts.editFiles() = doc.files();
    parts.editImages() = doc.images();
    parts.setDocumentFolder(doc.documentFolder());
    checkedFolder_ = doc.documentFolder();
    FactsDisk disk(facts_, pictures_);
    const auto start = std::chrono::steady_clock::now();
    parts_ = CheckDocument(parts, disk, haveLines_ ? &partLines_ : nullptr);
    partsCost_ = std::chrono::steady_clock::now() - start;
    outFileEmpty_ = doc.outFile().empty();
}

void ProblemMonitor::forgetFiles(int first, int last)
{
    const DefinitionDocument& doc = session_.document();
    const std::vector<std::string>& files = doc.files();
    for (int row = std::max(first, 0); row <= last && static_cast<std::size_t>(row) < files.size(); ++row)
        facts_.forget(ResolvedPath(doc.documentFolder(), files[static_cast<std::size_t>(row)]));
}

void ProblemMonitor::checkPartsLater()
{
    if (partsLater_.isActive())
        return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(partsCost_).count();
    partsLater_.setInterval(static_cast<int>(std::min<std::int64_t>(ms * kPartsWaitFactor, kLongestPartsWaitMs)));
    partsLater_.start();
}

void ProblemMonitor::rereadPictures()
{
    facts_.forgetAll();
    checkParts();
    changed();
}

bool ProblemMonitor::runSlice()
{
    // The rows' state must match the list before a row is read by its number.
    follow();
    const auto deadline = std::chrono::steady_clock::now() + kSliceTime;
    for (std::size_t index = 0; index < 2; ++index) {
        Rows& rows = rows_[index];
        while (rows.checked < rows.images.size()) {
            checkRow(index, rows.checked);
            ++rows.checked;
            if (rows.checked % 1024 == 0 && std::chrono::steady_clock::now() >= deadline)
                return true;
        }
    }
    return false;
}

void ProblemMonitor::finishChecking()
{
    follow();
    while (facts_.asking() || pictures_.decoding()) {
        facts_.waitForAnswers();
        checkParts();
        pictures_.waitForDecodes();
    }
    if (partsLater_.isActive()) {
        partsLater_.stop();
        checkParts();
    }
    while (runSlice()) {
    }
    slice_.stop();
    changed();
    notice_.stop();
    tell();
}

void ProblemMonitor::changed()
{
    sortedValid_ = false;
    notice_.start();
}

void ProblemMonitor::tell()
{
    emit problemsChanged();
}

const std::vector<Problem>& ProblemMonitor::problems()
{
    follow();
    if (sortedValid_)
        return sorted_;
    sorted_.clear();
    const std::vector<ObjectImage>& images = session_.document().images();
    const bool counting = !checking();
    for (const Problem& problem : parts_) {
        // Unused as far as the objects checked so far tell: wait for the rest.
        if (problem.code == "image-unused"
            && (!counting || problem.row >= images.size() || used(images[problem.row].number)))
            continue;
        sorted_.push_back(problem);
    }
    for (const Rows& rows : rows_)
        sorted_.insert(sorted_.end(), rows.problems.begin(), rows.problems.end());
    std::stable_sort(sorted_.begin(), sorted_.end(), [](const Problem& a, const Problem& b) {
        if (a.severity != b.severity)
            return a.severity < b.severity;
        if (a.place != b.place)
            return PlaceRank(a.place) < PlaceRank(b.place);
        return a.row < b.row;
    });
    sortedValid_ = true;
    return sorted_;
}

ProblemCounts ProblemMonitor::counts()
{
    ProblemCounts counts;
    for (const Problem& problem : problems()) {
        switch (problem.severity) {
        case Severity::Error:
            ++counts.errors;
            break;
        case Severity::Warning:
            ++counts.warnings;
            break;
        case Severity::Info:
            ++counts.infos;
            break;
        }
    }
    return counts;
}

}  // namespace qel::app
