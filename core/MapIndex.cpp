#include "core/MapIndex.h"

#include <algorithm>

#include "core/Animation.h"
#include "core/IntConversion.h"

namespace qel {

std::optional<MapSize> FirstCellSize(MapSize picture, std::int32_t xTiles, std::int32_t yTiles)
{
    if (picture.width <= 0 || picture.height <= 0)
        return std::nullopt;
    const CellRect cell =
        TileCell({picture.width, picture.height}, xTiles > 0 ? xTiles : 1, yTiles > 0 ? yTiles : 1, 0, 0);
    if (cell.width <= 0 || cell.height <= 0)
        return std::nullopt;
    return MapSize{cell.width, cell.height};
}

std::optional<std::pair<std::int32_t, std::int32_t>> ParseMapPosition(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    auto trimmed = [](std::string_view part) {
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t'))
            part.remove_prefix(1);
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t'))
            part.remove_suffix(1);
        return part;
    };
    const std::optional<std::int32_t> x = TryStrToInt(trimmed(text.substr(0, comma)));
    const std::optional<std::int32_t> y = TryStrToInt(trimmed(text.substr(comma + 1)));
    if (!x || !y)
        return std::nullopt;
    return std::pair{*x, *y};
}

std::optional<std::size_t> NextDownInStack(const std::vector<std::uint32_t>& stack, std::optional<std::size_t> current)
{
    if (stack.empty())
        return std::nullopt;
    if (current) {
        const auto found = std::find(stack.begin(), stack.end(), *current);
        if (found != stack.end())
            return found + 1 == stack.end() ? stack.front() : *(found + 1);
    }
    return stack.front();
}

MapIndex::MapIndex() : cells_(static_cast<std::size_t>(kCells) * kCells) {}

MapIndex::Box MapIndex::boxOf(const ObjectFields& fields) const
{
    MapSize size{kMarkerSide, kMarkerSide};
    if (const auto found = sizes_.find(fields.image); found != sizes_.end())
        size = found->second;
    auto side = [](std::int32_t v) { return static_cast<std::uint16_t>(std::clamp<std::int32_t>(v, 1, 65535)); };
    return Box{fields.x, fields.y, side(size.width), side(size.height), fields.layer};
}

MapRect MapIndex::rect(std::size_t row) const
{
    const Box& b = boxes_[row];
    return MapRect{b.x, b.y, b.width, b.height};
}

MapIndex::CellRange MapIndex::cellsOf(const MapRect& r)
{
    auto cell = [](std::int64_t v) { return std::clamp<std::int64_t>(FloorDiv(v, kCellSide), 0, kCells - 1); };
    return CellRange{cell(r.x), cell(r.y), cell(r.right() - 1), cell(r.bottom() - 1)};
}

bool MapIndex::overflows(const MapRect& r)
{
    if (r.right() <= 0 || r.bottom() <= 0 || r.x >= kMapExtent || r.y >= kMapExtent)
        return true;
    const CellRange c = cellsOf(r);
    return (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) > kMaxCellsPerObject;
}

void MapIndex::addToGrid(std::uint32_t row)
{
    const MapRect r = rect(row);
    if (overflows(r)) {
        overflow_.push_back(row);
        return;
    }
    const CellRange c = cellsOf(r);
    for (std::int64_t cy = c.y0; cy <= c.y1; ++cy)
        for (std::int64_t cx = c.x0; cx <= c.x1; ++cx)
            cells_[static_cast<std::size_t>(cy * kCells + cx)].push_back(row);
}

void MapIndex::removeFromGrid(std::uint32_t row)
{
    // Order within a cell means nothing, so the last entry fills the gap.
    auto drop = [row](std::vector<std::uint32_t>& entries) {
        const auto found = std::find(entries.begin(), entries.end(), row);
        if (found == entries.end())
            return;
        *found = entries.back();
        entries.pop_back();
    };
    const MapRect r = rect(row);
    if (overflows(r)) {
        drop(overflow_);
        return;
    }
    const CellRange c = cellsOf(r);
    for (std::int64_t cy = c.y0; cy <= c.y1; ++cy)
        for (std::int64_t cx = c.x0; cx <= c.x1; ++cx)
            drop(cells_[static_cast<std::size_t>(cy * kCells + cx)]);
}

void MapIndex::shiftRows(std::uint32_t from, std::int64_t by)
{
    auto shift = [from, by](std::vector<std::uint32_t>& entries) {
        for (std::uint32_t& row : entries)
            if (row >= from)
                row = static_cast<std::uint32_t>(row + by);
    };
    for (auto& cell : cells_)
        shift(cell);
    shift(overflow_);
}

void MapIndex::rebuild(const ObjectList& list)
{
    bounds_.reset();
    indexed_ = std::min(list.takenApart(), list.size());
    // Room for the rows added after it, as the list keeps (a first placing
    // must not move a million records).
    boxes_.reserve(list.size() + list.size() / 64 + 16);
    boxes_.assign(list.size(), Box{0, 0, 1, 1, 0});
    for (std::size_t row = 0; row < indexed_; ++row)
        boxes_[row] = boxOf(list.fields(row));
    // Counted first, so every cell holds exactly what it needs: a million
    // rows cost 4 bytes each in the grid, not the slack of doubling vectors.
    std::vector<std::uint32_t> counts(cells_.size(), 0);
    std::size_t overflowCount = 0;
    for (std::size_t row = 0; row < indexed_; ++row) {
        const MapRect r = rect(row);
        if (overflows(r)) {
            ++overflowCount;
            continue;
        }
        const CellRange c = cellsOf(r);
        for (std::int64_t cy = c.y0; cy <= c.y1; ++cy)
            for (std::int64_t cx = c.x0; cx <= c.x1; ++cx)
                ++counts[static_cast<std::size_t>(cy * kCells + cx)];
    }
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        std::vector<std::uint32_t>().swap(cells_[i]);
        cells_[i].reserve(counts[i]);
    }
    std::vector<std::uint32_t>().swap(overflow_);
    overflow_.reserve(overflowCount);
    for (std::size_t row = 0; row < indexed_; ++row)
        addToGrid(static_cast<std::uint32_t>(row));
}

void MapIndex::reconcile(const ObjectList& list)
{
    const std::size_t target = std::min(list.takenApart(), list.size());
    if (target == indexed_)
        return;
    const std::size_t from = std::min(target, indexed_);
    const std::size_t to = std::max(target, indexed_);
    // Many rows gaining or losing their fields at once (a line early in the
    // list that cannot be taken apart) is cheaper to take anew.
    if (to - from > boxes_.size() / 8 + 64) {
        rebuild(list);
        return;
    }
    if (target < indexed_) {
        for (std::size_t row = target; row < indexed_; ++row)
            removeFromGrid(static_cast<std::uint32_t>(row));
    } else {
        for (std::size_t row = indexed_; row < target; ++row) {
            boxes_[row] = boxOf(list.fields(row));
            addToGrid(static_cast<std::uint32_t>(row));
        }
    }
    indexed_ = target;
}

void MapIndex::rowsInserted(const ObjectList& list, std::size_t first, std::size_t last)
{
    const std::optional<MapRect> kept = bounds_;
    const std::size_t indexedBefore = indexed_;
    insertRows(list, first, last);
    bounds_.reset();
    // Only when exactly the new rows were indexed is the old extent still a
    // part of the new one.
    if (!kept || kept->empty() || last < first || indexed_ != indexedBefore + (last - first + 1) || last >= indexed_)
        return;
    MapRect b = *kept;
    for (std::size_t row = first; row <= last; ++row) {
        const MapRect r = rect(row);
        const std::int64_t x0 = std::min(b.x, r.x), y0 = std::min(b.y, r.y);
        const std::int64_t x1 = std::max(b.right(), r.right()), y1 = std::max(b.bottom(), r.bottom());
        b = MapRect{x0, y0, x1 - x0, y1 - y0};
    }
    bounds_ = b;
}

void MapIndex::insertRows(const ObjectList& list, std::size_t first, std::size_t last)
{
    if (last < first || first > boxes_.size() || boxes_.size() + (last - first + 1) != list.size()) {
        rebuild(list);
        return;
    }
    const std::size_t count = last - first + 1;
    const std::size_t fielded = std::min(list.takenApart(), list.size());
    boxes_.insert(boxes_.begin() + static_cast<std::ptrdiff_t>(first), count, Box{0, 0, 1, 1, 0});
    if (first < indexed_) {
        shiftRows(static_cast<std::uint32_t>(first), static_cast<std::int64_t>(count));
        indexed_ += count;
        for (std::size_t row = first; row <= last; ++row) {
            if (row >= fielded)
                break;
            boxes_[row] = boxOf(list.fields(row));
            addToGrid(static_cast<std::uint32_t>(row));
        }
    }
    reconcile(list);
}

void MapIndex::rowsRemoved(const ObjectList& list, std::size_t first, std::size_t last)
{
    bounds_.reset();
    if (last < first || last >= boxes_.size() || boxes_.size() - (last - first + 1) != list.size()) {
        rebuild(list);
        return;
    }
    const std::size_t count = last - first + 1;
    const std::size_t indexedEnd = std::min(last + 1, indexed_);
    for (std::size_t row = first; row < indexedEnd; ++row)
        removeFromGrid(static_cast<std::uint32_t>(row));
    if (last + 1 < indexed_)
        shiftRows(static_cast<std::uint32_t>(last + 1), -static_cast<std::int64_t>(count));
    if (first < indexed_)
        indexed_ -= indexedEnd - first;
    boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(first),
                 boxes_.begin() + static_cast<std::ptrdiff_t>(last + 1));
    reconcile(list);
}

void MapIndex::rowsChanged(const ObjectList& list, std::size_t first, std::size_t last)
{
    // An object that left no edge of the extent cannot shrink it: the extent
    // only widens to where the object went, and moving one object of a
    // million does not walk them all again.
    std::optional<MapRect> kept = bounds_;
    bounds_.reset();
    if (boxes_.size() != list.size() || last < first || last >= boxes_.size()) {
        rebuild(list);
        return;
    }
    const std::size_t indexedBefore = indexed_;
    const std::size_t fielded = std::min(list.takenApart(), list.size());
    for (std::size_t row = first; row <= last && row < indexed_; ++row) {
        const MapRect was = rect(row);
        if (kept
            && !(was.x > kept->x && was.y > kept->y && was.right() < kept->right() && was.bottom() < kept->bottom()))
            kept.reset();
        removeFromGrid(static_cast<std::uint32_t>(row));
        if (row < fielded) {
            boxes_[row] = boxOf(list.fields(row));
            addToGrid(static_cast<std::uint32_t>(row));
        }
    }
    reconcile(list);
    if (!kept || indexed_ != indexedBefore)
        return;
    for (std::size_t row = first; row <= last && row < indexed_; ++row) {
        const MapRect r = rect(row);
        const std::int64_t x0 = std::min(kept->x, r.x), y0 = std::min(kept->y, r.y);
        const std::int64_t x1 = std::max(kept->right(), r.right()), y1 = std::max(kept->bottom(), r.bottom());
        kept = MapRect{x0, y0, x1 - x0, y1 - y0};
    }
    bounds_ = kept;
}

template <class Visit>
void MapIndex::forCandidates(const MapRect& area, Visit&& visit) const
{
    if (area.empty())
        return;
    const CellRange q = cellsOf(area);
    for (std::int64_t cy = q.y0; cy <= q.y1; ++cy) {
        for (std::int64_t cx = q.x0; cx <= q.x1; ++cx) {
            for (const std::uint32_t row : cells_[static_cast<std::size_t>(cy * kCells + cx)]) {
                const MapRect r = rect(row);
                if (!r.intersects(area))
                    continue;
                // An object in several cells is reported by the first cell
                // the look-up and the object share.
                const CellRange o = cellsOf(r);
                if (cx != std::max(o.x0, q.x0) || cy != std::max(o.y0, q.y0))
                    continue;
                visit(row);
            }
        }
    }
    for (const std::uint32_t row : overflow_)
        if (rect(row).intersects(area))
            visit(row);
}

void MapIndex::query(const MapRect& area, std::vector<std::uint32_t>& out) const
{
    out.clear();
    forCandidates(area, [&out](std::uint32_t row) { out.push_back(row); });
}

void MapIndex::queryOrdered(const MapRect& area, std::vector<std::uint32_t>& out) const
{
    query(area, out);
    // Sorted as plain keys: a comparison that looks each row's layer up
    // again takes most of drawing a block of a hundred thousand objects.
    std::vector<std::uint64_t> keys(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        keys[i] = drawKey(out[i]);
    std::sort(keys.begin(), keys.end());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint32_t>(keys[i] & 0x7FFFFFFF);
}

std::optional<std::size_t> MapIndex::topmostAt(std::int64_t x, std::int64_t y) const
{
    std::optional<std::size_t> best;
    std::uint64_t bestKey = 0;
    forCandidates(MapRect{x, y, 1, 1}, [&](std::uint32_t row) {
        const std::uint64_t key = drawKey(row);
        if (!best || key > bestKey) {
            best = row;
            bestKey = key;
        }
    });
    return best;
}

std::vector<std::uint32_t> MapIndex::stackAt(std::int64_t x, std::int64_t y) const
{
    std::vector<std::uint32_t> stack;
    queryOrdered(MapRect{x, y, 1, 1}, stack);
    std::reverse(stack.begin(), stack.end());
    return stack;
}

std::optional<std::size_t> MapIndex::nextDownAt(std::int64_t x, std::int64_t y,
                                                std::optional<std::size_t> current) const
{
    return NextDownInStack(stackAt(x, y), current);
}

MapRect MapIndex::bounds() const
{
    if (bounds_)
        return *bounds_;
    if (indexed_ == 0)
        return {};
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    for (std::size_t row = 0; row < indexed_; ++row) {
        const MapRect r = rect(row);
        x0 = std::min(x0, r.x);
        y0 = std::min(y0, r.y);
        x1 = std::max(x1, r.right());
        y1 = std::max(y1, r.bottom());
    }
    bounds_ = MapRect{x0, y0, x1 - x0, y1 - y0};
    return *bounds_;
}

std::size_t MapIndex::memoryBytes() const
{
    std::size_t bytes = boxes_.capacity() * sizeof(Box) + overflow_.capacity() * sizeof(std::uint32_t);
    bytes += cells_.capacity() * sizeof(std::vector<std::uint32_t>);
    for (const auto& cell : cells_)
        bytes += cell.capacity() * sizeof(std::uint32_t);
    return bytes;
}

}  // namespace qel
