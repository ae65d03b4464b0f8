#pragma once
// The edits the map view asks for, each to be made as one undoable step.
// The view only decides what and where (picks, snapping, layers); how a
// change reaches the document stays with whoever implements this.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qel::ui {

class MapEditor {
public:
    virtual ~MapEditor() = default;
    // Moves the rows by (dx, dy); rows that cannot move are left as they are.
    virtual void moveRows(const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy) = 0;
    // Whether a click may place an object now (an image is chosen).
    virtual bool canPlace() const = 0;
    // Adds one object as Add would, with (x, y) as its position.
    virtual void placeAt(std::int32_t x, std::int32_t y) = 0;
    virtual void deleteRows(const std::vector<std::size_t>& rows) = 0;
};

}  // namespace qel::ui
