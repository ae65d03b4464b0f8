#pragma once
// The actions on many objects at once, shared by the Edit menu, the object
// lists' context menus and the map view's keys and menus: Cut, Copy, Paste,
// Duplicate, Delete, Select All and Select Objects Using Image. Each works
// on one kind's list with the selection that list and the map view share:
// the changes go through app::ObjectCommands, the selections are the
// section's.

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "app/CommandQuestions.h"
#include "app/DocumentSession.h"

class QMenu;
class QWidget;

namespace qel::app {
class ObjectCommands;
}

namespace qel::ui {

class ObjectsSection;
class Prompter;

class ObjectActions : public QObject {
    Q_OBJECT
public:
    using Point = std::pair<std::int64_t, std::int64_t>;

    // Failures are shown in `window`'s error box.
    ObjectActions(app::ObjectCommands& commands, app::DocumentSession& session, ObjectsSection& objects,
                  Prompter& prompter, QWidget& window);

    // The selected rows of `kind`'s list, ascending.
    std::vector<std::size_t> selectedRows(ObjectKind kind) const;

    void copy(ObjectKind kind);
    // Cut and Delete take `rows` (the map view leaves out locked layers).
    void cut(ObjectKind kind, const std::vector<std::size_t>& rows);
    void remove(ObjectKind kind, const std::vector<std::size_t>& rows);
    // After the last selected row; with `at`, the group's top-left there.
    void paste(ObjectKind kind, std::optional<Point> at = std::nullopt);
    void duplicate(ObjectKind kind);
    void selectAll(ObjectKind kind);
    // Every row using the image of `row`, or of the list's current row.
    void selectUsingImage(ObjectKind kind, std::optional<std::size_t> row = std::nullopt);

    // The context menu's entries for `kind`, `row` being the row under the
    // pointer: "Show in List" when the menu is the map view's, else "Show
    // in Map". `editable` are the rows Cut and Delete take; `at` where a
    // paste goes.
    void fillMenu(QMenu& menu, ObjectKind kind, std::optional<std::size_t> row, bool inMap,
                  const std::vector<std::size_t>& editable, std::optional<Point> at = std::nullopt);

signals:
    void changeSelectedRequested(qel::ObjectKind kind);
    // "Show in Map" on a map object's row.
    void showInMapRequested(int row);

private:
    // The image of the row, when it has fields.
    std::optional<std::int32_t> imageOf(ObjectKind kind, std::optional<std::size_t> row) const;
    void show(const app::CommandStatus& status);

    app::ObjectCommands& commands_;
    app::DocumentSession& session_;
    ObjectsSection& objects_;
    Prompter& prompter_;
    QWidget& window_;
};

}  // namespace qel::ui
