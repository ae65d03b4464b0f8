#include "ui/DocumentRowsModel.h"

#include "ui/Latin1Text.h"

namespace qel::ui {

DocumentRowsModel::DocumentRowsModel(app::DocumentSession& session, app::DocumentList list, QObject* parent)
    : QAbstractListModel(parent), session_(session), list_(list)
{
    connect(&session, &app::DocumentSession::rowsInserted, this, &DocumentRowsModel::rowsInserted);
    connect(&session, &app::DocumentSession::rowsRemoved, this, &DocumentRowsModel::rowsRemoved);
    connect(&session, &app::DocumentSession::rowsChanged, this, &DocumentRowsModel::rowsChanged);
    connect(&session, &app::DocumentSession::listReset, this, &DocumentRowsModel::listReset);
}

int DocumentRowsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const auto count = static_cast<int>(rows());
    if (!pending_)
        return count;
    return pending_->inserted ? count - pending_->count : count + pending_->count;
}

QVariant DocumentRowsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0 || index.row() >= rowCount())
        return {};
    int row = index.row();
    if (pending_ && row >= pending_->first) {
        if (pending_->inserted) {
            row += pending_->count;
        } else {
            if (row < pending_->first + pending_->count)
                return {};  // a removed row: its line is gone
            row -= pending_->count;
        }
    }
    // No row shows more than the start of a line of a gigabyte: turned into
    // text and laid out whole it would take several times its size.
    constexpr std::size_t kShownBytes = 4096;
    return FromBytes(rowBytes(static_cast<std::size_t>(row)).substr(0, kShownBytes));
}

void DocumentRowsModel::rowsInserted(app::DocumentList list, int first, int last)
{
    if (list != list_)
        return;
    pending_ = Pending{first, last - first + 1, true};
    beginInsertRows({}, first, last);
    pending_.reset();
    endInsertRows();
}

void DocumentRowsModel::rowsRemoved(app::DocumentList list, int first, int last)
{
    if (list != list_)
        return;
    pending_ = Pending{first, last - first + 1, false};
    beginRemoveRows({}, first, last);
    pending_.reset();
    endRemoveRows();
}

void DocumentRowsModel::rowsChanged(app::DocumentList list, int first, int last)
{
    if (list != list_)
        return;
    emit dataChanged(index(first), index(last), {Qt::DisplayRole});
}

void DocumentRowsModel::listReset(app::DocumentList list)
{
    if (list != list_)
        return;
    beginResetModel();
    endResetModel();
}

}  // namespace qel::ui
