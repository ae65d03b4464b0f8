#include "core/ObjectEditor.h"

#include <algorithm>

#include "core/IntConversion.h"
#include "core/Keywords.h"

namespace qel {

std::string ExpandTileShorthand(std::string_view text, char marker)
{
    if (text.empty() || LowerAscii(text[0]) != marker || text.size() == 1)
        return std::string(text);
    const std::int32_t tiles = StrToInt(text.substr(1));  // names the text after the marker, as typed
    // 32-bit multiply keeping the low 32 bits, without signed overflow.
    const auto pixels =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(tiles) * static_cast<std::uint32_t>(kTilePixels));
    return IntToStr(pixels);
}

std::int32_t ImageNumberOfChoice(const std::vector<ObjectImage>& images, int choice)
{
    if (choice < 0 || static_cast<std::size_t>(choice) >= images.size())
        return -1;
    return images[static_cast<std::size_t>(choice)].number;
}

int ImageChoiceOfNumber(const std::vector<ObjectImage>& images, std::int32_t number)
{
    for (std::size_t p = 0; p < images.size(); ++p)
        if (images[p].number == number)
            return static_cast<int>(p);
    return -1;
}

std::string ComposeObjectLineWithImageNumber(const EditorValues& values, std::int32_t imageNumber)
{
    std::string line;
    line.reserve(values.xText.size() + values.yText.size() + values.displayTimeText.size() + values.objectIdText.size()
                 + 48);
    line += values.xText;
    line += ',';
    line += values.yText;
    line += ",IMAGE";
    AppendInt(line, imageNumber);
    if (values.layerChoice >= 0 && values.layerChoice < static_cast<int>(kLayerKeywords.size())) {
        line += ',';
        line += LayerKeyword(values.layerChoice);
    }
    bool omit = false;
    if (values.modeChoice >= 0 && values.modeChoice < static_cast<int>(kModeKeywords.size())) {
        line += ',';
        line += ModeKeyword(values.modeChoice);
    } else {
        // The placeholder (-1) and "None" (6); the box has no other items.
        omit = true;
    }
    if (values.displayTimeText.empty())
        omit = true;
    if (!omit) {
        line += ',';
        line += values.displayTimeText;
    }
    if (values.objectIdText.empty() || values.objectIdText == "0")
        omit = true;
    if (!omit) {
        line += ',';
        line += values.objectIdText;
    }
    return line;
}

std::string ComposeObjectLine(const EditorValues& values, const std::vector<ObjectImage>& images)
{
    return ComposeObjectLineWithImageNumber(values, ImageNumberOfChoice(images, values.imageChoice));
}

namespace {
// Step 1 of Add and Apply: each result is written back at once.
void ExpandCoordinates(EditorValues& values, char marker)
{
    values.xText = ExpandTileShorthand(values.xText, marker);
    values.yText = ExpandTileShorthand(values.yText, marker);
}
}  // namespace

AddResult AddObject(DefinitionDocument& doc, ObjectKind kind, EditorValues& values)
{
    ExpandCoordinates(values, kEditMarker);
    const std::string line = ComposeObjectLine(values, doc.images());
    ObjectList& list = doc.objects(kind);
    list.append(line);  // throws after appending when the line cannot be taken apart
    AddResult result;
    result.addedRow = list.size() - 1;
    return result;
}

std::optional<std::size_t> ApplyObject(DefinitionDocument& doc, ObjectKind kind, EditorValues& values,
                                       std::optional<std::size_t> currentRow)
{
    ObjectList& list = doc.objects(kind);
    if (!currentRow || *currentRow >= list.size())
        return std::nullopt;
    ExpandCoordinates(values, kApplyMarker);
    const std::string line = ComposeObjectLine(values, doc.images());
    list.replace(*currentRow, line);  // throws after replacing when the line cannot be taken apart
    return currentRow;
}

std::size_t DeleteObjects(DefinitionDocument& doc, ObjectKind kind, const std::vector<std::size_t>& selectedRows,
                          RowLines* removed)
{
    ObjectList& list = doc.objects(kind);
    const std::size_t before = list.size();
    list.removeRows(selectedRows, removed);
    return before - list.size();
}

ObjectList ClearObjects(DefinitionDocument& doc, ObjectKind kind)
{
    return doc.objects(kind).takeAll();
}

std::optional<EditorValues> LoadObject(const DefinitionDocument& doc, ObjectKind kind,
                                       std::optional<std::size_t> currentRow)
{
    const ObjectList& list = doc.objects(kind);
    if (!currentRow || !list.hasFields(*currentRow))
        return std::nullopt;
    const std::size_t row = *currentRow;
    const ObjectFields& f = list.fields(row);
    EditorValues values;
    values.xText = list.xText(row);
    values.yText = list.yText(row);
    values.imageChoice = ImageChoiceOfNumber(doc.images(), f.image);
    // A combo box selection that is no item leaves the box without selection.
    values.layerChoice = (f.layer >= 0 && f.layer < static_cast<std::int32_t>(kLayerKeywords.size())) ? f.layer : -1;
    if (f.mode == -1)
        values.modeChoice = kModeNoneIndex;
    else
        values.modeChoice = (f.mode >= 0 && f.mode <= kModeNoneIndex) ? f.mode : -1;
    values.displayTimeText = f.displayTime == -1 ? std::string("0") : IntToStr(f.displayTime);
    values.objectIdText = f.objectId == -1 ? std::string("0") : IntToStr(f.objectId);
    return values;
}

ObjectKind SwitchObjects(DefinitionDocument& doc, ObjectKind shownKind, const std::vector<std::size_t>& selectedRows)
{
    const ObjectList& source = doc.objects(shownKind);
    ObjectList& target = doc.objects(OtherKind(shownKind));
    std::vector<std::size_t> rows;
    rows.reserve(selectedRows.size());
    for (std::size_t row : selectedRows)
        if (row < source.size())
            rows.push_back(row);
    // Walk the source rows from first to last; a row selected twice is copied once.
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    target.appendRowsOf(source, rows);  // rebuilds the target (also when nothing is copied)
    return OtherKind(shownKind);
}

}  // namespace qel
