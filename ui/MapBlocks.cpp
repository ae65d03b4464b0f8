#include "MapBlocks.h"

#include <algorithm>
#include <cmath>

#include "MapViewport.h"

namespace qel::ui {

void MapBlocks::drop(const MapRect& area)
{
    for (auto it = blocks_.begin(); it != blocks_.end();) {
        const double side = kSide / MapViewport::ScaleAt(it->first.level);
        const MapRect blockArea{static_cast<std::int64_t>(std::floor(it->first.x * side)) - 1,
                                static_cast<std::int64_t>(std::floor(it->first.y * side)) - 1,
                                static_cast<std::int64_t>(std::ceil(side)) + 2,
                                static_cast<std::int64_t>(std::ceil(side)) + 2};
        if (blockArea.intersects(area))
            it = blocks_.erase(it);
        else
            ++it;
    }
}

const QImage& MapBlocks::block(const Key& key)
{
    auto found = blocks_.find(key);
    if (found != blocks_.end() && !found->second.complete) {
        found->second.complete = draw_(found->second.image, key);
    } else if (found == blocks_.end()) {
        const qint64 blockBytes = qint64{kSide} * kSide * 4;
        while (!blocks_.empty() && static_cast<qint64>(blocks_.size() + 1) * blockBytes > kBudget) {
            auto oldest = std::min_element(blocks_.begin(), blocks_.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
            blocks_.erase(oldest);
        }
        Block fresh;
        fresh.image = QImage(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
        fresh.complete = draw_(fresh.image, key);
        found = blocks_.emplace(key, std::move(fresh)).first;
    }
    found->second.lastUse = ++clock_;
    return found->second.image;
}

std::size_t MapBlocks::memoryBytes() const
{
    return blocks_.size() * (std::size_t{kSide} * kSide * 4 + sizeof(Block));
}

}  // namespace qel::ui
