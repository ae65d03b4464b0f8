#include "ui/ObjectArt.h"

#include "platform/FileNameText.h"

namespace qel::ui {

namespace {

// Rows of one image moved in the index one at a time; more are cheaper taken
// anew at once.
constexpr std::size_t kRowsMovedOneByOne = 64;

}  // namespace

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

std::optional<ObjectArt> ArtOfNumber(const DefinitionDocument& doc, std::int32_t number,
                                     platform::PictureCache& pictures)
{
    for (const ObjectImage& image : doc.images())
        if (image.number == number)
            return ArtOf(doc, image, pictures);
    return std::nullopt;
}

bool MapArt::resolve(const DefinitionDocument& doc, platform::PictureCache& pictures)
{
    art_.clear();
    users_.clear();
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
        if (!art.path.isEmpty())
            users_[art.path].push_back(image.number);
        art_.emplace(image.number, std::move(art));
    }
    if (sizes == sizes_)
        return false;
    sizes_ = std::move(sizes);
    return true;
}

bool MapArt::take(std::int32_t number, Art art, platform::PictureCache& pictures)
{
    art.look = pictures.look(art.path, art.xTiles, art.yTiles);
    art.average = art.picture() ? pictures.averageColour(art.path, art.xTiles, art.yTiles) : 0;
    std::optional<MapSize> size;
    if (art.picture())
        size = MapSize{art.look.size.width(), art.look.size.height()};
    art_[number] = std::move(art);
    const auto was = sizes_.find(number);
    const std::optional<MapSize> before = was == sizes_.end() ? std::nullopt : std::optional<MapSize>(was->second);
    if (before == size)
        return false;
    if (size)
        sizes_[number] = *size;
    else
        sizes_.erase(number);
    return true;
}

std::vector<MapRect> MapArt::follow(const QString& path, platform::PictureCache& pictures, MapIndex& index,
                                    const ObjectList& list, bool& indexStale)
{
    std::vector<MapRect> touched;
    const auto users = users_.find(path);
    if (users == users_.end())
        return touched;
    for (const std::int32_t number : users->second) {
        if (!take(number, art_.at(number), pictures))
            continue;
        const auto size = sizes_.find(number);
        index.setImageSize(number, size == sizes_.end() ? std::nullopt : std::optional(size->second));
        if (indexStale)
            continue;
        const std::vector<std::uint32_t>& rows = rowsOf(number, list);
        if (rows.size() > kRowsMovedOneByOne) {
            indexStale = true;
            continue;
        }
        for (const std::uint32_t row : rows) {
            if (!index.indexed(row))
                continue;
            touched.push_back(index.rect(row));
            index.rowsChanged(list, row, row);
            touched.push_back(index.rect(row));
        }
    }
    return touched;
}

const std::vector<std::uint32_t>& MapArt::rowsOf(std::int32_t number, const ObjectList& list)
{
    if (!rowsKnown_) {
        rows_.clear();
        for (std::size_t row = 0; row < list.size() && list.hasFields(row); ++row)
            rows_[list.fields(row).image].push_back(static_cast<std::uint32_t>(row));
        rowsKnown_ = true;
    }
    static const std::vector<std::uint32_t> kNone;
    const auto found = rows_.find(number);
    return found == rows_.end() ? kNone : found->second;
}

}  // namespace qel::ui
