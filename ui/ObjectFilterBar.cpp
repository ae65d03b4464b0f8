#include "ui/ObjectFilterBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <algorithm>

#include "app/DocumentSession.h"
#include "ui/Controls.h"
#include "ui/Latin1Text.h"
#include "ui/ObjectListView.h"

namespace qel::ui {

namespace {

QString Counted(std::size_t count)
{
    // Thousands separated as "1,050,625" whatever the system's language.
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qulonglong>(count));
}

// Every row has its fields: a change then changes the fields of its own rows
// only. Past a row that cannot be taken apart no row has fields, and where
// that row is can move with any change.
bool Whole(const ObjectList& list)
{
    return list.takenApart() == list.size();
}

}  // namespace

ObjectFilterBar::ObjectFilterBar(app::DocumentSession& session, ObjectKind kind, ObjectListView& list)
    : QWidget(&list), session_(session), kind_(kind), list_(list)
{
    ObjectFilter = new QLineEdit(this);
    ObjectFilter->setObjectName(QStringLiteral("ObjectFilter"));
    ObjectFilter->setPlaceholderText(QStringLiteral("Filter"));
    ObjectFilter->setFont(ControlFont());
    ObjectFilter->setClearButtonEnabled(true);
    ObjectFilterCount = new QLabel(this);
    ObjectFilterCount->setObjectName(QStringLiteral("ObjectFilterCount"));
    ObjectFilterCount->setFont(ControlFont());
    ObjectFilterCount->hide();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(ObjectFilter, 1);
    layout->addWidget(ObjectFilterCount);

    const int height = ObjectFilter->sizeHint().height();
    list_.reserveTop(height);
    setFixedHeight(height);
    placeBar();
    list_.installEventFilter(this);
    ObjectFilter->installEventFilter(this);

    connect(ObjectFilter, &QLineEdit::textChanged, this, &ObjectFilterBar::textEdited);
    QAbstractItemModel* model = list_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (!kept_)
            return;
        shiftFrom(first, last - first + 1);
        retest(first, last);
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        if (!kept_)
            return;
        std::vector<std::uint32_t> rows;
        rows.reserve(kept_->size());
        const auto n = static_cast<std::uint32_t>(last - first + 1);
        for (std::uint32_t row : *kept_)
            if (row < static_cast<std::uint32_t>(first))
                rows.push_back(row);
            else if (row > static_cast<std::uint32_t>(last))
                rows.push_back(row - n);
        if (wholeBefore_ && Whole(objects()))
            take(std::move(rows));
        else
            filterAll();
    });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom) { retest(top.row(), bottom.row()); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (kept_)
            filterAll();
    });
}

const ObjectList& ObjectFilterBar::objects() const
{
    return session_.document().objects(kind_);
}

void ObjectFilterBar::focusBox()
{
    ObjectFilter->setFocus(Qt::ShortcutFocusReason);
    ObjectFilter->selectAll();
}

void ObjectFilterBar::textEdited()
{
    const QString text = ObjectFilter->text();
    qel::ObjectFilter filter(CheckedBytes(text));
    if (filter.empty()) {
        filter_ = filter;
        kept_.reset();
        ObjectFilterCount->hide();
        list_.setShownRows(nullptr);
        emit keptRowsChanged();
        return;
    }
    // A character that has no byte is in no line: nothing matches.
    if (FirstUnstorableCharacter(text) >= 0) {
        filter_ = qel::ObjectFilter(std::string_view("x:"));
        take({});
    } else if (kept_ && filter.narrows(filter_)) {
        std::vector<std::uint32_t> rows = filter.rows(objects(), kept_.get());
        filter_ = std::move(filter);
        take(std::move(rows));
    } else {
        filter_ = std::move(filter);
        filterAll();
        return;
    }
    narrowSelection();
}

void ObjectFilterBar::filterAll()
{
    take(filter_.rows(objects()));
    narrowSelection();
}

void ObjectFilterBar::retest(int first, int last)
{
    if (!kept_)
        return;
    const ObjectList& list = objects();
    if (!wholeBefore_ || !Whole(list)) {
        filterAll();
        return;
    }
    std::vector<std::uint32_t> rows;
    rows.reserve(kept_->size() + static_cast<std::size_t>(last - first + 1));
    auto from = std::lower_bound(kept_->begin(), kept_->end(), static_cast<std::uint32_t>(first));
    auto to = std::upper_bound(kept_->begin(), kept_->end(), static_cast<std::uint32_t>(last));
    rows.insert(rows.end(), kept_->begin(), from);
    for (int row = first; row <= last; ++row)
        if (static_cast<std::size_t>(row) < list.size() && filter_.matches(list, static_cast<std::size_t>(row)))
            rows.push_back(static_cast<std::uint32_t>(row));
    rows.insert(rows.end(), to, kept_->end());
    take(std::move(rows));
}

void ObjectFilterBar::shiftFrom(int first, int by)
{
    std::vector<std::uint32_t> rows(*kept_);
    for (auto it = std::lower_bound(rows.begin(), rows.end(), static_cast<std::uint32_t>(first)); it != rows.end();
         ++it)
        *it += static_cast<std::uint32_t>(by);
    kept_ = std::make_shared<const std::vector<std::uint32_t>>(std::move(rows));
}

void ObjectFilterBar::take(std::vector<std::uint32_t> rows)
{
    wholeBefore_ = Whole(objects());
    ObjectFilterCount->setText(Counted(rows.size()) + QStringLiteral(" of ") + Counted(objects().size()));
    ObjectFilterCount->show();
    kept_ = std::make_shared<const std::vector<std::uint32_t>>(std::move(rows));
    list_.setShownRows(kept_);
    emit keptRowsChanged();
}

void ObjectFilterBar::narrowSelection()
{
    QItemSelectionModel* selection = list_.selectionModel();
    if (!selection || !kept_ || !selection->hasSelection())
        return;
    const app::RowSelection now = list_.rowSelection();
    app::RowSelection kept;
    kept.current = now.current;
    auto at = kept_->begin();
    for (const auto& [first, last] : now.ranges) {
        at = std::lower_bound(at, kept_->end(), static_cast<std::uint32_t>(first));
        for (; at != kept_->end() && *at <= last; ++at) {
            if (!kept.ranges.empty() && kept.ranges.back().second + 1 == *at)
                kept.ranges.back().second = *at;
            else
                kept.ranges.emplace_back(*at, *at);
        }
    }
    if (kept.ranges != now.ranges)
        list_.showRowSelection(kept);
}

void ObjectFilterBar::placeBar()
{
    const int frame = list_.frameWidth();
    // The list's scroll bar, when it shows, runs beside the bar and never
    // over its count: the bar leaves it room either way.
    const int scroll = list_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list_);
    setGeometry(frame, frame, list_.width() - 2 * frame - scroll, height());
}

bool ObjectFilterBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &list_ && event->type() == QEvent::Resize) {
        placeBar();
    } else if (watched == ObjectFilter && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !ObjectFilter->text().isEmpty()) {
            ObjectFilter->clear();
            return true;
        }
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
            list_.setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qel::ui
