#pragma once
// The pictures a map view draws: each file decoded through the picture
// service (so its decoding limits apply), cut to the cell the objects show,
// and kept with copies scaled for the zoom levels it is drawn at.
//
// With a service that offers a copy for other threads, pictures are decoded
// beside the window's thread, which never waits for one: until a picture
// comes, its look says it is waiting and it has no pixels, and
// pictureArrived() tells when it came. With any other service (the tests'
// fakes) a picture is decoded at once on the calling thread.
//
// A picture that decoded whole would take more than pictureLimit() is never
// decoded whole: the decoder scales it down to a quarter of that limit, or
// it is refused (and shows as the marked box). Its cell then has fewer pixels
// than its size says, and is drawn stretched to that size.
//
// What is kept has a memory budget (256 MiB by default); going over it drops
// the pixels of the pictures drawn least recently, keeping what they
// measure. What the current and the previous frame drew stays even over the
// budget, so that a view showing more than the budget holds does not decode
// the same pictures over and over. A picture that is missing or cannot be
// decoded is remembered as such, so a view asks the disk once, not at every
// repaint. refresh() forgets the pictures whose file changed (its stamp),
// forget() one picture, reload() everything.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "platform/FileStamp.h"
#include "platform/PictureService.h"

namespace qel::platform {

class BackgroundJobs;

class PictureCache : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kDefaultBudget = qint64{256} << 20;
    static constexpr qint64 kLargestPicture = kViewedPictureBytes;
    // A scaled copy larger than this on either side is not kept: the caller
    // draws the cell scaled instead.
    static constexpr int kLargestScaledSide = 2048;
    using StampOf = std::function<FileStamp(const QString& path)>;

    // `stampOf` tells a file's stamp; by default the file system's.
    explicit PictureCache(PictureService& service, StampOf stampOf = {}, QObject* parent = nullptr);
    ~PictureCache() override;

    void setBudget(qint64 bytes);
    qint64 budget() const { return budget_; }
    qint64 bytes() const { return bytes_; }
    std::size_t pictures() const { return held_.size(); }
    // The most one picture may take decoded: kLargestPicture, and never more
    // than a quarter of the budget.
    qint64 pictureLimit() const { return std::min(kLargestPicture, budget_ / 4); }

    // What the objects of an image show: cell (0, 0) of the picture at
    // `path` cut into xTiles x yTiles (an axis whose count is not above 0 left
    // whole), `size` picture pixels; the marked box when `size` is not valid.
    struct Look {
        bool waiting = false;  // the picture is being decoded: nothing known yet
        QSize size;
        bool opaque = false;  // no pixel of the cell lets what is under it show
    };
    Look look(const QString& path, int xTiles, int yTiles);
    // That cell's pixels; a null image while they are on their way, or when
    // there is nothing to show.
    QImage cell(const QString& path, int xTiles, int yTiles);
    // That cell scaled by `scale`, kept under `zoomKey`; a null image when
    // there are no pixels (see cell()) or the copy would be too large to keep.
    // A large cell is scaled beside the window's thread: until the copy comes
    // (pictureArrived() again) the image is null and `coming` says so.
    QImage scaledCell(const QString& path, int xTiles, int yTiles, int zoomKey, double scale, bool* coming = nullptr);
    // The cell's mean colour, for objects drawn smaller than two pixels.
    QRgb averageColour(const QString& path, int xTiles, int yTiles);

    // A view starts drawing: what it draws now and drew the frame before is
    // kept whatever the budget.
    void beginFrame() { ++frame_; }
    // Forgets the pictures whose file changed since they were read; returns
    // how many.
    std::size_t refresh();
    // Forgets one picture (changed on disk), then tells forgotten().
    void forget(const QString& path);
    // Forgets every picture.
    void reload();
    // Waits for the pictures being decoded and takes them in (tests and
    // benchmarks).
    void waitForPictures();

signals:
    // The picture at `path` came (or failed), or a scaled copy of it: its
    // looks and cells may have changed.
    void pictureArrived(const QString& path);
    void forgotten();

private:
    // One picture as the cache holds it: its cell, its looks, its scaled copies.
    struct Held {
        QString path;
        int xTiles = 0;
        int yTiles = 0;
        FileStamp stamp;
        std::uint64_t request = 0;  // the decode on its way; 0 for none
        bool known = false;
        QSize size;
        QImage cell;  // null while waiting, or dropped to keep within the budget
        QRgb average = 0;
        bool opaque = false;
        QHash<int, QImage> scaled;
        QHash<int, std::uint64_t> scaling;  // copies on their way, by the pixels they are made from
        std::uint64_t pixels = 0;           // the decode the cell came from; 0: none
        qint64 bytes = 0;
        std::uint64_t lastUse = 0;
        std::uint64_t lastFrame = 0;
    };
    struct Decoded {
        FileStamp stamp;  // read before the decode, so a change during it is seen
        QSize size;
        QImage cell;
        QRgb average = 0;
    };
    static Decoded DecodeCell(PictureService& service, const StampOf& stampOf, const QString& path, int xTiles,
                              int yTiles, qint64 limitBytes);

    Held& held(const QString& path, int xTiles, int yTiles, bool pixels);
    void decode(const QString& key, Held& e);
    // Whether the decode was still wanted.
    bool take(const QString& key, std::uint64_t request, const Decoded& decoded);
    void keepScaled(Held& e, int zoomKey, const QImage& copy);
    void dropPixels(Held& e);
    void keepWithinBudget();

    PictureService& service_;
    StampOf stampOf_;
    std::shared_ptr<PictureService> otherThreads_;  // shared with the decodes under way
    std::unique_ptr<BackgroundJobs> jobs_;          // none: decoded on the calling thread
    std::unordered_map<QString, Held> held_;
    qint64 budget_ = kDefaultBudget;
    qint64 bytes_ = 0;
    std::uint64_t clock_ = 0;
    std::uint64_t frame_ = 0;
    std::uint64_t requests_ = 0;
};

}  // namespace qel::platform
