#pragma once
// MapObjectList / ScreenObjectList: a list of object lines, several rows
// selectable at once. Besides the view it tells the section when the user
// made a row current (by mouse or keyboard), and when Delete was pressed.

#include <QListView>

#include "ViewState.h"

namespace qel::ui {

class ObjectListView : public QListView {
    Q_OBJECT
public:
    explicit ObjectListView(QWidget* parent = nullptr);

    // The selected rows, as ascending ranges that do not touch, and the
    // current row.
    app::RowSelection rowSelection() const;
    // Selects exactly those rows (rows past the end are left out) and makes
    // that row current, or none.
    void showRowSelection(const app::RowSelection& selection);

signals:
    // A click on a row, or a key that moved the current row.
    void currentRowChosen();
    // The Delete key, with no modifier.
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qel::ui
