#pragma once
// A MapEditor that records what the map view asks of it.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ui/MapEditor.h"

struct Call {
    std::string what;
    std::vector<std::size_t> rows;
    std::int64_t x = 0, y = 0;
    friend bool operator==(const Call&, const Call&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Call& c)
{
    out << c.what << " (";
    for (std::size_t row : c.rows)
        out << row << ' ';
    return out << ") " << c.x << ',' << c.y;
}

struct RecordingEditor : qel::ui::MapEditor {
    std::vector<Call> calls;
    bool placeable = true;
    void moveRows(const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy) override
    {
        calls.push_back({"move", rows, dx, dy});
    }
    bool canPlace() const override { return placeable; }
    void placeAt(std::int32_t x, std::int32_t y) override { calls.push_back({"place", {}, x, y}); }
    void deleteRows(const std::vector<std::size_t>& rows) override { calls.push_back({"delete", rows, 0, 0}); }
};
