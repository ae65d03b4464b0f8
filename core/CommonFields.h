#pragma once
// What a properties panel shows for several objects at once: each field's
// value when every one of them has the same, nothing ("mixed") where they
// differ. X and Y compare as text for screen objects ("C-100" and "-100"
// are not the same place) and as numbers for map objects. Rows without
// fields, and rows past the end, are left out; with none left there is
// nothing to show.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ObjectList.h"

namespace qel {

struct CommonFields {
    std::size_t count = 0;  // the rows looked at
    std::optional<std::string> x;
    std::optional<std::string> y;
    std::optional<std::int32_t> image;
    std::optional<std::int32_t> layer;
    std::optional<std::int32_t> mode;
    std::optional<std::int32_t> displayTime;
    std::optional<std::int32_t> objectId;
};

// `rows` in any order (the selection's ranges flattened).
CommonFields CommonFieldsOf(const ObjectList& list, ObjectKind kind, const std::vector<std::size_t>& rows);

}  // namespace qel
