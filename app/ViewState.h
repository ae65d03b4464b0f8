#pragma once
// What the object lists show around an edit: the kind on screen and, per
// list, the selected rows and the current row. Steps keep the state before
// and after them, so undo and redo put the views back where the edit found
// or left them. Plain values: no widget is named here.

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "core/EntryLine.h"

namespace qel::app {

struct RowSelection {
    // Inclusive row ranges, ascending and apart: a whole million-row list
    // selected is one range.
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    std::optional<std::size_t> current;

    // Any order, repeats allowed.
    static RowSelection ofRows(std::vector<std::size_t> rows, std::optional<std::size_t> current = std::nullopt);
    std::vector<std::size_t> rows() const;
    // Adds `row`, merging it with the ranges it touches: no work per
    // selected row, so a whole million-row list selected costs nothing.
    void add(std::size_t row);
    bool contains(std::size_t row) const;
    bool empty() const { return ranges.empty(); }

    friend bool operator==(const RowSelection&, const RowSelection&) = default;
};

struct ViewState {
    ObjectKind shown = ObjectKind::Map;
    RowSelection map;
    RowSelection screen;

    RowSelection& of(ObjectKind kind) { return kind == ObjectKind::Map ? map : screen; }
    const RowSelection& of(ObjectKind kind) const { return kind == ObjectKind::Map ? map : screen; }

    friend bool operator==(const ViewState&, const ViewState&) = default;
};

}  // namespace qel::app
