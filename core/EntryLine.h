#pragma once
// Field routines over the comma-separated lines of a definition.
//
// Entry line: X,Y,IMAGEn[,layer[,mode[,displaytime[,objectid]]]]
// Image line: IMAGEn=file[,xtiles,ytiles,anitime]

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ObjectKind.h"

namespace qel {

// Field `index` (0-based) verbatim, or "-1" when the line has too few fields.
// An empty field (two commas in a row) is an empty text.
std::string GetTextField(std::string_view line, int index);

// Same, as a view into `line`; false when the line has too few fields.
bool FindField(std::string_view line, int index, std::string_view& field);

// Field `index` as a number: lower-cased, the "image" prefix dropped unless
// `keepImagePrefix`, layer and mode keywords replaced by their numbers, then
// the strict conversion. -1 when the line has too few fields; throws
// ConversionError naming the text after those steps.
std::int32_t GetNumberField(std::string_view line, int index, bool keepImagePrefix);

// The same conversion for a field already cut out of its line.
std::int32_t FieldNumber(std::string_view field, bool keepImagePrefix);

// The file part of an image line: what follows "=" up to the next ",".
std::string GetImageFileName(std::string_view line);

// Taken-apart numeric fields of an entry line. `x` and `y` are meaningful for
// map objects only; screen objects keep their coordinates as the line's text.
struct ObjectFields {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t image = -1;
    std::int32_t layer = -1;
    std::int32_t mode = -1;
    std::int32_t displayTime = -1;
    std::int32_t objectId = -1;

    friend bool operator==(const ObjectFields&, const ObjectFields&) = default;
};

// Takes an entry line apart as both the reader and the rebuild do; throws
// ConversionError on the first field that is not a number.
ObjectFields TakeApartEntryLine(std::string_view line, ObjectKind kind);

}  // namespace qel
