#include "ui/ObjectListView.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <limits>

namespace qel::ui {

ObjectListView::ObjectListView(QWidget* parent) : QAbstractItemView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QAbstractItemView::clicked, this, &ObjectListView::currentRowChosen);
}

int ObjectListView::rowCount() const
{
    if (!model())
        return 0;
    return shown_ ? static_cast<int>(shown_->size()) : model()->rowCount(rootIndex());
}

int ObjectListView::modelRow(qint64 row) const
{
    return shown_ ? static_cast<int>((*shown_)[static_cast<std::size_t>(row)]) : static_cast<int>(row);
}

qint64 ObjectListView::shownRowFrom(int modelRow) const
{
    if (!shown_)
        return modelRow;
    return std::lower_bound(shown_->begin(), shown_->end(), static_cast<std::uint32_t>(std::max(modelRow, 0)))
           - shown_->begin();
}

qint64 ObjectListView::shownRow(int modelRow) const
{
    const qint64 row = shownRowFrom(modelRow);
    if (shown_
        && (row >= rowCount() || (*shown_)[static_cast<std::size_t>(row)] != static_cast<std::uint32_t>(modelRow)))
        return -1;
    return row;
}

QItemSelection ObjectListView::modelRange(qint64 first, qint64 last) const
{
    QItemSelection selection;
    if (!shown_) {
        selection.select(model()->index(static_cast<int>(first), 0, rootIndex()),
                         model()->index(static_cast<int>(last), 0, rootIndex()));
        return selection;
    }
    for (qint64 row = first; row <= last;) {
        // A run of shown rows that are neighbours in the model is one range.
        qint64 end = row;
        while (end < last && modelRow(end + 1) == modelRow(end) + 1)
            ++end;
        selection.append(QItemSelectionRange(model()->index(modelRow(row), 0, rootIndex()),
                                             model()->index(modelRow(end), 0, rootIndex())));
        row = end + 1;
    }
    return selection;
}

void ObjectListView::setShownRows(std::shared_ptr<const std::vector<std::uint32_t>> rows)
{
    shown_ = std::move(rows);
    updateGeometries();
    viewport()->update();
}

void ObjectListView::selectAll()
{
    if (!model() || !selectionModel() || rowCount() == 0)
        return;
    selectionModel()->select(modelRange(0, rowCount() - 1), QItemSelectionModel::ClearAndSelect);
}

int ObjectListView::rowHeight() const
{
    if (rowHeight_ <= 0)
        rowHeight_ = fontMetrics().height() + 2;
    return rowHeight_;
}

int ObjectListView::firstShownRow() const
{
    return verticalScrollBar()->value();
}

int ObjectListView::shownRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int ObjectListView::rowTop(qint64 row) const
{
    const qint64 top = (row - firstShownRow()) * rowHeight();
    constexpr qint64 kLimit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(top, -kLimit, kLimit));
}

qint64 ObjectListView::rowAtY(qint64 y) const
{
    const qint64 height = rowHeight();
    // Rounds down for heights above the first row, too.
    return firstShownRow() + (y >= 0 ? y / height : -((-y + height - 1) / height));
}

QRect ObjectListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    const qint64 row = shownRow(index.row());
    if (row < 0)
        return {};
    return QRect(0, rowTop(row), viewport()->width(), rowHeight());
}

QModelIndex ObjectListView::indexAt(const QPoint& point) const
{
    const qint64 row = rowAtY(point.y());
    if (row < 0 || row >= rowCount() || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    return model()->index(modelRow(row), 0, rootIndex());
}

void ObjectListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const auto row = static_cast<int>(shownRow(index.row()));
    if (row < 0)
        return;
    const int first = firstShownRow();
    const int shown = shownRows();
    int wanted = first;
    switch (hint) {
    case EnsureVisible:
        if (row < first)
            wanted = row;
        else if (row >= first + shown)
            wanted = row - shown + 1;
        break;
    case PositionAtTop:
        wanted = row;
        break;
    case PositionAtBottom:
        wanted = row - shown + 1;
        break;
    case PositionAtCenter:
        wanted = row - shown / 2;
        break;
    }
    verticalScrollBar()->setValue(wanted);
}

QModelIndex ObjectListView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int rows = rowCount();
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(modelRow(action == MoveEnd ? rows - 1 : 0), 0, rootIndex());
    // A current row that is not shown moves from where it would be.
    auto row = static_cast<int>(shownRowFrom(current.row()));
    if (shownRow(current.row()) < 0 && (action == MoveDown || action == MoveNext))
        --row;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= shownRows();
        break;
    case MovePageDown:
        row += shownRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(modelRow(std::clamp(row, 0, rows - 1)), 0, rootIndex());
}

int ObjectListView::horizontalOffset() const
{
    return 0;
}

int ObjectListView::verticalOffset() const
{
    constexpr qint64 kLimit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::min<qint64>(qint64{firstShownRow()} * rowHeight(), kLimit));
}

bool ObjectListView::isIndexHidden(const QModelIndex& index) const
{
    return shown_ && shownRow(index.row()) < 0;
}

void ObjectListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    const qint64 rows = rowCount();
    const QRect area = rect.normalized();
    const qint64 top = std::max<qint64>(rowAtY(area.top()), 0);
    const qint64 bottom = std::min(rowAtY(area.bottom()), rows - 1);
    QItemSelection selection;
    if (top <= bottom)
        selection = modelRange(top, bottom);
    selectionModel()->select(selection, command);
}

QRegion ObjectListView::visualRegionForSelection(const QItemSelection& selection) const
{
    // Only the part on screen needs painting.
    const int first = firstShownRow();
    const int last = first + shownRows();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const auto top = static_cast<int>(std::max<qint64>(shownRowFrom(range.top()), first));
        const auto bottom = static_cast<int>(std::min<qint64>(shownRowFrom(range.bottom() + 1) - 1, last));
        if (top <= bottom)
            region += QRect(0, rowTop(top), viewport()->width(), (bottom - top + 1) * rowHeight());
    }
    return region;
}

void ObjectListView::doItemsLayout()
{
    // Nothing to lay out: rows are placed by arithmetic.
    updateGeometries();
    viewport()->update();
}

void ObjectListView::updateGeometries()
{
    const int shown = shownRows();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
    QAbstractItemView::updateGeometries();
}

void ObjectListView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ObjectListView::setModel(QAbstractItemModel* rows)
{
    if (model())
        disconnect(model(), &QAbstractItemModel::rowsRemoved, this, nullptr);
    QAbstractItemView::setModel(rows);
    // Rows below a removal move up, and the scroll range shrinks: both once
    // the rows are gone.
    if (rows)
        connect(rows, &QAbstractItemModel::rowsRemoved, this, [this] {
            updateGeometries();
            viewport()->update();
        });
}

void ObjectListView::reset()
{
    QAbstractItemView::reset();
    updateGeometries();
    viewport()->update();
}

void ObjectListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    viewport()->update();
}

void ObjectListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void ObjectListView::paintEvent(QPaintEvent* event)
{
    const int rows = rowCount();
    if (rows == 0)
        return;
    // Drawn as a plain list box: the text, on the highlight colour when
    // selected, and the focus mark on the current row. The rows are drawn
    // directly; a general item delegate costs several times as much a row.
    QPainter painter(viewport());
    const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                       : isActiveWindow() ? QPalette::Active
                                                          : QPalette::Inactive;
    const QPalette& colours = palette();
    const QModelIndex current = currentIndex();
    const QItemSelectionModel* selection = selectionModel();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QRect area = event->rect();
    const qint64 first = std::max<qint64>(rowAtY(area.top()), 0);
    const qint64 last = std::min<qint64>(rowAtY(area.bottom()), rows - 1);
    for (qint64 row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(modelRow(row), 0, rootIndex());
        const QRect rect(0, rowTop(row), viewport()->width(), rowHeight());
        const bool selected = selection && selection->isSelected(index);
        if (selected)
            painter.fillRect(rect, colours.brush(group, QPalette::Highlight));
        painter.setPen(colours.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(margin, 0, -margin, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         index.data(Qt::DisplayRole).toString());
        if (index == current && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect;
            focus.backgroundColor = colours.color(group, selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void ObjectListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit deletePressed();
        return;
    }
    const QModelIndex before = currentIndex();
    QAbstractItemView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit currentRowChosen();
}

void ObjectListView::mousePressEvent(QMouseEvent* event)
{
    // A right-click on a selected row opens the menu on the whole selection.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton && index.isValid() && selectionModel()
        && selectionModel()->isSelected(index)) {
        event->accept();
        return;
    }
    QAbstractItemView::mousePressEvent(event);
}

void ObjectListView::contextMenuEvent(QContextMenuEvent* event)
{
    QModelIndex index = event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : currentIndex();
    emit menuRequested(index.isValid() ? index.row() : -1, event->globalPos());
}

void ObjectListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        rowHeight_ = 0;
    QAbstractItemView::changeEvent(event);
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
