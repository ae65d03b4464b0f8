#include "MapLayers.h"

#include <algorithm>

namespace qel {

bool MapLayers::allOpen() const
{
    return std::all_of(visible_.begin(), visible_.end(), [](bool v) { return v; })
           && std::none_of(locked_.begin(), locked_.end(), [](bool l) { return l; });
}

std::array<std::size_t, MapLayers::kSlots> MapLayers::count(const MapIndex& index)
{
    std::array<std::size_t, kSlots> counts{};
    for (std::size_t row = 0; row < index.placedCount(); ++row)
        ++counts[static_cast<std::size_t>(slotOf(index.layer(row)))];
    return counts;
}

void KeepPickable(const MapIndex& index, const MapLayers& layers, std::vector<std::uint32_t>& rows)
{
    if (layers.allOpen())
        return;
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [&](std::uint32_t row) { return !layers.pickable(index.layer(row)); }),
        rows.end());
}

std::optional<std::size_t> TopmostPickable(const MapIndex& index, const MapLayers& layers, std::int64_t x,
                                           std::int64_t y)
{
    if (layers.allOpen())
        return index.topmostAt(x, y);
    std::vector<std::uint32_t> stack = index.stackAt(x, y);
    KeepPickable(index, layers, stack);
    if (stack.empty())
        return std::nullopt;
    return stack.front();
}

std::optional<std::size_t> NextPickableDown(const MapIndex& index, const MapLayers& layers, std::int64_t x,
                                            std::int64_t y, std::optional<std::size_t> current)
{
    std::vector<std::uint32_t> stack = index.stackAt(x, y);
    KeepPickable(index, layers, stack);
    if (stack.empty())
        return std::nullopt;
    const auto at = current ? std::find(stack.begin(), stack.end(), *current) : stack.end();
    if (at == stack.end() || at + 1 == stack.end())
        return stack.front();
    return *(at + 1);
}

}  // namespace qel
