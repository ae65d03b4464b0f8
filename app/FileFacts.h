#pragma once
// What the problem check knows of the files a definition names: each name's
// stamp (whether it is there, and what it was), asked of the disk beside the
// window's thread and kept per name. An edit never waits for the disk, and a
// name is asked again only when the watcher or a step says it may have
// changed (forget(), forgetAll()): a hundred thousand names cost their stat
// calls once, not at every keystroke.
//
// A name not known yet has no stamp; the names asked for in one turn of the
// event loop go to the disk together, and learned() tells when they are
// known. Without a background (tests, fakes) a name is asked at once.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ProblemCheck.h"
#include "platform/FileStamp.h"

namespace qel::platform {
class BackgroundJobs;
class FileOperations;
}  // namespace qel::platform

namespace qel::app {

class FileFacts : public QObject {
    Q_OBJECT
public:
    // Must be safe to call on another thread when `background`.
    using StampOf = std::function<platform::FileStamp(const std::string& path)>;

    FileFacts(StampOf stampOf, bool background, QObject* parent = nullptr);
    ~FileFacts() override;

    // The stamp of `path` as last learned; nothing while it is asked.
    std::optional<platform::FileStamp> stamp(const std::string& path);
    void forget(const std::string& path);
    void forgetAll();
    bool asking() const { return !asked_.empty() || waiting_ != 0; }
    // Asks the disk now for what waits, and takes the answers in (tests,
    // benchmarks, finishing a check).
    void waitForAnswers();

signals:
    void learned();

private:
    void askTogether();

    StampOf stampOf_;
    std::unordered_map<std::string, platform::FileStamp> known_;
    std::unordered_map<std::string, std::uint64_t> pending_;  // name: the generation it was asked in
    std::vector<std::string> asked_;                          // not sent yet
    std::uint64_t generation_ = 1;                            // forgetting everything starts a new one
    std::size_t waiting_ = 0;                                 // batches on their way
    QTimer batch_;
    std::unique_ptr<platform::BackgroundJobs> jobs_;  // none: asked at once
};

class ProblemPictures;

// The disk as the facts learned beside the window's thread have it: a name
// not known yet counts as there, its picture as not checked, until learned()
// brings the check back.
class FactsDisk : public CheckEnvironment {
public:
    FactsDisk(FileFacts& facts, ProblemPictures& pictures) : facts_(facts), pictures_(pictures) {}

    bool fileExists(const std::string& path) override;
    PictureFacts picture(const std::string& path) override;
    bool isFolder(const std::string& path) override;

private:
    FileFacts& facts_;
    ProblemPictures& pictures_;
};

// A folder is no file to pack, even when a name points at one: there is a
// file when `files` says so, and its stamp is the disk's; a folder's stamp
// has no size and the kind Other, so that it is named as a folder.
FileFacts::StampOf StampThrough(const platform::FileOperations& files);

}  // namespace qel::app
