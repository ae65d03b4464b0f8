#pragma once
// The problems of the session's document, kept current while it is edited:
// every step, undo, redo, New and Open is followed through the session's
// notices, and a change of pictures on disk once the user asks for it.
//
// Nothing here waits for the whole document, and no step waits for the
// monitor: the notices of the object lists and the images are only noted
// while a step runs, and followed in one pass in the next turn of the event
// loop, however many came in a burst (or at once when problems() or
// finishChecking() is asked first). In that pass an edited object row is
// checked again (a row's checks need only the row and the image numbers),
// once, however many notices named it; a list that changed as a whole (Open, New, a sort) is checked in slices of a
// few milliseconds between the window's events, so typing and clicking
// never wait for a million rows. Images, files and the out file are few and
// are checked whole whenever one of them changes (the out file only when it
// becomes empty or given); whether a file is there is asked of the disk
// beside the window's thread, once per name (FileFacts); pictures are
// decoded in the background (ProblemPictures). Whether an image is used is counted per
// image number, so an edit that stops using an image updates image-unused
// without a pass over the objects; while a pass runs, image-unused waits for
// it.
//
// Line numbers: the lines of the file opened are kept (the session keeps
// them once asked) and follow the rows: rows inserted have no line, rows
// removed take theirs along, later rows keep theirs. A list shown anew as a
// whole (a sort, a clear) and images whose count changed lose their lines; a
// save loses all of them, since the rows then stand at other lines.
//
// Checking never changes the document.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "app/DocumentSession.h"
#include "app/FileFacts.h"
#include "core/ProblemCheck.h"
#include "core/RowChunks.h"

namespace qel::platform {
class FileOperations;
}

namespace qel::app {

class ProblemPictures;

struct ProblemCounts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t infos = 0;
    friend bool operator==(const ProblemCounts&, const ProblemCounts&) = default;
};

class ProblemMonitor : public QObject {
    Q_OBJECT
public:
    // Rows changed at once beyond this many are checked in slices instead.
    static constexpr std::size_t kRowsAtOnce = 4096;

    // Files to pack are looked for through `files`; with `background` (the
    // editor) beside the window's thread, otherwise at once (tests, fakes).
    ProblemMonitor(DocumentSession& session, ProblemPictures& pictures, const platform::FileOperations& files,
                   bool background = false, QObject* parent = nullptr);

    // Errors first, then warnings, then infos; each severity in list order
    // (the whole file, files, images, map objects, screen objects), rows in
    // order.
    const std::vector<Problem>& problems();
    ProblemCounts counts();
    // True while a whole list is still being checked, notices wait, or the
    // disk is still asked about the files named.
    bool checking() const;

    // Looks at the pictures and files on disk again (F5).
    void rereadPictures();
    // Checks what is still waiting now, pictures included, and tells of it:
    // for tests and benchmarks, which cannot wait for the event loop.
    void finishChecking();

signals:
    // problems() and counts() changed; sent once per turn of the event loop.
    void problemsChanged();

private:
    // One object list's rows as checked.
    struct Rows {
        RowChunks<std::int64_t> images;                      // the image number each row uses, or a mark below
        std::vector<Problem> problems;                       // in row order
        RowChunks<std::size_t> lines;                        // each row's line in the file opened; empty when not known
        std::size_t checked = 0;                             // rows from here on wait for the pass
        std::unordered_map<std::int32_t, std::size_t> uses;  // rows per image number
        std::vector<std::size_t> dirty;                      // rows to check again at the end of the pass
    };
    // A notice of an object list (or of the images), noted until the pass.
    struct Notice {
        enum class What { Inserted, Removed, Changed, Reset, Images } what;
        DocumentList list = DocumentList::MapObjects;
        int first = 0;
        int last = 0;
        bool fresh = false;  // a reset that follows New or Open
    };
    static constexpr std::int64_t kUnchecked = INT64_MIN;
    static constexpr std::int64_t kUnreadable = INT64_MIN + 1;

    Rows& rowsOf(DocumentList list) { return rows_[list == DocumentList::MapObjects ? 0 : 1]; }
    static ObjectKind KindOf(std::size_t index) { return index == 0 ? ObjectKind::Map : ObjectKind::Screen; }

    void note(const Notice& notice);
    void follow();
    void markDirty(std::size_t index, std::size_t row);
    void shiftDirty(Rows& rows, std::size_t at, std::size_t count, bool inserted);
    void onReplaced();
    void onRowsInserted(DocumentList list, int first, int last);
    void onRowsRemoved(DocumentList list, int first, int last);
    void onRowsChanged(DocumentList list, int first, int last);
    void onListReset(DocumentList list, bool fresh);
    void onImagesChanged();
    void onStateChanged();

    void checkRow(std::size_t index, std::size_t row);
    void restartFrom(std::size_t index, std::size_t row);
    void resetRows(std::size_t index);
    void use(Rows& rows, std::int64_t image, std::ptrdiff_t by);
    bool used(std::int32_t number) const;
    void checkParts();
    // After pictures or facts came: once for all that come in a while.
    void checkPartsLater();
    void forgetFiles(int first, int last);
    bool runSlice();
    void changed();
    void tell();

    DocumentSession& session_;
    ProblemPictures& pictures_;
    const platform::FileOperations& files_;
    FileFacts facts_;
    Rows rows_[2];
    ImageIndex index_;
    std::vector<Problem> parts_;  // the whole file's, the files', the images'
    SourceLines partLines_;       // the out file's, files' and images' lines, and the read's own
    bool haveLines_ = false;
    // The folder the names were last looked up in.
    std::string checkedFolder_;
    std::uint64_t replacedAt_ = 0;  // the change count of the document New or Open made
    bool replaced_ = false;
    std::vector<Problem> sorted_;
    bool sortedValid_ = false;
    std::vector<Problem> scratch_;
    std::vector<Notice> notices_;
    QTimer pass_;
    QTimer slice_;
    QTimer notice_;
    QTimer partsLater_;
    std::chrono::steady_clock::duration partsCost_{};
    bool outFileEmpty_ = true;
};

}  // namespace qel::app
