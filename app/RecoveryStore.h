#pragma once
// Recovery copies of unsaved work. While the document is modified, a copy of
// it (the definition as Save would write it, the path of its file, and the
// time) is kept in a folder of the user's own, so that work survives a killed
// editor, an ended desktop session or a power cut, and is offered back the
// next time the file is opened (or, for an untitled document, at start-up).
//
// The copy is written once the user pauses, and at the latest a while after a
// change even through non-stop typing. The document is captured on the UI
// thread as a snapshot sharing the lines' bytes (cheap even for a million
// objects), and composed and written on a thread of its own, through the safe
// writer, so no step waits for the disk. Each running editor locks the copies
// it writes or holds on offer, so no other editor offers them. A folder that
// is not safe for the copies is neither used nor changed (RecoveryDisk.h),
// and when no copy can be written the window is told why, so the user knows
// the work is at risk; the next change tries again. The store reaches the
// disk through platform::RecoveryFolder only.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/RecoveryFormat.h"
#include "core/DefinitionDocument.h"
#include "platform/RecoveryFolder.h"

namespace qel::app {

class DocumentSession;

// A copy found on disk and held (locked) by this editor until it is
// recovered or declined.
struct RecoveryOffer {
    QString copyPath;
    RecoveryContent content;
};

// "NAME has changes from DATE TIME that were never saved. Recover them?"
QString RecoveryQuestion(const RecoveryOffer& offer);

class RecoveryStore : public QObject {
    Q_OBJECT
public:
    struct Options {
        // Where copies live; DefaultFolder() when empty. What killed editors
        // left there part written is swept when the store starts.
        QString folder;
        // The pause after the last change before the copy is written...
        std::chrono::milliseconds pause{1500};
        // ...and the longest a change waits while changes keep coming.
        std::chrono::milliseconds longest{5000};
        // The time written into a copy.
        std::function<QDateTime()> clock;
    };

    // Copies wherever `disk` keeps them; it outlives the store.
    RecoveryStore(DocumentSession& session, platform::RecoveryFolder& disk, Options options, QObject* parent = nullptr);
    // Waits for a write under way. A copy of a still modified document stays
    // on disk (the editor is ending without the unsaved-changes question:
    // the desktop session ends, say); its lock goes with the editor.
    ~RecoveryStore() override;

    // The per-user application data folder's "recovery" folder.
    static QString DefaultFolder();
    const QString& folder() const { return folder_; }

    // Copies that may be offered: those of `documentPath` (the untitled ones
    // for an empty path) that no running editor holds, newest first. Each is
    // locked by this store until recover() or decline(). A copy that cannot
    // be read is renamed with ".damaged" added, never offered again, and its
    // message added to `problems`. Nothing from a folder that is not safe.
    std::vector<RecoveryOffer> find(const std::string& documentPath, std::vector<std::string>& problems);

    // The document the offer holds, as the session should take it (current
    // file included); the copy becomes the one this store keeps up to date.
    DefinitionDocument recover(const RecoveryOffer& offer);
    // Removes the offered copy.
    void decline(const RecoveryOffer& offer);
    // Lets go of an offer not taken up now: it is offered again later.
    void pass(const RecoveryOffer& offer) { release(offer.copyPath); }

    // Where the copies of every store go unless its options name a folder:
    // DefaultFolder() until this names another (tests do, to keep clear of
    // the user's copies).
    static void SetStandardFolder(const QString& folder);

    // The document's changes were discarded on purpose: its copy goes.
    void discard();

    // Writes a pending copy now instead of after the pause.
    void writeNow();
    // Waits until no write is under way and its result has been taken in.
    void waitForWrites();

    // The copy this store keeps for the document; empty when there is none.
    QString currentCopy() const { return current_; }
    // Why the last try wrote no copy; empty once one is written.
    const QString& unprotectedReason() const { return reason_; }

signals:
    // No copy could be written, for `reason` ("PATH is a symbolic link",
    // "PATH: Disk full", ...); sent at each failed try. `first` only for the
    // first since the document was new, opened or recovered.
    void protectionFailed(const QString& reason, bool first);
    // A copy was written after a failure, or there is no unsaved work left.
    void protectionRestored();

private:
    struct Snapshot;
    void documentChanged();
    void startWrite();
    void writeFinished(bool ok, const QString& message, const QString& written);
    void removeCopy(const QString& copy);
    void release(const QString& copy);
    bool lock(const QString& copy, int& error);
    void fail(const std::string& reason);
    void restored();
    QString newCopyName(const std::string& documentPath) const;
    void joinWriter();

    DocumentSession& session_;
    platform::RecoveryFolder& disk_;
    QString folder_;
    std::function<QDateTime()> clock_;
    QTimer pause_;
    QTimer longest_;
    // The copy of the document, and the document path it is named after.
    QString current_;
    std::string currentKey_;
    bool dirty_ = false;
    bool writing_ = false;
    bool dropAfterWrite_ = false;
    QString reason_;
    bool announced_ = false;
    std::thread writer_;
    std::map<QString, std::unique_ptr<platform::RecoveryFolder::Lock>> locks_;
};

}  // namespace qel::app
