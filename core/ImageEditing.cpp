#include "core/ImageEditing.h"

#include <algorithm>

#include "core/IntConversion.h"
#include "core/ObjectSort.h"

namespace qel {

std::string ImageNumberText(std::int32_t value)
{
    return value == -1 ? std::string() : IntToStr(value);
}

ImageEditTexts ShownImageTexts(const ObjectImage& image)
{
    return {image.file, ImageNumberText(image.xTiles), ImageNumberText(image.yTiles), ImageNumberText(image.aniTime)};
}

bool ImagesNumberedByPosition(const std::vector<ObjectImage>& images)
{
    for (std::size_t p = 0; p < images.size(); ++p)
        if (images[p].number < 0 || static_cast<std::size_t>(images[p].number) != p)
            return false;
    return true;
}

std::int32_t LowestUnusedImageNumber(const std::vector<ObjectImage>& images)
{
    // Among n images the lowest unused number is at most n.
    std::vector<bool> used(images.size() + 1, false);
    for (const ObjectImage& image : images)
        if (image.number >= 0 && static_cast<std::size_t>(image.number) < used.size())
            used[static_cast<std::size_t>(image.number)] = true;
    const auto free = std::find(used.begin(), used.end(), false);
    return static_cast<std::int32_t>(free - used.begin());
}

std::size_t AddImage(DefinitionDocument& doc)
{
    ObjectImage image;
    image.number = LowestUnusedImageNumber(doc.images());
    image.file.clear();
    image.xTiles = -1;
    image.yTiles = -1;
    image.aniTime = -1;
    auto& images = doc.editImages();
    images.push_back(std::move(image));
    return images.size() - 1;
}

namespace {
bool IsImage(const DefinitionDocument& doc, std::optional<std::size_t> selected)
{
    return selected && *selected < doc.images().size();
}

std::int32_t& FieldOf(ObjectImage& image, ImageNumberField field)
{
    switch (field) {
    case ImageNumberField::XTiles:
        return image.xTiles;
    case ImageNumberField::YTiles:
        return image.yTiles;
    case ImageNumberField::AniTime:
        break;
    }
    return image.aniTime;
}

// Stores happen on every key release, arrows and Tab included: only a value
// that differs counts as a change of the document.
void StoreField(DefinitionDocument& doc, std::size_t position, ImageNumberField field, std::int32_t value)
{
    ObjectImage current = doc.images()[position];
    if (FieldOf(current, field) != value)
        FieldOf(doc.editImages()[position], field) = value;
}
}  // namespace

void StoreImageFile(DefinitionDocument& doc, std::optional<std::size_t> selected, std::string_view text)
{
    if (!IsImage(doc, selected))
        return;
    if (doc.images()[*selected].file != text)
        doc.editImages()[*selected].file = std::string(text);
}

void StoreImageNumber(DefinitionDocument& doc, std::optional<std::size_t> selected, ImageNumberField field,
                      std::string_view text)
{
    if (!IsImage(doc, selected))
        return;
    const std::int32_t value = text.empty() ? -1 : StrToInt(text);  // throws before anything changes
    StoreField(doc, *selected, field, value);
}

std::int32_t ProposedSpinValue(std::int32_t current, std::int32_t step, bool up)
{
    const std::uint32_t sum = static_cast<std::uint32_t>(current)
                              + (up ? static_cast<std::uint32_t>(step) : 0u - static_cast<std::uint32_t>(step));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(sum & 0xFFFFu));
}

void StoreImageSpinValue(DefinitionDocument& doc, std::optional<std::size_t> selected, ImageNumberField field,
                         std::int32_t proposed)
{
    if (!IsImage(doc, selected))
        return;
    const auto value =
        static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(proposed) & 0xFFFFu));
    StoreField(doc, *selected, field, value);
}

std::string DeleteImageQuestion(const DefinitionDocument& doc, std::size_t position)
{
    return "Delete '" + doc.imageKey(position) + "'?";
}

ImageDeletion DeleteImage(DefinitionDocument& doc, int position)
{
    ImageDeletion deletion;
    deletion.position = position;
    if (position < 0 || static_cast<std::size_t>(position) >= doc.images().size())
        return deletion;
    const auto at = static_cast<std::size_t>(position);
    deletion.deleted = true;
    deletion.removedNumber = doc.images()[at].number;
    deletion.renumbered = ImagesNumberedByPosition(doc.images());
    auto& images = doc.editImages();
    images.erase(images.begin() + static_cast<std::ptrdiff_t>(at));
    if (deletion.renumbered) {
        // Each position keeps the number it had, which was the position.
        for (std::size_t p = at; p < images.size(); ++p)
            images[p].number = static_cast<std::int32_t>(p);
    }
    return deletion;
}

namespace {
void RemoveReferences(DefinitionDocument& doc, std::int32_t removed, bool renumberLater)
{
    for (ObjectKind kind : {ObjectKind::Map, ObjectKind::Screen}) {
        ObjectList& list = doc.objects(kind);
        // 1. By the fields as they stand: the map pass's regeneration re-derives
        //    the screen fields from their recomposed lines, which keeps every
        //    image number.
        std::vector<std::size_t> rows;
        for (std::size_t row = 0; row < list.takenApart(); ++row)
            if (list.fields(row).image == removed)
                rows.push_back(row);
        list.removeRows(std::move(rows));
        // 2. RebuildObjectFields: the lines may have been recomposed (by the map
        //    pass's regeneration, or an earlier sort) without their fields
        //    being taken apart again, so every entry is taken apart anew.
        list.rebuild();
        // 3. In the fields only; the regeneration writes the lines.
        if (renumberLater) {
            for (std::size_t row = 0; row < list.takenApart(); ++row)
                if (list.fields(row).image > removed)
                    --list.editFields(row).image;
        }
        // 4.
        RegenerateObjectLists(doc);
    }
}
}  // namespace

void RemoveImageReferences(DefinitionDocument& doc, std::int32_t removed)
{
    RemoveReferences(doc, removed, true);
}

void RemoveImageReferencesKeepingNumbers(DefinitionDocument& doc, std::int32_t removedNumber)
{
    RemoveReferences(doc, removedNumber, false);
}

void ApplyImageDeletionToObjects(DefinitionDocument& doc, const ImageDeletion& deletion)
{
    if (!deletion.deleted)
        return;
    if (deletion.renumbered)
        RemoveImageReferences(doc, deletion.position);
    else
        RemoveImageReferencesKeepingNumbers(doc, deletion.removedNumber);
}

}  // namespace qel
