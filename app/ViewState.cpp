#include "app/ViewState.h"

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

void RowSelection::add(std::size_t row)
{
    // The first range that ends at or after row - 1 is the only one row can
    // join (or lie in); the one after it may then join too.
    auto at = std::lower_bound(ranges.begin(), ranges.end(), row,
                               [](const auto& range, std::size_t r) { return range.second + 1 < r; });
    if (at == ranges.end() || at->first > row + 1) {
        ranges.insert(at, {row, row});
        return;
    }
    at->first = std::min(at->first, row);
    at->second = std::max(at->second, row);
    if (const auto next = std::next(at); next != ranges.end() && next->first <= at->second + 1) {
        at->second = std::max(at->second, next->second);
        ranges.erase(next);
    }
}

bool RowSelection::contains(std::size_t row) const
{
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), row,
                                        [](std::size_t r, const auto& range) { return r < range.first; });
    return after != ranges.begin() && std::prev(after)->second >= row;
}

}  // namespace qel::app
