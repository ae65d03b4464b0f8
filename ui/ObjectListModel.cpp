#include "ObjectListModel.h"

#include "Latin1Text.h"

namespace qel::ui {

int DocumentRowsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(rows());
}

QVariant DocumentRowsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= rows())
        return {};
    return FromBytes(rowBytes(row));
}

ObjectListModel::ObjectListModel(const qel::ObjectList& list, QObject* parent)
    : DocumentRowsModel(parent), list_(list)
{
}

FileListModel::FileListModel(const std::vector<std::string>& files, QObject* parent)
    : DocumentRowsModel(parent), files_(files)
{
}

ModelResetScope::ModelResetScope(std::initializer_list<DocumentRowsModel*> models)
    : models_(models)
{
    for (DocumentRowsModel* model : models_)
        model->beginExternalReset();
}

ModelResetScope::~ModelResetScope()
{
    for (DocumentRowsModel* model : models_)
        model->endExternalReset();
}

}  // namespace qel::ui
