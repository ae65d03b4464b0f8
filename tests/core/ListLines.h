#pragma once
// The lines of an object list as strings, for comparing with expected lists.

#include <string>
#include <vector>

#include "ObjectList.h"

inline std::vector<std::string> Lines(const qel::ObjectList& list)
{
    std::vector<std::string> lines;
    for (std::size_t row = 0; row < list.size(); ++row)
        lines.emplace_back(list.line(row));
    return lines;
}
