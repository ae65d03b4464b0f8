#include "ui/MapSessionEditor.h"

#include "ui/Guarded.h"

namespace qel::ui {

MapSessionEditor::MapSessionEditor(app::ObjectCommands& commands, ObjectKind kind, Prompter& prompter, QWidget* parent,
                                   ValuesSource values, ViewSource view)
    : commands_(commands),
      kind_(kind),
      prompter_(prompter),
      parent_(parent),
      values_(std::move(values)),
      view_(std::move(view))
{
}

void MapSessionEditor::show(const app::CommandStatus& status)
{
    ShowStatus(prompter_, parent_, status);
}

void MapSessionEditor::moveRows(const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy)
{
    show(commands_.move(kind_, rows, dx, dy, view()));
}

bool MapSessionEditor::canPlace() const
{
    return commands_.canPlace(values_());
}

void MapSessionEditor::placeAt(std::int32_t x, std::int32_t y)
{
    show(commands_.place(kind_, values_(), x, y, view()));
}

void MapSessionEditor::deleteRows(const std::vector<std::size_t>& rows)
{
    show(commands_.remove(kind_, rows, view()));
}

}  // namespace qel::ui
