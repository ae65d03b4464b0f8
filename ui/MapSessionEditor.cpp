#include "ui/MapSessionEditor.h"

#include "app/ObjectSteps.h"
#include "core/IntConversion.h"
#include "ui/Guarded.h"

namespace qel::ui {

MapSessionEditor::MapSessionEditor(app::DocumentSession& session, ObjectKind kind, Prompter& prompter, QWidget* parent,
                                   ValuesSource values, ViewSource view)
    : session_(session),
      kind_(kind),
      prompter_(prompter),
      parent_(parent),
      values_(std::move(values)),
      view_(std::move(view))
{
}

void MapSessionEditor::push(std::unique_ptr<app::SessionStep> step)
{
    if (view_)
        step->setViewBefore(view_());
    session_.push(std::move(step));
}

void MapSessionEditor::moveRows(const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy)
{
    Guarded(prompter_, parent_, [&] { push(std::make_unique<app::MoveObjectsStep>(session_, kind_, rows, dx, dy)); });
}

bool MapSessionEditor::canPlace() const
{
    const EditorValues values = values_();
    return values.imageChoice >= 0
           && static_cast<std::size_t>(values.imageChoice) < session_.document().images().size();
}

void MapSessionEditor::placeAt(std::int32_t x, std::int32_t y)
{
    if (!canPlace())
        return;
    EditorValues values = values_();
    values.xText = IntToStr(x);
    values.yText = IntToStr(y);
    Guarded(prompter_, parent_, [&] { push(std::make_unique<app::AddObjectStep>(session_, kind_, values)); });
}

void MapSessionEditor::deleteRows(const std::vector<std::size_t>& rows)
{
    Guarded(prompter_, parent_, [&] { push(std::make_unique<app::DeleteObjectsStep>(session_, kind_, rows)); });
}

}  // namespace qel::ui
