#include "core/ObjectClipboard.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "core/Errors.h"
#include "core/MapGeometry.h"
#include "core/ObjectMoves.h"

namespace qel {

namespace {

std::string LineText(std::size_t line)
{
    return "Line " + std::to_string(line) + " of the pasted text: ";
}

// The character at `at` (a surrogate pair taken whole), for naming it.
char32_t CodePointAt(std::u16string_view text, std::size_t at)
{
    const char16_t high = text[at];
    if (high >= 0xD800 && high < 0xDC00 && at + 1 < text.size()) {
        const char16_t low = text[at + 1];
        if (low >= 0xDC00 && low < 0xE000)
            return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00);
    }
    return high;
}

}  // namespace

std::string ClipboardText(const ObjectList& list, const std::vector<std::size_t>& rows)
{
    std::size_t bytes = 0;
    for (std::size_t row : rows)
        bytes += list.line(row).size() + 2;
    std::string text;
    text.reserve(bytes);
    for (std::size_t row : rows) {
        text.append(list.line(row));
        text.append("\r\n");
    }
    return text;
}

ObjectList PastedObjects(std::u16string_view text, ObjectKind kind)
{
    // Each non-empty line's bytes, and its number in the text for messages.
    std::string bytes;
    bytes.reserve(text.size());
    std::vector<std::size_t> ends;
    std::vector<std::size_t> numbers;
    std::size_t number = 1;
    std::size_t lineStart = 0;
    const auto endLine = [&] {
        if (bytes.size() > lineStart) {
            ends.push_back(bytes.size());
            numbers.push_back(number);
        }
        lineStart = bytes.size();
        ++number;
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
                ++at;
            endLine();
            continue;
        }
        if (c > 0xFF) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(CodePointAt(text, at)));
            throw MessageError(LineText(number) + "the character " + name + " is not a Latin-1 character");
        }
        bytes += static_cast<char>(c);
    }
    endLine();

    ObjectList list(kind);
    try {
        list.appendProduced([&](auto&& add) {
            std::size_t begin = 0;
            for (std::size_t end : ends) {
                add(std::string_view(bytes).substr(begin, end - begin));
                begin = end;
            }
        });
    } catch (const ConversionError& e) {
        // The rebuild stops at the first line that does not take apart.
        throw MessageError(LineText(numbers[list.takenApart()]) + e.message());
    }
    return list;
}

std::pair<std::int64_t, std::int64_t> PlacementMove(const ObjectList& group, std::int64_t x, std::int64_t y)
{
    if (group.kind() != ObjectKind::Map || group.takenApart() == 0)
        return {0, 0};
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (std::size_t row = 0; row < group.takenApart(); ++row) {
        const ObjectFields& f = group.fields(row);
        left = std::min<std::int64_t>(left, f.x);
        top = std::min<std::int64_t>(top, f.y);
        right = std::max<std::int64_t>(right, f.x);
        bottom = std::max<std::int64_t>(bottom, f.y);
    }
    // The last top-left that still shows a tile on the map.
    constexpr std::int64_t kLast = kMapExtent - kTileSide;
    const auto onMap = [](std::int64_t to, std::int64_t span) {
        return span > kLast ? to : std::clamp<std::int64_t>(to, 0, kLast - span);
    };
    return {onMap(x, right - left) - left, onMap(y, bottom - top) - top};
}

RowLines PlacedLines(const ObjectList& group, std::size_t first, std::int64_t dx, std::int64_t dy)
{
    std::vector<std::size_t> all(group.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    const PlannedMove plan = PlanMove(group, all, dx, dy);
    RowLines placed;
    placed.rows.reserve(group.size());
    placed.ends.reserve(group.size());
    placed.bytes.reserve(plan.after.bytes.size() + (group.size() - plan.after.count()) * 32);
    std::size_t moved = 0;
    for (std::size_t row = 0; row < group.size(); ++row) {
        if (moved < plan.after.count() && plan.after.rows[moved] == row)
            placed.add(first + row, plan.after.line(moved++));
        else
            placed.add(first + row, group.line(row));
    }
    return placed;
}

}  // namespace qel
