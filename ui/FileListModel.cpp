#include "ui/FileListModel.h"

namespace qel::ui {

FileListModel::FileListModel(app::DocumentSession& session, QObject* parent)
    : DocumentRowsModel(session, app::DocumentList::Files, parent)
{
}

}  // namespace qel::ui
