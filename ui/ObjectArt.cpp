#include "ui/ObjectArt.h"

#include <chrono>
#include <utility>

#include "platform/FileNameText.h"

namespace qel::ui {

namespace {

// Rows of one image moved in the index one at a time; more are cheaper taken
// anew at once.
constexpr std::size_t kRowsMovedOneByOne = 64;
// Images looked up at a time: a hundred thousand pictures never hold the
// window longer than this.
constexpr auto kSliceTime = std::chrono::milliseconds(6);

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

bool MapArt::resolve(const DefinitionDocument& doc, platform::PictureCache& pictures)
{
    art_.clear();
    users_.clear();
    pending_.clear();
    next_ = 0;
    doc_ = &doc;
    const std::unordered_map<std::int32_t, MapSize> before = std::exchange(sizes_, {});
    // Every number is known at once, each waiting until its slice looks.
    Art waiting;
    waiting.look.waiting = true;
    const std::vector<ObjectImage>& images = doc.images();
    for (std::size_t i = 0; i < images.size(); ++i)
        if (art_.emplace(images[i].number, waiting).second)
            pending_.push_back(i);
    bool noIndex = true;
    std::vector<MapRect> none;
    resolveSlice(pictures, nullptr, nullptr, noIndex, none);
    return sizes_ != before;
}

std::vector<MapRect> MapArt::resolveMore(platform::PictureCache& pictures, MapIndex& index, const ObjectList& list,
                                         bool& indexStale)
{
    std::vector<MapRect> touched;
    resolveSlice(pictures, &index, &list, indexStale, touched);
    return touched;
}

void MapArt::resolveSlice(platform::PictureCache& pictures, MapIndex* index, const ObjectList* list, bool& indexStale,
                          std::vector<MapRect>& touched)
{
    const auto deadline = std::chrono::steady_clock::now() + kSliceTime;
    while (next_ < pending_.size()) {
        const ObjectImage& image = doc_->images()[pending_[next_++]];
        Art art;
        art.xTiles = image.xTiles;
        art.yTiles = image.yTiles;
        if (!image.file.empty()) {
            art.path = FileNameText(doc_->documentFolder() + image.file);
            users_[art.path].push_back(image.number);
        }
        if (take(image.number, std::move(art), pictures) && index != nullptr)
            move(image.number, *index, *list, indexStale, touched);
        if (next_ % 64 == 0 && std::chrono::steady_clock::now() >= deadline)
            return;
    }
}

bool MapArt::take(std::int32_t number, Art art, platform::PictureCache& pictures)
{
    art.look = art.path.isEmpty() ? platform::PictureCache::Look{} : pictures.look(art.path, art.xTiles, art.yTiles);
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
    for (const std::int32_t number : users->second)
        if (take(number, art_.at(number), pictures))
            move(number, index, list, indexStale, touched);
    return touched;
}

void MapArt::move(std::int32_t number, MapIndex& index, const ObjectList& list, bool& indexStale,
                  std::vector<MapRect>& touched)
{
    const auto size = sizes_.find(number);
    index.setImageSize(number, size == sizes_.end() ? std::nullopt : std::optional(size->second));
    if (indexStale)
        return;
    const std::vector<std::uint32_t>& rows = rowsOf(number, list);
    if (rows.size() > kRowsMovedOneByOne) {
        indexStale = true;
        return;
    }
    for (const std::uint32_t row : rows) {
        if (!index.indexed(row))
            continue;
        touched.push_back(index.rect(row));
        index.rowsChanged(list, row, row);
        touched.push_back(index.rect(row));
    }
}

const std::vector<std::uint32_t>& MapArt::rowsOf(std::int32_t number, const ObjectList& list)
{
    if (rowsList_ != &list || rowsRevision_ != list.revision()) {
        rows_.clear();
        for (std::size_t row = 0; row < list.size() && list.hasFields(row); ++row)
            rows_[list.fields(row).image].push_back(static_cast<std::uint32_t>(row));
        rowsList_ = &list;
        rowsRevision_ = list.revision();
    }
    static const std::vector<std::uint32_t> kNone;
    const auto found = rows_.find(number);
    return found == rows_.end() ? kNone : found->second;
}

}  // namespace qel::ui
