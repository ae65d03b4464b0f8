#include "core/ObjectMoves.h"

#include <algorithm>
#include <climits>

#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/ObjectList.h"

namespace qel {

namespace {

std::string DecimalText(std::int64_t value)
{
    return std::to_string(value);
}

// Where field 1 ends: the second comma, or the end of a two-field line.
std::optional<std::size_t> EndOfY(std::string_view line)
{
    const std::size_t first = line.find(',');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = line.find(',', first + 1);
    return second == std::string_view::npos ? line.size() : second;
}

}  // namespace

std::int32_t MovedCoordinate(std::int64_t from, std::int64_t by)
{
    const std::int64_t to = from + by;
    if (to < INT32_MIN || to > INT32_MAX)
        throw ConversionError(DecimalText(to));
    return static_cast<std::int32_t>(to);
}

std::pair<std::int64_t, std::int64_t> DragDelta(std::pair<std::int32_t, std::int32_t> anchor,
                                                std::pair<std::int64_t, std::int64_t> raw, bool snap)
{
    if (!snap)
        return raw;
    return {NearestTileEdge(anchor.first + raw.first) - static_cast<std::int64_t>(anchor.first),
            NearestTileEdge(anchor.second + raw.second) - static_cast<std::int64_t>(anchor.second)};
}

ScreenCoordinate ParseScreenCoordinate(std::string_view text)
{
    ScreenCoordinate c;
    if (std::optional<std::int32_t> whole = TryStrToInt(text)) {
        c.form = ScreenCoordinate::Form::Whole;
        c.value = *whole;
        return c;
    }
    if (text.size() > 2 && (text[0] == 'C' || text[0] == 'c') && text[1] == '-') {
        const std::optional<std::int32_t> n = TryStrToInt(text.substr(2));
        if (n && *n >= 0) {
            c.form = ScreenCoordinate::Form::FromCentre;
            c.value = *n;
            c.prefix = text[0];
        }
    }
    return c;
}

std::optional<std::int64_t> ScreenPosition(const ScreenCoordinate& c, std::int32_t extent)
{
    switch (c.form) {
    case ScreenCoordinate::Form::Whole:
        return c.value;
    case ScreenCoordinate::Form::FromCentre:
        return static_cast<std::int64_t>(extent / 2) - c.value;
    case ScreenCoordinate::Form::Unplaceable:
        break;
    }
    return std::nullopt;
}

std::int64_t LimitCentreMove(const std::vector<ScreenCoordinate>& coords, std::int64_t by)
{
    for (const ScreenCoordinate& c : coords)
        if (c.form == ScreenCoordinate::Form::FromCentre && by > c.value)
            by = c.value;
    return by;
}

std::string MovedScreenText(const ScreenCoordinate& c, std::int64_t by)
{
    if (c.form == ScreenCoordinate::Form::FromCentre) {
        const std::int64_t n = static_cast<std::int64_t>(c.value) - by;
        std::string out{c.prefix, '-'};
        if (n > INT32_MAX)
            throw ConversionError(out + DecimalText(n));
        out += DecimalText(n);
        return out;
    }
    return DecimalText(MovedCoordinate(c.value, by));
}

bool CanMoveRow(const ObjectList& list, std::size_t row)
{
    if (row >= list.size() || !EndOfY(list.line(row)))
        return false;
    if (list.kind() == ObjectKind::Map)
        return list.hasFields(row);
    std::string_view x, y;
    FindField(list.line(row), 0, x);
    FindField(list.line(row), 1, y);
    return ParseScreenCoordinate(x).form != ScreenCoordinate::Form::Unplaceable
           && ParseScreenCoordinate(y).form != ScreenCoordinate::Form::Unplaceable;
}

PlannedMove PlanMove(const ObjectList& list, const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy)
{
    std::vector<std::size_t> movable;
    movable.reserve(rows.size());
    for (std::size_t row : rows)
        if (CanMoveRow(list, row))
            movable.push_back(row);
    std::sort(movable.begin(), movable.end());
    movable.erase(std::unique(movable.begin(), movable.end()), movable.end());

    PlannedMove plan;
    const bool map = list.kind() == ObjectKind::Map;
    std::vector<ScreenCoordinate> xs, ys;
    if (!map) {
        xs.reserve(movable.size());
        ys.reserve(movable.size());
        for (std::size_t row : movable) {
            std::string_view x, y;
            FindField(list.line(row), 0, x);
            FindField(list.line(row), 1, y);
            xs.push_back(ParseScreenCoordinate(x));
            ys.push_back(ParseScreenCoordinate(y));
        }
        dx = LimitCentreMove(xs, dx);
        dy = LimitCentreMove(ys, dy);
    }
    plan.dx = dx;
    plan.dy = dy;
    if (dx == 0 && dy == 0)
        return plan;
    plan.before.rows.reserve(movable.size());
    plan.before.ends.reserve(movable.size());
    plan.after.rows.reserve(movable.size());
    plan.after.ends.reserve(movable.size());
    std::string x, y;
    for (std::size_t i = 0; i < movable.size(); ++i) {
        const std::size_t row = movable[i];
        const std::string_view line = list.line(row);
        if (map) {
            const ObjectFields& f = list.fields(row);
            x = DecimalText(MovedCoordinate(f.x, dx));
            y = DecimalText(MovedCoordinate(f.y, dy));
        } else {
            x = MovedScreenText(xs[i], dx);
            y = MovedScreenText(ys[i], dy);
        }
        plan.before.add(row, line);
        const std::size_t end = *EndOfY(line);
        plan.after.rows.push_back(row);
        plan.after.bytes.append(x);
        plan.after.bytes += ',';
        plan.after.bytes.append(y);
        plan.after.bytes.append(line.substr(end));
        plan.after.ends.push_back(plan.after.bytes.size());
    }
    return plan;
}

}  // namespace qel
