#include "EntryLine.h"

#include <array>

#include "Errors.h"
#include "IntConversion.h"
#include "Keywords.h"

namespace qel {

bool FindField(std::string_view line, int index, std::string_view& field)
{
    if (index < 0)
        return false;
    std::size_t start = 0;
    for (int n = 0; n < index; ++n) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos)
            return false;
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    field = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    return true;
}

std::string GetTextField(std::string_view line, int index)
{
    std::string_view field;
    if (!FindField(line, index, field))
        return "-1";
    return std::string(field);
}

std::int32_t FieldNumber(std::string_view field, bool keepImagePrefix)
{
    // Works on the field as written: the prefix, the keywords and hexadecimal
    // digits are all matched without regard to case, so lower-casing a copy
    // is only needed for the error message.
    std::string_view text = field;
    if (!keepImagePrefix && StartsWithNoCase(text, "image"))
        text.remove_prefix(5);
    if (auto value = TryStrToInt(text))
        return *value;
    if (auto keyword = KeywordValueNoCase(text))
        return *keyword;
    throw ConversionError(LowerCase(text));
}

std::int32_t GetNumberField(std::string_view line, int index, bool keepImagePrefix)
{
    std::string_view field;
    if (!FindField(line, index, field))
        return -1;
    return FieldNumber(field, keepImagePrefix);
}

std::string GetImageFileName(std::string_view line)
{
    std::string result;
    bool collecting = false;
    for (char c : line) {
        if (c == ',')
            collecting = false;
        if (collecting)
            result += c;
        if (c == '=')
            collecting = true;
    }
    return result;
}

ObjectFields TakeApartEntryLine(std::string_view line, ObjectKind kind)
{
    // One pass to cut the first seven fields; later fields are never read.
    std::array<std::string_view, 7> fields;
    int count = 0;
    std::size_t start = 0;
    while (count < 7) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields[static_cast<std::size_t>(count++)] = line.substr(start);
            break;
        }
        fields[static_cast<std::size_t>(count++)] = line.substr(start, comma - start);
        start = comma + 1;
    }
    auto number = [&](int i) { return i < count ? FieldNumber(fields[static_cast<std::size_t>(i)], false) : -1; };
    ObjectFields result;
    if (kind == ObjectKind::Map) {
        result.x = number(0);
        result.y = number(1);
    }
    result.image = number(2);
    result.layer = number(3);
    result.mode = number(4);
    result.displayTime = number(5);
    result.objectId = number(6);
    return result;
}

}  // namespace qel
