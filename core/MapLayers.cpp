#include "core/MapLayers.h"

#include <algorithm>

namespace qel {

bool MapLayers::allOpen() const
{
    return std::all_of(visible_.begin(), visible_.end(), [](bool v) { return v; })
           && std::none_of(locked_.begin(), locked_.end(), [](bool l) { return l; });
}

std::array<std::size_t, MapLayers::kSlots> MapLayers::count(const MapIndex& index)
{
    return count(index.indexedCount(), [&](std::size_t row) { return std::optional<std::int32_t>(index.layer(row)); });
}

void KeepPickable(const MapIndex& index, const MapLayers& layers, std::vector<std::uint32_t>& rows)
{
    KeepPickable(layers, rows, [&](std::uint32_t row) { return index.layer(row); });
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
    return NextDownInStack(stack, current);
}

}  // namespace qel
