#pragma once
// Which layers the map view draws and lets the user pick: view state of the
// running editor, never written to the definition. Layers 0 to 7 each have
// their own boxes; every other layer number shares "Other layers". The map
// and the screen each have their own.
//
// Hidden layers are neither drawn nor picked; locked layers are drawn but
// cannot be picked, so they are neither moved nor deleted from the view.
// Both canvases ask drawn() and KeepPickable() here, so the rule has one home.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/MapIndex.h"

namespace qel {

class MapLayers {
public:
    static constexpr int kSlots = 9;
    static constexpr int kOtherSlot = 8;

    static int slotOf(std::int32_t layer) { return layer >= 0 && layer <= 7 ? layer : kOtherSlot; }

    bool visible(int slot) const { return visible_[static_cast<std::size_t>(slot)]; }
    bool locked(int slot) const { return locked_[static_cast<std::size_t>(slot)]; }
    void setVisible(int slot, bool on) { visible_[static_cast<std::size_t>(slot)] = on; }
    void setLocked(int slot, bool on) { locked_[static_cast<std::size_t>(slot)] = on; }

    bool drawn(std::int32_t layer) const { return visible(slotOf(layer)); }
    bool pickable(std::int32_t layer) const { return visible(slotOf(layer)) && !locked(slotOf(layer)); }
    // True while every layer is drawn and none locked: picks need no filter.
    bool allOpen() const;

    // Indexed rows of each slot.
    static std::array<std::size_t, kSlots> count(const MapIndex& index);
    // Rows of each slot among `rows`; `layerOf(row)` gives a row's layer, or
    // nothing for a row the view does not show.
    template <class LayerOf>
    static std::array<std::size_t, kSlots> count(std::size_t rows, LayerOf&& layerOf)
    {
        std::array<std::size_t, kSlots> counts{};
        for (std::size_t row = 0; row < rows; ++row)
            if (const std::optional<std::int32_t> layer = layerOf(row))
                ++counts[static_cast<std::size_t>(slotOf(*layer))];
        return counts;
    }

private:
    std::array<bool, kSlots> visible_{true, true, true, true, true, true, true, true, true};
    std::array<bool, kSlots> locked_{};
};

// Drops the rows the layers do not let be picked, moved or deleted;
// `layerOf(row)` gives a row's layer.
template <class Row, class LayerOf>
void KeepPickable(const MapLayers& layers, std::vector<Row>& rows, LayerOf&& layerOf)
{
    if (layers.allOpen())
        return;
    std::erase_if(rows, [&](Row row) { return !layers.pickable(layerOf(row)); });
}

// The topmost object under the point that the layers let be picked.
std::optional<std::size_t> TopmostPickable(const MapIndex& index, const MapLayers& layers, std::int64_t x,
                                           std::int64_t y);
// Alt+click over pickable objects only: the one below `current`, cycling.
std::optional<std::size_t> NextPickableDown(const MapIndex& index, const MapLayers& layers, std::int64_t x,
                                            std::int64_t y, std::optional<std::size_t> current);
// Drops the rows the layers do not let be picked.
void KeepPickable(const MapIndex& index, const MapLayers& layers, std::vector<std::uint32_t>& rows);

}  // namespace qel
