#pragma once
// Object lines on the clipboard: copying rows as text any other program can
// take, taking pasted text back as lines of one object list, and placing a
// pasted or duplicated group.
//
// The clipboard holds the lines verbatim, each ended by CR LF, so a text
// editor shows one object a line and pasting them back gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ObjectList.h"

namespace qel {

// How far Duplicate moves the copies on each axis (one tile, as Shift with
// an arrow key moves).
inline constexpr std::int64_t kDuplicateOffset = 16;

// The lines of `rows` (in the order given), each followed by CR LF.
std::string ClipboardText(const ObjectList& list, const std::vector<std::size_t>& rows);

// The object lines of `kind` that a pasted text holds, taken apart. The text
// comes as the clipboard holds it (UTF-16); each character must be Latin-1
// and becomes its byte. Lines end at CR LF, LF or CR; empty lines are
// skipped. Every other line must take apart as `kind`'s lines do, or nothing
// is taken: MessageError "Line N of the pasted text: " followed by the
// conversion's message (N counts every line of the text, from 1).
ObjectList PastedObjects(std::u16string_view text, ObjectKind kind);

// The move that puts the group's top-left (least X, least Y among the rows
// with fields) on (x, y). Map groups only; the move is pulled back where the
// group would otherwise reach past the map's last tile or before its first,
// as long as the group fits on the map. (0, 0) for a group without fields.
std::pair<std::int64_t, std::int64_t> PlacementMove(const ObjectList& group, std::int64_t x, std::int64_t y);

// The group's lines moved by (dx, dy) as a move moves them (fields 0 and 1
// rewritten, every other byte kept; rows that cannot move kept as they are),
// as rows first, first + 1, ... of the list they go into. Throws
// ConversionError past the 32-bit range.
RowLines PlacedLines(const ObjectList& group, std::size_t first, std::int64_t dx, std::int64_t dy);

}  // namespace qel
