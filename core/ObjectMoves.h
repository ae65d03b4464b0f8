#pragma once
// Moving objects: the new lines of moved rows, tile snapping, and the
// positions of screen objects on a screen of a given size.
//
// A move rewrites fields 0 and 1 of a line and nothing else: every other byte
// (spaces, case, the image key's form, fields past the seventh) stays as the
// user wrote it, so a saved file differs from the old one only in the moved
// coordinates.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/EntryLine.h"
#include "core/MapGeometry.h"
#include "core/ObjectList.h"

namespace qel {

// A new coordinate `from + by`; throws ConversionError naming the decimal text
// of the result when it is past the 32-bit range, as typing it would.
std::int32_t MovedCoordinate(std::int64_t from, std::int64_t by);

// How far a drag moves every selected object: the dragged one's top-left goes
// from `anchor` to `anchor + raw`, snapped to the nearest tile edge on each
// axis when `snap`; the others move by the same amount.
std::pair<std::int64_t, std::int64_t> DragDelta(std::pair<std::int32_t, std::int32_t> anchor,
                                                std::pair<std::int64_t, std::int64_t> raw, bool snap);

// One coordinate of a screen object as written.
struct ScreenCoordinate {
    enum class Form { Whole, FromCentre, Unplaceable };
    Form form = Form::Unplaceable;
    // Whole: the number; FromCentre: n of "C-n" (never below 0).
    std::int32_t value = 0;
    // FromCentre: the "C" or "c" as written, kept by a move.
    char prefix = 'C';
};

// A whole number is measured from the screen's top-left; "C-n" (any case,
// n a whole number not below 0) puts the picture's top-left n pixels before
// the screen's centre; any other text stands nowhere on the screen.
ScreenCoordinate ParseScreenCoordinate(std::string_view text);

// Where the coordinate puts the picture's top-left on a screen `extent`
// pixels long; nothing when it stands nowhere.
std::optional<std::int64_t> ScreenPosition(const ScreenCoordinate& c, std::int32_t extent);

// The move `by` along one axis, shortened so that n of every "C-n" among
// `coords` stays not below 0 (a move right or down lowers n).
std::int64_t LimitCentreMove(const std::vector<ScreenCoordinate>& coords, std::int64_t by);

// The coordinate's text after a move by `by`, in the form it was written:
// plain decimal for a whole number, "C-n" for one measured from the centre.
// Throws ConversionError past the 32-bit range; n below 0 is the caller's to
// prevent (LimitCentreMove).
std::string MovedScreenText(const ScreenCoordinate& c, std::int64_t by);

// The rows' lines before and after moving every one of `rows` by (dx, dy).
// Map rows need fields; screen rows need both coordinates placeable. Rows that
// cannot move (no fields, fewer than two fields, unplaceable) are left out.
// A screen move is first shortened so no "C-n" goes below 0. Throws
// ConversionError, with nothing changed, when a coordinate would leave the
// 32-bit range.
struct PlannedMove {
    RowLines before;
    RowLines after;
    std::int64_t dx = 0;  // the move made, after any shortening
    std::int64_t dy = 0;
};
PlannedMove PlanMove(const ObjectList& list, const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy);

// Whether the view may move a row: map rows with fields, screen rows whose
// two coordinates stand somewhere on the screen; either with at least two
// fields.
bool CanMoveRow(const ObjectList& list, std::size_t row);

}  // namespace qel
