#pragma once
// The map view's edits through the object commands: a move is Move, a placed
// object Place with the object editor's values and the clicked point, a
// deletion Delete. A failure (a move past the 32-bit range, a value Add
// refuses) is shown through the prompter and changes nothing.

#include <functional>

#include "app/ObjectCommands.h"
#include "core/ObjectEditor.h"
#include "ui/MapEditor.h"
#include "ui/Prompter.h"

class QWidget;

namespace qel::ui {

class MapSessionEditor : public MapEditor {
public:
    using ValuesSource = std::function<EditorValues()>;
    using ViewSource = std::function<app::ViewState()>;

    // `values` gives the object editor's current values; `view` the lists'
    // view state before a step (none: an empty one).
    MapSessionEditor(app::ObjectCommands& commands, ObjectKind kind, Prompter& prompter, QWidget* parent,
                     ValuesSource values, ViewSource view = {});

    void moveRows(const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy) override;
    bool canPlace() const override;
    void placeAt(std::int32_t x, std::int32_t y) override;
    void deleteRows(const std::vector<std::size_t>& rows) override;

private:
    app::ViewState view() const { return view_ ? view_() : app::ViewState{}; }
    void show(const app::CommandStatus& status);

    app::ObjectCommands& commands_;
    ObjectKind kind_;
    Prompter& prompter_;
    QWidget* parent_;
    ValuesSource values_;
    ViewSource view_;
};

}  // namespace qel::ui
