#pragma once
// Changing chosen fields of many object lines at once. Offsets move a row as
// a move does (fields 0 and 1, "C-n" kept in its form); the other fields are
// written as the object editor composes them ("IMAGE" and the number, the
// layer and mode keywords, display time and id in decimal), each in its own
// place, and every other byte of the line stays as it was.
//
// A line too short to have a changed field gets the fields up to it: those
// changed too take their new value, the others the editor's first choice
// ("IMAGE-1" for no image, "BelowAll", "ShowAlways", display time 0), so the
// new field is read where it was meant to be. An object id of 0 is not
// written where the line has none (the editor never writes it), and a final
// id field set to 0 is dropped.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/ObjectList.h"

namespace qel {

struct ObjectChange {
    std::int64_t dx = 0;  // 0: no move
    std::int64_t dy = 0;
    std::optional<std::int32_t> imageNumber;
    std::optional<std::int32_t> layer;  // 0-7
    std::optional<std::int32_t> mode;   // 0-5
    std::optional<std::int32_t> displayTime;
    std::optional<std::int32_t> objectId;

    bool any() const { return dx != 0 || dy != 0 || imageNumber || layer || mode || displayTime || objectId; }
    friend bool operator==(const ObjectChange&, const ObjectChange&) = default;
};

// The lines of `rows` (any order, repeats and rows past the end ignored)
// before and after the change; rows the change leaves as they were are left
// out. Throws ConversionError, with nothing changed, when a move would leave
// the 32-bit range.
struct PlannedChange {
    RowLines before;
    RowLines after;
};
PlannedChange PlanChange(const ObjectList& list, const std::vector<std::size_t>& rows, const ObjectChange& change);

}  // namespace qel
