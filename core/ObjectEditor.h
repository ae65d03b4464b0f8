#pragma once
// The object editor's rules and the switch between the two lists, stated on
// plain values: the editor values that the window reads from its controls, and
// the document. Each operation changes the document and returns what the
// window must show afterwards; the window only binds these to its controls.
//
// Images are chosen by position: an image choice is an index into
// DefinitionDocument::images(). Composing writes the chosen image's own
// `number` (for documents this editor numbered, number == position; documents read from a file may number their images
// otherwise), and loading maps an entry's image number back to the first position that has it.
//
// Fields follow lines: every line change below goes through ObjectList's line
// edits, which re-derive the changed kind's fields.
// When a line cannot be taken apart (a map X or Y that is no number), those
// edits throw ConversionError AFTER the lines were changed: the new or changed
// line stays in the list without fields, and the step that follows the rebuild
// (the selection of Add and Apply) does not run, because the exception ends
// the operation there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DefinitionDocument.h"

namespace qel {

// Markers of the tile shorthand: the coordinate edits and Add use "@", Apply "t".
inline constexpr char kEditMarker = '@';
inline constexpr char kApplyMarker = 't';
// One tile is 16 pixels.
inline constexpr std::int32_t kTilePixels = 16;

// The values of one object as the object editor holds them.
struct EditorValues {
    std::string xText;                  // the X coordinate as typed
    std::string yText;                  // the Y coordinate as typed
    int imageChoice = -1;               // position into images(); -1 = no image chosen
    int layerChoice = -1;               // layer 0-7; -1 = no layer chosen
    int modeChoice = -1;                // mode 0-5; 6 = "None"; -1 = no mode chosen
    std::string displayTimeText = "0";  // taken verbatim
    std::string objectIdText = "0";     // taken verbatim

    friend bool operator==(const EditorValues&, const EditorValues&) = default;
};

// The text unchanged when it is empty, does not start with `marker` (the first
// character is lower-cased before the comparison; `marker` itself is given in
// lower case), or is the marker alone; otherwise the decimal text of the
// number after the marker times 16, keeping the low 32 bits (wrap-around).
// Throws ConversionError naming the text after the marker, as typed, when it
// is not a whole number by the strict conversion.
std::string ExpandTileShorthand(std::string_view text, char marker);

// The image number a choice stands for: images[choice].number, or -1 when the
// choice is no position of `images` (the placeholder included).
std::int32_t ImageNumberOfChoice(const std::vector<ObjectImage>& images, int choice);
// The first position whose image has `number`, or -1 when there is none.
int ImageChoiceOfNumber(const std::vector<ObjectImage>& images, std::int32_t number);

// The editor's composition with the image number given directly: X "," Y
// ",IMAGE" number, then the layer keyword (none for a placeholder), the mode
// keyword (none, and nothing after it, for the placeholder or "None"), the
// display time (none when empty; nothing after it then) and the object id
// (none when empty or "0"). Display time and id are taken verbatim.
std::string ComposeObjectLineWithImageNumber(const EditorValues& values, std::int32_t imageNumber);
// The same, with the image number of the chosen image (ImageNumberOfChoice).
std::string ComposeObjectLine(const EditorValues& values, const std::vector<ObjectImage>& images);

struct AddResult {
    std::size_t addedRow = 0;  // row of the new line in the kind's list
};

// Add object: X and Y are expanded with "@" and written back into `values`
// one after the other (so when Y's expansion throws, X is already expanded
// there), the line is composed and appended to the kind's list, the fields
// rebuilt. Throws ConversionError from the expansion (nothing added) or from
// the rebuild (the line was added).
AddResult AddObject(DefinitionDocument& doc, ObjectKind kind, EditorValues& values);

// Apply object: as Add with the marker "t", replacing the line at `currentRow`.
// Returns the row to select (the other rows keep their selection), or nothing
// when there is no current row (an empty list, or a row past the end): then
// nothing is expanded or changed. Throws as AddObject does.
std::optional<std::size_t> ApplyObject(DefinitionDocument& doc, ObjectKind kind, EditorValues& values,
                                       std::optional<std::size_t> currentRow);

// Delete objects: removes the selected rows (any order, repeats and rows past
// the end ignored), keeping the order of the others; rebuilds. Returns the
// number of lines removed; no selected row remains in that list. `removed`,
// when given, receives the removed lines with their rows
// (ObjectList::insertRows puts them back) before the rebuild, which may
// throw ConversionError after the removal.
std::size_t DeleteObjects(DefinitionDocument& doc, ObjectKind kind, const std::vector<std::size_t>& selectedRows,
                          RowLines* removed = nullptr);

// Clear objects: removes every line of the kind, handing the lines over
// (ObjectList::restoreAll puts them back without a copy).
ObjectList ClearObjects(DefinitionDocument& doc, ObjectKind kind);

// Load object: the editor values for the entry at `currentRow` (X and Y texts;
// the image position of its number; its layer, or the placeholder when it has
// no layer keyword; "None" for no mode, the placeholder for a mode the box
// does not have; "0" for a display time or id of -1). Nothing when there is
// no current row or that entry has no fields.
std::optional<EditorValues> LoadObject(const DefinitionDocument& doc, ObjectKind kind,
                                       std::optional<std::size_t> currentRow);

// Switch: appends the lines of the selected rows of `shownKind`, in list order
// (repeats and rows past the end ignored), unchanged, to the other kind, and
// rebuilds that kind. The source rows stay and stay selected; the appended
// rows are not selected. Returns the kind to show now, always the other kind.
// On ConversionError from the rebuild (for example "C-320" copied into the map
// list), the lines were appended and the window must still show the other
// kind (OtherKind(shownKind)) before it reports the error.
ObjectKind SwitchObjects(DefinitionDocument& doc, ObjectKind shownKind, const std::vector<std::size_t>& selectedRows);

}  // namespace qel
