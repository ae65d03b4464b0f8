#pragma once
// Object sorting and regeneration of the entry lines from their fields.
//
// Sorting compares numbers as numbers, not as decimal texts (where 100 would
// come before 20):
// - numeric keys (map X and Y, image, layer, mode, display time, object id)
//   sort by value, so -1 ("not given") comes before 0 and every positive value;
// - screen X and Y are texts: those that are whole numbers by the strict
//   conversion sort by value, before all other texts, which sort byte by byte
//   as unsigned 8-bit values (the shorter first when one begins the other);
// - equal keys keep their order (a stable sort).
//
// An entry moves with its line and its fields together (ObjectList::permute).
// Moving the lines too is what recomposing every line from the moved fields
// would give, since the sort is always followed by RegenerateObjectLists.
// Entries without fields (after a line that could not be taken apart) do not
// move and keep their lines.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/DefinitionDocument.h"

namespace qel {

// The SortByRadio items, in order.
enum class SortKey {
    XCoord = 0,
    YCoord = 1,
    Image = 2,
    Layer = 3,
    Mode = 4,
    DisplayTime = 5,
    ObjectId = 6,
};
inline constexpr int kSortKeyCount = 7;

// Sorts entries lo to hi (inclusive) of the list by `key`; the range is
// clipped to the entries that have fields. An empty list is not touched.
// `moved`, when given, receives where the entries came from (entry k is the
// former entry (*moved)[k]; entries past its end stayed), or is left empty
// when nothing moved.
void SortObjectFields(ObjectList& list, std::size_t lo, std::size_t hi, SortKey key,
                      std::vector<std::uint32_t>* moved = nullptr);
// Sorts every entry of the list that has fields.
void SortObjectFields(ObjectList& list, SortKey key, std::vector<std::uint32_t>* moved = nullptr);
void SortObjectFields(DefinitionDocument& doc, ObjectKind kind, SortKey key,
                      std::vector<std::uint32_t>* moved = nullptr);

// The line recomposed from one entry's fields; screen X and Y are the
// entry line's fields 0 and 1, verbatim ("-1" when missing). Appends to `out`.
// A layer outside -1..7 or a mode outside -1..5 is written as its number, in
// its field position with its comma, and a -1 ("not given") is written as -1
// when a later field is written, so that field keeps its position: nothing
// read is lost. A -1 at the end of the line, an object id of 0 and a display
// time of 0 with no object id after it are left out.
void AppendRegeneratedLine(std::string& out, const ObjectList& list, std::size_t row);
std::string RegeneratedLine(const ObjectList& list, std::size_t row);

// Recomposes every line of the map objects, then of the screen objects, from
// their fields; a recomposed line is taken apart again, so the fields are what
// a full rebuild of the new lines gives (a display time of 0 left off the end
// becomes -1). An entry without fields keeps its line unchanged. The
// regenerated lists have no selected rows.
void RegenerateObjectLists(DefinitionDocument& doc);

// Pressing Sort in the Sort Objects dialog: sorts the kind by the key when a
// key is chosen, then regenerates both lists, always.
// `moved` as for SortObjectFields.
void SortObjectsAndRegenerate(DefinitionDocument& doc, ObjectKind kind, std::optional<SortKey> key,
                              std::vector<std::uint32_t>* moved = nullptr);

}  // namespace qel
