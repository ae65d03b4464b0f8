#include "ui/ObjectListModel.h"

namespace qel::ui {

ObjectListModel::ObjectListModel(app::DocumentSession& session, ObjectKind kind, QObject* parent)
    : DocumentRowsModel(session, app::DocumentListOf(kind), parent), kind_(kind)
{
}

}  // namespace qel::ui
