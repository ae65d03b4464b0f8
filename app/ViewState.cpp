#include "ViewState.h"

#include <algorithm>

namespace qel::app {

RowSelection RowSelection::ofRows(std::vector<std::size_t> rows, std::optional<std::size_t> current)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    RowSelection selection;
    selection.current = current;
    for (std::size_t row : rows) {
        if (!selection.ranges.empty() && selection.ranges.back().second + 1 == row)
            selection.ranges.back().second = row;
        else
            selection.ranges.emplace_back(row, row);
    }
    return selection;
}

std::vector<std::size_t> RowSelection::rows() const
{
    std::vector<std::size_t> rows;
    for (const auto& [first, last] : ranges)
        for (std::size_t row = first; row <= last; ++row)
            rows.push_back(row);
    return rows;
}

bool RowSelection::contains(std::size_t row) const
{
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), row,
                                        [](std::size_t r, const auto& range) { return r < range.first; });
    return after != ranges.begin() && std::prev(after)->second >= row;
}

}  // namespace qel::app
