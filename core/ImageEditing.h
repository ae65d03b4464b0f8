#pragma once
// The image definitions' document rules: adding an image, storing
// the edits' texts and the spin values, deleting an image and carrying the
// deletion into the object entries.
//
// Documents whose image numbers are not their positions (read from a file that
// starts at 1, has gaps or repeats) are handled soundly:
// - a new image gets the lowest number not yet used (its position when the
//   images are numbered by position);
// - deleting an image renumbers the later images (each position keeps its
//   number) only when every image's number equals its
//   position before the deletion; otherwise the later images keep their own
//   numbers;
// - carrying the deletion into the objects removes the entries that name the
//   deleted image's number, and renumbers the later entries only when the
//   images were renumbered, so no entry line ends up naming another image.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DefinitionDocument.h"

namespace qel {

// The three numbers of an image: tiles across, tiles down, animation time.
enum class ImageNumberField { XTiles, YTiles, AniTime };

// The text an image number edit shows: decimal, or empty for -1 (not given).
std::string ImageNumberText(std::int32_t value);

// The texts of the four edits for an image (ShowSelectedImage).
struct ImageEditTexts {
    std::string file;
    std::string xTiles;
    std::string yTiles;
    std::string aniTime;

    friend bool operator==(const ImageEditTexts&, const ImageEditTexts&) = default;
};
ImageEditTexts ShownImageTexts(const ObjectImage& image);

// True when every image's number equals its 0-based position.
bool ImagesNumberedByPosition(const std::vector<ObjectImage>& images);

// The lowest number >= 0 that no image has.
std::int32_t LowestUnusedImageNumber(const std::vector<ObjectImage>& images);

// Adds an image at the end: the lowest unused number, an empty file, and -1 in
// the three numbers. Returns its position (the item to select).
std::size_t AddImage(DefinitionDocument& doc);

// Stores the file edit's whole text, unchanged. Nothing without a selected image.
void StoreImageFile(DefinitionDocument& doc, std::optional<std::size_t> selected, std::string_view text);

// Stores a number edit's text: empty text is -1, any other text the strict
// conversion (no keyword lookup, no range). Throws ConversionError
// naming the text, and keeps the previous value, when it is no whole number.
// Nothing without a selected image.
void StoreImageNumber(DefinitionDocument& doc, std::optional<std::size_t> selected, ImageNumberField field,
                      std::string_view text);

// The spin button's proposal: its current value plus (up) or minus (down) the
// step, as the 16-bit signed value the spin button hands out.
std::int32_t ProposedSpinValue(std::int32_t current, std::int32_t step, bool up);

// Stores a spin button's proposed value, sign-extended from 16 bits (the low
// 16 bits of `proposed` are taken as a signed 16-bit value). Nothing without a
// selected image.
void StoreImageSpinValue(DefinitionDocument& doc, std::optional<std::size_t> selected, ImageNumberField field,
                         std::int32_t proposed);

// The first question of a delete: "Delete 'IMAGE2'?" (the item's text).
std::string DeleteImageQuestion(const DefinitionDocument& doc, std::size_t position);
// The second question of a delete.
inline constexpr const char* kApplyToObjectsQuestion = "Apply Changes to the Objects?";

// What a delete did, for carrying it into the objects.
struct ImageDeletion {
    bool deleted = false;             // false: `position` was no image; nothing changed
    std::int32_t position = -1;       // the removed position D
    std::int32_t removedNumber = -1;  // the number the removed image had
    bool renumbered = false;          // the later images were renumbered (numbers were positions)
};

// Removes the image at `position`. When the images were numbered by position,
// every later image moves down one position and takes that position's number
// (the numbers stay with the positions); otherwise the later
// images move down with their own numbers. The entry lines are not touched.
ImageDeletion DeleteImage(DefinitionDocument& doc, int position);

// RemoveImageReferences (D): first for the map objects, then for
// the screen objects, each kind by these steps:
//  1. remove the line of every entry whose image number, as taken apart
//     before this operation began, equals D (entries without fields stay);
//  2. re-derive that kind's fields from its lines (RebuildObjectFields);
//  3. decrease by one every image number of that kind greater than D (signed),
//     in the fields only;
//  4. RegenerateObjectLists over both kinds.
// Throws ConversionError when step 2 meets a line that cannot be
// taken apart; the work done before stays.
void RemoveImageReferences(DefinitionDocument& doc, std::int32_t removed);

// The same without step 3: for a deletion that renumbered no image, the
// entries naming `removedNumber` are removed and no other entry is renumbered.
void RemoveImageReferencesKeepingNumbers(DefinitionDocument& doc, std::int32_t removedNumber);

// Answering Yes to "Apply Changes to the Objects?": RemoveImageReferences for a
// renumbering deletion, RemoveImageReferencesKeepingNumbers otherwise.
// Nothing for a deletion that deleted nothing.
void ApplyImageDeletionToObjects(DefinitionDocument& doc, const ImageDeletion& deletion);

}  // namespace qel
