#pragma once
// The pictures a map view draws: each file decoded once through the picture
// service (so its decoding limits apply), cut to the cell the objects show,
// and kept with copies scaled for the zoom levels it is drawn at.
//
// What is kept has a memory budget (256 MiB by default); going over it drops
// the pictures drawn least recently. A picture that is missing or cannot be
// decoded is remembered as such, so a view asks the disk once, not at every
// repaint. refresh() forgets the pictures whose file changed (its stamp),
// reload() forgets everything.

#include <QHash>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "FileStamp.h"
#include "PictureService.h"

namespace qel::platform {

class PictureCache {
public:
    static constexpr qint64 kDefaultBudget = qint64{256} << 20;
    // A scaled copy larger than this on either side is not kept: the caller
    // draws the cell scaled instead.
    static constexpr int kLargestScaledSide = 2048;
    using StampOf = std::function<FileStamp(const QString& path)>;

    // `stampOf` tells a file's stamp; by default the file system's.
    explicit PictureCache(PictureService& service, StampOf stampOf = {});

    void setBudget(qint64 bytes);
    qint64 budget() const { return budget_; }
    qint64 bytes() const { return bytes_; }
    std::size_t pictures() const { return entries_.size(); }

    // Cell (0, 0) of the picture at `path` cut into xTiles x yTiles (an axis
    // whose count is not above 0 left whole); a null image when there is
    // nothing to show.
    QImage cell(const QString& path, int xTiles, int yTiles);
    // That cell scaled by `scale`, kept under `zoomKey`; a null image when
    // there is no cell or the copy would be too large to keep.
    QImage scaledCell(const QString& path, int xTiles, int yTiles, int zoomKey, double scale);
    // The cell's mean colour, for objects drawn smaller than two pixels.
    QRgb averageColour(const QString& path, int xTiles, int yTiles);

    // Forgets the pictures whose file changed since they were read; returns
    // how many.
    std::size_t refresh();
    // Forgets every picture.
    void reload();

private:
    struct Entry {
        QString path;
        FileStamp stamp;
        QImage cell;
        QRgb average = 0;
        QHash<int, QImage> scaled;
        qint64 bytes = 0;
        std::uint64_t lastUse = 0;
    };

    Entry& entry(const QString& path, int xTiles, int yTiles);
    void keepWithinBudget(const Entry* inUse);

    PictureService& service_;
    StampOf stampOf_;
    std::unordered_map<QString, Entry> entries_;  // nodes stay put while others go
    qint64 budget_ = kDefaultBudget;
    qint64 bytes_ = 0;
    std::uint64_t clock_ = 0;
};

}  // namespace qel::platform
