#pragma once
// What the objects of an image number show, looked up alike by both
// canvases: the first definition of a number is the one its objects show,
// cell (0, 0) of its picture as the picture cache knows it now. An image
// without a picture to show (no file named, missing, undecodable) shows as
// the marked box.

#include <QRgb>
#include <QString>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/MapIndex.h"
#include "core/ObjectList.h"
#include "platform/PictureCache.h"

namespace qel::ui {

struct ObjectArt {
    QString path;  // empty: the image names no file
    int xTiles = 0;
    int yTiles = 0;
    platform::PictureCache::Look look;  // without a file: no picture, nothing on its way

    bool picture() const { return look.size.isValid(); }
};

ObjectArt ArtOf(const DefinitionDocument& doc, const ObjectImage& image, platform::PictureCache& pictures);

// Every image number's art at once: the one look-up of both canvases.
class MapArt {
public:
    struct Art : ObjectArt {
        QRgb average = 0;  // for objects drawn smaller than a few pixels
    };

    // Takes every image of the document anew; returns whether the size of
    // any image number's objects changed. Images are looked up in slices of a
    // few milliseconds: those not reached yet show as waiting for their
    // picture, and resolveMore() takes the next slice while resolving().
    // `doc` must stay as it is until the next resolve().
    bool resolve(const DefinitionDocument& doc, platform::PictureCache& pictures);
    bool resolving() const { return next_ < pending_.size(); }
    // The next slice; the rest as follow() says.
    std::vector<MapRect> resolveMore(platform::PictureCache& pictures, MapIndex& index, const ObjectList& list,
                                     bool& indexStale);
    // The picture at `path` came: takes anew only the image numbers that show
    // it (as of the last resolve()), so that a view waiting for many pictures
    // pays for each what it changes. The rows of a number whose size changed
    // move in `index`, unless `indexStale`, which is set instead when so many
    // would move that taking the index anew is cheaper. Returns the
    // rectangles the moved rows left and took.
    std::vector<MapRect> follow(const QString& path, platform::PictureCache& pictures, MapIndex& index,
                                const ObjectList& list, bool& indexStale);
    const Art* find(std::int32_t number) const
    {
        const auto found = art_.find(number);
        return found == art_.end() ? nullptr : &found->second;
    }
    // The size of each image number's objects that has a picture to show.
    const std::unordered_map<std::int32_t, MapSize>& sizes() const { return sizes_; }

private:
    // Takes one number's art anew; returns whether its size changed.
    bool take(std::int32_t number, Art art, platform::PictureCache& pictures);
    const std::vector<std::uint32_t>& rowsOf(std::int32_t number, const ObjectList& list);
    // Moves the rows of `number`, whose size changed, in `index` (see follow()).
    void move(std::int32_t number, MapIndex& index, const ObjectList& list, bool& indexStale,
              std::vector<MapRect>& touched);
    void resolveSlice(platform::PictureCache& pictures, MapIndex* index, const ObjectList* list, bool& indexStale,
                      std::vector<MapRect>& touched);

    std::unordered_map<std::int32_t, Art> art_;
    std::unordered_map<std::int32_t, MapSize> sizes_;
    std::unordered_map<QString, std::vector<std::int32_t>> users_;  // picture path: the numbers showing it
    // The rows of each number, found once for every number while the list
    // is at the same revision.
    std::unordered_map<std::int32_t, std::vector<std::uint32_t>> rows_;
    const ObjectList* rowsList_ = nullptr;
    std::uint64_t rowsRevision_ = 0;
    const DefinitionDocument* doc_ = nullptr;
    std::vector<std::size_t> pending_;  // positions of the images each number shows, in look-up order
    std::size_t next_ = 0;
};

}  // namespace qel::ui
