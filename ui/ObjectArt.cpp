#include "ui/ObjectArt.h"

#include "platform/FileNameText.h"

namespace qel::ui {

ObjectArt ArtOf(const DefinitionDocument& doc, const ObjectImage& image, platform::PictureCache& pictures)
{
    ObjectArt art;
    art.xTiles = image.xTiles;
    art.yTiles = image.yTiles;
    if (!image.file.empty()) {
        art.path = FileNameText(doc.documentFolder() + image.file);
        art.look = pictures.look(art.path, art.xTiles, art.yTiles);
    }
    return art;
}

bool MapArt::resolve(const DefinitionDocument& doc, platform::PictureCache& pictures)
{
    art_.clear();
    std::unordered_map<std::int32_t, MapSize> sizes;
    for (const ObjectImage& image : doc.images()) {
        if (art_.count(image.number))
            continue;
        Art art;
        static_cast<ObjectArt&>(art) = ArtOf(doc, image, pictures);
        if (art.picture()) {
            art.average = pictures.averageColour(art.path, art.xTiles, art.yTiles);
            sizes[image.number] = MapSize{art.look.size.width(), art.look.size.height()};
        }
        art_.emplace(image.number, std::move(art));
    }
    if (sizes == sizes_)
        return false;
    sizes_ = std::move(sizes);
    return true;
}

}  // namespace qel::ui
