#include "app/ProblemPictures.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <new>

#include "core/Errors.h"
#include "platform/BackgroundJobs.h"
#include "platform/FileNameText.h"
#include "platform/PictureService.h"

namespace qel::app {

namespace {

QString PathName(const std::string& path)
{
    return FileNameText(path);
}

}  // namespace

// The machine's other cores belong to the user's other work; one picture at
// a time still keeps pace with editing.
ProblemPictures::ProblemPictures(platform::PictureService& service, QObject* parent)
    : QObject(parent),
      service_(service),
      otherThreads_(service.forOtherThreads()),
      jobs_(std::make_unique<platform::BackgroundJobs>(*this, 1))
{
}

ProblemPictures::~ProblemPictures() = default;

PictureFacts ProblemPictures::Decode(platform::PictureService& service, const std::string& path)
{
    PictureFacts facts;
    try {
        // Judged as the views decode it: a large picture scaled down.
        const platform::BoundedPicture picture =
            service.loadWithin(PathName(path), platform::kViewedPictureBytes, platform::kViewedPictureBytes / 4);
        facts.width = picture.size.width();
        facts.height = picture.size.height();
        facts.decodable = !picture.image.isNull();
        if (!facts.decodable)
            facts.error = "The picture holds no pixels";
    } catch (const Error& failure) {
        facts.error = failure.message();
    } catch (const std::bad_alloc&) {
        facts.error = "Not enough memory to decode it";
    }
    return facts;
}

PictureFacts ProblemPictures::facts(const std::string& path)
{
    return facts(path, platform::ReadFileStamp(path));
}

PictureFacts ProblemPictures::facts(const std::string& path, const platform::FileStamp& stamp)
{
    if (const auto known = known_.find(path); known != known_.end() && known->second.stamp == stamp)
        return known->second.facts;
    if (!otherThreads_) {
        const PictureFacts decoded = Decode(service_, path);
        known_[path] = KnownPicture{stamp, decoded};
        return decoded;
    }
    PictureFacts unknown;
    unknown.checked = false;
    if (const auto pending = pending_.find(path); pending != pending_.end() && pending->second == stamp)
        return unknown;
    pending_[path] = stamp;
    jobs_->post([this, path, stamp, service = otherThreads_] {
        const PictureFacts decoded = Decode(*service, path);
        return platform::BackgroundJobs::Result([this, path, stamp, decoded] { take(path, stamp, decoded); });
    });
    return unknown;
}

void ProblemPictures::take(const std::string& path, platform::FileStamp stamp, const PictureFacts& facts)
{
    known_[path] = KnownPicture{stamp, facts};
    // A newer decode of a file changed meanwhile is still on its way.
    if (const auto pending = pending_.find(path); pending != pending_.end() && pending->second == stamp)
        pending_.erase(pending);
    emit decoded();
}

void ProblemPictures::waitForDecodes()
{
    jobs_->waitForAll();
}

}  // namespace qel::app
