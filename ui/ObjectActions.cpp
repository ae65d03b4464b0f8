#include "ui/ObjectActions.h"

#include <QMenu>
#include <string>

#include "app/ClipboardSteps.h"
#include "app/ObjectCommands.h"
#include "ui/Guarded.h"
#include "ui/ObjectsSection.h"

namespace qel::ui {

ObjectActions::ObjectActions(app::ObjectCommands& commands, app::DocumentSession& session, ObjectsSection& objects,
                             Prompter& prompter, QWidget& window)
    : QObject(&window), commands_(commands), session_(session), objects_(objects), prompter_(prompter), window_(window)
{
}

std::vector<std::size_t> ObjectActions::selectedRows(ObjectKind kind) const
{
    return objects_.CurrentViewState().of(kind).rows();
}

void ObjectActions::show(const app::CommandStatus& status)
{
    ShowStatus(prompter_, &window_, status);
}

void ObjectActions::copy(ObjectKind kind)
{
    show(commands_.copy(kind, selectedRows(kind)));
}

void ObjectActions::cut(ObjectKind kind, const std::vector<std::size_t>& rows)
{
    show(commands_.cut(kind, rows, objects_.CurrentViewState()));
}

void ObjectActions::remove(ObjectKind kind, const std::vector<std::size_t>& rows)
{
    // With no rows the menu's Delete does nothing, not even the rebuild the
    // section's Del runs.
    if (!rows.empty())
        show(commands_.remove(kind, rows, objects_.CurrentViewState()));
}

void ObjectActions::paste(ObjectKind kind, std::optional<Point> at)
{
    show(commands_.paste(kind, objects_.CurrentViewState(), at));
}

void ObjectActions::duplicate(ObjectKind kind)
{
    show(commands_.duplicate(kind, selectedRows(kind), objects_.CurrentViewState()));
}

void ObjectActions::selectAll(ObjectKind kind)
{
    app::ViewState view = objects_.CurrentViewState();
    view.of(kind) = app::AllRows(session_.document().objects(kind), view.of(kind).current);
    if (const auto shown = objects_.keptRows(kind))
        view.of(kind) = app::ShownOnly(view.of(kind), *shown);
    objects_.ShowViewState(view);
}

std::optional<std::int32_t> ObjectActions::imageOf(ObjectKind kind, std::optional<std::size_t> row) const
{
    const ObjectList& list = session_.document().objects(kind);
    if (!row)
        row = objects_.CurrentViewState().of(kind).current;
    if (!row || !list.hasFields(*row))
        return std::nullopt;
    return list.fields(*row).image;
}

void ObjectActions::selectUsingImage(ObjectKind kind, std::optional<std::size_t> row)
{
    const std::optional<std::int32_t> image = imageOf(kind, row);
    if (!image)
        return;
    app::ViewState view = objects_.CurrentViewState();
    view.of(kind) = app::RowsUsingImage(session_.document().objects(kind), *image, view.of(kind).current);
    if (const auto shown = objects_.keptRows(kind))
        view.of(kind) = app::ShownOnly(view.of(kind), *shown);
    objects_.ShowViewState(view);
}

void ObjectActions::fillMenu(QMenu& menu, ObjectKind kind, std::optional<std::size_t> row, bool inMap,
                             const std::vector<std::size_t>& editable, std::optional<Point> at)
{
    const bool selected = !selectedRows(kind).empty();
    const auto add = [&](const char* name, const QString& caption, bool enabled, auto handler) {
        QAction* action = menu.addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, handler);
    };
    add("CutObjects", QStringLiteral("Cut"), !editable.empty(), [this, kind, editable] { cut(kind, editable); });
    add("CopyObjects", QStringLiteral("Copy"), selected, [this, kind] { copy(kind); });
    add("PasteObjects", QStringLiteral("Paste"), commands_.clipboardHasText(), [this, kind, at] { paste(kind, at); });
    add("DuplicateObjects", QStringLiteral("Duplicate"), selected, [this, kind] { duplicate(kind); });
    add("DeleteObjects", QStringLiteral("Delete"), !editable.empty(),
        [this, kind, editable] { remove(kind, editable); });
    menu.addSeparator();
    add("ChangeSelectedObjects", QStringLiteral("Change Selected Objects..."), selected,
        [this, kind] { emit changeSelectedRequested(kind); });
    const std::optional<std::int32_t> image = imageOf(kind, row);
    add("SelectObjectsUsingImage",
        image ? QStringLiteral("Select Objects Using IMAGE%1").arg(*image)
              : QStringLiteral("Select Objects Using Image"),
        image.has_value(), [this, kind, row] { selectUsingImage(kind, row); });
    menu.addSeparator();
    if (inMap) {
        add("ShowInList", QStringLiteral("Show in List"), row.has_value(),
            [this, kind, row] { objects_.makeRowCurrent(kind, *row); });
    } else {
        add("ShowInMap", QStringLiteral("Show in Map"), row.has_value() && kind == ObjectKind::Map,
            [this, row] { emit showInMapRequested(static_cast<int>(*row)); });
    }
}

}  // namespace qel::ui
