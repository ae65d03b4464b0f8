#include "ui/MapBlocks.h"

#include <algorithm>
#include <cmath>

#include "ui/MapViewport.h"

namespace qel::ui {

void MapBlocks::drop(const MapRect& area)
{
    for (auto& [key, block] : blocks_) {
        // The pixels an object of `area` covers at this level, with a pixel or
        // two over for the rounding of its corners and its least size.
        const double s = MapViewport::ScaleAt(key.level);
        const qint64 x0 = static_cast<qint64>(std::floor(area.x * s)) - key.x * kSide - 2;
        const qint64 y0 = static_cast<qint64>(std::floor(area.y * s)) - key.y * kSide - 2;
        const qint64 x1 = static_cast<qint64>(std::ceil(area.right() * s)) - key.x * kSide + 2;
        const qint64 y1 = static_cast<qint64>(std::ceil(area.bottom() * s)) - key.y * kSide + 2;
        if (x1 <= 0 || y1 <= 0 || x0 >= kSide || y0 >= kSide)
            continue;
        const QRect part(QPoint(static_cast<int>(std::max<qint64>(x0, 0)), static_cast<int>(std::max<qint64>(y0, 0))),
                         QPoint(static_cast<int>(std::min<qint64>(x1, kSide) - 1),
                                static_cast<int>(std::min<qint64>(y1, kSide) - 1)));
        block.stale |= part;
    }
}

const QImage& MapBlocks::block(const Key& key)
{
    const QRect whole(0, 0, kSide, kSide);
    auto found = blocks_.find(key);
    if (found != blocks_.end() && !found->second.complete) {
        found->second.complete = draw_(found->second.image, key, whole);
        found->second.stale = QRect();
    } else if (found != blocks_.end() && !found->second.stale.isEmpty()) {
        found->second.complete = draw_(found->second.image, key, found->second.stale);
        found->second.stale = QRect();
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
        fresh.complete = draw_(fresh.image, key, whole);
        found = blocks_.emplace(key, std::move(fresh)).first;
    }
    found->second.lastUse = ++clock_;
    return found->second.image;
}

MapBlocks::Drawn MapBlocks::drawn(const Key& key)
{
    const auto found = blocks_.find(key);
    if (found == blocks_.end())
        return {};
    Block& b = found->second;
    b.lastUse = ++clock_;
    return {&b.image, b.complete && b.stale.isEmpty(), !b.complete && b.stale.isEmpty()};
}

void MapBlocks::drawStandIn(QPainter& painter, const Key& key, const QRect& target) const
{
    // Levels up to two doublings away, the nearest first; a level further in
    // than that would take more than 16 blocks to cover one.
    for (int distance = 1; distance <= 8; ++distance) {
        for (const int level : {key.level - distance, key.level + distance}) {
            const double ratio = MapViewport::ScaleAt(level) / MapViewport::ScaleAt(key.level);
            const qint64 x0 = static_cast<qint64>(std::floor(key.x * kSide * ratio / kSide));
            const qint64 y0 = static_cast<qint64>(std::floor(key.y * kSide * ratio / kSide));
            const qint64 x1 = static_cast<qint64>(std::floor(((key.x + 1) * kSide * ratio - 1) / kSide));
            const qint64 y1 = static_cast<qint64>(std::floor(((key.y + 1) * kSide * ratio - 1) / kSide));
            bool drawn = false;
            for (qint64 y = y0; y <= y1; ++y) {
                for (qint64 x = x0; x <= x1; ++x) {
                    const auto found = blocks_.find(Key{level, x, y});
                    if (found == blocks_.end())
                        continue;
                    if (!drawn) {
                        painter.save();
                        painter.setClipRect(target);
                        drawn = true;
                    }
                    const double side = kSide / ratio;
                    const QRectF place(target.left() + (x * kSide / ratio - key.x * kSide),
                                       target.top() + (y * kSide / ratio - key.y * kSide), side, side);
                    painter.drawImage(place, found->second.image);
                }
            }
            if (drawn) {
                painter.restore();
                return;
            }
        }
    }
}

std::size_t MapBlocks::memoryBytes() const
{
    return blocks_.size() * (std::size_t{kSide} * kSide * 4 + sizeof(Block));
}

}  // namespace qel::ui
