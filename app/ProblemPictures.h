#pragma once
// What the pictures a definition names hold, for the problem check: each
// file decoded once and remembered by its path and stamp (size, time, inode),
// so a picture is decoded again only when it changed on disk.
//
// The editor decodes in the background (one picture at a time, beside the
// window's thread) with the service the window hands in; until a picture is
// decoded its facts say "not checked", and decoded() tells when more is
// known; going away never waits for a decode under way. A service bound to
// its thread (a fake) decodes at once on the calling thread instead.
//
// Only the facts are kept, not the pixels: the check needs the size and
// whether the picture decodes. When the map view's picture cache is in the
// editor, it is the place to take these facts from instead of decoding
// a second time.

#include <QObject>
#include <QtGlobal>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/ProblemCheck.h"
#include "platform/FileStamp.h"

namespace qel::platform {
class BackgroundJobs;
class PictureService;
}  // namespace qel::platform

namespace qel::app {

class ProblemPictures : public QObject {
    Q_OBJECT
public:
    // Decodes with `service`'s service for other threads, or at once with
    // `service` itself when it has none (see forOtherThreads).
    explicit ProblemPictures(platform::PictureService& service, QObject* parent = nullptr);
    ~ProblemPictures() override;

    // The facts of the existing picture at `path` as the file is now.
    PictureFacts facts(const std::string& path);
    // The same for the file whose stamp is `stamp` (learned beside the
    // window's thread): nothing is asked of the disk here.
    PictureFacts facts(const std::string& path, const platform::FileStamp& stamp);
    bool decoding() const { return !pending_.empty(); }
    // Waits for the pictures being decoded and takes in what was found.
    void waitForDecodes();

    // A picture is decoded with `service`, whatever went wrong inside it.
    static PictureFacts Decode(platform::PictureService& service, const std::string& path);

signals:
    // Pictures asked for earlier are decoded now.
    void decoded();

private:
    struct KnownPicture {
        platform::FileStamp stamp;
        PictureFacts facts;
    };
    void take(const std::string& path, platform::FileStamp stamp, const PictureFacts& facts);

    platform::PictureService& service_;
    // The service the background decodes use; none: decoded at once.
    std::shared_ptr<platform::PictureService> otherThreads_;
    std::unordered_map<std::string, KnownPicture> known_;
    std::unordered_map<std::string, platform::FileStamp> pending_;
    std::unique_ptr<platform::BackgroundJobs> jobs_;
};

}  // namespace qel::app
