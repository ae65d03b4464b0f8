#pragma once
// MapObjectList / ScreenObjectList: one row per entry line of one kind.

#include "ui/DocumentRowsModel.h"

namespace qel::ui {

class ObjectListModel : public DocumentRowsModel {
    Q_OBJECT
public:
    ObjectListModel(app::DocumentSession& session, ObjectKind kind, QObject* parent = nullptr);

protected:
    std::size_t rows() const override { return document().objects(kind_).size(); }
    std::string_view rowBytes(std::size_t row) const override { return document().objects(kind_).line(row); }

private:
    ObjectKind kind_;
};

}  // namespace qel::ui
