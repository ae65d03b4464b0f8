#include "core/IntConversion.h"

#include <charconv>

#include "core/Errors.h"

namespace qel {

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (base == 10) {
        // Decimal is what files hold; keep its loop free of the hexadecimal cases.
        std::uint64_t value = 0;
        for (; i < n; ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
            if (digit > 9)
                return std::nullopt;
            value = value * 10 + digit;
            if (value > limit)
                return std::nullopt;
        }
        return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                        : static_cast<std::int32_t>(value);
    }
    // Accumulate as a magnitude in 64 bits; any digit past the 32-bit range
    // is refused at once, so a very long run of digits cannot overflow.
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text)
{
    if (auto value = TryStrToInt(text))
        return *value;
    throw ConversionError(text);
}

void AppendInt(std::string& out, std::int32_t value)
{
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string IntToStr(std::int32_t value)
{
    std::string out;
    AppendInt(out, value);
    return out;
}

std::string LowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

}  // namespace qel
