#include "ObjectListView.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <algorithm>

namespace qel::ui {

ObjectListView::ObjectListView(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row height lets the view place a million rows without asking
    // each one for its size.
    setUniformItemSizes(true);
    connect(this, &QAbstractItemView::clicked, this, &ObjectListView::currentRowChosen);
}

void ObjectListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit deletePressed();
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit currentRowChosen();
}

app::RowSelection ObjectListView::rowSelection() const
{
    app::RowSelection selection;
    const QItemSelectionModel* model = selectionModel();
    if (!model)
        return selection;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const QItemSelectionRange& range : model->selection())
        ranges.emplace_back(static_cast<std::size_t>(range.top()), static_cast<std::size_t>(range.bottom()));
    std::sort(ranges.begin(), ranges.end());
    // Ranges that touch become one.
    for (const auto& range : ranges) {
        if (!selection.ranges.empty() && range.first <= selection.ranges.back().second + 1)
            selection.ranges.back().second = std::max(selection.ranges.back().second, range.second);
        else
            selection.ranges.push_back(range);
    }
    if (const QModelIndex current = model->currentIndex(); current.isValid())
        selection.current = static_cast<std::size_t>(current.row());
    return selection;
}

void ObjectListView::showRowSelection(const app::RowSelection& selection)
{
    QItemSelectionModel* model = selectionModel();
    QAbstractItemModel* rows = this->model();
    if (!model || !rows)
        return;
    const std::size_t count = static_cast<std::size_t>(rows->rowCount());
    QItemSelection wanted;
    for (const auto& [first, last] : selection.ranges) {
        if (first >= count)
            break;
        const int bottom = static_cast<int>(std::min(last, count - 1));
        wanted.select(rows->index(static_cast<int>(first), 0), rows->index(bottom, 0));
    }
    model->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (selection.current && *selection.current < count)
        model->setCurrentIndex(rows->index(static_cast<int>(*selection.current), 0), QItemSelectionModel::NoUpdate);
    else
        model->clearCurrentIndex();
}

}  // namespace qel::ui
