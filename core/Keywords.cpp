#include "core/Keywords.h"

#include "core/IntConversion.h"

namespace qel {

namespace {
constexpr std::array<std::string_view, 8> kLayerLower = {"belowall",   "afterbackground", "aftertiles", "afterweapons",
                                                         "afterships", "aftergauges",     "afterchat",  "topmost"};
constexpr std::array<std::string_view, 6> kModeLower = {"showalways", "enterzone", "enterarena",
                                                        "kill",       "death",     "servercontrolled"};
}  // namespace

std::string_view LayerKeyword(std::int32_t layer)
{
    return (layer >= 0 && layer < 8) ? kLayerKeywords[static_cast<std::size_t>(layer)] : std::string_view{};
}

std::string_view ModeKeyword(std::int32_t mode)
{
    return (mode >= 0 && mode < 6) ? kModeKeywords[static_cast<std::size_t>(mode)] : std::string_view{};
}

std::optional<std::int32_t> KeywordValueNoCase(std::string_view field)
{
    if (field.size() < 4)
        return std::nullopt;
    const char first = LowerAscii(field[0]);
    if (first < 'a' || first > 'z')
        return std::nullopt;
    for (std::size_t i = 0; i < kLayerLower.size(); ++i)
        if (EqualsNoCase(field, kLayerLower[i]))
            return static_cast<std::int32_t>(i);
    for (std::size_t i = 0; i < kModeLower.size(); ++i)
        if (EqualsNoCase(field, kModeLower[i]))
            return static_cast<std::int32_t>(i);
    return std::nullopt;
}

}  // namespace qel
