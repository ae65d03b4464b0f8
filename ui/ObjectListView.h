#pragma once
// MapObjectList / ScreenObjectList: a list of object lines, several rows
// selectable at once.
//
// Every row has the same height, so a row's place is plain arithmetic and
// the view never walks its rows: adding, changing or removing one line of a
// million costs the same as in a list of ten (a general list view lays all
// rows out again on each of these). The scroll bar moves by rows.
//
// Besides the view it tells the section when the user made a row current
// (by mouse or keyboard), and when Delete was pressed.

#include <QAbstractItemView>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/ViewState.h"

namespace qel::ui {

class ObjectListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ObjectListView(QWidget* parent = nullptr);

    // The selected rows, as ascending ranges that do not touch, and the
    // current row.
    app::RowSelection rowSelection() const;
    // Selects exactly those rows (rows past the end are left out) and makes
    // that row current, or none.
    void showRowSelection(const app::RowSelection& selection);

    int rowHeight() const;

    // Shows only these rows of the model (ascending), or every row when
    // none are given. The model and its selection stay row for row the
    // document's: only what is drawn, hit and reached by the keys follows
    // the rows shown.
    void setShownRows(std::shared_ptr<const std::vector<std::uint32_t>> rows);
    bool filtered() const { return shown_ != nullptr; }
    // Room above the rows, inside the frame, for a bar of the caller's.
    void reserveTop(int height) { setViewportMargins(0, height, 0, 0); }
    // Selects every row shown.
    void selectAll() override;

    void setModel(QAbstractItemModel* model) override;
    void reset() override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

signals:
    // A click on a row, or a key that moved the current row.
    void currentRowChosen();
    // The Delete key, with no modifier.
    void deletePressed();
    // A right-click or the menu key: `row` is the row under the pointer
    // (-1 for none); a selected row keeps the whole selection.
    void menuRequested(int row, QPoint globalPos);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Rows shown, and the model row of shown row `row` and back; a model row
    // not shown has no shown row (-1).
    int rowCount() const;
    int modelRow(qint64 row) const;
    qint64 shownRow(int modelRow) const;
    // The first shown row at or after model row `modelRow`.
    qint64 shownRowFrom(int modelRow) const;
    // The model rows of shown rows [first, last], as few ranges as can be.
    QItemSelection modelRange(qint64 first, qint64 last) const;
    int firstShownRow() const;
    // Rows that fit the viewport whole (at least one).
    int shownRows() const;
    // Top of `row` in the viewport, held within the range of int.
    int rowTop(qint64 row) const;
    // The row at viewport height `y`, not held to the rows there are.
    qint64 rowAtY(qint64 y) const;

    mutable int rowHeight_ = 0;
    std::shared_ptr<const std::vector<std::uint32_t>> shown_;
};

}  // namespace qel::ui
