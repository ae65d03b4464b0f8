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

#include "core/DefinitionDocument.h"
#include "core/MapIndex.h"
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
    // any image number's objects changed.
    bool resolve(const DefinitionDocument& doc, platform::PictureCache& pictures);
    const Art* find(std::int32_t number) const
    {
        const auto found = art_.find(number);
        return found == art_.end() ? nullptr : &found->second;
    }
    // The size of each image number's objects that has a picture to show.
    const std::unordered_map<std::int32_t, MapSize>& sizes() const { return sizes_; }

private:
    std::unordered_map<std::int32_t, Art> art_;
    std::unordered_map<std::int32_t, MapSize> sizes_;
};

}  // namespace qel::ui
