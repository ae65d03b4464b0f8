#include "core/ObjectChange.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/IntConversion.h"
#include "core/Keywords.h"
#include "core/ObjectMoves.h"

namespace qel {

namespace {

constexpr int kImageField = 2;
constexpr int kIdField = 6;

void Split(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    std::size_t at = 0;
    for (;;) {
        const std::size_t comma = line.find(',', at);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(at));
            return;
        }
        fields.push_back(line.substr(at, comma - at));
        at = comma + 1;
    }
}

}  // namespace

PlannedChange PlanChange(const ObjectList& list, const std::vector<std::size_t>& rows, const ObjectChange& change)
{
    std::vector<std::size_t> sorted;
    sorted.reserve(rows.size());
    for (std::size_t row : rows)
        if (row < list.size())
            sorted.push_back(row);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

    PlannedChange plan;
    if (!change.any())
        return plan;
    const PlannedMove moved = PlanMove(list, sorted, change.dx, change.dy);

    // The new texts of fields 2 to 6, empty where unchanged.
    std::array<std::string, 7> values;
    if (change.imageNumber)
        values[2] = "IMAGE" + IntToStr(*change.imageNumber);
    if (change.layer)
        values[3] = LayerKeyword(*change.layer);
    if (change.mode)
        values[4] = ModeKeyword(*change.mode);
    if (change.displayTime)
        values[5] = IntToStr(*change.displayTime);
    if (change.objectId)
        values[6] = IntToStr(*change.objectId);
    const bool zeroId = change.objectId && *change.objectId == 0;
    const std::array<std::string_view, 6> fillers = {"", "", "IMAGE-1", "BelowAll", "ShowAlways", "0"};
    int last = -1;  // the last field that must be there
    for (int field = kImageField; field <= kIdField; ++field)
        if (!values[static_cast<std::size_t>(field)].empty() && !(field == kIdField && zeroId))
            last = field;

    plan.before.rows.reserve(sorted.size());
    plan.after.rows.reserve(sorted.size());
    std::vector<std::string_view> fields;
    std::string line;
    std::size_t next = 0;  // into moved.after
    for (std::size_t row : sorted) {
        const std::string_view old = list.line(row);
        std::string_view start = old;
        while (next < moved.after.count() && moved.after.rows[next] < row)
            ++next;
        if (next < moved.after.count() && moved.after.rows[next] == row)
            start = moved.after.line(next);
        Split(start, fields);
        // A line short of fields 0 and 1 is no object the change can place.
        if (fields.size() >= 2) {
            const auto had = static_cast<int>(fields.size());
            for (int field = had; field <= last; ++field)
                fields.push_back(values[static_cast<std::size_t>(field)].empty()
                                     ? fillers[static_cast<std::size_t>(field)]
                                     : std::string_view(values[static_cast<std::size_t>(field)]));
            for (int field = kImageField; field < had && field <= kIdField; ++field)
                if (!values[static_cast<std::size_t>(field)].empty())
                    fields[static_cast<std::size_t>(field)] = values[static_cast<std::size_t>(field)];
            if (zeroId && had == kIdField + 1)
                fields.pop_back();
        }
        line.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += ',';
            line.append(fields[i]);
        }
        if (line == old)
            continue;
        plan.before.add(row, old);
        plan.after.add(row, line);
    }
    return plan;
}

}  // namespace qel
