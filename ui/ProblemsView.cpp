#include "ui/ProblemsView.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/Latin1Text.h"

namespace qel::ui {

namespace {

QString Counted(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString PlaceText(const Problem& problem)
{
    const QString row = QString::number(problem.row + 1);
    switch (problem.place) {
    case ProblemPlace::Files:
        return QStringLiteral("File list, entry %1").arg(row);
    case ProblemPlace::Images:
        return QStringLiteral("Images, entry %1").arg(row);
    case ProblemPlace::MapObjects:
        return QStringLiteral("Map objects, row %1").arg(row);
    case ProblemPlace::ScreenObjects:
        return QStringLiteral("Screen objects, row %1").arg(row);
    case ProblemPlace::None:
        break;
    }
    return QStringLiteral("Whole file");
}

}  // namespace

QString ProblemCountsText(const app::ProblemCounts& counts)
{
    if (counts.errors == 0 && counts.warnings == 0)
        return QStringLiteral("No problems");
    QStringList parts;
    if (counts.errors != 0)
        parts << Counted(counts.errors, "error", "errors");
    if (counts.warnings != 0)
        parts << Counted(counts.warnings, "warning", "warnings");
    return parts.join(QStringLiteral(", "));
}

ProblemsModel::ProblemsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProblemsModel::setProblems(std::vector<Problem> problems)
{
    beginResetModel();
    problems_ = std::move(problems);
    endResetModel();
}

int ProblemsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(problems_.size());
}

int ProblemsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Problem& problem = this->problem(index.row());
    if (role == Qt::DecorationRole && index.column() == SeverityColumn) {
        const QStyle::StandardPixmap icon = problem.severity == Severity::Error     ? QStyle::SP_MessageBoxCritical
                                            : problem.severity == Severity::Warning ? QStyle::SP_MessageBoxWarning
                                                                                    : QStyle::SP_MessageBoxInformation;
        return QApplication::style()->standardIcon(icon);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case SeverityColumn:
        return QString::fromLatin1(SeverityName(problem.severity));
    case MessageColumn:
        return role == Qt::ToolTipRole
                   ? VisibleText(problem.message) + QStringLiteral(" [%1]").arg(FromBytes(problem.code))
                   : VisibleText(problem.message);
    case PlaceColumn:
        return PlaceText(problem);
    case LineColumn:
        return problem.line == 0 ? QVariant() : QVariant(static_cast<qulonglong>(problem.line));
    default:
        return {};
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case SeverityColumn:
        return QStringLiteral("Severity");
    case MessageColumn:
        return QStringLiteral("Message");
    case PlaceColumn:
        return QStringLiteral("Place");
    case LineColumn:
        return QStringLiteral("Line");
    default:
        return {};
    }
}

ProblemsView::ProblemsView(app::ProblemMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window),
      monitor_(monitor),
      model_(this),
      summary_(new QLabel(this)),
      list_(new QTableView(this))
{
    setObjectName(QStringLiteral("ProblemsView"));
    setWindowTitle(QStringLiteral("Problems"));
    resize(760, 320);

    summary_->setObjectName(QStringLiteral("ProblemsSummary"));
    auto* reread = new QPushButton(QStringLiteral("Re-read pictures (F5)"), this);
    reread->setObjectName(QStringLiteral("ProblemsReread"));
    list_->setObjectName(QStringLiteral("ProblemsList"));
    list_->setModel(&model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    // Rows of one height need no measuring: a long list opens at once.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setSectionResizeMode(ProblemsModel::MessageColumn, QHeaderView::Stretch);
    list_->setColumnWidth(ProblemsModel::SeverityColumn, 90);
    list_->setColumnWidth(ProblemsModel::PlaceColumn, 170);
    list_->setColumnWidth(ProblemsModel::LineColumn, 60);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(summary_, 1);
    top->addWidget(reread);
    layout->addLayout(top);
    layout->addWidget(list_);

    auto* rereadAction = new QAction(QStringLiteral("Re-read pictures"), this);
    rereadAction->setShortcut(Qt::Key_F5);
    rereadAction->setShortcutContext(Qt::WindowShortcut);
    addAction(rereadAction);
    connect(rereadAction, &QAction::triggered, &monitor_, &app::ProblemMonitor::rereadPictures);
    connect(reread, &QPushButton::clicked, &monitor_, &app::ProblemMonitor::rereadPictures);

    connect(list_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid())
            return;
        const Problem& problem = model_.problem(index.row());
        emit problemActivated(problem.place, static_cast<int>(problem.row));
    });
    connect(&monitor_, &app::ProblemMonitor::problemsChanged, this, &ProblemsView::refresh);
    refresh();
}

void ProblemsView::refresh()
{
    model_.setProblems(monitor_.problems());
    QString text = ProblemCountsText(monitor_.counts());
    if (monitor_.checking())
        text += QStringLiteral(" (checking...)");
    summary_->setText(text);
}

}  // namespace qel::ui
