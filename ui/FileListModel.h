#pragma once
// FileList: one row per "File=" entry.

#include "ui/DocumentRowsModel.h"

namespace qel::ui {

class FileListModel : public DocumentRowsModel {
    Q_OBJECT
public:
    explicit FileListModel(app::DocumentSession& session, QObject* parent = nullptr);

protected:
    std::size_t rows() const override { return document().files().size(); }
    std::string_view rowBytes(std::size_t row) const override { return document().files()[row]; }
};

}  // namespace qel::ui
