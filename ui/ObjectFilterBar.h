#pragma once
// The filter box above an object list ("ObjectFilter") and the count of the
// rows it keeps beside it. The list shows only the kept rows; the box follows
// every change of the list (a changed row is tested again, inserted rows are
// tested, removed rows leave, a reset filters anew). A longer text that keeps
// a subset of what the last one kept is tested on those rows only, so each
// key typed into a million rows costs at most one pass.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ObjectFilter.h"

class QLabel;
class QLineEdit;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class ObjectListView;

class ObjectFilterBar : public QWidget {
    Q_OBJECT
public:
    // Sits in the room it reserves at the top of `list`, whose model must be set.
    ObjectFilterBar(app::DocumentSession& session, ObjectKind kind, ObjectListView& list);

    void focusBox();
    // The rows kept, ascending, or none with the box empty (every row shown).
    std::shared_ptr<const std::vector<std::uint32_t>> keptRows() const { return kept_; }

signals:
    void keptRowsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Over the list's rows, beside its scroll bar.
    void placeBar();
    const ObjectList& objects() const;
    void textEdited();
    void filterAll();
    // Tests model rows [first, last] again after they changed.
    void retest(int first, int last);
    void shiftFrom(int first, int by);
    void take(std::vector<std::uint32_t> rows);
    // The selection keeps only rows that are shown.
    void narrowSelection();

    app::DocumentSession& session_;
    ObjectKind kind_;
    ObjectListView& list_;
    QLineEdit* ObjectFilter;
    QLabel* ObjectFilterCount;
    qel::ObjectFilter filter_;
    std::shared_ptr<const std::vector<std::uint32_t>> kept_;
    // Whether every row had its fields when the rows were last tested.
    bool wholeBefore_ = true;
};

}  // namespace qel::ui
