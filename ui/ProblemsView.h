#pragma once
// The Problems window: every problem of the document, errors first, kept
// current by the monitor. Activating a problem (double-click or Enter) asks
// the main window to show its cause; F5 looks at the pictures on disk again.

#include <QAbstractTableModel>
#include <QString>
#include <QWidget>
#include <vector>

#include "app/ProblemMonitor.h"
#include "core/ProblemCheck.h"

class QLabel;
class QTableView;

namespace qel::ui {

// "2 errors, 1 warning"; "No problems" when there is neither.
QString ProblemCountsText(const app::ProblemCounts& counts);

class ProblemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SeverityColumn, MessageColumn, PlaceColumn, LineColumn, ColumnCount };

    explicit ProblemsModel(QObject* parent = nullptr);
    void setProblems(std::vector<Problem> problems);
    const Problem& problem(int row) const { return problems_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Problem> problems_;
};

class ProblemsView : public QWidget {
    Q_OBJECT
public:
    explicit ProblemsView(app::ProblemMonitor& monitor, QWidget* parent = nullptr);

signals:
    // Show the cause: `row` of `place`'s list (nothing for the whole file).
    void problemActivated(qel::ProblemPlace place, int row);

private:
    void refresh();

    app::ProblemMonitor& monitor_;
    ProblemsModel model_;
    QLabel* summary_;
    QTableView* list_;
};

}  // namespace qel::ui
