#pragma once
// Watches the disk under the open definition: the current file, its folder,
// and the pictures and files it names with their folders (a watched folder
// tells of files made, removed or renamed in it; a watched file of writes
// into it). Watchers miss a file renamed over another at times, so the
// current file is also compared with its stamp whenever checkDocument()
// runs: on any notice, when the window is activated, after each save.
//
// Notices come in bursts (a program writing a large file, a folder of
// pictures copied in): they are gathered for kSettleMs, then settle() checks
// the current file and tells that pictures may have changed. What follows a
// change is the window's: this class only tells.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <optional>

#include "app/DocumentSession.h"
#include "platform/FileStamp.h"

namespace qel::app {

class DiskWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300;
    // Named files watched one by one beyond this many are left to their
    // folders' watch (which misses writes into them): the system's watches
    // are few and shared by every program of the user.
    static constexpr int kMostFileWatches = 512;

    explicit DiskWatch(DocumentSession& session, QObject* parent = nullptr);

    // Compares the current file with its stamp and tells documentChanged()
    // once per state of the file: a change the user was told of (or asked
    // about) is not told again until the file changes anew.
    void checkDocument();
    // The end of a burst of notices: watches what the document names now,
    // checks the current file and tells picturesChanged().
    void settle();
    // Told of the change in hand, the window could not answer it now (a
    // dialog is open): it is told again a moment later.
    void postpone();

    QStringList watchedPaths() const;

signals:
    // The current file changed on disk (None: it is back as read or saved).
    void documentChanged(qel::app::DiskChange change);
    // Pictures or files the document names may have been made, changed or
    // removed: look at them again, as F5 does.
    void picturesChanged();

private:
    void noticed();
    void rewatch();

    DocumentSession& session_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer rewatch_;
    std::optional<platform::FileStamp> told_;
    DiskChange toldChange_ = DiskChange::None;
};

}  // namespace qel::app
