#pragma once
// Item models that show the document's lists row for row, reading the
// document itself: no copy of a line is kept, so a million rows cost nothing
// beyond the document. Whoever changes a list brackets the change with
// beginExternalReset()/endExternalReset() (or a ModelResetScope).

#include <QAbstractListModel>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ObjectList.h"

namespace qel::ui {

class DocumentRowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void beginExternalReset() { beginResetModel(); }
    void endExternalReset() { endResetModel(); }

protected:
    virtual std::size_t rows() const = 0;
    virtual std::string_view rowBytes(std::size_t row) const = 0;
};

// MapObjectList / ScreenObjectList: one row per entry line.
class ObjectListModel : public DocumentRowsModel {
    Q_OBJECT
public:
    ObjectListModel(const qel::ObjectList& list, QObject* parent = nullptr);

protected:
    std::size_t rows() const override { return list_.size(); }
    std::string_view rowBytes(std::size_t row) const override { return list_.line(row); }

private:
    const qel::ObjectList& list_;
};

// FileList: one row per "File=" entry.
class FileListModel : public DocumentRowsModel {
    Q_OBJECT
public:
    FileListModel(const std::vector<std::string>& files, QObject* parent = nullptr);

protected:
    std::size_t rows() const override { return files_.size(); }
    std::string_view rowBytes(std::size_t row) const override { return files_[row]; }

private:
    const std::vector<std::string>& files_;
};

// Resets the given models around a change of the document, also when the
// change throws halfway: the views then show whatever the document holds.
class ModelResetScope {
public:
    explicit ModelResetScope(std::initializer_list<DocumentRowsModel*> models);
    ~ModelResetScope();
    ModelResetScope(const ModelResetScope&) = delete;
    ModelResetScope& operator=(const ModelResetScope&) = delete;

private:
    std::vector<DocumentRowsModel*> models_;
};

}  // namespace qel::ui
