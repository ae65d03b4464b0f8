#pragma once
// Layer and mode keyword tables. Reading matches the lower-case form of the
// whole field; composing writes the mixed-case form.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qel {

inline constexpr std::array<std::string_view, 8> kLayerKeywords = {
    "BelowAll", "AfterBackground", "AfterTiles", "AfterWeapons", "AfterShips", "AfterGauges", "AfterChat", "TopMost"};

inline constexpr std::array<std::string_view, 6> kModeKeywords = {"ShowAlways", "EnterZone", "EnterArena",
                                                                  "Kill",       "Death",     "ServerControlled"};

// The mode box has one item past the keywords: no mode field at all.
inline constexpr std::string_view kModeNoneItem = "None";
inline constexpr int kModeNoneIndex = 6;

// Composed form of a layer 0-7 / mode 0-5; empty for anything else.
std::string_view LayerKeyword(std::int32_t layer);
std::string_view ModeKeyword(std::int32_t mode);

// The number a field stands for when it is a layer or mode keyword in any
// case (layers are looked up first, then modes, as in every numeric field),
// or nothing when it is no keyword. The whole field must match: no spaces are
// trimmed.
std::optional<std::int32_t> KeywordValueNoCase(std::string_view field);

}  // namespace qel
