#include "PictureCache.h"

#include <algorithm>
#include <exception>

#include "FileNameText.h"
#include "MapIndex.h"

namespace qel::platform {

namespace {

FileStamp FileSystemStamp(const QString& path)
{
    return ReadFileStamp(FileNameBytes(path));
}

}  // namespace

PictureCache::PictureCache(PictureService& service, StampOf stampOf)
    : service_(service), stampOf_(stampOf ? std::move(stampOf) : StampOf(FileSystemStamp))
{
}

void PictureCache::setBudget(qint64 bytes)
{
    budget_ = std::max<qint64>(bytes, 0);
    keepWithinBudget(nullptr);
}

PictureCache::Entry& PictureCache::entry(const QString& path, int xTiles, int yTiles)
{
    const QString key =
        path + u'\n' + QString::number(std::max(xTiles, 0)) + u'x' + QString::number(std::max(yTiles, 0));
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        Entry fresh;
        fresh.path = path;
        fresh.stamp = stampOf_(path);
        try {
            const QImage picture = service_.load(path);
            if (const auto size = FirstCellSize({picture.width(), picture.height()}, xTiles, yTiles)) {
                // Only the cell is kept: the rest of a tile sheet is never drawn.
                fresh.cell =
                    picture.copy(0, 0, size->width, size->height).convertToFormat(QImage::Format_ARGB32_Premultiplied);
                fresh.average = fresh.cell.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
            }
        } catch (const std::exception&) {
            // Missing, refused by the decoding limits, or damaged: the object
            // is drawn as a marker box.
        }
        fresh.bytes = fresh.cell.sizeInBytes();
        bytes_ += fresh.bytes;
        found = entries_.emplace(key, std::move(fresh)).first;
    }
    Entry& e = found->second;
    e.lastUse = ++clock_;
    keepWithinBudget(&e);
    return e;
}

QImage PictureCache::cell(const QString& path, int xTiles, int yTiles)
{
    return entry(path, xTiles, yTiles).cell;
}

QRgb PictureCache::averageColour(const QString& path, int xTiles, int yTiles)
{
    return entry(path, xTiles, yTiles).average;
}

QImage PictureCache::scaledCell(const QString& path, int xTiles, int yTiles, int zoomKey, double scale)
{
    Entry& e = entry(path, xTiles, yTiles);
    if (e.cell.isNull())
        return {};
    if (const auto found = e.scaled.constFind(zoomKey); found != e.scaled.cend())
        return *found;
    const int width = std::max(1, static_cast<int>(e.cell.width() * scale + 0.5));
    const int height = std::max(1, static_cast<int>(e.cell.height() * scale + 0.5));
    if (width > kLargestScaledSide || height > kLargestScaledSide)
        return {};
    const QImage copy = width == e.cell.width() && height == e.cell.height()
                            ? e.cell
                            : e.cell.scaled(width, height, Qt::IgnoreAspectRatio,
                                            scale < 1 ? Qt::SmoothTransformation : Qt::FastTransformation);
    e.scaled.insert(zoomKey, copy);
    e.bytes += copy.sizeInBytes();
    bytes_ += copy.sizeInBytes();
    keepWithinBudget(&e);
    return copy;
}

void PictureCache::keepWithinBudget(const Entry* inUse)
{
    while (bytes_ > budget_ && entries_.size() > (inUse ? 1 : 0)) {
        auto oldest = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (&it->second != inUse && (oldest == entries_.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        if (oldest == entries_.end())
            return;
        bytes_ -= oldest->second.bytes;
        entries_.erase(oldest);
    }
}

std::size_t PictureCache::refresh()
{
    std::size_t forgotten = 0;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (stampOf_(it->second.path) != it->second.stamp) {
            bytes_ -= it->second.bytes;
            it = entries_.erase(it);
            ++forgotten;
        } else {
            ++it;
        }
    }
    return forgotten;
}

void PictureCache::reload()
{
    entries_.clear();
    bytes_ = 0;
}

}  // namespace qel::platform
