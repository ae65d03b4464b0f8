#include "app/RecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>
#include <ctime>

#include "app/DocumentSession.h"
#include "app/RecoveryFormat.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "core/PathText.h"
#include "platform/FileNameText.h"

namespace qel::app {

namespace {
const QString kSuffix = QStringLiteral(".qelrecovery");
const QString kDamaged = QStringLiteral(".damaged");
// Older than this and held by no one, what a writer left is left over.
constexpr std::time_t kLeftOverAfterSeconds = 3600;

std::string Bytes(const QString& path)
{
    return FileNameBytes(path);
}

}  // namespace

QString RecoveryQuestion(const RecoveryOffer& offer)
{
    const std::string& path = offer.content.documentPath;
    const QString name = path.empty() ? QStringLiteral("Untitled") : FileNameText(NamePart(path));
    const QString when = QLocale().toString(offer.content.savedAt.toLocalTime(), QLocale::ShortFormat);
    return QStringLiteral("%1 has changes from %2 that were never saved. Recover them?").arg(name, when);
}

struct RecoveryStore::Snapshot {
    std::string outFile;
    std::vector<std::string> files;
    std::vector<ObjectImage> images;
    ObjectList::State map;
    ObjectList::State screen;
    std::string header;
};

RecoveryStore::RecoveryStore(DocumentSession& session, platform::RecoveryFolder& disk, Options options, QObject* parent)
    : QObject(parent),
      session_(session),
      disk_(disk),
      folder_(options.folder.isEmpty() ? DefaultFolder() : options.folder),
      clock_(options.clock ? std::move(options.clock) : [] { return QDateTime::currentDateTimeUtc(); })
{
    pause_.setSingleShot(true);
    pause_.setInterval(options.pause);
    longest_.setSingleShot(true);
    longest_.setInterval(options.longest);
    connect(&pause_, &QTimer::timeout, this, &RecoveryStore::startWrite);
    connect(&longest_, &QTimer::timeout, this, &RecoveryStore::startWrite);
    connect(&session_, &DocumentSession::historyChanged, this, &RecoveryStore::documentChanged);
    connect(&session_, &DocumentSession::documentStateChanged, this, &RecoveryStore::documentChanged);
    connect(&session_, &DocumentSession::documentReplaced, this, [this] { announced_ = false; });
    if (disk_.problem(Bytes(folder_)).empty())
        disk_.sweep(Bytes(folder_), Bytes(kSuffix), std::time(nullptr) - kLeftOverAfterSeconds);
}

RecoveryStore::~RecoveryStore()
{
    blockSignals(true);  // the window is going
    // Changes of the last moments before the editor ends are kept too.
    if (dirty_ && session_.modified())
        startWrite();
    waitForWrites();
    pause_.stop();
    longest_.stop();
    if (!session_.modified() && !current_.isEmpty())
        removeCopy(current_);
}

namespace {
QString& StandardFolder()
{
    static QString folder;
    return folder;
}
}  // namespace

void RecoveryStore::SetStandardFolder(const QString& folder)
{
    StandardFolder() = folder;
}

QString RecoveryStore::DefaultFolder()
{
    if (!StandardFolder().isEmpty())
        return StandardFolder();
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

bool RecoveryStore::lock(const QString& copy, int& error)
{
    // Held while this editor runs, however long: a running editor keeps its
    // copies for hours.
    std::unique_ptr<platform::RecoveryFolder::Lock> held = disk_.lock(Bytes(copy), error);
    if (!held)
        return false;
    locks_[copy] = std::move(held);
    return true;
}

void RecoveryStore::release(const QString& copy)
{
    locks_.erase(copy);
}

void RecoveryStore::removeCopy(const QString& copy)
{
    disk_.remove(Bytes(copy));
    release(copy);
}

QString RecoveryStore::newCopyName(const std::string& documentPath) const
{
    const QString token = QString::number(QRandomGenerator::global()->generate64(), 16);
    return folder_ + QLatin1Char('/') + RecoveryCopyKey(documentPath) + QLatin1Char('-') + token + kSuffix;
}

std::vector<RecoveryOffer> RecoveryStore::find(const std::string& documentPath, std::vector<std::string>& problems)
{
    std::vector<RecoveryOffer> offers;
    if (!disk_.problem(Bytes(folder_)).empty())
        return offers;  // anyone may have put copies where it leads
    const QDir folder(folder_);
    const QString pattern = RecoveryCopyKey(documentPath) + QStringLiteral("-*") + kSuffix;
    for (const std::string& name : disk_.list(Bytes(folder_), Bytes(pattern))) {
        const QString copy = folder.filePath(FileNameText(name));
        int error = 0;
        if (locks_.count(copy) || !lock(copy, error))
            continue;  // this editor's own, or another running editor's live work
        try {
            const FileBytes bytes = disk_.read(Bytes(copy));
            if (bytes.size == 0) {
                removeCopy(copy);  // made for a first copy its editor never wrote
                continue;
            }
            RecoveryContent content = ParseRecoveryCopy(bytes.view());
            if (content.documentPath != documentPath) {
                release(copy);  // another file's copy with the same name start
                continue;
            }
            offers.push_back({copy, std::move(content)});
        } catch (const std::exception& failure) {
            if (!disk_.exists(Bytes(copy))) {
                release(copy);  // removed meanwhile by the editor that had it
                continue;
            }
            const QString damaged = copy + kDamaged;
            disk_.remove(Bytes(damaged));
            disk_.rename(Bytes(copy), Bytes(damaged));
            release(copy);
            problems.push_back("The recovery copy " + Bytes(copy) + " cannot be read (" + failure.what()
                               + "); it was renamed " + Bytes(damaged) + ".");
        }
    }
    std::stable_sort(offers.begin(), offers.end(), [](const RecoveryOffer& a, const RecoveryOffer& b) {
        return a.content.savedAt > b.content.savedAt;
    });
    return offers;
}

DefinitionDocument RecoveryStore::recover(const RecoveryOffer& offer)
{
    DefinitionDocument doc;
    try {
        ReadDefinitionBytes(doc, offer.content.definition, 0, nullptr, NamePart(Bytes(offer.copyPath)));
    } catch (const ConversionError&) {
        // An entry the user left unreadable: every line is kept, as it was.
    }
    if (!offer.content.documentPath.empty())
        doc.setCurrentFile(offer.content.documentPath);
    // The offered copy goes on holding this work until it is saved.
    if (!current_.isEmpty() && current_ != offer.copyPath && !writing_)
        removeCopy(current_);
    current_ = offer.copyPath;
    currentKey_ = offer.content.documentPath;
    return doc;
}

void RecoveryStore::decline(const RecoveryOffer& offer)
{
    removeCopy(offer.copyPath);
}

void RecoveryStore::discard()
{
    pause_.stop();
    longest_.stop();
    dirty_ = false;
    if (writing_) {
        dropAfterWrite_ = true;
        return;
    }
    if (!current_.isEmpty())
        removeCopy(current_);
    current_.clear();
    restored();  // no unsaved work left to protect
}

void RecoveryStore::documentChanged()
{
    if (!session_.modified()) {
        discard();
        return;
    }
    dirty_ = true;
    dropAfterWrite_ = false;
    pause_.start();
    if (!longest_.isActive())
        longest_.start();
}

void RecoveryStore::writeNow()
{
    startWrite();
}

void RecoveryStore::joinWriter()
{
    if (writer_.joinable())
        writer_.join();
}

void RecoveryStore::startWrite()
{
    if (!dirty_ || !session_.modified() || writing_)
        return;  // a write under way starts the next one when it ends
    pause_.stop();
    longest_.stop();
    // Checked at each write: the folder may have been replaced meanwhile.
    const std::string problem = disk_.make(Bytes(folder_));
    if (!problem.empty()) {
        fail(problem);
        return;
    }
    const DefinitionDocument& source = session_.document();
    const std::string& key = source.currentFile();
    QString target = current_;
    if (target.isEmpty() || key != currentKey_) {
        target = newCopyName(key);
        int error = 0;
        if (!lock(target, error)) {
            fail(Bytes(folder_) + ": " + (error != 0 ? FileErrorMessage(error) : "a new copy's name is in use"));
            return;
        }
    }
    // The lines' bytes are shared, not copied: a million objects cost their
    // views and fields here; the writing thread makes a document of them and
    // composes the text.
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->outFile = source.outFile();
    snapshot->files = source.files();
    snapshot->images = source.images();
    snapshot->map = source.mapObjects().saveState();
    snapshot->screen = source.screenObjects().saveState();
    snapshot->header = ComposeRecoveryHeader(key, clock_());
    dirty_ = false;
    writing_ = true;
    joinWriter();
    writer_ = std::thread([this, snapshot, target, key] {
        bool ok = true;
        QString message;
        try {
            DefinitionDocument doc;
            doc.setOutFile(snapshot->outFile);
            doc.editFiles() = snapshot->files;
            doc.editImages() = snapshot->images;
            doc.mapObjects().restoreState(snapshot->map);
            doc.screenObjects().restoreState(snapshot->screen);
            const std::unique_ptr<platform::RecoveryFolder::Writer> writer = disk_.write(Bytes(target));
            writer->write(snapshot->header);
            std::uint64_t size = 0;
            ComposeDefinition(doc, [&](std::string_view piece) {
                size += piece.size();
                writer->write(piece);
            });
            writer->write(ComposeRecoveryEnd(size));
            writer->commit();
        } catch (const std::exception& failure) {
            ok = false;
            message = QString::fromLocal8Bit(failure.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, ok, message, target, key] {
                currentKey_ = ok ? key : currentKey_;
                writeFinished(ok, message, target);
            },
            Qt::QueuedConnection);
    });
}

void RecoveryStore::writeFinished(bool ok, const QString& message, const QString& written)
{
    writing_ = false;
    joinWriter();
    if (ok) {
        if (!current_.isEmpty() && current_ != written)
            removeCopy(current_);  // the copy under the document's former name
        current_ = written;
    } else {
        if (written != current_)
            removeCopy(written);  // the empty file made for it, and its lock
        dirty_ = true;            // tried again after the next change
    }
    if (dropAfterWrite_ || !session_.modified()) {
        dropAfterWrite_ = false;
        discard();
        return;
    }
    if (ok && dirty_) {
        pause_.start();
        if (!longest_.isActive())
            longest_.start();
    }
    // Told last: the window may show a box, and the store is settled by then.
    if (ok)
        restored();
    else
        fail(Bytes(folder_) + ": " + FileNameBytes(message));
}

void RecoveryStore::fail(const std::string& reason)
{
    reason_ = FileNameText(reason);
    const bool first = !announced_;
    announced_ = true;
    emit protectionFailed(reason_, first);
}

void RecoveryStore::restored()
{
    if (reason_.isEmpty())
        return;
    reason_.clear();
    emit protectionRestored();
}

void RecoveryStore::waitForWrites()
{
    joinWriter();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

}  // namespace qel::app
