#pragma once
// An item model that shows one of the document's lists row for row, reading
// the document itself: no copy of a line is kept, so a million rows cost
// nothing beyond the document.
//
// The session tells of a change after it happened. To give the views a model
// that is consistent at every step, the model answers as the list WAS while
// it begins the matching insertion or removal (rows after the change are
// mapped back over it), and as it is once it ended it.

#include <QAbstractListModel>
#include <optional>
#include <string_view>

#include "app/DocumentSession.h"

namespace qel::ui {

class DocumentRowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    DocumentRowsModel(app::DocumentSession& session, app::DocumentList list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    virtual std::size_t rows() const = 0;
    virtual std::string_view rowBytes(std::size_t row) const = 0;
    const DefinitionDocument& document() const { return session_.document(); }

private:
    // Rows [first, first + count) that the document has and the views do not
    // have yet (inserted), or that the views have and the document no longer
    // has (removed).
    struct Pending {
        int first = 0;
        int count = 0;
        bool inserted = false;
    };

    void rowsInserted(app::DocumentList list, int first, int last);
    void rowsRemoved(app::DocumentList list, int first, int last);
    void rowsChanged(app::DocumentList list, int first, int last);
    void listReset(app::DocumentList list);

    app::DocumentSession& session_;
    app::DocumentList list_;
    std::optional<Pending> pending_;
};

}  // namespace qel::ui
