#pragma once
// Object lists from and to lines, for comparing with expected lists.

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/ObjectList.h"

inline std::vector<std::string> Lines(const qel::ObjectList& list)
{
    std::vector<std::string> lines;
    for (std::size_t row = 0; row < list.size(); ++row)
        lines.emplace_back(list.line(row));
    return lines;
}

// The lines as the reader would keep them: a line that cannot be taken apart
// stays, without fields.
inline qel::ObjectList ObjectListOf(qel::ObjectKind kind, const std::vector<std::string>& lines)
{
    qel::ObjectList list(kind);
    for (const std::string& line : lines) {
        try {
            list.append(line);
        } catch (const qel::ConversionError&) {
        }
    }
    return list;
}
