#include "app/DiskWatch.h"

#include <sys/stat.h>
#include <QSet>
#include <utility>

#include "core/PathText.h"
#include "core/ProblemCheck.h"
#include "platform/FileNameText.h"

namespace qel::app {

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderOf(const std::string& path)
{
    const std::string folder = FolderPart(path);
    return folder.empty() ? std::string(".") : folder;
}

}  // namespace

DiskWatch::DiskWatch(DocumentSession& session, QObject* parent) : QObject(parent), session_(session)
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    rewatch_.setSingleShot(true);
    rewatch_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, &DiskWatch::settle);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DiskWatch::noticed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DiskWatch::noticed);
    // What is watched follows what the document names, once per burst of
    // edits; a save or an open also ends with a look at the current file.
    connect(&rewatch_, &QTimer::timeout, this, [this] {
        rewatch();
        checkDocument();
    });
    const auto later = [this] { rewatch_.start(); };
    connect(&session_, &DocumentSession::documentReplaced, this, later);
    connect(&session_, &DocumentSession::documentStateChanged, this, later);
    connect(&session_, &DocumentSession::imagesChanged, this, later);
    connect(&session_, &DocumentSession::listReset, this, later);
    for (auto notice : {&DocumentSession::rowsInserted, &DocumentSession::rowsRemoved, &DocumentSession::rowsChanged})
        connect(&session_, notice, this, [later](DocumentList list, int, int) {
            if (list == DocumentList::Files)
                later();
        });
    rewatch();
}

void DiskWatch::noticed()
{
    settle_.start();
}

void DiskWatch::settle()
{
    settle_.stop();
    // A file renamed over a watched one took its watch along.
    rewatch();
    checkDocument();
    emit picturesChanged();
}

void DiskWatch::postpone()
{
    told_.reset();
    toldChange_ = DiskChange::None;
    QTimer::singleShot(kSettleMs, this, &DiskWatch::checkDocument);
}

void DiskWatch::checkDocument()
{
    platform::FileStamp now;
    const DiskChange change = session_.diskChange(&now);
    if (change == DiskChange::None) {
        told_.reset();
        if (std::exchange(toldChange_, DiskChange::None) != DiskChange::None)
            emit documentChanged(DiskChange::None);
        return;
    }
    // A file gone again after a save wrote it is a new state to the user,
    // whatever the stamp of a missing file says.
    const bool gone = change == DiskChange::Gone || change == DiskChange::NotRegular;
    if (told_ && *told_ == now && (!gone || session_.fileGone()))
        return;
    told_ = now;
    toldChange_ = change;
    emit documentChanged(change);
}

void DiskWatch::rewatch()
{
    const DefinitionDocument& doc = session_.document();
    QSet<QString> folders;
    QSet<QString> files;
    const auto watch = [&](const std::string& path) {
        if (const std::string folder = FolderOf(path); IsFolder(folder))
            folders.insert(FileNameText(folder));
        if (files.size() < kMostFileWatches && platform::ReadFileStamp(path).exists())
            files.insert(FileNameText(path));
    };
    if (!doc.currentFile().empty()) {
        watch(doc.currentFile());
        for (const ObjectImage& image : doc.images())
            watch(ResolvedPath(doc.documentFolder(), image.file));
        for (const std::string& file : doc.files())
            watch(ResolvedPath(doc.documentFolder(), file));
    }
    QStringList drop;
    for (const QString& path : watcher_.files())
        if (!files.remove(path))
            drop << path;
    for (const QString& path : watcher_.directories())
        if (!folders.remove(path))
            drop << path;
    if (!drop.isEmpty())
        watcher_.removePaths(drop);
    QStringList add(files.begin(), files.end());
    add += QStringList(folders.begin(), folders.end());
    if (!add.isEmpty())
        watcher_.addPaths(add);
}

QStringList DiskWatch::watchedPaths() const
{
    return watcher_.files() + watcher_.directories();
}

}  // namespace qel::app
