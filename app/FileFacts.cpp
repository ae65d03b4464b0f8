#include "app/FileFacts.h"

#include <utility>

#include "app/ProblemPictures.h"
#include "platform/BackgroundJobs.h"
#include "platform/FileOperations.h"

namespace qel::app {

FileFacts::FileFacts(StampOf stampOf, bool background, QObject* parent) : QObject(parent), stampOf_(std::move(stampOf))
{
    if (background)
        jobs_ = std::make_unique<platform::BackgroundJobs>(*this, 1);
    batch_.setSingleShot(true);
    batch_.setInterval(0);
    connect(&batch_, &QTimer::timeout, this, &FileFacts::askTogether);
}

FileFacts::~FileFacts() = default;

std::optional<platform::FileStamp> FileFacts::stamp(const std::string& path)
{
    if (const auto found = known_.find(path); found != known_.end())
        return found->second;
    if (!jobs_)
        return known_.emplace(path, stampOf_(path)).first->second;
    if (pending_.emplace(path, generation_).second) {
        asked_.push_back(path);
        if (!batch_.isActive())
            batch_.start();
    }
    return std::nullopt;
}

void FileFacts::forget(const std::string& path)
{
    known_.erase(path);
    // An answer on its way may be older than the change.
    if (const auto found = pending_.find(path); found != pending_.end())
        found->second = 0;
}

void FileFacts::forgetAll()
{
    known_.clear();
    ++generation_;
}

void FileFacts::askTogether()
{
    if (asked_.empty())
        return;
    ++waiting_;
    jobs_->post([this, stampOf = stampOf_, names = std::exchange(asked_, {}), generation = generation_] {
        std::vector<platform::FileStamp> stamps;
        stamps.reserve(names.size());
        for (const std::string& name : names)
            stamps.push_back(stampOf(name));
        return platform::BackgroundJobs::Result([this, names, stamps = std::move(stamps), generation] {
            --waiting_;
            for (std::size_t i = 0; i < names.size(); ++i) {
                const auto found = pending_.find(names[i]);
                if (found == pending_.end())
                    continue;
                // Forgotten since it was asked: asked again at the next look.
                if (found->second == generation && generation == generation_)
                    known_[names[i]] = stamps[i];
                pending_.erase(found);
            }
            emit learned();
        });
    });
}

void FileFacts::waitForAnswers()
{
    if (!jobs_)
        return;
    batch_.stop();
    askTogether();
    jobs_->waitForAll();
}

bool FactsDisk::fileExists(const std::string& path)
{
    const std::optional<platform::FileStamp> stamp = facts_.stamp(path);
    return !stamp || stamp->exists();
}

bool FactsDisk::isFolder(const std::string& path)
{
    const std::optional<platform::FileStamp> stamp = facts_.stamp(path);
    return stamp && !stamp->exists() && stamp->kind == platform::FileKind::Other;
}

PictureFacts FactsDisk::picture(const std::string& path)
{
    if (const std::optional<platform::FileStamp> stamp = facts_.stamp(path))
        return pictures_.facts(path, *stamp);
    PictureFacts unknown;
    unknown.checked = false;
    return unknown;
}

FileFacts::StampOf StampThrough(const platform::FileOperations& files)
{
    return [&files](const std::string& path) {
        if (!files.exists(path)) {
            platform::FileStamp none;
            if (files.isFolder(path))
                none.kind = platform::FileKind::Other;  // no file, but not missing either
            return none;
        }
        platform::FileStamp stamp = platform::ReadFileStamp(path);
        if (!stamp.exists()) {  // a file the tests' fakes alone have
            stamp.size = 0;
            stamp.kind = platform::FileKind::Regular;
        }
        return stamp;
    };
}

}  // namespace qel::app
