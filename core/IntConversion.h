#pragma once
// The strict integer conversion used for every number of a definition file:
// optional leading spaces, an optional "+" or "-", then decimal digits or
// hexadecimal digits after "$" or "0x", and nothing after them. The value must
// fit a 32-bit signed integer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qel {

std::optional<std::int32_t> TryStrToInt(std::string_view text);

// Throws ConversionError naming `text` when it is not a valid integer.
std::int32_t StrToInt(std::string_view text);

// Decimal text, "-" for negatives, no leading zeros.
std::string IntToStr(std::int32_t value);
void AppendInt(std::string& out, std::int32_t value);

// ASCII lower case only: bytes 0x80-0xFF are never altered.
inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerCase(std::string_view text);
// True when the lower-cased `text` starts with `lowerPrefix` (already lower case).
inline bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (LowerAscii(text[i]) != lowerPrefix[i])
            return false;
    return true;
}

inline bool EqualsNoCase(std::string_view text, std::string_view lowerLiteral)
{
    return text.size() == lowerLiteral.size() && StartsWithNoCase(text, lowerLiteral);
}

}  // namespace qel
