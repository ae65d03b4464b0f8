#include "MapCanvas.h"

#include <algorithm>
#include <cmath>

namespace qel::ui {

// --- tiles ---

void MapCanvas::dropAllTiles()
{
    tiles_.clear();
}

void MapCanvas::dropTiles(const MapRect& area)
{
    for (auto it = tiles_.begin(); it != tiles_.end();) {
        const double side = kTileSide / std::exp2(it->first.step / 4.0);
        const MapRect tileArea{static_cast<std::int64_t>(std::floor(it->first.x * side)) - 1,
                               static_cast<std::int64_t>(std::floor(it->first.y * side)) - 1,
                               static_cast<std::int64_t>(std::ceil(side)) + 2,
                               static_cast<std::int64_t>(std::ceil(side)) + 2};
        if (tileArea.intersects(area))
            it = tiles_.erase(it);
        else
            ++it;
    }
}

const QImage& MapCanvas::tile(const TileKey& key)
{
    auto found = tiles_.find(key);
    if (found != tiles_.end() && !found->second.complete) {
        found->second.complete = drawTile(found->second.image, key);
    } else if (found == tiles_.end()) {
        const qint64 tileBytes = qint64{kTileSide} * kTileSide * 4;
        while (!tiles_.empty() && static_cast<qint64>(tiles_.size() + 1) * tileBytes > kTileBudget) {
            auto oldest = std::min_element(tiles_.begin(), tiles_.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
            tiles_.erase(oldest);
        }
        Tile fresh;
        fresh.image = QImage(kTileSide, kTileSide, QImage::Format_ARGB32_Premultiplied);
        fresh.complete = drawTile(fresh.image, key);
        found = tiles_.emplace(key, std::move(fresh)).first;
    }
    found->second.lastUse = ++clock_;
    return found->second.image;
}

std::size_t MapCanvas::memoryBytes()
{
    return index_.memoryBytes() + tiles_.size() * (std::size_t{kTileSide} * kTileSide * 4 + sizeof(Tile));
}

}  // namespace qel::ui
