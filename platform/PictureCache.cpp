#include "platform/PictureCache.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/MapIndex.h"
#include "platform/BackgroundJobs.h"
#include "platform/FileNameText.h"

namespace qel::platform {

namespace {

FileStamp FileSystemStamp(const QString& path)
{
    return ReadFileStamp(FileNameBytes(path));
}

QString KeyOf(const QString& path, int xTiles, int yTiles)
{
    return path + u'\n' + QString::number(std::max(xTiles, 0)) + u'x' + QString::number(std::max(yTiles, 0));
}

// Two pictures at a time keep pace with a view opening on many, and leave
// the other core to the window.
constexpr int kDecodingThreads = 2;
// Scaling a cell larger than this takes the window's thread more than a
// millisecond or so: it is done beside it.
constexpr qint64 kScaledAtOnceBytes = qint64{256} << 10;

QImage Scaled(const QImage& cell, int width, int height)
{
    if (width == cell.width() && height == cell.height())
        return cell;
    return cell.scaled(width, height, Qt::IgnoreAspectRatio,
                       width < cell.width() ? Qt::SmoothTransformation : Qt::FastTransformation);
}

}  // namespace

PictureCache::PictureCache(PictureService& service, StampOf stampOf, QObject* parent)
    : QObject(parent), service_(service), stampOf_(stampOf ? std::move(stampOf) : StampOf(FileSystemStamp))
{
    otherThreads_ = service.forOtherThreads();
    if (otherThreads_)
        jobs_ = std::make_unique<BackgroundJobs>(*this, kDecodingThreads);
}

PictureCache::~PictureCache() = default;

void PictureCache::setBudget(qint64 bytes)
{
    budget_ = std::max<qint64>(bytes, 0);
    keepWithinBudget();
}

PictureCache::Decoded PictureCache::DecodeCell(PictureService& service, const StampOf& stampOf, const QString& path,
                                               int xTiles, int yTiles, qint64 limitBytes)
{
    Decoded decoded;
    decoded.stamp = stampOf(path);
    try {
        const BoundedPicture picture = service.loadWithin(path, limitBytes, limitBytes / 4);
        const QImage& image = picture.image;
        const auto size = FirstCellSize({picture.size.width(), picture.size.height()}, xTiles, yTiles);
        if (!size || image.isNull())
            return decoded;
        // Only the cell is kept: the rest of a tile sheet is never drawn. Of a
        // picture scaled down, the part that covers it.
        const int width = std::clamp(
            static_cast<int>(std::lround(static_cast<double>(size->width) * image.width() / picture.size.width())), 1,
            image.width());
        const int height = std::clamp(
            static_cast<int>(std::lround(static_cast<double>(size->height) * image.height() / picture.size.height())),
            1, image.height());
        const QImage part =
            width == image.width() && height == image.height() ? image : image.copy(0, 0, width, height);
        // An opaque cell is drawn by copying, not blending.
        decoded.cell =
            part.convertToFormat(part.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        decoded.average = decoded.cell.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
        decoded.size = QSize(size->width, size->height);
    } catch (const std::exception&) {
        // Missing, not a regular file, refused by the decoding limits,
        // damaged, or no memory left: the objects show the marked box.
        decoded = Decoded{decoded.stamp, {}, {}, 0};
    }
    return decoded;
}

PictureCache::Held& PictureCache::held(const QString& path, int xTiles, int yTiles, bool pixels)
{
    const QString key = KeyOf(path, xTiles, yTiles);
    auto found = held_.find(key);
    if (found == held_.end()) {
        Held fresh;
        fresh.path = path;
        fresh.xTiles = xTiles;
        fresh.yTiles = yTiles;
        found = held_.emplace(key, std::move(fresh)).first;
    }
    Held& e = found->second;
    if (pixels) {
        e.lastUse = ++clock_;
        e.lastFrame = frame_;
    }
    // Pixels dropped over the budget come back when drawn again; what the
    // picture measures is kept meanwhile.
    if (e.request == 0 && (!e.known || (pixels && e.size.isValid() && e.cell.isNull())))
        decode(key, e);
    return e;
}

void PictureCache::decode(const QString& key, Held& e)
{
    const std::uint64_t request = ++requests_;
    e.request = request;
    if (!jobs_) {
        take(key, request, DecodeCell(service_, stampOf_, e.path, e.xTiles, e.yTiles, pictureLimit()));
        return;
    }
    // The job holds the service it uses: the window's may be gone before it ends.
    jobs_->post([this, service = otherThreads_, stampOf = stampOf_, key, request, path = e.path, x = e.xTiles,
                 y = e.yTiles, limit = pictureLimit()] {
        const Decoded decoded = DecodeCell(*service, stampOf, path, x, y, limit);
        return BackgroundJobs::Result([this, key, request, decoded, path] {
            if (take(key, request, decoded))
                emit pictureArrived(path);
        });
    });
}

bool PictureCache::take(const QString& key, std::uint64_t request, const Decoded& decoded)
{
    const auto found = held_.find(key);
    // Forgotten, or asked for again, since this decode began.
    if (found == held_.end() || found->second.request != request)
        return false;
    Held& e = found->second;
    e.request = 0;
    e.known = true;
    e.stamp = decoded.stamp;
    dropPixels(e);
    e.size = decoded.size;
    e.cell = decoded.cell;
    e.average = decoded.average;
    e.pixels = e.cell.isNull() ? 0 : request;
    e.opaque = !decoded.cell.isNull() && !decoded.cell.hasAlphaChannel();
    e.bytes = e.cell.sizeInBytes();
    bytes_ += e.bytes;
    // Asked for just now: the last to go.
    e.lastUse = ++clock_;
    e.lastFrame = frame_;
    keepWithinBudget();
    return true;
}

QImage PictureCache::cell(const QString& path, int xTiles, int yTiles)
{
    return held(path, xTiles, yTiles, true).cell;
}

PictureCache::Look PictureCache::look(const QString& path, int xTiles, int yTiles)
{
    const Held& e = held(path, xTiles, yTiles, false);
    return Look{!e.known, e.size, e.opaque};
}

QRgb PictureCache::averageColour(const QString& path, int xTiles, int yTiles)
{
    return held(path, xTiles, yTiles, false).average;
}

QImage PictureCache::scaledCell(const QString& path, int xTiles, int yTiles, int zoomKey, double scale, bool* coming)
{
    if (coming != nullptr)
        *coming = false;
    Held& e = held(path, xTiles, yTiles, true);
    if (e.cell.isNull())
        return {};
    if (const auto found = e.scaled.constFind(zoomKey); found != e.scaled.cend())
        return *found;
    const int width = std::max(1, static_cast<int>(e.size.width() * scale + 0.5));
    const int height = std::max(1, static_cast<int>(e.size.height() * scale + 0.5));
    if (width > kLargestScaledSide || height > kLargestScaledSide)
        return {};
    if (!jobs_ || e.cell.sizeInBytes() <= kScaledAtOnceBytes) {
        const QImage copy = Scaled(e.cell, width, height);
        keepScaled(e, zoomKey, copy);
        return copy;
    }
    if (coming != nullptr)
        *coming = true;
    if (e.scaling.value(zoomKey) == e.pixels)
        return {};
    e.scaling.insert(zoomKey, e.pixels);
    const QString key = KeyOf(path, xTiles, yTiles);
    jobs_->post([this, key, path, zoomKey, pixels = e.pixels, cell = e.cell, width, height] {
        const QImage copy = Scaled(cell, width, height);
        return BackgroundJobs::Result([this, key, zoomKey, pixels, copy, path] {
            const auto found = held_.find(key);
            // Dropped, or decoded again, since.
            if (found == held_.end() || found->second.pixels != pixels || pixels == 0)
                return;
            found->second.scaling.remove(zoomKey);
            keepScaled(found->second, zoomKey, copy);
            emit pictureArrived(path);
        });
    });
    return {};
}

void PictureCache::keepScaled(Held& e, int zoomKey, const QImage& copy)
{
    e.scaled.insert(zoomKey, copy);
    e.bytes += copy.sizeInBytes();
    bytes_ += copy.sizeInBytes();
    keepWithinBudget();
}

void PictureCache::dropPixels(Held& e)
{
    bytes_ -= e.bytes;
    e.bytes = 0;
    e.cell = QImage();
    e.pixels = 0;
    e.scaled.clear();
    e.scaling.clear();
}

void PictureCache::keepWithinBudget()
{
    while (bytes_ > budget_) {
        Held* oldest = nullptr;
        for (auto& [key, e] : held_)
            if (e.bytes > 0 && e.lastFrame + 1 < frame_ && (oldest == nullptr || e.lastUse < oldest->lastUse))
                oldest = &e;
        if (oldest == nullptr)
            return;  // all of it drawn in the last two frames
        dropPixels(*oldest);
    }
}

std::size_t PictureCache::refresh()
{
    std::size_t forgotten = 0;
    for (auto it = held_.begin(); it != held_.end();) {
        // One on its way may have read its stamp before the change: it is
        // asked for again.
        if (!it->second.known || stampOf_(it->second.path) != it->second.stamp) {
            bytes_ -= it->second.bytes;
            it = held_.erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    return forgotten;
}

void PictureCache::forget(const QString& path)
{
    for (auto it = held_.begin(); it != held_.end();) {
        if (it->second.path == path) {
            bytes_ -= it->second.bytes;
            it = held_.erase(it);
        } else {
            ++it;
        }
    }
    emit forgotten();
}

void PictureCache::reload()
{
    if (jobs_)
        jobs_->clear();
    held_.clear();
    bytes_ = 0;
}

void PictureCache::waitForPictures()
{
    if (jobs_)
        jobs_->waitForAll();
}

}  // namespace qel::platform
